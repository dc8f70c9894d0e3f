// The VTB measurers and line drawer and the VIU exports on a memory DC under Wine. The
// exports' glue is compiled in, so the tests can point the engine's measuring port at their
// own port; the QuickDraw calls underneath are TSTOOLS.DLL's.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "font/font_manager.h"
#include "support/dib_canvas.h"
#include "tests/font/pascal_string.h"
#include "textedit/te_state.h"
#include "tstools/tstools.h"

namespace {

using tstools::test::P255;
using tstools::text::textState;

struct TextMeasureTest : ::testing::Test {
  static void SetUpTestSuite() { InitFonts(); }
  void SetUp() override {
    QDrawCacheInit();
    GetFNum(P255("DejaVu Sans").bytes, &sans);
    ASSERT_GT(sans, 1) << "the set-up installs DejaVu";
    canvas.OpenPort(&port);
    ML_TextFont(&port, sans);
    ML_TextSize(&port, 20);
    textState.measuringPort = &portPtr;
    InitMetricCache();
  }
  void TearDown() override {
    textState.measuringPort = nullptr;
    ClosePort(&port);
    QDrawCacheClose();
  }
  int GdiWidth(const std::string &windowsText, int weight = FW_NORMAL) {  // less the overhang
    HFONT font = CreateFontA(-20, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "DejaVu Sans");
    HGDIOBJ old = SelectObject(canvas.dc(), font);
    SIZE size{};
    TEXTMETRICA tm{};
    GetTextExtentPoint32A(canvas.dc(), windowsText.data(), int(windowsText.size()), &size);
    GetTextMetricsA(canvas.dc(), &tm);
    DeleteObject(SelectObject(canvas.dc(), old));
    return size.cx - tm.tmOverhang;
  }
  int Inked(int y, int left, int right) {  // inked pixels of row y in [left, right)
    int n = 0;
    for (int x = left; x < right; ++x) n += canvas.At(x, y) != 0xFFFFFF;
    return n;
  }
  int Width(const char *s) { return VTBStringWidth(P255(s).bytes, nullptr); }

