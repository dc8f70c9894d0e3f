// Item state: enable bits and flags, check marks, command characters, bitmaps, column breaks
// and the default item, each kept in step with the installed Windows item by position.
#include <windows.h>

#include "frame/export_guard.h"
#include "frame/library_globals.h"
#include "menu/menu_model.h"
#include "menu/menu_rules.h"

namespace tstools::menu {
namespace {

void SetMark(MenuHandle menu, int item, uint8_t mark) {
  MenuItemSlot *slot = SlotOfItem(menu, item);
  if (!slot) return;
  slot->itemMark = mark;
  bool checked = mark == kMacCheckMark;
  if (checked)
    slot->itemFlags |= kItemFlagChecked;
  else
    slot->itemFlags &= ~kItemFlagChecked;
  int place = WindowsPosition(menu, item);
  if (place >= 0) CheckMenuItem((*menu)->winMenu, UINT(place), MF_BYPOSITION | (checked ? MF_CHECKED : MF_UNCHECKED));
}

// Sets or clears an item flag and re-makes the Windows item.
void SetFlag(MenuHandle menu, int item, uint16_t flag, bool on) {
  MenuItemSlot *slot = SlotOfItem(menu, item);
  if (!slot) return;
  if (on)
    slot->itemFlags |= flag;
  else
    slot->itemFlags &= ~flag;
  RefreshItem(menu, item);
}

}  // namespace

void SetItemEnabled(MenuHandle menu, int item, bool enabled) {
  MenuInfo *info = LiveMenu(menu);
  if (!info || item < 0) return;
  UINT how = enabled ? MF_ENABLED : MF_GRAYED;
  if (item == 0) {
    if (enabled) {
      info->menuFlags &= ~kMenuFlagDisabled;
      info->enableFlags |= 1;
    } else {
      info->menuFlags |= kMenuFlagDisabled;
      info->enableFlags &= ~1u;
    }
    int position = (info->menuFlags & kMenuFlagInstalled) ? BarPosition(menu) : -1;
    bool maximised = false;
    HMENU bar = position >= 0 ? FrameMenuBar(menu, &maximised) : nullptr;
    if (bar) EnableMenuItem(bar, UINT(position), MF_BYPOSITION | how);
    return;
  }
  if (item <= 31) info->enableFlags = enabled ? info->enableFlags | EnableBit(item) : info->enableFlags & ~EnableBit(item);
  MenuItemSlot *slot = SlotOfItem(menu, item);
  if (!slot) return;
  if (enabled)
    slot->itemFlags &= ~kItemFlagDisabled;
  else
    slot->itemFlags |= kItemFlagDisabled;
  int place = WindowsPosition(menu, item);
  if (place >= 0) EnableMenuItem(info->winMenu, UINT(place), MF_BYPOSITION | how);
}

void SetItemCommand(MenuHandle menu, int item, uint8_t command, unsigned options) {
  MenuItemSlot *slot = SlotOfItem(menu, item);
  if (!slot) return;
  bool wasShown = ItemShown(menu, *slot);
  if (command == 1) {
    slot->itemFlags |= kItemFlagHidden;
    InvalidatePositions(menu);
    RefreshItem(menu, item, wasShown, options);
    return;
  }
  ATOM shortcut = AcquireCommandShortcut(command);  // before anything changes: it may throw
  slot = SlotOfItem(menu, item);
  MenuInfo *info = *menu;
  int entry = FindBarEntry(info->menuBar, short(slot->itemMark));
  MenuInfo *sub = entry ? LiveMenu(BarEntries(info->menuBar)[entry - 1].menu) : nullptr;
  if (command == kHierarchicalCommand) {
    slot->itemFlags |= kItemFlagHierarchical;
    if (sub) sub->parentMenu = menu;
  } else {
    slot->itemFlags &= ~kItemFlagHidden;
    if (slot->itemFlags & kItemFlagHierarchical) {
      slot->itemFlags &= ~kItemFlagHierarchical;
      if (sub && sub->parentMenu == menu) sub->parentMenu = nullptr;
    }
  }
  modelState.shortcuts.Release(slot->shortcutAtom);
  slot->shortcutAtom = shortcut;
  InvalidatePositions(menu);
  RefreshItem(menu, item, wasShown, options);
}

}  // namespace tstools::menu

using namespace tstools;
using namespace tstools::menu;

void WINAPI EnableItem(MenuHandle menu, short item) { SetItemEnabled(menu, item, true); }
void WINAPI DisableItem(MenuHandle menu, short item) { SetItemEnabled(menu, item, false); }

void WINAPI SetItems(MenuHandle menu, long mask) {
  MenuInfo *info = LiveMenu(menu);
  for (int n = 1; info && n <= (*menu)->itemCount; ++n) SetItemEnabled(menu, n, MaskEnablesItem(uint32_t(mask), n));
}

