// Scrolling, fitting, click counting, blinking and redraw areas of the text view.
#include <gtest/gtest.h>

#include <random>
#include <utility>

#include "tests/textedit/layout_model.h"
#include "textedit/view_rules.h"

namespace tstools::text::testing {
namespace {

const ShortRect kView{10, 20, 110, 120};  // left, top, right, bottom

TEST(ViewRules, AutoViewScrollsOneDirectionVerticalFirst) {
  EXPECT_EQ(AutoViewStep({50, 40, 51, 53}, kView), (ScrollStep{0, 0}));
  EXPECT_EQ(AutoViewStep({50, 5, 51, 18}, kView), (ScrollStep{0, 15}));
  EXPECT_EQ(AutoViewStep({0, 5, 1, 18}, kView), (ScrollStep{0, 15}));  // vertical first
  EXPECT_EQ(AutoViewStep({50, 130, 51, 143}, kView), (ScrollStep{0, -24}));
  EXPECT_EQ(AutoViewStep({50, 30, 51, 300}, kView), (ScrollStep{0, -10}));  // a tall selection: its top stays in view
  EXPECT_EQ(AutoViewStep({2, 40, 3, 53}, kView), (ScrollStep{8, 0}));
  EXPECT_EQ(AutoViewStep({200, 40, 201, 53}, kView), (ScrollStep{-91, 0}));
}

TEST(ViewRules, PinnedScrollNeverUncoversTheView) {
  std::mt19937 gen(7);
  for (int i = 0; i < 2000; ++i) {
    auto r = [&](int n) { return int32_t(gen() % uint32_t(2 * n)) - n; };
    LongRect dest{kView.top + r(200), kView.left + r(200), 0, 0};
    dest.bottom = dest.top + 50 + r(50) + 50, dest.right = dest.left + 50 + r(50) + 50;
    int32_t dh = r(300), dv = r(300);
    ScrollStep s = PinScroll(dh, dv, dest, kView);
    auto covers = [&](int32_t lo, int32_t hi, int32_t vlo, int32_t vhi, int32_t d, int32_t asked) {
      if (d == 0) return true;
      if ((d < 0) != (asked < 0) || std::abs(d) > std::abs(asked)) return false;
      return d < 0 ? hi + d >= vhi : lo + d <= vlo;  // the edge that moves in stops at the view's
    };
    ASSERT_TRUE(covers(dest.left, dest.right, kView.left, kView.right, s.dh, dh)) << i;
    ASSERT_TRUE(covers(dest.top, dest.bottom, kView.top, kView.bottom, s.dv, dv)) << i;
  }
  LongRect dest{0, 0, 500, 300};  // top, left, bottom, right; the view shows (10..110, 20..120)
  EXPECT_EQ(PinScroll(-500, -500, dest, kView), (ScrollStep{-190, -380}));
  EXPECT_EQ(PinScroll(500, 500, dest, kView), (ScrollStep{10, 20}));
  EXPECT_EQ(PinScroll(5, -5, dest, kView), (ScrollStep{5, -5}));
}

TEST(ViewRules, CallbackRectanglesFitsAndOffsets) {
  ShortRect bounds{0, 0, 300, 400};
  EXPECT_EQ(ScrollCallbackRect({50, 40, 51, 53}, bounds, true), (PixelRect{0, 37, 300, 56}));
  EXPECT_EQ(ScrollCallbackRect({50, 40, 51, 53}, bounds, false), (PixelRect{31, 37, 51, 56}));
  EXPECT_EQ(ScrollCallbackRect({40000, 40000, 40001, 40013}, bounds, false), (PixelRect{32767, 32767, 32767, 32767}));

  LongRect dest{10, 100, 500, 300};
  EXPECT_EQ(FitDestination(dest, 51, 80, -1, true, true), (LongRect{10, 249, 90, 300}));
  EXPECT_EQ(FitDestination(dest, 51, 80, 0, true, false), (LongRect{10, 100, 500, 151}));
  EXPECT_EQ(FitDestination(dest, 51, 80, 2, true, false), (LongRect{10, 100, 500, 151}));
  EXPECT_EQ(FitDestination(dest, 51, 80, 1, true, false), (LongRect{10, 174, 500, 226}));
  EXPECT_EQ(FitDestination(dest, 51, 80, -2, true, false), dest);  // mixed justification

  int16_t margins[4] = {4, 3, 2, 1};
  EXPECT_EQ(WidenedBy({10, 20, 110, 32767}, margins), (ShortRect{6, 17, 112, 32767}));
  memory::MallocBlockSource source;
  memory::Zone zone{source};
  TextCore core{zone};
  core.dest = {0, 0, 100, 100}, core.view = {0, 0, 100, 32760}, core.bounds = {-5, -5, 105, 32765};
  OffsetRects(core, 3, 10);
  EXPECT_EQ(core.dest, (LongRect{10, 3, 110, 103}));
  EXPECT_EQ(core.bounds, (ShortRect{-2, 5, 108, 32767}));
}

// Quarter turns keep the view's corner and come back pixel for pixel; other angles are
// upright. (The screen tests compare turned records with upright twins.)
TEST(ViewRules, QuarterTurnsKeepTheCornerAndComeBack) {
  const ShortRect wide{10, 20, 170, 80};
  for (int32_t angle : {0, 450, 900, 1800, -900}) {
    Turn t = TurnOf(angle, wide);
    bool upright = t.quarters % 2 == 0;
    EXPECT_EQ(t.ToPort({10, 20, 170, 80}), (PixelRect{10, 20, upright ? 170 : 70, upright ? 80 : 180})) << angle;
    for (int32_t x = 10; x < 170; x += 7) {
      PixelRect p = t.ToPort({x, 33, x + 1, 34});
      t.PointToText(&p.left, &p.top);
      EXPECT_EQ((std::pair{p.left, p.top}), (std::pair{x, 33})) << angle;
    }
  }
  EXPECT_EQ(TurnOf(450, wide).quarters, 0);
}

TEST(ViewRules, ClickCountsAndBlinks) {
  EXPECT_EQ(NextClickCount(0, 5, 100, 30, 110, 5), 1);
  EXPECT_EQ(NextClickCount(1, 5, 100, 30, 110, 5), 2);
  EXPECT_EQ(NextClickCount(2, 6, 100, 30, 110, 5), 1);   // another offset
  EXPECT_EQ(NextClickCount(2, 5, 100, 30, 131, 5), 1);   // too late
  EXPECT_EQ(NextClickCount(5, 5, 100, 30, 110, 5), 5);
  EXPECT_EQ(NextClickCount(1, 5, 0xFFFFFFF0u, 30, 5, 5), 2);  // across the tick counter's wrap
  uint32_t last = 100;
  EXPECT_FALSE(CaretBlinkDue(120, &last, 32));
  EXPECT_TRUE(CaretBlinkDue(132, &last, 32));
  EXPECT_EQ(last, 132u);
  last = 5000;  // in the future: counts from now
  EXPECT_FALSE(CaretBlinkDue(200, &last, 32));
  EXPECT_TRUE(CaretBlinkDue(232, &last, 32));
}

TEST(ViewRules, AnEditRedrawsFromTheChangeOn) {
  LayoutDoc d(61);
  d.SetText("aaaa bbbb cccc\rdd\ree");
  d.core.view = {0, 0, 61, 100};
  LayoutAll(d.core, d.env, nullptr);
  EXPECT_EQ(ChangedArea(d.core, d.env, 0, 1, 2, false),
            (std::vector<PixelRect>{{12, 0, 61, 13}, {0, 13, 61, 26}}));
  EXPECT_EQ(ChangedArea(d.core, d.env, 3, 3, 19, false),  // the last line: erased to the view's bottom
            (std::vector<PixelRect>{{6, 39, 61, 52}, {0, 52, 61, 100}}));
  EXPECT_EQ(ChangedArea(d.core, d.env, 1, 1, -1, false), (std::vector<PixelRect>{{0, 13, 61, 26}}));
  EXPECT_EQ(ChangedArea(d.core, d.env, 1, 1, 12, true), (std::vector<PixelRect>{{0, 13, 61, 100}}));
}

}  // namespace
}  // namespace tstools::text::testing
