// Text drawing and measurement on ports: the port's font realized from its text state
// through the font cache, Mac bytes converted to the Windows character set for the length
// of each call, and the Toolbox's pen advance.
#include <cstring>
#include <memory>
#include <new>

#include "font/charset.h"
#include "font/font_manager.h"
#include "font/system_charset.h"
#include "frame/library_globals.h"
#include "quickdraw/shape_support.h"
#include "quickdraw/text_rules.h"
#include "tstools/font.h"
#include "tstools/text.h"

namespace tstools::qd {
namespace {

template <typename F>
void OnPortDCs(GrafPort *port, F apply) {
  apply(port->dc);
  if (IsPicture(port) && port->refDC && port->refDC != port->dc) apply(port->refDC);
}

void SetFaceName(GrafPort *port, short font) {
  Str255 name = {};
  GetFontName(font, name);
  size_t length = name[0] < LF_FACESIZE - 1 ? name[0] : LF_FACESIZE - 1;
  std::memset(port->logFont.lfFaceName, 0, LF_FACESIZE);
  std::memcpy(port->logFont.lfFaceName, name + 1, length);
  std::memcpy(port->faceNameCopy, port->logFont.lfFaceName, sizeof(port->faceNameCopy));
}

// A number outside the font table has no character set; asking GDI for the OEM set its -1
// would read as gives a terminal face, so such fonts ask for the default set instead.
BYTE CharSetOfFont(short font) {
  Str255 name = {};
  GetFontName(font, name);
  return name[0] ? static_cast<BYTE>(GetCharSet(font)) : static_cast<BYTE>(DEFAULT_CHARSET);
}

unsigned short FontTypeOf(short font) {
  unsigned short type = 0;
  GetFontType(font, &type);
  return type;
}

// Brings logFont and the selected font up to date with the text state and the escapement
// (tenths of a degree; nonzero only for ML_DrawAngleText). Only inputs that changed are
// rebuilt, and GDI is asked for a font only when something did.
void RealizeFont(GrafPort *port, short angle) {
  LOGFONTA &lf = port->logFont;
  bool changed = false;
  if (port->realizedFont != port->txFont) {
    SetFaceName(port, port->txFont);
    BYTE pitchAndFamily = 0, charSet = 0;
    GetWinFontInfo(port->txFont, &pitchAndFamily, &charSet);
    lf.lfPitchAndFamily = pitchAndFamily;
    lf.lfCharSet = charSet;
    port->realizedFont = port->txFont;
    changed = true;
  }
  BYTE charSet = CharSetOfFont(port->realizedFont);
  if (charSet != port->realizedCharSet || charSet != lf.lfCharSet) {
    port->realizedCharSet = charSet;
    lf.lfCharSet = charSet;
    changed = true;
  }
  if (port->realizedSize != port->txSize) {
    lf.lfHeight = -port->txSize;  // a character height: points are pixels, as on the Mac
    port->realizedSize = port->txSize;
    changed = true;
  }
  if (port->realizedFace != port->txFace) {
    FaceAttributes a = AttributesOfFace(port->txFace);
    lf.lfWeight = a.weight;
    lf.lfItalic = a.italic;
    lf.lfUnderline = a.underline;
    lf.lfStrikeOut = a.strikeOut;
    port->realizedFace = port->txFace;
    changed = true;
  }
  if (lf.lfEscapement != angle) {
    lf.lfEscapement = angle;
    changed = true;
  }
  if (!changed && port->fontSlot) return;
  // The Type 1 bridge must see the font made to make its widths exact.
  bool atm = FontTypeOf(port->txFont) == 3;
  if (atm) AtmForceExactWidth();
  UsePortFont(port, lf);  // when the cache has nothing, the previous font stays
  if (atm) AtmClearAllForce();
}

// A bold face below its minimum bold size is realized plain on window and DC ports and
// drawn twice; the bold bit is back in txFace when the call returns.
class SimulatedBold {
 public:
  SimulatedBold(GrafPort *port, bool allowed) : port_(port) {
    active_ = allowed && (port->txFace & kFaceBold) && port->portKind == portKindWindowOrDC &&
              SimulatesBold(port->txFace, port->portKind, port->txSize, GetMinBoldSize(port->txFont));
    if (active_) port->txFace = static_cast<unsigned char>(port->txFace & ~kFaceBold);
  }
  ~SimulatedBold() {
    if (active_) port_->txFace = static_cast<unsigned char>(port_->txFace | kFaceBold);
  }
  SimulatedBold(const SimulatedBold &) = delete;
  SimulatedBold &operator=(const SimulatedBold &) = delete;
  bool active() const { return active_; }

