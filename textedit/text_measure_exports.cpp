// The VTB measurers and line drawer: the measuring port's plain text calls for plain faces,
// the metric cache and the extended-style renderer otherwise.
#include <algorithm>
#include <cstring>
#include <vector>

#include "font/font_manager.h"
#include "frame/export_guard.h"
#include "textedit/te_state.h"
#include "tstools/grafport.h"
#include "tstools/shapes.h"
#include "tstools/text_measure.h"
#include "tstools/ticks.h"

using namespace tstools::text;

namespace {

GdiMeasurer &PortMeasurer() {
  static GdiMeasurer measurer(&textState.measuringPort);
  return measurer;
}

GrafPort *MeasuringPort() {
  GrafPort *port = PortMeasurer().Port();
  return port && port->refDC ? port : nullptr;
}

uint16_t FaceOf(const unsigned short *faceWord) { return faceWord ? *faceWord : 0; }

const StyleMetrics &Metrics(GrafPort *port, uint16_t face) {
  TextStyle style;
  style.font = port->txFont;
  style.size = port->txSize;
  style.face = face;
  return textState.cache.Lookup(style, PortMeasurer(), textState.cases, static_cast<uint32_t>(TickCount()));
}

// The port's text settings and pen, put back on every way out.
class PortTextScope {
 public:
  explicit PortTextScope(GrafPort *port)
      : port_(port), font_(port->txFont), face_(port->txFace), size_(port->txSize), mode_(port->txMode) {
    ML_GetPenState(port, &pen_);
  }
  ~PortTextScope() {
    ML_TextFont(port_, font_);
    ML_TextFace(port_, face_);
    ML_TextSize(port_, size_);
    ML_TextMode(port_, mode_);
    ML_SetPenState(port_, &pen_);
  }
  PortTextScope(const PortTextScope &) = delete;
  PortTextScope &operator=(const PortTextScope &) = delete;

