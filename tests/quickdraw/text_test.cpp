// Text drawing and measurement through TSTOOLS.DLL on memory DCs, in the DejaVu faces the set-up
// installs. The arithmetic is the portable text rules' tests'; these check what reaches GDI.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "support/dib_canvas.h"
#include "tests/font/pascal_string.h"
#include "tstools/tstools.h"

namespace {

using tstools::test::P255;

constexpr int kW = 256, kH = 64;
constexpr uint32_t kWhite = 0xFFFFFF;

// A white canvas with the ink measures the text tests look at.
struct DibDC : tstools::test::DibCanvas {
  DibDC() : DibCanvas(kW, kH) {}
  void Clear() { Fill(kWhite); }
  // Bounding box of the non-white pixels; empty (right < left) when there are none.
  RECT Ink() const {
    RECT r{kW, kH, -1, -1};
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        if (At(x, y) != kWhite)
          r = RECT{std::min<LONG>(r.left, x), std::min<LONG>(r.top, y), std::max<LONG>(r.right, x),
                   std::max<LONG>(r.bottom, y)};
    return r;
  }
};

short FNum(const std::string &name) {
  short n = 0;
  GetFNum(P255(name).bytes, &n);
  return n;
}

struct Port {
  GrafPort port;
  explicit Port(HDC dc, unsigned char kind = portKindWindowOrDC) {
    std::memset(&port, 0xCD, sizeof(port));  // the host need not clear the record
    port.window = nullptr;
    port.dc = dc;
    port.portKind = kind;
    port.portRect = Rect{0, 0, kW, kH};
    ML_OpenPort(&port);
  }
  ~Port() { ClosePort(&port); }
  GrafPort *operator->() { return &port; }
  operator GrafPort *() { return &port; }
};

// The width GDI gives the port's selected font, as the pen should advance by it.
int GdiAdvance(HDC dc, const char *text, int n) {
  SIZE size{};
  GetTextExtentPoint32A(dc, text, n, &size);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  return size.cx - tm.tmOverhang;
}

LOGFONTA FontOf(GrafPort *port) {
  LOGFONTA lf{};
  GetObjectA(port->fontSlot, sizeof(lf), &lf);
  return lf;
}

class TextTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InitFonts(); }
  void SetUp() override {
    QDrawCacheInit();
    sans = FNum("DejaVu Sans");
    ASSERT_GT(sans, 1) << "the set-up installs DejaVu";
  }
  void TearDown() override { QDrawCacheClose(); }
  void UseSans(GrafPort *port, short size, short face = 0) {
    ML_TextFont(port, sans);
    ML_TextSize(port, size);
    ML_TextFace(port, face);
  }
  short sans = 0;
};

}  // namespace

TEST_F(TextTest, DrawsAtThePenAndAdvancesByTheExtentLessOverhangAndSpacing) {
  DibDC s;
  Port port(s.dc());
  UseSans(port, 12);
  ML_MoveTo(port, 10, 30);
  char text[] = "xab\r";
  ML_DrawText(port, text, 1, 3);  // a trailing return is not drawn
  EXPECT_STREQ(FontOf(port).lfFaceName, "DejaVu Sans");
  EXPECT_EQ(FontOf(port).lfHeight, -12);
  int advance = GdiAdvance(s.dc(), "ab", 2);
  EXPECT_EQ(std::make_pair(port->pnLoc.h, port->pnLoc.v), std::make_pair(short(10 + advance), short(30)));
  RECT ink = s.Ink();
  EXPECT_TRUE(ink.left >= 10 && ink.right <= 10 + advance && ink.top >= 30 - 13 && ink.bottom <= 30 + 4)
      << "from the pen, on the baseline";

  EXPECT_EQ(ML_TextWidth(port, text, 1, 2), advance);
  EXPECT_EQ(ML_StringWidth(port, P255("ab").bytes), advance);
  FontInfo info{};
  ML_GetFontInfo(port, &info);
  TEXTMETRICA tm{};
  GetTextMetricsA(s.dc(), &tm);
  EXPECT_EQ(std::make_pair(info.ascent, info.leading), std::make_pair(short(tm.tmAscent), short(tm.tmExternalLeading)));

  // Nothing to draw or measure: a lone return, bad counts, null arguments.
  s.Clear();
  ML_DrawChar(port, 13);
  ML_DrawText(port, text, 0, -2);
  ML_DrawText(port, nullptr, 0, 2);
  ML_DrawText(nullptr, text, 0, 2);
  ML_DrawString(port, nullptr);
  ML_GetFontInfo(port, nullptr);
  EXPECT_LT(s.Ink().right, 0) << "no ink";
  EXPECT_EQ(port->pnLoc.h, 10 + advance);
  EXPECT_EQ(ML_TextWidth(port, text, -1, 2) | ML_TextWidth(port, nullptr, 0, 2) | ML_TextWidth(nullptr, text, 0, 2) |
                ML_StringWidth(port, nullptr),
            0);

  // Space extra widens the inner spaces of one drawing; extend spaces every character of
  // drawings and widths alike.
  char spaced[] = "a b c ";
  short plain = ML_TextWidth(port, spaced, 0, 6);
  port->spExtra = 0x00020000;
  ML_MoveTo(port, 0, 60);
  ML_DrawText(port, spaced, 0, 6);
  EXPECT_EQ(port->pnLoc.h, plain + 4) << "two inner spaces of 2, the trailing one not widened";
  EXPECT_EQ(ML_TextWidth(port, spaced, 0, 6), plain) << "widths ignore spExtra";
  port->spExtra = 0;
  ML_TextFace(port, 64);
  ML_MoveTo(port, 0, 60);
  ML_DrawText(port, spaced, 0, 6);
  EXPECT_GT(port->pnLoc.h, plain);
  EXPECT_EQ(port->pnLoc.h, ML_TextWidth(port, spaced, 0, 6)) << "drawings and widths alike";
  EXPECT_EQ(GetTextCharacterExtra(s.dc()), 0) << "the spacing ends with the call";
}