  tstools::test::DibCanvas canvas{400, 100};
  GrafPort port{}, *portPtr = &port;
  short sans = 0;
};

TEST_F(TextMeasureTest, WidthsAgreeWithGdiExtents) {
  const unsigned short plain = 0, strike = 0x0001, bold = 0x0101;
  for (const unsigned short *face : {&plain, &strike}) {
    EXPECT_EQ(VTBStringWidth(P255("Hello, World").bytes, face), GdiWidth("Hello, World"));
    EXPECT_EQ(VTBCharWidth('W', face), GdiWidth("W"));
    EXPECT_EQ(VTBTextWidth("\x8E" "t\x8E", 0, 3, face), GdiWidth("\xE9t\xE9")) << "Mac bytes as Windows ones";
  }
  EXPECT_EQ(VTBStringWidth(P255("Bold").bytes, &bold), GdiWidth("Bold", FW_BOLD));
  std::string lots(100000, 'm');
  EXPECT_EQ(VTBTextWidth(lots.data(), 0, 100000, &strike), 100000L * GdiWidth("m")) << "summed in 64 bits";
  EXPECT_EQ(VTBTextWidth(lots.data(), 0, -5, &strike) | VTBTextWidth(lots.data(), -1, 5, &strike), 0);
  FontInfo viaCache{}, viaPort{};
  VTBGetFontInfo(&strike, &viaCache);
  VTBGetFontInfo(&plain, &viaPort);
  EXPECT_EQ(std::make_pair(viaCache.ascent, viaCache.descent), std::make_pair(viaPort.ascent, viaPort.descent));

  uint64_t misses = textState.cache.Misses();
  tstools::onFontTableBuilt();  // a rebuilt font table empties the cache
  VTBCharWidth('a', &strike);
  EXPECT_EQ(textState.cache.Misses(), misses + 1);
  textState.measuringPort = nullptr;  // no measuring port: defined zeros
  VTBGetFontInfo(&strike, &viaCache);
  EXPECT_EQ(VTBStringWidth(P255("x").bytes, &strike) + viaCache.ascent, 0);
}

TEST_F(TextMeasureTest, DrawStringPtrDecisivePixels) {
  const int y = 60, left = 10, right = 10 + Width("ab cd"), abRight = 10 + Width("ab"), cdLeft = 10 + Width("ab ");
  const short mode = port.txMode;
  const Point pen = port.pnLoc;
  auto draw = [&](const char *text, unsigned short face, short just = 0, Boolean clip = 0, Rect where = {10, 10, 390, 90}) {
    canvas.Fill(0xFFFFFF);
    VTBDrawStringPtr(P255(text).bytes, &where, just, 30, short(y - where.top), &face, 0, clip, 0, 0);
  };
  draw("ab cd", 0x0080);  // double underline: rows 1 and 3 below the baseline, not row 2
  EXPECT_EQ(Inked(y + 1, left, right) + Inked(y + 3, left, right), 2 * (right - left));
  EXPECT_EQ(Inked(y + 2, left, right), 0);
  draw("ab cd", 0x0001);  // strike-through: a row inked across the blank as well
  int struck = 0;
  for (int row = y - 14; row < y; ++row) struck += Inked(row, left + 1, right - 1) == right - left - 2;
  EXPECT_GT(struck, 0);
  draw("ab cd", 0x0040);  // word underline: under the letters, never under the blank
  int under = 0;
  for (int row = y; row < y + 5; ++row) {
    under += Inked(row, left + 1, abRight - 1) == abRight - left - 2;
    EXPECT_EQ(Inked(row, abRight + 1, cdLeft - 1), 0) << row;
  }
  EXPECT_GT(under, 0);
  draw("ab", 0x0004);  // superscript: raised, so nothing near the baseline
  for (int row = y - 5; row < y + 3; ++row) EXPECT_EQ(Inked(row, 0, 400), 0) << row;
  EXPECT_GT(Inked(y - 12, 0, 400), 0);
  draw("ab", 0x0008);  // subscript: lowered below the baseline
  EXPECT_GT(Inked(y + 2, 0, 400), 0);
  draw("ab cd", 0x0402);  // small capitals with underline: the underline is drawn by the engine
  EXPECT_EQ(Inked(y + 1, left, left + Width("AB CD") * 3 / 4), Width("AB CD") * 3 / 4);
  draw("ab   ", 0x0020, -1);  // from the right: trailing blanks count without underline
  EXPECT_EQ(Inked(y - 5, 390 - Width("   "), 400), 0);
  EXPECT_GT(Inked(y - 5, 390 - Width("ab   ") - 2, 390 - Width("   ")), 0);
  draw("WWWW", 0x0001, 0, 1, Rect{10, 10, 20, 90});  // clipped to the box
  EXPECT_EQ(Inked(y - 5, 20, 400), 0);
  EXPECT_GT(Inked(y - 5, 10, 20), 0);

  EXPECT_EQ(std::make_pair(port.txSize, short(port.txFace)), std::make_pair(short(20), short(0)));
  EXPECT_EQ(std::make_pair(port.txMode, port.pnLoc.h), std::make_pair(mode, pen.h));
  RgnHandle clip = NewRgn();
  RECT clipBox{};
  ML_GetClip(&port, clip);
  GetRgnBox(reinterpret_cast<HRGN>(clip), &clipBox);
  EXPECT_GE(clipBox.right, 400) << "the previous clip is back";
  DisposeRgn(clip);
}

TEST_F(TextMeasureTest, IntlExports) {
  EXPECT_EQ(VIUToCase('a', 0, 0, 0) + VIUIsCase('A', 0, 0), 'a') << "no tables before start-up";
  unsigned short offsets[6] = {9, 9, 9, 9, 9, 9};
  VIUFindWord(reinterpret_cast<const unsigned char *>("one two"), 7, 5, 1, 0, offsets, 0);
  EXPECT_EQ(std::vector<unsigned short>(offsets, offsets + 6), (std::vector<unsigned short>{4, 7, 0, 0, 0, 0}));
  long start = 0, end = 0;
  VIUFindWordEx(reinterpret_cast<const unsigned char *>("one two"), 7, 1, 0, 2, &start, &end);
  EXPECT_EQ(std::make_pair(start, end), std::make_pair(0L, 3L));
  EXPECT_EQ(VIUFontToCodeSet(sans) + VIUFontToCodeSet(-5), 0);

  const unsigned char src[2] = {1, 2};
  unsigned char dst[2] = {}, pixels[2] = {5, 6}, mask[1] = {0xFF};
  const Rect wide{0, 0, 2, 1}, tall{0, 0, 1, 2};
  EXPECT_TRUE(VIURotateBitmapLeft(src, dst, &wide, &tall, 2, 1, 8, 90) && !VIURotateBitmapLeft(src, dst, &wide, &tall, 2, 1, 7, 90));
  EXPECT_EQ(dst[0] * 10 + dst[1], 21);
  EXPECT_TRUE(VIUMaskBitmap(pixels, mask, &wide, &wide, 2, 1, 8, 0, 6, 9));
  EXPECT_EQ(pixels[1] * 1000 + mask[0], 9064);
  unsigned long first = 0, second = 0;
  EXPECT_TRUE(VIUGetBitmapColors(pixels, &wide, 2, 8, &second, &first) && first == 5 && second == 9);
}

}  // namespace
