#include "menu/popup_items.h"

#include <algorithm>
#include <string>

#include "menu/menu_rules.h"
#include "menu/owner_draw.h"
#include "menu/popup_classes.h"
#include "menu/popup_records.h"
#include "menu/popup_tracking.h"
#include "tstools/popup_menu.h"

namespace tstools::menu {

namespace {

constexpr UINT kPopupControlType = 0x8001;  // tells the host's WM_MEASUREITEM/WM_DRAWITEM it is a popup

bool IsSampleItem(MenuHandle menu, const MenuItemSlot &slot) {
  MenuInfo *info = LiveMenu(menu);
  return info && (info->menuFlags & kMenuFlagSamples) && (slot.itemFlags & kItemFlagFont) &&
         !(slot.itemFlags & kItemFlagPlainFont);
}

HWND MeasuringWindow() { return tracking.measuring ? tracking.measuring : tracking.owner; }

bool IsDefaultItem(MenuHandle menu, int index) {
  MenuInfo *info = LiveMenu(menu);
  return info && info->defaultItem == index;
}

std::string ShownText(const MenuItemSlot &slot) {
  return WindowsItemText(WindowsTextOf(slot.textHandle), {}, false,
                         tracking.options & (kPopupCutAtTab | kPopupRemoveAmpersands));
}

HFONT ItemFont(MenuHandle menu, int index) {
  HFONT font = IsDefaultItem(menu, index) ? tracking.boldFont : tracking.normalFont;
  return font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

// Selects a font for the lifetime of the object: no font of ours stays selected in a DC.
class SelectedFont {
 public:
  SelectedFont(HDC dc, HFONT font) : dc_(dc), old_(SelectObject(dc, font)) {}
  ~SelectedFont() { SelectObject(dc_, old_); }
  SelectedFont(const SelectedFont &) = delete;
  SelectedFont &operator=(const SelectedFont &) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace

bool PopupItemShown(MenuHandle menu, int index) {
  MenuItemSlot *slot = SlotOfItem(menu, index + 1);
  return slot && (!(slot->itemFlags & kItemFlagHidden) || (tracking.options & kPopupShowHidden));
}

PopupCell MeasurePopupItem(MenuHandle menu, int index, HDC dc) {
  PopupCell cell;
  MenuItemSlot *slot = SlotOfItem(menu, index + 1);
  if (!slot) return cell;
  uint16_t flags = slot->itemFlags;
  cell.breakBefore = (flags & kItemFlagBreak) != 0;
  cell.hierarchical = (flags & kItemFlagHierarchical) != 0;
  if (flags & kItemFlagBitmap) {
    long h = 0, w = 0;
    MeasureItemBitmap(menu, short(index + 1), &h, &w);
    cell.width = int(w);
    cell.height = int(h);
  } else if ((flags & kItemFlagOwnerDraw) || IsSampleItem(menu, *slot)) {
    MEASUREITEMSTRUCT record{};
    record.itemID = WindowsCommandId(menu, index + 1);
    record.itemData = reinterpret_cast<ULONG_PTR>(slot->textHandle);
    if (flags & kItemFlagOwnerDraw) {
      record.CtlType = kPopupControlType;
      record.CtlID = TitleIsStar(menu) ? 0xFFFF : 0;
      if (HWND target = MeasuringWindow()) SendMessageA(target, WM_MEASUREITEM, record.CtlID, LPARAM(&record));
    } else {
      record.CtlType = ODT_MENU;
      MenuHandleMeasureItem(&record);
    }
    cell.width = int(record.itemWidth);
    cell.height = int(record.itemHeight);
  } else {
    std::string text = ShownText(*slot);
    SelectedFont font(dc, ItemFont(menu, index));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    int lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
    if (tracking.options & kPopupMenuFont)
      lineHeight = menuState.windows4 ? lineHeight + 2 : GetSystemMetrics(SM_CYMENU);
    cell.height = std::max<int>(GetCheckHeight(), lineHeight);
    DWORD extent = GetTabbedTextExtentA(dc, text.c_str(), int(text.size()), 0, nullptr);
    cell.width = GetCheckWidth() + LOWORD(extent) + GetSystemMetrics(SM_CXBORDER) +
                 LOWORD(GetMenuCheckMarkDimensions());
  }
  if (cell.hierarchical) {
    cell.height = std::max<int>(cell.height, tracking.arrow.cy);
    cell.width += tracking.arrow.cx + (menuState.windows4 ? 0 : 2);
  }
  return cell;
}

void PaintPopupItem(MenuHandle menu, int index, HWND itemWindow, HDC dc, const RECT &rect, bool highlighted) {
  MenuItemSlot *slot = SlotOfItem(menu, index + 1);
  if (!slot || !PopupItemShown(menu, index)) return;
  uint16_t flags = slot->itemFlags;
  bool invert = highlighted && LowColourDevice(dc);
  if (flags & kItemFlagSeparator) {
    FillItem(dc, rect, COLOR_MENU, COLOR_MENUTEXT);
    RECT line = rect;
    line.top = (rect.top + rect.bottom) / 2;
    if (menuState.windows4) {
      DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    } else if (HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_MENUTEXT))) {
      HGDIOBJ old = SelectObject(dc, pen);
      MoveToEx(dc, rect.left, line.top, nullptr);
      LineTo(dc, rect.right, line.top);
      SelectObject(dc, old);
      DeleteObject(pen);
    }
    return;
  }
  if ((flags & (kItemFlagOwnerDraw | kItemFlagBitmap)) || IsSampleItem(menu, *slot)) {
    DRAWITEMSTRUCT record{};
    record.CtlType = kPopupControlType;
    record.itemID = WindowsCommandId(menu, index + 1);
    record.itemAction = highlighted ? ODA_SELECT : ODA_DRAWENTIRE;
    record.itemState = (highlighted ? ODS_SELECTED : 0) | ((flags & kItemFlagChecked) ? ODS_CHECKED : 0);
    record.hwndItem = itemWindow;
    record.hDC = dc;
    record.rcItem = rect;
    record.itemData = reinterpret_cast<ULONG_PTR>(slot->textHandle);
    if (flags & kItemFlagBitmap) {
      DrawItemBitmap(&record, menu);
    } else if (flags & kItemFlagOwnerDraw) {
      if (HWND target = MeasuringWindow()) SendMessageA(target, WM_DRAWITEM, 0, LPARAM(&record));
    } else {
      record.CtlType = ODT_MENU;
      MenuHandleDrawItem(&record);
    }
    return;
  }
  bool enabled = PopupItemEnabled(menu, index + 1);
  if (!enabled)
    FillItem(dc, rect, COLOR_MENU, COLOR_GRAYTEXT);
  else if (highlighted)
    FillItem(dc, rect, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT);
  else
    FillItem(dc, rect, COLOR_MENU, COLOR_MENUTEXT);
  std::string text = ShownText(*slot);
  {
    SelectedFont font(dc, ItemFont(menu, index));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    int x = rect.left + GetCheckWidth(), y = rect.top + metrics.tmExternalLeading;
    int mode = SetBkMode(dc, TRANSPARENT);
    if (!enabled && menuState.windows4)
      DrawStateA(dc, nullptr, nullptr, LPARAM(text.c_str()), WPARAM(text.size()), x, y, 0, 0,
                 DST_PREFIXTEXT | DSS_DISABLED);
    else
      TabbedTextOutA(dc, x, y, text.c_str(), int(text.size()), 0, nullptr, rect.left);
    SetBkMode(dc, mode);
  }
  if (flags & kItemFlagChecked) DrawMenuCheckMark(dc, &rect, highlighted);
  if (flags & kItemFlagHierarchical)
    BlitSystemBitmap(dc, kSubmenuArrow, rect.right - tracking.arrow.cx - (menuState.windows4 ? 0 : 2),
                     rect.top, rect, invert);
}

}  // namespace tstools::menu