// A hinted face may be drawn with narrower advances than the extents the pen moves by: the
// glyphs must end at the pen, or text drawn after them leaves a gap.
TEST_F(TextTest, GlyphsEndWhereThePenDoes) {
  DibDC s;
  Port port(s.dc());
  ML_TextFont(port, FNum("Liberation Serif"));
  for (short size : {12, 14, 16, 18}) {
    ML_TextSize(port, size);
    s.Clear();
    ML_MoveTo(port, 4, 40);
    char text[] = "HHHHHHHHHHHHHHHH";
    ML_DrawText(port, text, 0, 16);
    RECT ink = s.Ink();
    EXPECT_TRUE(ink.right >= port->pnLoc.h - 4 && ink.right <= port->pnLoc.h)
        << size << ": ink ends at " << ink.right << ", the pen at " << port->pnLoc.h;
  }
}

// Mac Roman 0x8E is e acute, Windows 0xE9; as Windows text 0x8E would be Z caron.
TEST_F(TextTest, CallersBytesAreConvertedForTheCallAndRestored) {
  DibDC s;
  Port port(s.dc());
  UseSans(port, 14);
  char mac[] = "\x8E\x8E\xA5";
  short width = ML_TextWidth(port, mac, 0, 3);
  EXPECT_EQ(width, GdiAdvance(s.dc(), "\xE9\xE9\x95", 3)) << "measured as Windows text";
  ML_MoveTo(port, 2, 30);
  ML_DrawText(port, mac, 0, 3);
  EXPECT_EQ(std::make_pair(std::string(mac, 3), int(port->pnLoc.h)), std::make_pair(std::string("\x8E\x8E\xA5"), 2 + width));
  // The same bytes on a port that does not translate are measured as they are.
  port->translateText = 0;
  EXPECT_EQ(ML_TextWidth(port, mac, 0, 3), GdiAdvance(s.dc(), mac, 3));
}