 private:
  GrafPort *port_;
  short font_;
  unsigned char face_;
  short size_, mode_;
  PenState pen_{};
};

// The plain port width of n bytes, in pieces short enough for the port's 16-bit widths.
int64_t PlainWidth(GrafPort *port, uint8_t qdFace, const uint8_t *text, int64_t n) {
  PortTextScope scope(port);
  ML_TextFace(port, qdFace);
  int64_t sum = 0;
  char piece[64];
  for (int64_t at = 0; at < n; at += sizeof piece) {
    auto count = static_cast<short>(std::min<int64_t>(sizeof piece, n - at));
    std::memcpy(piece, text + at, static_cast<size_t>(count));
    sum += static_cast<unsigned short>(ML_TextWidth(port, piece, 0, count));
  }
  return sum;
}

// The byte as drawn: title case follows the character before it in the text.
uint8_t Shown(uint16_t face, uint8_t c, uint8_t previous) {
  return textState.cases.ForFace(c, previous, face);
}

// The width table is indexed by the byte as stored, except under title case, whose mapping
// depends on the previous character and so happens here.
tstools::text::Fixed WidthAt(const StyleMetrics &m, uint16_t face, uint8_t c, uint8_t previous) {
  return (face & kTitleCase) == kTitleCase ? m.widths[Shown(face, c, previous)] : m.widths[c];
}

int64_t StyledWidth(GrafPort *port, uint16_t face, const uint8_t *text, int64_t n, uint8_t previous) {
  if ((face & 0xFF) == 0) return PlainWidth(port, static_cast<uint8_t>(face >> 8), text, n);
  const StyleMetrics &m = Metrics(port, face);
  int64_t sum = 0;
  for (int64_t i = 0; i < n; ++i) {
    sum += WidthAt(m, face, text[i], previous);
    previous = text[i];
  }
  return (sum + 0x8000) >> 16;
}

long Clamp32(int64_t v) {
  return static_cast<long>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

bool IsBlank(uint8_t c) { return c < 0x21 || c == 0xCA; }

void FillBar(GrafPort *port, int left, int top, int right, int bottom) {
  Rect r{static_cast<short>(left), static_cast<short>(top), static_cast<short>(right), static_cast<short>(bottom)};
  ML_PaintRect(port, &r);
}

void DrawStyled(GrafPort *port, const uint8_t *text, int n, int x, int y, uint16_t face) {
  const StyleMetrics &m = Metrics(port, face);
  const short size = port->txSize;
  uint8_t qd = static_cast<uint8_t>(face >> 8);
  if (face & kWordUnderline) qd |= 0x04;
  if (face & kSmallCaps) qd &= static_cast<uint8_t>(~0x04);
  const bool raised = (face & (kSuperscript | kSubscript)) != 0;
  short drawSize = size;
  if (raised) drawSize = static_cast<short>(size / 2 < 8 ? size / 2 + 1 : size / 2);
  const short smallSize = static_cast<short>(std::max(1, drawSize - drawSize / 4));

  FontInfo full{};
  ML_TextFace(port, qd);
  ML_GetFontInfo(port, &full);
  int shift = face & kSuperscript ? -full.ascent / 2 : face & kSubscript ? full.ascent / 4 : 0;
  ML_TextSize(port, drawSize);
  FontInfo drawn{};
  ML_GetFontInfo(port, &drawn);
  ML_TextMode(port, 1);  // glyphs only: the pieces must not paint over each other

  // Pieces of equal size and face: small capitals and word underline change both per byte.
  std::vector<char> shown(static_cast<size_t>(n));
  uint8_t previous = 0;
  for (int i = 0; i < n; ++i) {
    shown[static_cast<size_t>(i)] = static_cast<char>(Shown(face, text[i], previous));
    previous = text[i];
  }
  int64_t advance = 0;  // Fixed
  previous = 0;
  for (int i = 0; i < n;) {
    auto key = [&](int k) {
      auto c = static_cast<uint8_t>(shown[static_cast<size_t>(k)]);
      bool small = (face & kSmallCaps) && textState.cases.ToUpper(c) != c;
      bool bare = (face & kWordUnderline) && IsBlank(c);
      return small * 2 + bare;
    };
    int j = i, k = key(i);
    int64_t pieceWidth = 0;
    while (j < n && key(j) == k) {
      pieceWidth += WidthAt(m, face, text[j], previous);
      previous = text[j];
      if (k & 2) shown[static_cast<size_t>(j)] = static_cast<char>(textState.cases.ToUpper(static_cast<uint8_t>(shown[static_cast<size_t>(j)])));
      ++j;
    }
    ML_TextSize(port, k & 2 ? smallSize : drawSize);
    ML_TextFace(port, k & 1 ? static_cast<uint8_t>(qd & ~0x04) : qd);
    ML_MoveTo(port, static_cast<short>(x + ((advance + 0x8000) >> 16)), static_cast<short>(y + shift));
    ML_DrawText(port, shown.data(), static_cast<short>(i), static_cast<short>(j - i));
    advance += pieceWidth;
    i = j;
  }

  int right = x + static_cast<int>((advance + 0x8000) >> 16);
  ML_PenNormal(port);
  int scale = PortMeasurer().VerticalScale();
  if ((face & kSmallCaps) && (face & kUnderline)) FillBar(port, x, y + 1, right, y + 2);
  if (face & kDoubleUnderline) {
    FillBar(port, x, y + scale, right, y + scale + 1);
    FillBar(port, x, y + 3 * scale, right, y + 3 * scale + 1);
  }
  if (face & kStrike) {
    int thickness = std::max(1, size / 12);
    int middle = y + shift - drawn.ascent / 3;
    FillBar(port, x, middle - thickness / 2, right, middle - thickness / 2 + thickness);
  }
}

void (*chainedFontTableBuilt)() = nullptr;

void FontTableBuilt() {
  textState.cache.Clear();
  if (chainedFontTableBuilt) chainedFontTableBuilt();
}

// The cache is emptied whenever the font table is rebuilt: font numbers may name other faces.
struct FontHookInstaller {
  FontHookInstaller() {
    chainedFontTableBuilt = tstools::onFontTableBuilt;
    tstools::onFontTableBuilt = FontTableBuilt;
  }
} fontHookInstaller;

}  // namespace

void WINAPI InitMetricCache() { textState.cache.Clear(); }

long WINAPI VTBCharWidth(short ch, const unsigned short *faceWord) {
  return tstools::Guarded(0L, [&]() -> long {
    GrafPort *port = MeasuringPort();
    if (!port) return 0;
    auto c = static_cast<uint8_t>(ch);
    return Clamp32(StyledWidth(port, FaceOf(faceWord), &c, 1, 0));
  });
}

long WINAPI VTBStringWidth(ConstStr255Param s, const unsigned short *faceWord) {
  return tstools::Guarded(0L, [&]() -> long {
    GrafPort *port = MeasuringPort();
    if (!port || !s) return 0;
    return Clamp32(StyledWidth(port, FaceOf(faceWord), s + 1, s[0], 0));
  });
}

long WINAPI VTBTextWidth(const char *text, long firstByte, long byteCount, const unsigned short *faceWord) {
  return tstools::Guarded(0L, [&]() -> long {
    GrafPort *port = MeasuringPort();
    if (!port || !text || firstByte < 0 || byteCount <= 0) return 0;
    const auto *bytes = reinterpret_cast<const uint8_t *>(text) + firstByte;
    uint8_t previous = firstByte > 0 ? bytes[-1] : 0;
    return Clamp32(StyledWidth(port, FaceOf(faceWord), bytes, byteCount, previous));
  });
}

void WINAPI VTBGetFontInfo(const unsigned short *faceWord, FontInfo *info) {
  if (!info) return;
  *info = FontInfo{};
  tstools::Guarded(tstools::Nothing, [&] {
    GrafPort *port = MeasuringPort();
    if (!port) return;
    uint16_t face = FaceOf(faceWord);
    if ((face & 0xFF) == 0) {
      PortTextScope scope(port);
      ML_TextFace(port, static_cast<short>(face >> 8));
      ML_GetFontInfo(port, info);
      return;
    }
    const FontMetrics &m = Metrics(port, face).info;
    *info = FontInfo{static_cast<short>(RoundFixed(m.ascent)), static_cast<short>(RoundFixed(m.descent)),
                     static_cast<short>(RoundFixed(m.widMax)), static_cast<short>(RoundFixed(m.leading))};
  });
}

void WINAPI VTBDrawStringPtr(ConstStr255Param s, const Rect *box, short just, short, short baselineOffset,
                             const unsigned short *faceWord, short, Boolean clip, short, long) {
  tstools::Guarded(tstools::Nothing, [&] {
    GrafPort *port = MeasuringPort();
    if (!port || !s || !box) return;
    const uint16_t face = FaceOf(faceWord);
    uint8_t text[256];
    int n = s[0];
    std::memcpy(text, s + 1, static_cast<size_t>(n));
    if (face & (kWordUnderline | kDoubleUnderline | kUnderline))
      while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\r' || text[n - 1] == 0xCA)) --n;
    if (n == 0) return;

    PortTextScope scope(port);
    int64_t width = StyledWidth(port, face, text, n, 0);
    if (face & kItalic) {
      FontInfo fi{};
      ML_TextFace(port, static_cast<short>(face >> 8));
      ML_GetFontInfo(port, &fi);
      width += fi.widMax / 2;
    }
    int x = just == 0 || just == 2 ? box->left
            : just == -1           ? static_cast<int>(box->right - width)
                                   : static_cast<int>(box->left + (box->right - box->left - width) / 2);
    int y = box->top + baselineOffset;

    RgnHandle saved = nullptr;
    if (clip) {
      saved = NewRgn();
      RgnHandle boxRgn = NewRgn();
      if (saved && boxRgn) {
        ML_GetClip(port, saved);
        RectRgn(boxRgn, box);
        SectRgn(saved, boxRgn, boxRgn);
        ML_SetClip(port, boxRgn);
      }
      if (boxRgn) DisposeRgn(boxRgn);
    }
    if ((face & 0xFF) == 0) {
      ML_TextFace(port, static_cast<short>(face >> 8));
      ML_TextMode(port, 1);
      ML_MoveTo(port, static_cast<short>(x), static_cast<short>(y));
      ML_DrawText(port, reinterpret_cast<char *>(text), 0, static_cast<short>(n));
    } else {
      DrawStyled(port, text, n, x, y, face);
    }
    if (saved) {
      ML_SetClip(port, saved);
      DisposeRgn(saved);
    }
  });
}
