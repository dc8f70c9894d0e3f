#include "menu/column_breaks.h"

namespace tstools::menu {

std::vector<bool> AutomaticBreaks(const std::vector<BreakInput> &items, int screenHeight, int startHeight) {
  std::vector<bool> breaks(items.size(), false);
  int running = startHeight;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const BreakInput &item = items[i];
    if (item.skipped) continue;
    if (item.hostBreak) {
      running = item.height;
    } else if (running > 0 && running + item.height > screenHeight) {
      breaks[i] = true;
      running = item.height;
    } else {
      running += item.height;
    }
  }
  return breaks;
}

}  // namespace tstools::menu
