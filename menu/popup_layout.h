// Where the items of a popup menu go, how the arrow keys move between them, and what a choice
// returns. Portable: the Windows side measures the items and makes the windows.
#pragma once

#include <cstdint>
#include <vector>

namespace tstools::menu {

// One visible item as measured, in menu order.
struct PopupCell {
  int width = 0, height = 0;
  bool breakBefore = false;   // item flag 0x4000: starts a new column (a new row when row-major)
  bool hierarchical = false;  // right (or down when row-major) opens its submenu instead
};

struct PopupPlace {
  int left = 0, top = 0, width = 0, height = 0;  // in the popup's client area
  // Neighbours as indices into the cells, -1 none.
  int above = -1, below = -1, toLeft = -1, toRight = -1;
};

struct PopupLayout {
  std::vector<PopupPlace> places;  // one per cell
  int width = 0, height = 0;       // client size: the items and the margin on every side
};

// Lays the cells out from `margin` inside the client area. Column-major: each item goes below
// the previous one; a column ends when the next item would take the popup past screenHeight
// or has breakBefore, and every item of a column takes the column's widest width. Row-major
// runs along rows wrapping at screenWidth, items taking the row's greatest height. A column
// (row) always takes at least one item, however large.
PopupLayout LayOutPopup(const std::vector<PopupCell> &cells, int margin, int screenWidth,
                        int screenHeight, bool rowMajor);

// Where a window of this extent starting at `start` goes to stay on a screen of that extent:
// moved back when it would leave it, never before 0.
int KeepOnScreen(int start, int extent, int screen);

// The 32-bit result of a popup: the menu ID in the high word and the item number in the low
// word; an owner-drawn item gives the low byte of its command identifier instead (255 meaning
// none, 0).
uint32_t PopupResult(int16_t menuId, int item, bool ownerDrawn, uint16_t commandId);

// The tracking modes of a popup's pointer.
enum class TrackMode : uint8_t { kOpened = 1, kDragging = 2, kWaiting = 3, kReleased = 4 };
enum class PointerEvent : uint8_t { kMove, kPress, kRelease };
// What is under the pointer: nothing of ours, a popup's background, or an item of an open
// popup (the current item of its popup or another).
enum class PointerHit : uint8_t { kOutside, kPopup, kItem, kCurrentItem };
enum class PointerAction : uint8_t {
  kNone,
  kFocusItem,   // focus the item under the pointer (closing popups nested deeper than its own)
  kFocusPopup,  // focus the popup itself: no item highlighted
  kChoose,      // end tracking choosing the item under the pointer (if it is enabled)
  kCancel,      // end tracking with nothing chosen
};
struct PointerDecision {
  TrackMode mode;
  PointerAction action;
};
struct PointerInput {
  TrackMode mode;
  PointerEvent event;
  bool buttonDown;        // the tracked button is held (moves)
  bool quick;             // within the double-click time of the popup's opening
  bool still;             // less than 6 pixels from where the popup opened, in both directions
  PointerHit hit;
  bool hitHierarchical;   // the item under the pointer opens a submenu
};
// The pointer rules: a release soon after opening, without moving, leaves the popup waiting
// for a click; a release (or a click) over an item chooses it; outside, it cancels. Nothing
// else chooses.
PointerDecision DecidePointer(const PointerInput &in);

}  // namespace tstools::menu