namespace {
void ChangeByMask(MenuHandle menu, uint32_t mask, bool enabled) {
  MenuInfo *info = LiveMenu(menu);
  if (!info) return;
  if (mask & 1) SetItemEnabled(menu, 0, enabled);
  int last = info->itemCount > 31 ? info->itemCount : 31;
  for (int n = 1; n <= last; ++n)
    if (mask & EnableBit(n)) SetItemEnabled(menu, n, enabled);
}
}  // namespace

void WINAPI EnableItems(MenuHandle menu, long mask) { ChangeByMask(menu, uint32_t(mask), true); }
void WINAPI ML_DisableItems(MenuHandle menu, long mask) { ChangeByMask(menu, uint32_t(mask), false); }

Boolean WINAPI ItemEnabled(MenuHandle menu, short item) {
  MenuInfo *info = LiveMenu(menu);
  if (!info || item < 0 || !(info->enableFlags & 1)) return 0;
  if (item < 32) return (info->enableFlags & EnableBit(item)) ? 1 : 0;
  MenuItemSlot *slot = SlotOfItem(menu, item);
  return slot && !(slot->itemFlags & kItemFlagDisabled) ? 1 : 0;
}

Boolean WINAPI ItemChecked(MenuHandle menu, short item) {
  MenuItemSlot *slot = SlotOfItem(menu, item);
  if (!slot) return 0;
  int place = WindowsPosition(menu, item);
  if (place >= 0) return (GetMenuState((*menu)->winMenu, UINT(place), MF_BYPOSITION) & MF_CHECKED) ? 1 : 0;
  return (slot->itemFlags & kItemFlagChecked) ? 1 : 0;
}

void WINAPI CheckItem(MenuHandle menu, short item, Boolean checked) {
  SetMark(menu, item, checked ? kMacCheckMark : 0);
}

void WINAPI SetItemMark(MenuHandle menu, short item, short markChar) { SetMark(menu, item, uint8_t(markChar)); }

void WINAPI GetItemMark(MenuHandle menu, short item, short *markChar) {
  if (!markChar) return;
  MenuItemSlot *slot = SlotOfItem(menu, item);
  *markChar = slot ? slot->itemMark : 0;
}

void WINAPI ML_SetItemCmd(MenuHandle menu, short item, short cmdChar, short options) {
  Guarded(Nothing, [&] { SetItemCommand(menu, item, uint8_t(cmdChar), uint16_t(options)); });
}

void WINAPI GetItemCmd(MenuHandle menu, short item, short *cmdChar) {
  if (!cmdChar) return;
  *cmdChar = 0;
  Guarded(Nothing, [&] {
    MenuItemSlot *slot = SlotOfItem(menu, item);
    std::string text = slot ? ShortcutText(*slot) : std::string();
    if (!text.empty()) *cmdChar = uint8_t(WindowsToMac(text.substr(text.size() - 1))[0]);
  });
}

void WINAPI SetItemBitmap(MenuHandle menu, short item, HBITMAP bitmap) {
  Guarded(Nothing, [&] {
    MenuItemSlot *slot = SlotOfItem(menu, item);
    if (!slot) return;
    // The same bitmap again must survive: deleting it would leave the item a dead handle.
    if (slot->itemBitmap && slot->itemBitmap != bitmap) DeleteObject(slot->itemBitmap);
    slot->itemBitmap = bitmap;
    RefreshItem(menu, item);
  });
}

HBITMAP WINAPI GetItemBitmap(MenuHandle menu, short item) {
  MenuItemSlot *slot = SlotOfItem(menu, item);
  return slot ? slot->itemBitmap : nullptr;
}

void WINAPI ToggleItemBitmap(MenuHandle menu, short item, Boolean on) {
  Guarded(Nothing, [&] { SetFlag(menu, item, kItemFlagBitmap, on != 0); });
}

void WINAPI ToggleItemBreak(MenuHandle menu, short item, Boolean on) {
  Guarded(Nothing, [&] { SetFlag(menu, item, kItemFlagBreak, on != 0); });
}

void WINAPI SetDefaultMenuItem(MenuHandle menu, short item) {
  MenuInfo *info = LiveMenu(menu);
  if (!info) return;
  bool valid = item >= 1 && item <= info->itemCount;
  info->defaultItem = valid ? item - 1 : -1;
  if (!(info->menuFlags & kMenuFlagInstalled) || !platform.hasNewShell) return;
  int place = valid ? WindowsPosition(menu, item) : -1;
  SetMenuDefaultItem(info->winMenu, place >= 0 ? UINT(place) : UINT(-1), TRUE);
}
