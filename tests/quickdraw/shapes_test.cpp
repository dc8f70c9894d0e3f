// Shape verbs drawn into a 32-bit DIB under a DC port and compared with a small model of the
// Toolbox pixel rules written here: rects cover left..right-1, the pen hangs below-right,
// patterns align on the port origin. Curves are GDI's to rasterise: decisive pixels stand in.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <tuple>
#include <vector>

#include "support/dib_canvas.h"
#include "support/gdi_objects.h"
#include "tstools/tstools.h"

namespace {

constexpr int kSide = 64;
constexpr uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF;
const Pattern kSolid = {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}};
const Pattern kChecker = {{0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55}};
const Pattern kStripes = {{0xF0, 0xF0, 0xF0, 0xF0, 0x0F, 0x0F, 0x0F, 0x0F}};

// What the Toolbox says a pixel is: true for black.
using Model = std::function<bool(int x, int y)>;

bool InRect(int x, int y, int l, int t, int r, int b) { return x >= l && x < r && y >= t && y < b; }
bool Ring(int x, int y, int l, int t, int r, int b, int pw, int ph) {
  return InRect(x, y, l, t, r, b) && !InRect(x, y, l + pw, t + ph, r - pw, b - ph);
}
bool Bit(const Pattern &p, int x, int y) { return p.pat[y & 7] >> (7 - (x & 7)) & 1; }

// A check of one drawing: its pixels against a model, except the ignored ones, and at least
// minInk black pixels in all.
struct Case {
  const char *name;
  std::function<void()> draw;
  Model model;
  Model ignore = nullptr;
  int minInk = 0;
};

// A model that speaks only for the listed pixels.
Case Spots(const char *name, std::function<void()> draw, std::vector<POINT> black, std::vector<POINT> white) {
  auto in = [](const std::vector<POINT> &list, int x, int y) {
    return std::any_of(list.begin(), list.end(), [&](POINT p) { return p.x == x && p.y == y; });
  };
  return Case{name, std::move(draw), [=](int x, int y) { return in(black, x, y); },
              [=](int x, int y) { return !in(black, x, y) && !in(white, x, y); }};
}

class ShapeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QDrawCacheInit();
    canvas.OpenPort(&port);
  }
  void TearDown() override {
    ClosePort(&port);
    QDrawCacheClose();
  }
  void Clear() { canvas.Fill(kWhite); }
  uint32_t At(int x, int y) { return canvas.At(x, y); }
  bool Black(int x, int y) { return At(x, y) == kBlack; }
  int CountBlack() { return kSide * kSide - Mismatches([](int, int) { return true; }, nullptr, nullptr); }
  // Pixels that differ from the model, the first few reported when named.
  int Mismatches(const Model &model, const Model &ignore = nullptr, const char *name = "") {
    int bad = 0;
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x) {
        if ((ignore && ignore(x, y)) || Black(x, y) == model(x, y)) continue;
        if (bad++ < 3 && name)
          ADD_FAILURE() << name << ": pixel " << x << "," << y << " is " << std::hex << At(x, y);
      }
    return bad;
  }
  void Check(const std::vector<Case> &cases) {
    for (const Case &c : cases) {
      Clear();
      ML_SetOrigin(&port, 0, 0);
      ML_PenNormal(&port);
      c.draw();
      EXPECT_EQ(Mismatches(c.model, c.ignore, c.name), 0) << c.name;
      EXPECT_GE(CountBlack(), c.minInk) << c.name;
    }
  }
  // A polygon record of the vertices, claiming its own size or the one given.
  static HGLOBAL MakePoly(const std::vector<POINT> &v, short size = 0) {
    size_t bytes = 10 + v.size() * 8;
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    auto *p = static_cast<unsigned char *>(GlobalLock(h));
    if (!size) size = static_cast<short>(bytes);
    std::memcpy(p, &size, 2);
    std::memcpy(p + 10, v.data(), v.size() * 8);
    GlobalUnlock(h);
    return h;
  }

  tstools::test::DibCanvas canvas{kSide, kSide};
  HDC dc = canvas.dc();
  GrafPort port;
};

const auto kNothing = [](int, int) { return false; };

}  // namespace

