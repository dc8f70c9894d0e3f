#include "menu/popup_layout.h"

#include <algorithm>
#include <utility>

namespace tstools::menu {

namespace {

// Column-major placement and links; row-major runs this on the transposed cells.
PopupLayout LayOutColumns(const std::vector<PopupCell> &cells, int margin, int screenHeight) {
  PopupLayout out;
  out.places.resize(cells.size());
  std::vector<std::vector<int>> columns;
  int x = margin, y = margin, columnWidth = 0, bottom = margin;
  auto endColumn = [&] {
    for (int i : columns.back()) out.places[size_t(i)].width = columnWidth;
    x += columnWidth;
  };
  for (size_t i = 0; i < cells.size(); ++i) {
    const PopupCell &cell = cells[i];
    // Judged before the item is placed, against a column that holds at least the item before
    // it: however large, every item gets a column.
    bool startsColumn = columns.empty() || cell.breakBefore || y + cell.height + margin > screenHeight;
    if (startsColumn) {
      if (!columns.empty()) endColumn();
      columns.emplace_back();
      y = margin;
      columnWidth = 0;
    }
    out.places[i].left = x;
    out.places[i].top = y;
    out.places[i].height = cell.height;
    columns.back().push_back(int(i));
    y += cell.height;
    columnWidth = std::max(columnWidth, cell.width);
    bottom = std::max(bottom, y);
  }
  if (!columns.empty()) endColumn();
  out.width = x + margin;
  out.height = bottom + margin;

  for (size_t c = 0; c < columns.size(); ++c) {
    const std::vector<int> &column = columns[c];
    int n = int(column.size());
    for (int p = 0; p < n; ++p) {
      PopupPlace &place = out.places[size_t(column[size_t(p)])];
      if (n > 1) {
        place.above = column[size_t((p + n - 1) % n)];
        place.below = column[size_t((p + 1) % n)];
      }
      auto sameRowIn = [&](const std::vector<int> &other) {
        return other[std::min(size_t(p), other.size() - 1)];
      };
      if (c > 0) place.toLeft = sameRowIn(columns[c - 1]);
      if (c + 1 < columns.size() && !cells[size_t(column[size_t(p)])].hierarchical)
        place.toRight = sameRowIn(columns[c + 1]);
    }
  }
  return out;
}

}  // namespace

PopupLayout LayOutPopup(const std::vector<PopupCell> &cells, int margin, int screenWidth,
                        int screenHeight, bool rowMajor) {
  if (!rowMajor) return LayOutColumns(cells, margin, screenHeight);
  std::vector<PopupCell> turned = cells;
  for (PopupCell &cell : turned) std::swap(cell.width, cell.height);
  PopupLayout out = LayOutColumns(turned, margin, screenWidth);
  std::swap(out.width, out.height);
  for (PopupPlace &p : out.places) {
    std::swap(p.left, p.top);
    std::swap(p.width, p.height);
    std::swap(p.above, p.toLeft);
    std::swap(p.below, p.toRight);
  }
  return out;
}

int KeepOnScreen(int start, int extent, int screen) {
  if (start + extent > screen) start = screen - extent;
  return std::max(start, 0);
}

uint32_t PopupResult(int16_t menuId, int item, bool ownerDrawn, uint16_t commandId) {
  uint32_t low = uint16_t(item);
  if (ownerDrawn) low = (commandId & 0xFF) == 0xFF ? 0 : (commandId & 0xFF);
  return uint32_t(uint16_t(menuId)) << 16 | low;
}

PointerDecision DecidePointer(const PointerInput &in) {
  bool overItem = in.hit == PointerHit::kItem || in.hit == PointerHit::kCurrentItem;
  PointerAction focusHit = in.hit == PointerHit::kItem ? PointerAction::kFocusItem : PointerAction::kNone;
  switch (in.event) {
    case PointerEvent::kMove:
      switch (in.mode) {
        case TrackMode::kOpened: {
          TrackMode mode = in.quick && in.still ? TrackMode::kOpened : TrackMode::kDragging;
          return {mode, overItem ? focusHit : PointerAction::kFocusPopup};
        }
        case TrackMode::kWaiting:  // no button: the highlight follows the pointer over items
          return {in.mode, focusHit};
        default:
          if (!in.buttonDown) return {in.mode, PointerAction::kNone};
          return {in.mode, overItem ? focusHit : PointerAction::kFocusPopup};
      }
    case PointerEvent::kPress:
      if (in.hit == PointerHit::kOutside) return {in.mode, PointerAction::kCancel};
      return {TrackMode::kDragging, overItem ? focusHit : PointerAction::kFocusPopup};
    case PointerEvent::kRelease:
      if (in.mode == TrackMode::kWaiting) return {in.mode, PointerAction::kNone};
      if (in.mode == TrackMode::kOpened && in.quick) return {TrackMode::kWaiting, PointerAction::kNone};
      if (!overItem) return {in.mode, PointerAction::kCancel};
      if (in.hitHierarchical) return {TrackMode::kWaiting, focusHit};
      return {in.mode, PointerAction::kChoose};
  }
  return {in.mode, PointerAction::kNone};
}

}  // namespace tstools::menu
