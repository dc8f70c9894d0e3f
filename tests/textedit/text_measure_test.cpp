// The VTB measurers and line drawer and the VIU exports on a memory DC under Wine. The
// exports' glue is compiled in, so the tests can point the engine's measuring port at their
// own port; the QuickDraw calls underneath are TSTOOLS.DLL's.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "font/font_manager.h"
#include "support/dib_canvas.h"
#include "tests/font/pascal_string.h"
#include "textedit/te_state.h"
#include "tstools/tstools.h"

namespace {

using tstools::test::P255;
using tstools::text::textState;

constexpr uint32_t kWhite = 0xFFFFFF;

class TextMeasureTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InitFonts(); }
  void SetUp() override {
    QDrawCacheInit();
    Str255 name = {11, 'D', 'e', 'j', 'a', 'V', 'u', ' ', 'S', 'a', 'n', 's'};
    GetFNum(name, &sans);
    ASSERT_GT(sans, 1) << "the set-up installs DejaVu";
    canvas.OpenPort(&port);
    ML_TextFont(&port, sans);
    ML_TextSize(&port, 20);
    portPtr = &port;
    textState.measuringPort = &portPtr;
    InitMetricCache();
  }
  void TearDown() override {
    textState.measuringPort = nullptr;
    ClosePort(&port);
    QDrawCacheClose();
  }
  // The GDI extent of the same face, less its overhang.
  int GdiWidth(const std::string &windowsText, int weight = FW_NORMAL) {
    HFONT font = CreateFontA(-20, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "DejaVu Sans");
    HGDIOBJ old = SelectObject(canvas.dc(), font);
    SIZE size{};
    GetTextExtentPoint32A(canvas.dc(), windowsText.data(), int(windowsText.size()), &size);
    TEXTMETRICA tm{};
    GetTextMetricsA(canvas.dc(), &tm);
    SelectObject(canvas.dc(), old);
    DeleteObject(font);
    return size.cx - tm.tmOverhang;
  }
  // Columns [left, right) of row y all inked, or none of them.
  bool RowInked(int y, int left, int right, bool all) {
    for (int x = left; x < right; ++x)
      if ((canvas.At(x, y) != kWhite) != all) return false;
    return true;
  }
  RECT Ink() {
    RECT r{canvas.width(), canvas.height(), -1, -1};
    for (int y = 0; y < canvas.height(); ++y)
      for (int x = 0; x < canvas.width(); ++x)
        if (canvas.At(x, y) != kWhite)
          r = RECT{std::min<LONG>(r.left, x), std::min<LONG>(r.top, y), std::max<LONG>(r.right, x + 1),
                   std::max<LONG>(r.bottom, y + 1)};
    return r;
  }

  tstools::test::DibCanvas canvas{400, 100};
  GrafPort port{};
  GrafPort *portPtr = nullptr;
  short sans = 0;
};

TEST_F(TextMeasureTest, WidthsAgreeWithGdiExtents) {
  const unsigned short plain = 0, strike = 0x0001, bold = 0x0101, lower = 0x0020;
  for (const unsigned short *face : {&plain, &strike}) {
    EXPECT_EQ(VTBStringWidth(P255("Hello, World").bytes, face), GdiWidth("Hello, World"));
    EXPECT_EQ(VTBCharWidth('W', face), GdiWidth("W"));
    EXPECT_EQ(VTBTextWidth("\x8E" "t\x8E", 0, 3, face), GdiWidth("\xE9t\xE9")) << "Mac bytes as Windows ones";
  }
  EXPECT_EQ(VTBStringWidth(P255("Bold").bytes, &bold), GdiWidth("Bold", FW_BOLD));
  EXPECT_EQ(VTBStringWidth(P255("MiXed").bytes, &lower), GdiWidth("MiXed")) << "no case tables before start-up";

  std::string lots(100000, 'm');
  EXPECT_EQ(VTBTextWidth(lots.data(), 0, 100000, &strike), 100000L * GdiWidth("m")) << "no 16-bit truncation";
  EXPECT_EQ(VTBTextWidth(lots.data(), 0, -5, &strike), 0);
  EXPECT_EQ(VTBTextWidth(lots.data(), -1, 5, &strike), 0);

  FontInfo viaCache{}, viaPort{};
  VTBGetFontInfo(&strike, &viaCache);
  VTBGetFontInfo(&plain, &viaPort);
  EXPECT_EQ(viaCache.ascent, viaPort.ascent);
  EXPECT_EQ(viaCache.descent, viaPort.descent);
  EXPECT_EQ(port.txFace, 0) << "the port's face is restored";

  textState.measuringPort = nullptr;  // no measuring port: defined zeros
  EXPECT_EQ(VTBStringWidth(P255("x").bytes, &strike), 0);
  VTBGetFontInfo(&strike, &viaCache);
  EXPECT_EQ(viaCache.ascent, 0);
}

TEST_F(TextMeasureTest, FontTableRebuildEmptiesTheCache) {
  const unsigned short strike = 1;
  VTBCharWidth('a', &strike);
  uint64_t before = textState.cache.Misses();
  VTBCharWidth('a', &strike);
  EXPECT_EQ(textState.cache.Misses(), before);
  ASSERT_TRUE(tstools::onFontTableBuilt);
  tstools::onFontTableBuilt();
  VTBCharWidth('a', &strike);
  EXPECT_EQ(textState.cache.Misses(), before + 1);
}

