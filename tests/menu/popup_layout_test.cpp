// Popup menu layout, arrow-key links, the result word and the pointer rules.
#include <gtest/gtest.h>

#include "menu/popup_layout.h"

namespace {

using namespace tstools::menu;

TEST(PopupLayout, ColumnsBreakAtTheScreenBottomAndOnTheBreakFlag) {
  // Screen 100 high, margin 2: three items of 30 fit (2+90+2), the fourth starts column 2;
  // item 5 asks for a new column itself.
  std::vector<PopupCell> cells{{40, 30}, {60, 30}, {20, 30}, {10, 30}, {15, 30, true}};
  PopupLayout l = LayOutPopup(cells, 2, 1000, 100, false);
  ASSERT_EQ(l.places.size(), 5u);
  EXPECT_EQ(l.places[2].top, 62);
  EXPECT_EQ(l.places[0].width, 60);  // every item takes its column's width
  EXPECT_EQ(l.places[3].left, 62);
  EXPECT_EQ(l.places[3].top, 2);
  EXPECT_EQ(l.places[4].left, 72);
  EXPECT_EQ(l.width, 72 + 15 + 2);
  EXPECT_EQ(l.height, 94);
  // Links: wrap within a column; sideways to the same place or the last item of a shorter one.
  EXPECT_EQ(l.places[0].above, 2);
  EXPECT_EQ(l.places[2].below, 0);
  EXPECT_EQ(l.places[2].toRight, 3);
  EXPECT_EQ(l.places[3].toLeft, 0);
  EXPECT_EQ(l.places[3].above, -1);  // alone in its column
  EXPECT_EQ(l.places[4].toRight, -1);
  EXPECT_EQ(l.places[0].toLeft, -1);
}

TEST(PopupLayout, EveryColumnTakesAnItemLargerThanTheScreen) {
  PopupLayout l = LayOutPopup({{10, 500}, {10, 500}}, 0, 300, 200, false);
  EXPECT_EQ(l.places[0].left, 0);
  EXPECT_EQ(l.places[1].left, 10);
  EXPECT_EQ(l.places[1].top, 0);
  l = LayOutPopup({{500, 10}, {500, 10}}, 0, 300, 200, true);
  EXPECT_EQ(l.places[1].top, 10);
  EXPECT_EQ(l.places[1].left, 0);
}

TEST(PopupLayout, RowMajorRunsAlongRowsWithSwappedLinksAndHierarchicalItemsOpenRight) {
  std::vector<PopupCell> cells{{40, 10}, {40, 12}, {40, 10, false, true}, {30, 10}};
  PopupLayout l = LayOutPopup(cells, 0, 100, 1000, true);
  EXPECT_EQ(l.places[1].left, 40);
  EXPECT_EQ(l.places[0].height, 12);  // the row's height
  EXPECT_EQ(l.places[2].top, 12);
  EXPECT_EQ(l.places[0].toRight, 1);
  EXPECT_EQ(l.places[1].toRight, 0);  // wraps along the row
  EXPECT_EQ(l.places[1].below, 3);    // the shorter row's last item
  EXPECT_EQ(l.places[2].above, 0);
  l = LayOutPopup(cells, 0, 1000, 1000, false);
  EXPECT_EQ(l.places[2].toRight, -1);
  EXPECT_EQ(LayOutPopup({{5, 5}, {5, 5, false, true}, {5, 5, true}}, 0, 99, 99, false).places[1].toRight, -1);
}

TEST(PopupLayout, StaysOnScreenAndTheResultWord) {
  EXPECT_EQ(KeepOnScreen(1200, 200, 1280), 1080);
  EXPECT_EQ(KeepOnScreen(100, 2000, 1280), 0);
  EXPECT_EQ(KeepOnScreen(-5, 20, 1280), 0);
  EXPECT_EQ(PopupResult(200, 3, false, 0), 0x00C80003u);
  EXPECT_EQ(PopupResult(-2, 3, false, 0), 0xFFFE0003u);
  EXPECT_EQ(PopupResult(200, 3, true, 0xC80B), 0x00C8000Bu);
  EXPECT_EQ(PopupResult(200, 3, true, 0xC8FF), 0x00C80000u);
}

TEST(PopupPointer, OnlyAReleaseOrClickOverAnItemChooses) {
  using M = TrackMode;
  using E = PointerEvent;
  using H = PointerHit;
  using A = PointerAction;
  struct Row {
    M mode;
    E event;
    bool button, quick, still;
    H hit;
    bool hierarchical;
    M wantMode;
    A wantAction;
  } rows[] = {
      {M::kOpened, E::kRelease, false, true, true, H::kCurrentItem, false, M::kWaiting, A::kNone},
      {M::kOpened, E::kRelease, false, false, true, H::kCurrentItem, false, M::kOpened, A::kChoose},
      {M::kOpened, E::kMove, true, true, true, H::kItem, false, M::kOpened, A::kFocusItem},
      {M::kOpened, E::kMove, true, true, false, H::kOutside, false, M::kDragging, A::kFocusPopup},
      {M::kDragging, E::kMove, true, false, false, H::kItem, true, M::kDragging, A::kFocusItem},
      {M::kDragging, E::kMove, false, false, false, H::kItem, false, M::kDragging, A::kNone},
      {M::kDragging, E::kRelease, false, false, false, H::kCurrentItem, false, M::kDragging, A::kChoose},
      {M::kDragging, E::kRelease, false, false, false, H::kItem, true, M::kWaiting, A::kFocusItem},
      {M::kDragging, E::kRelease, false, false, false, H::kPopup, false, M::kDragging, A::kCancel},
      {M::kReleased, E::kRelease, false, false, false, H::kOutside, false, M::kReleased, A::kCancel},
      {M::kWaiting, E::kMove, false, false, false, H::kItem, false, M::kWaiting, A::kFocusItem},
      {M::kWaiting, E::kRelease, false, false, false, H::kCurrentItem, false, M::kWaiting, A::kNone},
      {M::kWaiting, E::kPress, true, false, false, H::kItem, false, M::kDragging, A::kFocusItem},
      {M::kWaiting, E::kPress, true, false, false, H::kOutside, false, M::kWaiting, A::kCancel},
  };
  for (const Row &r : rows) {
    PointerDecision d = DecidePointer({r.mode, r.event, r.button, r.quick, r.still, r.hit, r.hierarchical});
    EXPECT_EQ(d.mode, r.wantMode) << &r - rows;
    EXPECT_EQ(d.action, r.wantAction) << &r - rows;
  }
}

}  // namespace