TEST_F(ShapeTest, RectsLinesAndPensDrawTheModelsPixels) {
  GrafPort *p = &port;
  Rect r{5, 7, 40, 33};
  auto toolbox = [](int mode, bool pen, bool dst) {
    const bool table[8] = {pen, pen || dst, pen != dst, dst && !pen, !pen, !pen || dst, pen == dst, dst && pen};
    return table[mode - patCopy];
  };
  std::vector<Case> cases = {
      {"empty, inverted and erased rects",
       [=] {
         Rect inverted{20, 20, 10, 10}, empty{5, 5, 5, 9}, one{3, 4, 4, 5};
         ML_PaintRect(p, &r); ML_EraseRect(p, &r); ML_PaintRect(p, &inverted); ML_PaintRect(p, &empty);
         ML_FrameRect(p, &inverted); ML_PaintRect(p, &one);
       },
       [](int x, int y) { return x == 3 && y == 4; }},
      // One 8-row band per pen mode over a destination black on its left half.
      {"pen modes",
       [=] {
         PatBlt(dc, 0, 0, 32, kSide, BLACKNESS);
         ML_PenPat(p, &kChecker);
         for (short mode = patCopy; mode <= notPatBic; ++mode) {
           ML_PenMode(p, mode);
           Rect band{0, short((mode - patCopy) * 8), kSide, short((mode - patCopy) * 8 + 8)};
           ML_PaintRect(p, &band);
         }
       },
       [=](int x, int y) { return toolbox(patCopy + y / 8, Bit(kChecker, x, y), x < 32); }},
      // Under patXor every pen pixel is drawn once, the end pixel and frame corners included.
      {"patXor twice restores",
       [=] {
         ML_PenMode(p, patXor);
         for (int twice = 0; twice < 2; ++twice) {
           ML_MoveTo(p, 3, 3);
           ML_LineTo(p, 50, 20);
           ML_FrameRect(p, &r);
           ML_PaintRect(p, &r);
         }
       },
       kNothing},
      {"pen 0 draws nothing",
       [=] { ML_PenSize(p, 0, 1); ML_FrameRect(p, &r); ML_PenSize(p, 0, 0); ML_LineTo(p, 40, 40); }, kNothing},
      // A rect one pixel wide is a line of exactly its pixels, with any pen.
      {"one pixel wide",
       [=] { Rect thin{5, 5, 6, 15}; ML_PenSize(p, 3, 3); ML_FrameRect(p, &thin); ML_FrameOval(p, &thin); },
       [](int x, int y) { return InRect(x, y, 5, 5, 6, 15); }},
      // Scrolling moves the pixels and erases the rows it exposes with the background.
      {"scroll rect",
       [=] { Rect band{0, 0, 64, 5}, top{0, 0, 64, 30}; ML_PaintRect(p, &band); ML_ScrollRect(p, &top, 0, 10, nullptr); },
       [](int x, int y) { return y >= 10 && y < 15; }},
  };
  // A moved origin moves the pattern with it, for cached brushes and pen sweeps alike.
  const Point o{-6, 11};
  cases.push_back({"pattern under a moved origin",
                   [=] {
                     ML_SetOrigin(p, o.h, o.v);
                     Rect moved{short(o.h + 8), short(o.v + 1), short(o.h + 38), short(o.v + 21)};
                     ML_FillRect(p, &moved, &kStripes);
                     ML_PenSize(p, 3, 3); ML_PenPat(p, &kStripes); ML_MoveTo(p, short(o.h + 8), short(o.v + 26));
                     ML_Line(p, 30, 0);
                   },
                   [=](int x, int y) {
                     bool in = InRect(x, y, 8, 1, 38, 21) || InRect(x, y, 8, 26, 41, 29);
                     return in && Bit(kStripes, x + o.h, y + o.v);
                   }});
  // A frame is the band inside its box, for every pen shape and pattern; a pen of half the
  // box or more covers all of it; patXor draws each pixel of the band once.
  struct Frame { short pw, ph, w, h; const Pattern *pat = &kSolid; short mode = patCopy; };
  const Frame frames[] = {{1, 1, 32, 22}, {3, 3, 32, 22}, {2, 3, 32, 22}, {1, 1, 32, 22, &kChecker},
                          {3, 3, 32, 22, &kSolid, patXor}, {4, 4, 8, 4}, {6, 6, 5, 20}, {1, 3, 6, 6}};
  for (Frame f : frames) {
    const Rect box{8, 8, short(8 + f.w), short(8 + f.h)};
    cases.push_back({"frame rect",
                     [=] {
                       ML_PenSize(p, f.pw, f.ph);
                       ML_PenPat(p, f.pat);
                       ML_PenMode(p, f.mode);
                       ML_FrameRect(p, &box);
                     },
                     [=](int x, int y) { return Ring(x, y, 8, 8, box.right, box.bottom, f.pw, f.ph) && Bit(*f.pat, x, y); }});
  }
  Check(cases);
}

