// Mac items into Windows items: identifiers, positions past hidden items and the font menu's
// extra entry, building one Windows item, installing a whole menu and refreshing items in place.
// Positions come from a per-menu count kept beside the record, so no call walks the Windows
// menu to find an item.
#include "frame/library_globals.h"
#include "menu/menu_model.h"
#include "menu/menu_rules.h"
#include "tstools/host_resource_ids.h"

namespace tstools::menu {
namespace {

bool IsFontMenu(const MenuInfo &info) { return (info.menuFlags & kMenuFlagFontMenu) != 0; }

int FirstFontItem(MenuHandle menu) {
  MenuInfo *info = LiveMenu(menu);
  for (int n = 1; info && n <= info->itemCount; ++n) {
    MenuItemSlot *slot = SlotOfItem(menu, n);
    if (slot && (slot->itemFlags & kItemFlagFont)) return n;
  }
  return 0;
}

MenuSide &CountedSide(MenuHandle menu) {
  MenuSide &side = modelState.Side(menu);
  if (side.positionsValid && side.builtAt == modelState.rawGeneration) return side;
  MenuInfo *info = LiveMenu(menu);
  int count = info ? info->itemCount : 0;
  int firstFont = side.extraEntry ? FirstFontItem(menu) : 0;
  side.positions.assign(size_t(count), 0);
  uint16_t at = 0;
  for (int n = 1; n <= count; ++n) {
    if (n == firstFont) at = uint16_t(at + 2);
    MenuItemSlot *slot = SlotOfItem(menu, n);
    bool shown = slot && ItemShown(menu, *slot);
    side.positions[size_t(n - 1)] = uint16_t(at | (shown ? kShownBit : 0));
    if (shown) ++at;
  }
  if (side.extraEntry && firstFont == 0) at = uint16_t(at + 2);
  side.nextPosition = at;
  side.positionsValid = true;
  side.builtAt = modelState.rawGeneration;
  return side;
}

// A Windows item with the text it points at.
struct WindowsItem {
  MENUITEMINFOA info{};
  std::string text;
  MenuHandle submenu = nullptr;
};

MenuHandle SubmenuOf(const MenuInfo &info, const MenuItemSlot &slot) {
  if (!(slot.itemFlags & kItemFlagHierarchical)) return nullptr;
  int entry = FindBarEntry(info.menuBar, short(slot.itemMark));
  if (!entry) return nullptr;
  MenuHandle sub = BarEntries(info.menuBar)[entry - 1].menu;
  // A menu cannot be its own submenu: Windows would loop drawing it.
  return LiveMenu(sub) && *sub != &info ? sub : nullptr;
}

bool ShowsShortcuts(const MenuInfo &info) {
  MenuBarHeader *bar = LiveBar(info.menuBar);
  return bar && bar->showShortcuts;
}

void Describe(MenuHandle menu, int item, unsigned options, WindowsItem &out) {
  MenuInfo &info = **menu;
  MenuItemSlot &slot = *SlotOfItem(menu, item);
  MENUITEMINFOA &mi = out.info;
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_TYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
  uint16_t flags = slot.itemFlags;
  if (flags & kItemFlagDisabled) mi.fState |= MFS_GRAYED;
  if (flags & kItemFlagChecked) mi.fState |= MFS_CHECKED;
  if (platform.hasNewShell && info.defaultItem == item - 1) mi.fState |= MFS_DEFAULT;
  if ((flags & (kItemFlagBreak | kItemFlagAutoBreak)) && !platform.isWin98Family && !platform.isNT5)
    mi.fType |= MFT_MENUBARBREAK;
  mi.wID = ItemCommandId(info.menuID, item, IsFontMenu(info), options);
  if (flags & kItemFlagSeparator) {
    mi.fType |= MFT_SEPARATOR;
    return;
  }
  if (MenuHandle sub = SubmenuOf(info, slot)) {
    out.submenu = sub;
    mi.hSubMenu = (*sub)->winMenu;
    mi.wID = 0;
  }
  bool ownerDrawn = (flags & kItemFlagOwnerDraw) ||
                    (IsFontMenu(info) && (info.menuFlags & kMenuFlagSamples) && !(flags & kItemFlagPlainFont));
  if (ownerDrawn && !out.submenu) {
    mi.fType |= MFT_OWNERDRAW;
    mi.dwItemData = reinterpret_cast<ULONG_PTR>(slot.textHandle);
    return;
  }
  if ((flags & kItemFlagBitmap) && slot.itemBitmap) {
    mi.fType |= MFT_BITMAP;
    mi.dwTypeData = reinterpret_cast<LPSTR>(slot.itemBitmap);
    return;
  }
  out.text = WindowsItemText(MacToWindows(ItemMacText(slot)), ShortcutText(slot), ShowsShortcuts(info), options);
  mi.fType |= MFT_STRING;
  mi.dwTypeData = out.text.data();
  mi.cch = UINT(out.text.size());
}

// Inserts item n at place with options; installs its submenu's items behind it.
void InsertAt(MenuHandle menu, int item, int place, unsigned options) {
  WindowsItem w;
  Describe(menu, item, options, w);
  InsertMenuItemA((*menu)->winMenu, UINT(place), TRUE, &w.info);
  if (w.submenu) {
    (*w.submenu)->parentMenu = menu;
    if (!((*w.submenu)->menuFlags & kMenuFlagInstalled)) InstallAllItems(w.submenu, options);
  }
}

void InsertExtraEntry(MenuHandle menu, int place) {
  char text[256] = {};
  HINSTANCE module = frameState.resourceInstance;
  if (module) LoadStringA(module, TSRES_STR_FONT_MENU_CHOOSE, text, sizeof text);
  HMENU win = (*menu)->winMenu;
  InsertMenuA(win, UINT(place), MF_BYPOSITION | MF_STRING, FontExtraEntryId((*menu)->menuID), text);
  InsertMenuA(win, UINT(place + 1), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
}

}  // namespace

bool ItemShown(MenuHandle menu, const MenuItemSlot &slot) {
  if (!((*menu)->menuFlags & kMenuFlagInstalled)) return false;
  if (!(slot.itemFlags & kItemFlagHidden)) return true;
  auto side = modelState.menus.find(menu);
  return side != modelState.menus.end() && (side->second.options & kIncludeHidden);
}

void InvalidatePositions(MenuHandle menu) {
  auto side = modelState.menus.find(menu);
  if (side != modelState.menus.end()) side->second.positionsValid = false;
}

int PlaceOf(MenuHandle menu, int item) {
  MenuInfo *info = LiveMenu(menu);
  if (!info || item < 1 || item > info->itemCount) return -1;
  return CountedSide(menu).positions[size_t(item - 1)] & ~kShownBit;
}

int WindowsPosition(MenuHandle menu, int item) {
  MenuInfo *info = LiveMenu(menu);
  if (!info || item < 1 || item > info->itemCount || !(info->menuFlags & kMenuFlagInstalled)) return -1;
  uint16_t place = CountedSide(menu).positions[size_t(item - 1)];
  return (place & kShownBit) ? place & ~kShownBit : -1;
}

uint16_t WindowsCommandId(MenuHandle menu, int item) {
  MenuInfo *info = LiveMenu(menu);
  if (!info) return 0;
  auto side = modelState.menus.find(menu);
  unsigned options = side != modelState.menus.end() ? side->second.options : 0;
  return ItemCommandId(info->menuID, item, IsFontMenu(*info), options);
}

void InstallItem(MenuHandle menu, int item, unsigned options) {
  MenuItemSlot *slot = SlotOfItem(menu, item);
  if (!slot || ((slot->itemFlags & kItemFlagHidden) && !(options & kIncludeHidden))) return;
  int place = PlaceOf(menu, item);
  InsertAt(menu, item, place, options);
  InvalidatePositions(menu);
}

void InstallAllItems(MenuHandle menu, unsigned options) {
  MenuInfo *info = LiveMenu(menu);
  if (!info) return;
  DetachSubmenus(menu);
  HMENU win = info->winMenu;
  for (int i = GetMenuItemCount(win) - 1; i >= 0; --i) RemoveMenu(win, UINT(i), MF_BYPOSITION);
  MenuSide &side = modelState.Side(menu);
  side.options = options;
  side.extraEntry = false;
  info->menuFlags |= kMenuFlagInstalled;
  int firstFont = IsFontMenu(*info) ? FirstFontItem(menu) : 0;
  int place = 0;
  for (int n = 1; n <= (*menu)->itemCount; ++n) {
    if (n == firstFont) {
      InsertExtraEntry(menu, place);
      side.extraEntry = true;
      place += 2;
    }
    MenuItemSlot *slot = SlotOfItem(menu, n);
    if (!slot || ((slot->itemFlags & kItemFlagHidden) && !(options & kIncludeHidden))) continue;
    InsertAt(menu, n, place++, options);
  }
  modelState.Side(menu).positionsValid = false;
  info = *menu;
  if (platform.hasNewShell && info->defaultItem >= 0)
    SetMenuDefaultItem(info->winMenu, UINT(WindowsPosition(menu, int(info->defaultItem) + 1)), TRUE);
}

void RefreshItem(MenuHandle menu, int item) {
  MenuItemSlot *slot = SlotOfItem(menu, item);
  if (!slot) return;
  auto side = modelState.menus.find(menu);
  unsigned options = side != modelState.menus.end() ? side->second.options : 0;
  RefreshItem(menu, item, ItemShown(menu, *slot), options);
}

void RefreshItem(MenuHandle menu, int item, bool wasShown, unsigned options) {
  MenuItemSlot *slot = SlotOfItem(menu, item);
  if (!slot || !((*menu)->menuFlags & kMenuFlagInstalled)) return;
  InvalidatePositions(menu);
  int place = PlaceOf(menu, item);
  bool shown = ItemShown(menu, *slot);
  HMENU win = (*menu)->winMenu;
  if (wasShown && shown) {
    WindowsItem w;
    Describe(menu, item, options, w);
    bool wasPopup = GetSubMenu(win, place) != nullptr;
    if ((w.info.fType & MFT_OWNERDRAW) && !w.submenu && !wasPopup) {
      SetMenuItemInfoA(win, UINT(place), TRUE, &w.info);
      return;
    }
  }
  if (wasShown) RemoveMenu(win, UINT(place), MF_BYPOSITION);
  if (shown) InsertAt(menu, item, place, options);
}

void RenumberItems(MenuHandle menu, int fromItem) {
  MenuInfo *info = LiveMenu(menu);
  if (!info || !(info->menuFlags & kMenuFlagInstalled)) return;
  HMENU win = info->winMenu;
  MENUITEMINFOA mi{};
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_ID;
  for (int n = fromItem < 1 ? 1 : fromItem; n <= (*menu)->itemCount; ++n) {
    int place = WindowsPosition(menu, n);
    if (place < 0 || GetSubMenu(win, place)) continue;
    mi.wID = WindowsCommandId(menu, n);
    SetMenuItemInfoA(win, UINT(place), TRUE, &mi);
  }
  auto side = modelState.menus.find(menu);
  if (side != modelState.menus.end() && side->second.extraEntry) {
    int first = FirstFontItem(menu);
    int extra = (first ? PlaceOf(menu, first) : CountedSide(menu).nextPosition) - 2;
    mi.wID = FontExtraEntryId((*menu)->menuID);
    if (extra >= 0) SetMenuItemInfoA(win, UINT(extra), TRUE, &mi);
  }
}

void DetachSubmenus(MenuHandle menu) {
  MenuInfo *info = LiveMenu(menu);
  if (!info) return;
  MenuBarHeader *bar = LiveBar(info->menuBar);
  MenuBarEntry *entries = BarEntries(info->menuBar);
  for (int k = 0; bar && k < bar->count; ++k) {
    MenuInfo *sub = LiveMenu(entries[k].menu);
    if (sub && sub->parentMenu == menu) sub->parentMenu = nullptr;
  }
  HMENU win = info->winMenu;
  for (int i = GetMenuItemCount(win) - 1; i >= 0; --i)
    if (GetSubMenu(win, i)) RemoveMenu(win, UINT(i), MF_BYPOSITION);
}

HMENU FrameMenuBar(MenuHandle menu, bool *childMaximised) {
  *childMaximised = false;
  MenuInfo *info = LiveMenu(menu);
  MenuBarHeader *bar = info ? LiveBar(info->menuBar) : nullptr;
  if (!bar || !IsWindow(bar->frameWindow)) return nullptr;
  if (HWND client = FindWindowExA(bar->frameWindow, nullptr, "MDICLIENT", nullptr)) {
    BOOL maximised = FALSE;
    HWND active = reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximised)));
    *childMaximised = active && maximised;
  }
  return GetMenu(bar->frameWindow);
}

int BarPosition(MenuHandle menu) {
  MenuInfo *info = LiveMenu(menu);
  if (!info || (info->menuFlags & kMenuFlagHierarchical)) return -1;
  MenuBarHeader *bar = LiveBar(info->menuBar);
  MenuBarEntry *entries = BarEntries(info->menuBar);
  int position = 0;
  for (int k = 0; bar && k < bar->count; ++k) {
    if (entries[k].menu == menu) {
      bool maximised = false;
      FrameMenuBar(menu, &maximised);
      return position + (maximised ? 1 : 0);
    }
    MenuInfo *other = LiveMenu(entries[k].menu);
    if (other && !(other->menuFlags & kMenuFlagHierarchical)) ++position;
  }
  return -1;
}

}  // namespace tstools::menu