 private:
  GrafPort *port_;
  bool active_ = false;
};

// How the realized font draws and measures.
struct RunSetup {
  TEXTMETRICA tm{};
  RunCase which = RunCase::Plain;
  int32_t scale = 0x10000;
  int extra = 0;  // condense/extend spacing per character
};

RunSetup Prepare(GrafPort *port, short angle) {
  RealizeFont(port, angle);
  RunSetup s;
  if (!GetTextMetricsA(port->refDC, &s.tm)) s.tm = TEXTMETRICA{};
  int height = s.tm.tmAscent + s.tm.tmDescent;
  if (height > 0 && ShrinksRasterFont(port->txSize, IsPrinter(port), FontTypeOf(port->txFont), s.tm.tmPitchAndFamily)) {
    s.which = RunCase::Shrunk;
    s.scale = RasterShrinkScale(port->txSize, s.tm.tmAscent, s.tm.tmDescent);
  } else if ((s.extra = CondenseExtendExtra(port->txFace, s.tm.tmAveCharWidth)) != 0) {
    s.which = RunCase::CharacterExtra;
  }
  return s;
}

SIZE Extent(HDC dc, const char *text, int count) {
  SIZE size{};
  if (platform.isWin32s)
    GetTextExtentPointA(dc, text, count, &size);
  else
    GetTextExtentPoint32A(dc, text, count, &size);
  return size;
}

// The caller's Mac bytes as Windows text for the length of one call; double-byte fonts
// take the bytes as they are.
class WindowsText {
 public:
  WindowsText(GrafPort *port, char *text, int count) : text_(reinterpret_cast<uint8_t *>(text)), count_(count) {
    active_ = port->translateText && !IsDoubleByteCharSet(port->realizedCharSet);
    if (active_) MapTextInPlace(text_, count_, 0, 0);
  }
  ~WindowsText() {
    if (active_) MapTextInPlace(text_, count_, 1, 0);
  }
  WindowsText(const WindowsText &) = delete;
  WindowsText &operator=(const WindowsText &) = delete;

 private:
  uint8_t *text_;
  int count_;
  bool active_ = false;
};

// Background mode and colour of a text mode for the length of one drawing call.
class TextModeSetup {
 public:
  explicit TextModeSetup(GrafPort *port) : port_(port), mode_(port->txMode) {
    transparent_ = mode_ != kTextModeCopy && mode_ != kTextModeGray;
    if (transparent_) OnPortDCs(port, [](HDC dc) { SetBkMode(dc, TRANSPARENT); });
    if (mode_ == kTextModeBic) {
      COLORREF bk = BackColorRef(port);
      OnPortDCs(port, [bk](HDC dc) { SetTextColor(dc, bk); });
    }
  }
  ~TextModeSetup() {
    if (mode_ == kTextModeBic) {
      COLORREF fg = port_->textColorRef;
      OnPortDCs(port_, [fg](HDC dc) { SetTextColor(dc, fg); });
    }
    if (transparent_) OnPortDCs(port_, [](HDC dc) { SetBkMode(dc, OPAQUE); });
  }
  TextModeSetup(const TextModeSetup &) = delete;
  TextModeSetup &operator=(const TextModeSetup &) = delete;