TEST_F(ShapeTest, CurvesReachTheirLastPixelsAndLyingPolygonsDrawNothing) {
  GrafPort *p = &port;
  Rect r{4, 6, 44, 36}, box{0, 0, 40, 40};
  // The extreme pixels of r's oval or rounded rect, and their neighbours outside it.
  const std::vector<POINT> edges{{4, 21}, {43, 21}, {24, 6}, {24, 35}},
      beyond{{3, 21}, {44, 21}, {24, 5}, {24, 36}, {4, 6}, {43, 35}};
  std::vector<POINT> tri{{5, 5}, {40, 5}, {20, 40}};
  // Handles that lie about their size: too small, a partial vertex, past the block, negative.
  std::vector<HGLOBAL> lies{MakePoly(tri, 8), MakePoly(tri, 30), MakePoly(tri, 10 + 8 * 200), MakePoly(tri, -34)};
  std::vector<Case> cases = {
      Spots("round rect to the last pixel", [&] { ML_PaintRoundRect(p, &r, 12, 12); }, edges, beyond),
      // Arcs run clockwise from twelve o'clock.
      Spots("arc 0 90", [&] { ML_PaintArc(p, &box, 0, 90); }, {{30, 10}}, {{10, 10}, {30, 30}, {10, 30}}),
      {"lying polygons",
       [&] {
         for (HGLOBAL h : lies) {
           ML_PaintPoly(p, h);
           ML_FramePoly(p, h);
           ML_InvertPoly(p, h);
           ML_FillPoly(p, h, &kSolid);
         }
         ML_PaintPoly(p, nullptr);
       },
       kNothing},
  };
  // Rounded rects keep to their pixels, framed by square pens or by the region method.
  for (Point pen : {Point{1, 1}, Point{2, 3}})
    cases.push_back(Spots("frame round rect", [=] { ML_PenSize(p, pen.h, pen.v); ML_FrameRoundRect(p, &r, 12, 12); },
                          edges, {{3, 21}, {44, 21}, {24, 5}, {24, 36}, {4, 6}, {43, 35}, {20, 20}}));
  Check(cases);
  // A painted wedge and the inverted one cover the same pixels but a few, the rim's last
  // included: the pen-less GDI pie stops one pixel short unless its box is grown.
  Clear();
  ML_PaintArc(p, &box, 0, 90);
  int wedge = CountBlack();
  ML_InvertArc(p, &box, 0, 90);
  EXPECT_LE(CountBlack(), wedge / 20) << CountBlack() << " of " << wedge;
  for (HGLOBAL h : lies) GlobalFree(h);
}

TEST_F(ShapeTest, CopyBitsHonoursAllEightTransferModes) {
  // Source pixels (black = 1): 1 0 1 0; destination: 1 1 0 0, one combination per column.
  uint32_t *src = nullptr;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, -1, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HBITMAP source = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void **>(&src), nullptr, 0);
  ASSERT_NE(source, nullptr);
  const bool s[4] = {1, 0, 1, 0}, d[4] = {1, 1, 0, 0};
  for (int i = 0; i < 4; ++i) src[i] = s[i] ? kBlack : kWhite;
  // The Toolbox truth table, result per column, for srcCopy .. notSrcBic and an unknown mode.
  const char *expect[9] = {"1010", "1110", "0110", "0100", "0101", "1101", "1001", "1000", "1010"};
  const short modes[9] = {0, 1, 2, 3, 4, 5, 6, 7, 9};
  Rect from{0, 0, 4, 1};
  uint32_t *pixels = canvas.pixels();
  for (int m = 0; m < 9; ++m) {
    for (int i = 0; i < 4; ++i) pixels[m * 2 * kSide + i] = d[i] ? kBlack : kWhite;
    Rect to{0, short(m * 2), 4, short(m * 2 + 1)};
    ML_CopyBits(&port, source, nullptr, &from, &to, modes[m], nullptr);
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(Black(i, m * 2), expect[m][i] == '1') << "mode " << modes[m] << " src " << s[i] << " dst " << d[i];
  }
  Point where{40, 40};
  ML_DrawBitmap(&port, source, &where, SRCCOPY);
  EXPECT_TRUE(Black(40, 40) && !Black(41, 40) && Black(42, 40));
  DeleteObject(source);
  EXPECT_EQ(GetObjectType(source), 0u) << "no DC keeps the caller's bitmap";
}