TEST_F(TextMeasureTest, DrawStringPtrDecisivePixels) {
  const Rect box{10, 10, 390, 90};
  const int baseline = 60;
  const short mode = port.txMode;
  const Point pen = port.pnLoc;
  auto draw = [&](const char *text, unsigned short face, short just = 0, Boolean clip = 0, const Rect *where = nullptr) {
    canvas.Fill(kWhite);
    VTBDrawStringPtr(P255(text).bytes, where ? where : &box, just, 30, baseline - 10, &face, 0, clip, 0, 0);
  };
  int width = VTBStringWidth(P255("ab cd").bytes, nullptr);
  int left = 10, right = 10 + width;

  draw("ab cd", 0x0080);  // double underline: rows 1 and 3 below the baseline, not row 2
  EXPECT_TRUE(RowInked(baseline + 1, left, right, true));
  EXPECT_TRUE(RowInked(baseline + 3, left, right, true));
  EXPECT_TRUE(RowInked(baseline + 2, left, right, false));

  draw("ab cd", 0x0001);  // strike-through: one row inked across the blank as well
  bool struck = false;
  for (int y = baseline - 14; y < baseline; ++y) struck = struck || RowInked(y, left + 1, right - 1, true);
  EXPECT_TRUE(struck);

  draw("ab cd", 0x0040);  // word underline: under the letters, never under the blank
  int abRight = 10 + VTBStringWidth(P255("ab").bytes, nullptr), cdLeft = 10 + VTBStringWidth(P255("ab ").bytes, nullptr);
  bool under = false;
  for (int y = baseline; y < baseline + 5; ++y) {
    under = under || RowInked(y, left + 1, abRight - 1, true);
    EXPECT_TRUE(RowInked(y, abRight + 1, cdLeft - 1, false)) << y;
  }
  EXPECT_TRUE(under);

  draw("ab", 0);
  RECT plainInk = Ink();
  draw("ab", 0x0004);  // superscript: half size, raised
  RECT superInk = Ink();
  EXPECT_LT(superInk.bottom, plainInk.bottom - 4);
  EXPECT_LT(superInk.right - superInk.left, plainInk.right - plainInk.left);

  draw("ab   ", 0x0001, -1);  // from the right edge
  EXPECT_LE(Ink().right, 390);
  EXPECT_GT(Ink().right, 390 - VTBStringWidth(P255("   ").bytes, nullptr) - 4) << "trailing blanks count without underline";
  const Rect narrow{10, 10, 20, 90};
  draw("WWWW", 0x0001, 0, 1, &narrow);
  EXPECT_LE(Ink().right, 20) << "clipped to the box";

  EXPECT_EQ(port.txSize, 20);
  EXPECT_EQ(port.txFace, 0);
  EXPECT_EQ(port.txMode, mode);
  EXPECT_EQ(pen.h, port.pnLoc.h);
  EXPECT_EQ(pen.v, port.pnLoc.v);
  RgnHandle clip = NewRgn();
  ML_GetClip(&port, clip);
  RECT clipBox{};
  GetRgnBox(reinterpret_cast<HRGN>(clip), &clipBox);
  EXPECT_GE(clipBox.right, 400) << "the previous clip is back";
  DisposeRgn(clip);
}

TEST_F(TextMeasureTest, IntlExports) {
  EXPECT_EQ(VIUToCase('a', 0, 0, 0), 'a') << "no case tables before start-up";
  EXPECT_EQ(VIUToCase(0x1FF, 0, 0, 0), 0x1FF);
  EXPECT_FALSE(VIUIsCase('A', 0, 0));

  unsigned short offsets[6] = {9, 9, 9, 9, 9, 9};
  VIUFindWord(reinterpret_cast<const unsigned char *>("one two"), 7, 5, 1, 0, offsets, 0);
  EXPECT_EQ(offsets[0], 4); EXPECT_EQ(offsets[1], 7);
  EXPECT_EQ(offsets[2] | offsets[3] | offsets[4] | offsets[5], 0);
  long start = 0, end = 0;
  VIUFindWordEx(reinterpret_cast<const unsigned char *>("one two"), 7, 1, 0, 2, &start, &end);
  EXPECT_EQ(start, 0); EXPECT_EQ(end, 3);

  EXPECT_EQ(VIUFontToCodeSet(sans), 0);
  EXPECT_EQ(VIUFontToCodeSet(-5), 0);
  EXPECT_EQ(VIUWinCharSetToCodeSet(129), 3);

  const unsigned char src[2] = {1, 2};
  unsigned char dst[2] = {};
  const Rect wide{0, 0, 2, 1}, tall{0, 0, 1, 2};
  EXPECT_TRUE(VIURotateBitmapLeft(src, dst, &wide, &tall, 2, 1, 8, 90));
  EXPECT_EQ(dst[0], 2); EXPECT_EQ(dst[1], 1);
  EXPECT_FALSE(VIURotateBitmapLeft(src, dst, &wide, &tall, 2, 1, 7, 90));
  unsigned char pixels[2] = {5, 6}, mask[1] = {0xFF};
  EXPECT_TRUE(VIUMaskBitmap(pixels, mask, &wide, &wide, 2, 1, 8, 0, 6, 9));
  EXPECT_EQ(pixels[1], 9); EXPECT_EQ(mask[0], 0x40);
  unsigned long first = 0, second = 0;
  EXPECT_TRUE(VIUGetBitmapColors(pixels, &wide, 2, 8, &second, &first));
  EXPECT_EQ(first, 5u); EXPECT_EQ(second, 9u);
}

}  // namespace