 private:
  GrafPort *port_;
  short mode_;
  bool transparent_ = false;
};

// The clip before text output. Printer text is placed in device units the scaling shifts
// do not apply to, so a shifted printer always gets a clip built for text, and the next
// shape verb rebuilds its own.
void BeginTextOutput(GrafPort *port) {
  bool shifted = IsPrinter(port) && (port->printerShiftX || port->printerShiftY);
  if (port->clipChanged || shifted) RebuildClip(port, true);
  if (shifted) port->clipChanged = 1;
}

// The advance of each glyph as the reference DC measures it, or null. The system may draw a
// hinted font with advances other than the extents it reports, while the pen and every
// caller's layout move by the extents: glyphs placed by these stay where they were measured.
std::unique_ptr<INT[]> MeasuredAdvances(HDC dc, const char *text, int count) {
  std::unique_ptr<INT[]> at(new (std::nothrow) INT[static_cast<size_t>(count)]);
  SIZE size{};
  if (!at || !GetTextExtentExPointA(dc, text, count, 0, nullptr, at.get(), &size)) return nullptr;
  for (int i = count - 1; i > 0; --i) at[i] -= at[i - 1];
  return at;
}

// One run of glyphs at (x, baseline y), on both DCs of a picture port. Simulated bold draws
// a second time one pixel to the right, never filling the background over the first. Spaced
// runs (justified, extra) and printers keep the system's own placement.
void OutputGlyphs(GrafPort *port, const RunSetup &s, int x, int y, const char *text, int count, bool doubleStrike,
                  bool spaced) {
  if (count < 1) return;
  if (port->txMode == kTextModeGray) {
    auto black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    OnPortDCs(port, [&](HDC dc) {
      GrayStringA(dc, black, nullptr, reinterpret_cast<LPARAM>(text), count, x, y - s.tm.tmAscent, 0, 0);
    });
    return;
  }
  std::unique_ptr<INT[]> advances;
  // Under a world transform (turned text) the system places the glyphs itself.
  if (!spaced && !s.extra && !IsPrinter(port) && GetGraphicsMode(port->dc) != GM_ADVANCED)
    advances = MeasuredAdvances(port->refDC, text, count);
  OnPortDCs(port, [&](HDC dc) {
    ExtTextOutA(dc, x, y, 0, nullptr, text, static_cast<UINT>(count), advances.get());
    if (!doubleStrike) return;
    int mode = SetBkMode(dc, TRANSPARENT);
    ExtTextOutA(dc, x + 1, y, 0, nullptr, text, static_cast<UINT>(count), advances.get());
    if (mode) SetBkMode(dc, mode);
  });
}

// Small raster sizes: the text rendered at the font's real size into a monochrome bitmap
// and shrunk onto the port. Returns the pen advance.
int DrawShrunk(GrafPort *port, const RunSetup &s, const char *text, int count) {
  SIZE size = Extent(port->refDC, text, count);
  int widths[256];
  if (!GetCharWidthA(port->refDC, 0, 255, widths)) {
    for (int c = 0; c < 256; ++c) {
      char one = static_cast<char>(c);
      widths[c] = Extent(port->refDC, &one, 1).cx;
    }
  }
  const auto *bytes = reinterpret_cast<const uint8_t *>(text);
  int overhang = s.tm.tmOverhang;
  int width = ShrunkRunWidth(widths, bytes, count, overhang, s.scale);
  int advance = width - ScaleTruncated(overhang, s.scale);
  if (size.cx < 1 || size.cy < 1) return advance;
  int height = ScaleTruncated(size.cy, s.scale);
  if (height < 1) height = 1;
  int ascent = ScaleTruncated(s.tm.tmAscent, s.scale);

  WhiteSurface glyphs(port->refDC, CreateBitmap(size.cx, size.cy, 1, 1, nullptr));
  if (!glyphs.ok()) return advance;
  HDC mem = glyphs.dc();
  gdi::SelectedObject font(mem, port->fontSlot);
  SetTextColor(mem, RGB(0, 0, 0));
  SetBkMode(mem, TRANSPARENT);
  ExtTextOutA(mem, 0, 0, 0, nullptr, text, static_cast<UINT>(count), nullptr);

  int x = port->pnLoc.h, y = port->pnLoc.v - ascent;
  if (port->txMode == kTextModeCopy) {
    OnPortDCs(port, [&](HDC dc) {
      int stretch = SetStretchBltMode(dc, BLACKONWHITE);
      StretchBlt(dc, x, y, width, height, mem, 0, 0, size.cx, size.cy, SRCCOPY);
      if (stretch) SetStretchBltMode(dc, stretch);
    });
  } else {
    // Where the source is black the brush shows, elsewhere the port is left alone.
    static const Pattern kSolidFg = {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}};
    static const Pattern kSolidBk = {};
    VerbObject brush(port, Slot::Brush, CachedBrush(port, port->txMode == kTextModeBic ? kSolidBk : kSolidFg));
    OnPortDCs(port, [&](HDC dc) {
      int stretch = SetStretchBltMode(dc, BLACKONWHITE);
      COLORREF fg = SetTextColor(dc, RGB(0, 0, 0)), bk = SetBkColor(dc, RGB(255, 255, 255));
      StretchBlt(dc, x, y, width, height, mem, 0, 0, size.cx, size.cy, 0x00B8074A);
      SetTextColor(dc, fg);
      SetBkColor(dc, bk);
      if (stretch) SetStretchBltMode(dc, stretch);
    });
  }
  return advance;
}

// Draws count bytes of text (the caller's buffer, converted in place for the call) at the
// pen, at an escapement of angle tenths of a degree, and advances the pen.
void DrawRun(GrafPort *port, char *text, int count, short angle) {
  if (!port || !port->dc || !port->refDC) return;
  int n = DrawableLength(reinterpret_cast<const uint8_t *>(text), count);
  if (n < 1) return;
  SimulatedBold bold(port, true);
  RunSetup s = Prepare(port, angle);
  TextModeSetup mode(port);
  WindowsText windows(port, text, n);

  int x = port->pnLoc.h, y = port->pnLoc.v;
  int advance = 0;
  if (s.which == RunCase::Shrunk) {
    DrawingBracket bracket(port);
    advance = DrawShrunk(port, s, text, n);
  } else {
    const auto *bytes = reinterpret_cast<const uint8_t *>(text);
    auto breakChar = static_cast<uint8_t>(s.tm.tmBreakChar);
    int breaks = port->spExtra ? CountInnerBreaks(bytes, n, breakChar) : 0;
    int justify = JustificationExtra(port->spExtra, breaks);
    // Extents are taken without the spacing GDI adds, which is then added exactly once.
    int body = justify ? LengthWithoutTrailingBreaks(bytes, n, breakChar) : n;
    int bodyWidth = RunWidth(s.which, Extent(port->refDC, text, body).cx, s.tm.tmOverhang, s.extra, body, s.scale);
    int tailWidth = body == n ? 0 : RunWidth(s.which, Extent(port->refDC, text + body, n - body).cx, s.tm.tmOverhang, s.extra, n - body, s.scale);
    // After the clip: a picture port's saved DC state must not hold the spacing.
    BeginTextOutput(port);
    if (s.extra) OnPortDCs(port, [&](HDC dc) { SetTextCharacterExtra(dc, s.extra); });
    if (justify) OnPortDCs(port, [&](HDC dc) { SetTextJustification(dc, justify, breaks); });
    OutputGlyphs(port, s, x, y, text, body, bold.active(), justify != 0);
    if (justify) {
      // Trailing breaks are not widened: drawn after the justified part without it.
      OnPortDCs(port, [](HDC dc) { SetTextJustification(dc, 0, 0); });
      OutputGlyphs(port, s, x + bodyWidth + justify, y, text + body, n - body, bold.active(), false);
    }
    if (s.extra) OnPortDCs(port, [](HDC dc) { SetTextCharacterExtra(dc, 0); });
    EndPortDrawing(port);
    advance = bodyWidth + justify + tailWidth + (bold.active() ? 1 : 0);
  }
  ML_MoveTo(port, static_cast<short>(x + advance), static_cast<short>(y));
}

// Width of count bytes in the port's font (simulated bold measures the plain face).
int MeasureRun(GrafPort *port, char *text, int count) {
  if (!port || !port->refDC || !text || count < 1) return 0;
  SimulatedBold bold(port, true);
  RunSetup s = Prepare(port, 0);
  WindowsText windows(port, text, count);
  return RunWidth(s.which, Extent(port->refDC, text, count).cx, s.tm.tmOverhang, s.extra, count, s.scale);
}

// The bytes a Toolbox (text, firstByte, byteCount) triple names; null when it names none.
char *TextAt(const char *text, short firstByte, short byteCount) {
  if (!text || firstByte < 0 || byteCount < 0) return nullptr;
  return const_cast<char *>(text) + firstByte;
}

}  // namespace

