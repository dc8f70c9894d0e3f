// Where a Windows menu needs automatic column breaks so that no column passes the bottom of
// the screen. Portable: the heights come from the Windows side.
#pragma once

#include <cstddef>
#include <vector>

namespace tstools::menu {

struct BreakInput {
  int height = 0;            // the item's height in pixels
  bool hostBreak = false;    // the host asked for a column break before it
  bool skipped = false;      // not shown (hidden without install option 8): takes no room
};

// For each item, whether it gets an automatic break. The first column starts at startHeight
// (a font menu's extra entry and separator above the items). A break item starts a fresh
// column; an item that would pass screenHeight starts one too, unless its column is still
// empty: every column takes at least one item, however tall. Skipped items keep false.
std::vector<bool> AutomaticBreaks(const std::vector<BreakInput> &items, int screenHeight, int startHeight);

}  // namespace tstools::menu