TEST_F(ShapeTest, ClipAndSelectedObjectsSurviveEveryVerb) {
  HPEN pen = port.penSlot;
  HBRUSH brush = port.brushSlot;
  Rect clip{10, 10, 20, 20}, all{0, 0, 64, 64};
  ML_ClipRect(&port, &clip);
  ML_PaintOval(&port, &all);
  ML_FrameArc(&port, &all, 0, 90);
  ML_LineTo(&port, 63, 63);
  EXPECT_EQ(Mismatches([](int x, int y) { return InRect(x, y, 10, 10, 20, 20); }), 0);
  EXPECT_EQ(std::make_tuple(port.penSlot, port.brushSlot, GetCurrentObject(dc, OBJ_PEN), GetCurrentObject(dc, OBJ_BRUSH)),
            std::make_tuple(pen, brush, HGDIOBJ(pen), HGDIOBJ(brush)));
}

TEST_F(ShapeTest, EveryVerbReleasesWhatItMakes) {
  HGLOBAL poly = MakePoly({{5, 5}, {40, 9}, {20, 40}});
  HRGN rgn = CreateRectRgn(3, 3, 30, 20);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 8, -8, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void *bits = nullptr;
  HBITMAP bmp = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  Rect r{4, 4, 40, 30}, src{0, 0, 8, 8};
  Point where{1, 1};
  auto everything = [&] {
    for (const Pattern *pat : {&kSolid, &kChecker}) {
      ML_PenPat(&port, pat);
      for (Point pen : {Point{1, 1}, Point{3, 2}}) {
        ML_PenSize(&port, pen.h, pen.v);
        ML_FrameRect(&port, &r); ML_PaintRect(&port, &r); ML_EraseRect(&port, &r); ML_InvertRect(&port, &r);
        ML_FillRect(&port, &r, pat);
        ML_FrameOval(&port, &r); ML_PaintOval(&port, &r); ML_EraseOval(&port, &r); ML_InvertOval(&port, &r);
        ML_FillOval(&port, &r, pat); ML_FrameGrayOval(&port, &r);
        ML_FrameRoundRect(&port, &r, 8, 8); ML_PaintRoundRect(&port, &r, 8, 8); ML_EraseRoundRect(&port, &r, 8, 8);
        ML_InvertRoundRect(&port, &r, 8, 8); ML_FillRoundRect(&port, &r, 8, 8, pat);
        ML_FrameArc(&port, &r, 10, 100); ML_PaintArc(&port, &r, 10, 100); ML_EraseArc(&port, &r, 10, 100);
        ML_InvertArc(&port, &r, 10, 100); ML_FillArc(&port, &r, 10, -100, pat);
        ML_FrameRgn(&port, rgn); ML_PaintRgn(&port, rgn); ML_EraseRgn(&port, rgn); ML_InvertRgn(&port, rgn);
        ML_FillRgn(&port, rgn, pat);
        ML_FramePoly(&port, poly); ML_PaintPoly(&port, poly); ML_ErasePoly(&port, poly); ML_InvertPoly(&port, poly);
        ML_FillPoly(&port, poly, pat);
        ML_MoveTo(&port, 0, 0); ML_LineTo(&port, 50, 20); ML_Line(&port, -10, 30);
        ML_CopyBits(&port, bmp, nullptr, &src, &r, srcXor, nullptr);
        ML_CopyBits(&port, reinterpret_cast<HBITMAP>(rgn), nullptr, &src, &r, srcCopy, nullptr);  // not a bitmap
        ML_DrawBitmap(&port, bmp, &where, SRCINVERT);
        ML_ScrollRect(&port, &r, 3, -2, nullptr);
      }
    }
  };
  everything();  // fills the caches
  long before = tstools::test::LiveGdiObjects();
  for (int i = 0; i < 5; ++i) everything();
  EXPECT_EQ(tstools::test::LiveGdiObjects(), before);
  GlobalFree(poly);
  DeleteObject(rgn);
  DeleteObject(bmp);
}