void RealizePortFont(GrafPort *port) {
  if (port && port->refDC) RealizeFont(port, 0);
}

}  // namespace tstools::qd

using namespace tstools::qd;

void WINAPI ML_DrawText(GrafPort *port, const char *text, short firstByte, short byteCount) {
  if (char *bytes = TextAt(text, firstByte, byteCount)) DrawRun(port, bytes, byteCount, 0);
}

void WINAPI ML_DrawChar(GrafPort *port, short ch) {
  char copy = static_cast<char>(ch & 0xFF);
  DrawRun(port, &copy, 1, 0);
}

void WINAPI ML_DrawString(GrafPort *port, ConstStr255Param s) {
  if (!s) return;
  char copy[256];
  std::memcpy(copy, s + 1, s[0]);
  DrawRun(port, copy, s[0], 0);
}

void WINAPI ML_DrawAngleText(GrafPort *port, const char *text, short firstByte, short byteCount, short angle) {
  if (char *bytes = TextAt(text, firstByte, byteCount)) DrawRun(port, bytes, byteCount, angle);
}

short WINAPI ML_CharWidth(GrafPort *port, short ch) {
  char copy = static_cast<char>(ch & 0xFF);
  return ToWidth16(MeasureRun(port, &copy, 1));
}

short WINAPI ML_StringWidth(GrafPort *port, ConstStr255Param s) {
  if (!s) return 0;
  char copy[256];
  std::memcpy(copy, s + 1, s[0]);
  return ToWidth16(MeasureRun(port, copy, s[0]));
}

short WINAPI ML_TextWidth(GrafPort *port, const char *text, short firstByte, short byteCount) {
  char *bytes = TextAt(text, firstByte, byteCount);
  return bytes ? ToWidth16(MeasureRun(port, bytes, byteCount)) : 0;
}

void WINAPI ML_GetFontInfo(GrafPort *port, FontInfo *info) {
  if (!info) return;
  *info = FontInfo{};
  if (!port || !port->refDC) return;
  RunSetup s = Prepare(port, 0);
  const TEXTMETRICA &tm = s.tm;
  bool shrunk = s.which == RunCase::Shrunk;
  auto scaled = [&](int v) { return static_cast<short>(shrunk ? ScaleTruncated(v, s.scale) : v); };
  *info = FontInfo{scaled(tm.tmAscent), scaled(tm.tmDescent), scaled(tm.tmMaxCharWidth), scaled(tm.tmExternalLeading)};
}