// The face's minimum bold size comes from the settings: host strings 2071 (section) and
// 2079 (default key) of TSHOSTRES.DLL.
TEST_F(TextTest, BoldBelowTheMinimumSizeIsSimulatedOnScreenOnly) {
  HMODULE resources = LoadLibraryExA("TSHOSTRES.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(SetTSToolsResourceInstance(resources));
  ML_WriteVantorProfileString("Bold Sizes", "DejaVu Sans", "10");
  InitFonts();
  sans = FNum("DejaVu Sans");
  ASSERT_EQ(GetMinBoldSize(sans), 10);

  DibDC plainSurface, boldSurface, printerSurface;
  Port plain(plainSurface.dc()), bolded(boldSurface.dc()), printer(printerSurface.dc(), portKindPrinter);
  UseSans(plain, 9);
  UseSans(bolded, 9, 1);
  UseSans(printer, 9, 1);
  char text[] = "Il";
  // In mode 0 (srcCopy) the second pass must not fill its cell over the first one's glyphs.
  for (GrafPort *p : {&plain.port, &bolded.port, &printer.port}) {
    ML_TextMode(p, 0);
    ML_MoveTo(p, 5, 30);
    ML_DrawText(p, text, 0, 2);
  }
  EXPECT_EQ(FontOf(bolded).lfWeight, 400) << "drawn with the plain face";
  EXPECT_EQ(bolded->txFace, 1) << "the bold bit is back";
  EXPECT_EQ(bolded->pnLoc.h, plain->pnLoc.h + 1) << "one pixel wider";
  int mismatches = 0, inked = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 1; x < kW; ++x) {
      bool want = plainSurface.At(x, y) != kWhite || plainSurface.At(x - 1, y) != kWhite;
      mismatches += want != (boldSurface.At(x, y) != kWhite);
      inked += want;
    }
  EXPECT_GT(inked, 10);
  EXPECT_EQ(mismatches, 0) << "the plain glyphs, and again one pixel to the right";
  EXPECT_EQ(ML_TextWidth(bolded, text, 0, 2), plain->pnLoc.h - 5) << "widths of the plain face";
  EXPECT_EQ(FontOf(printer).lfWeight, 700) << "printers get the real bold face";

  RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Vantor Corp.\\Tessaly Pro\\Bold Sizes", "DejaVu Sans");
  SetTSToolsResourceInstance(nullptr);
  FreeLibrary(resources);
  InitFonts();
}

// Printer text is clipped in device units the scaling shifts do not divide; the shape verb
// after it must rebuild its own, divided clip.
TEST_F(TextTest, PrinterTextClipIgnoresTheScalingShift) {
  DibDC s;
  Port port(s.dc(), portKindPrinter);
  UseSans(port, 12);
  port->printerShiftX = port->printerShiftY = 1;  // as a driver scaling output by 2 reports
  Rect clip{0, 0, 40, 40};
  ML_ClipRect(port, &clip);
  char text[] = "a";
  ML_MoveTo(port, 2, 30);
  ML_DrawText(port, text, 0, 1);
  RECT box{};
  GetClipBox(s.dc(), &box);
  EXPECT_EQ(std::make_pair(box.right, port->clipChanged), std::make_pair(40L, 1L)) << "text: not divided";
  ML_PaintRect(port, &clip);
  GetClipBox(s.dc(), &box);
  EXPECT_EQ(box.right, 20) << "the next shape divides again";

  // A font number outside the table asks for the default character set, not OEM.
  ML_TextFont(port, 30000);
  ML_DrawText(port, text, 0, 1);
  EXPECT_EQ(FontOf(port).lfCharSet, DEFAULT_CHARSET);
}

TEST_F(TextTest, ModesAndAnglesReachTheDCForOneCall) {
  DibDC s;
  Port port(s.dc());
  UseSans(port, 16);
  ML_BackColor(port, blueColor);  // 0x0000FF in the DIB's BGR order
  char text[] = "HH";
  TEXTMETRICA tm{};
  auto draw = [&](short mode) {
    s.Clear();
    ML_TextMode(port, mode);
    ML_MoveTo(port, 10, 40);
    ML_DrawText(port, text, 0, 2);
    GetTextMetricsA(s.dc(), &tm);  // the port's font is selected by the first drawing
    return s.At(11, 40 - tm.tmAscent + 1);  // above the glyphs, in their cell
  };
  EXPECT_EQ(draw(0), 0x0000FFu) << "srcCopy fills the cell with the background colour";
  EXPECT_EQ(draw(3), kWhite) << "srcBic: glyphs only";
  EXPECT_GT(std::count(s.pixels(), s.pixels() + kW * kH, 0x0000FFu), 10) << "in the background colour";
  EXPECT_EQ(GetTextColor(s.dc()), port->textColorRef) << "the foreground colour is back";
  // Angled text turns the baseline for one call.
  s.Clear();
  ML_TextMode(port, 1);
  ML_MoveTo(port, 20, 60);
  ML_DrawAngleText(port, text, 0, 2, 900);
  RECT ink = s.Ink();
  EXPECT_GT(ink.bottom - ink.top, ink.right - ink.left) << "upwards";
  EXPECT_LE(ink.bottom, 60);
  ML_TextWidth(port, text, 0, 1);
  EXPECT_EQ(FontOf(port).lfEscapement, 0) << "the angle ends with the call";
}

