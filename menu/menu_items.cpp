// Menus and their items: creation, item lists, single items and their texts, disposal.
#include <windows.h>

#include <cstring>

#include "frame/export_guard.h"
#include "frame/library_globals.h"
#include "menu/item_list.h"
#include "menu/menu_model.h"
#include "menu/menu_rules.h"
#include "tstools/memory.h"

namespace tstools::menu {
namespace {

bool IsLeadByte(uint8_t byte) { return IsDBCSLeadByte(byte) != 0; }

// An item as the model adds it.
struct NewItem {
  std::string text;  // Mac encoding
  uint16_t flags = 0;
  uint8_t mark = 0;
  uint8_t command = 0;
};

NewItem FromListed(const ListedItem &listed) {
  NewItem item;
  item.text = listed.text;
  item.mark = listed.mark;
  item.command = listed.command;
  if (listed.separator) item.flags |= kItemFlagSeparator;
  if (listed.disabled) item.flags |= kItemFlagDisabled;
  if (listed.command == kHierarchicalCommand) item.flags |= kItemFlagHierarchical;
  return item;
}

// Adds one item after afterItem; its number or 0 with nothing changed.
int Add(MenuHandle menu, int afterItem, const NewItem &item) {
  MenuInfo *info = LiveMenu(menu);
  if (!info || info->itemCount >= 0x7FFF) return 0;
  int count = info->itemCount;
  if (afterItem < 0 || afterItem > count) afterItem = count;
  HLOCAL text = NewTextBlock(item.text);
  if (!text) return 0;
  ATOM shortcut = 0;
  try {
    shortcut = AcquireCommandShortcut(item.command);
  } catch (...) {
    LocalFree(text);
    throw;
  }
  Handle table = info->itemTable;
  int slot = AllocSlot(table, item.flags, text, shortcut, item.mark);
  if (!slot) {
    LocalFree(text);
    modelState.shortcuts.Release(shortcut);
    return 0;
  }
  if (MemSetHandleSize(reinterpret_cast<Handle>(menu), long(kMenuHeaderBytes + size_t(count + 1) * 2)) != noErr) {
    FreeSlot(table, slot);
    return 0;
  }
  info = *menu;
  std::memmove(&info->itemSlots[afterItem + 1], &info->itemSlots[afterItem], size_t(count - afterItem) * 2);
  info->itemSlots[afterItem] = uint16_t(slot);
  info->itemCount = short(count + 1);
  int n = afterItem + 1;
  uint32_t flags = afterItem == count ? info->enableFlags : FlagsAfterInsert(info->enableFlags, afterItem);
  if (n <= 31) flags = (item.flags & kItemFlagDisabled) ? flags & ~EnableBit(n) : flags | EnableBit(n);
  info->enableFlags = flags;
  if (info->defaultItem >= afterItem) ++info->defaultItem;

  if (!(info->menuFlags & kMenuFlagInstalled)) return n;
  // Appending a plain item extends the position count; anything else recounts.
  MenuSide &side = modelState.Side(menu);
  bool extend = n == count + 1 && side.positionsValid && side.builtAt == modelState.rawGeneration &&
                !(item.flags & kItemFlagFont);
  if (extend) {
    MenuItemSlot *s = SlotOfItem(menu, n);
    bool shown = ItemShown(menu, *s);
    side.positions.push_back(uint16_t(side.nextPosition | (shown ? kShownBit : 0)));
    if (shown) {
      side.nextPosition++;
      InstallItem(menu, n, side.options | kIncludeHidden);
      side.positionsValid = true;  // InstallItem forgets the count; it is still right
    }
    return n;
  }
  InvalidatePositions(menu);
  InstallItem(menu, n, side.options);
  RenumberItems(menu, n + 1);
  return n;
}

void AddList(MenuHandle menu, ConstStr255Param list, int afterItem) {
  if (!list || !LiveMenu(menu)) return;
  std::vector<ListedItem> items = ScanItemList(list, IsLeadByte);
  for (const ListedItem &listed : items) {
    int at = afterItem < 0 ? (*menu)->itemCount : afterItem;
    if (!Add(menu, at, FromListed(listed))) return;
  }
}

}  // namespace

int AddItem(MenuHandle menu, int afterItem, const std::string &macText, uint16_t itemFlags) {
  NewItem item;
  item.text = macText;
  item.flags = uint16_t(itemFlags & ~kFreeSlotFlag);
  return Add(menu, afterItem, item);
}

void DisposeMenuRecord(MenuHandle menu, bool destroyWindowsMenu) {
  MenuInfo *info = LiveMenu(menu);
  if (!info) return;
  // Detach first: Windows keeps a destroyed submenu's handle in its parent, and the bar would
  // keep a disposed handle.
  if (MenuBarHeader *bar = LiveBar(info->menuBar)) {
    MenuBarEntry *entries = BarEntries(info->menuBar);
    for (int k = bar->count; k >= 1; --k)
      if (entries[k - 1].menu == menu) {
        RemoveBarEntry(info->menuBar, k, destroyWindowsMenu);
        break;
      }
  }
  info = *menu;
  if (MenuHandle parent = info->parentMenu; LiveMenu(parent)) {
    info->parentMenu = nullptr;
    for (int n = 1; n <= (*parent)->itemCount; ++n) {
      MenuItemSlot *slot = SlotOfItem(parent, n);
      if (slot && (slot->itemFlags & kItemFlagHierarchical) && slot->itemMark == uint8_t((*menu)->menuID))
        RefreshItem(parent, n);
    }
  }
  if (destroyWindowsMenu) {
    DetachSubmenus(menu);
  } else {
    // The Windows menu is gone with its window; its handle may already name another menu.
    MenuBarHeader *bar = LiveBar((*menu)->menuBar);
    MenuBarEntry *entries = BarEntries((*menu)->menuBar);
    for (int k = 0; bar && k < bar->count; ++k)
      if (MenuInfo *sub = LiveMenu(entries[k].menu); sub && sub->parentMenu == menu) sub->parentMenu = nullptr;
  }
  info = *menu;
  for (int n = info->itemCount; n >= 1; --n) FreeSlot(info->itemTable, (*menu)->itemSlots[n - 1]);
  info = *menu;
  if (info->titleAtom) GlobalDeleteAtom(info->titleAtom);
  if (destroyWindowsMenu && info->winMenu) DestroyMenu(info->winMenu);
  modelState.menus.erase(menu);
  MemDisposeHandle(reinterpret_cast<Handle>(menu));
}

}  // namespace tstools::menu

using namespace tstools;
using namespace tstools::menu;

MenuHandle WINAPI ML_NewMenu(short menuID, ConstStr255Param title, Handle itemTable, Handle menuBar) {
  return Guarded(MenuHandle(nullptr), [&]() -> MenuHandle {
    std::string text = title ? MacToWindows(std::string(reinterpret_cast<const char *>(title + 1), title[0])) : "";
    HMENU win = CreatePopupMenu();
    if (!win) return nullptr;
    ATOM atom = text.empty() ? 0 : GlobalAddAtomA(text.c_str());
    Handle h = nullptr;
    if (MemNewHandle(&h, long(kMenuHeaderBytes), 1) != noErr) {
      if (atom) GlobalDeleteAtom(atom);
      DestroyMenu(win);
      return nullptr;
    }
    auto *info = reinterpret_cast<MenuInfo *>(*h);
    info->menuID = menuID;
    info->enableFlags = 0xFFFFFFFFu;
    info->titleAtom = atom;
    info->winMenu = win;
    info->itemTable = itemTable;
    info->menuBar = menuBar;
    info->defaultItem = -1;
    return reinterpret_cast<MenuHandle>(h);
  });
}

void WINAPI M_DisposeMenu(MenuHandle menu) {
  Guarded(Nothing, [&] { DisposeMenuRecord(menu, true); });
}

void WINAPI FreeMenu(MenuHandle menu) {
  Guarded(Nothing, [&] { DisposeMenuRecord(menu, false); });
}

void WINAPI M_AppendMenu(MenuHandle menu, ConstStr255Param itemList) {
  Guarded(Nothing, [&] { AddList(menu, itemList, -1); });
}

void WINAPI InsMenuItem(MenuHandle menu, ConstStr255Param itemList, short afterItem) {
  Guarded(Nothing, [&] {
    if (MenuInfo *info = LiveMenu(menu)) AddList(menu, itemList, afterItem < 0 ? 0 : afterItem > info->itemCount ? info->itemCount : afterItem);
  });
}

void WINAPI DelMenuItem(MenuHandle menu, short item) {
  Guarded(Nothing, [&] {
    MenuInfo *info = LiveMenu(menu);
    MenuItemSlot *slot = SlotOfItem(menu, item);
    if (!slot) return;
    int place = WindowsPosition(menu, item);
    if (place >= 0) RemoveMenu(info->winMenu, UINT(place), MF_BYPOSITION);
    if (slot->itemFlags & kItemFlagHierarchical) {
      int entry = FindBarEntry(info->menuBar, short(slot->itemMark));
      if (entry) {
        MenuInfo *sub = LiveMenu(BarEntries(info->menuBar)[entry - 1].menu);
        if (sub && sub->parentMenu == menu) sub->parentMenu = nullptr;
      }
    }
    // The item that moves up into bit 31 brings its own state.
    MenuItemSlot *moving = SlotOfItem(menu, 32);
    bool item32Enabled = !moving || !(moving->itemFlags & kItemFlagDisabled);
    FreeSlot(info->itemTable, info->itemSlots[item - 1]);
    info = *menu;
    int count = info->itemCount;
    std::memmove(&info->itemSlots[item - 1], &info->itemSlots[item], size_t(count - item) * 2);
    info->itemCount = short(count - 1);
    info->enableFlags = FlagsAfterDelete(info->enableFlags, item, item32Enabled);
    if (info->defaultItem == item - 1)
      info->defaultItem = -1;
    else if (info->defaultItem > item - 1)
      --info->defaultItem;
    MemSetHandleSize(reinterpret_cast<Handle>(menu), long(kMenuHeaderBytes + size_t(count - 1) * 2));
    InvalidatePositions(menu);
    RenumberItems(menu, item);
  });
}

short WINAPI CountMItems(MenuHandle menu) {
  MenuInfo *info = LiveMenu(menu);
  return info ? info->itemCount : 0;
}

void WINAPI SetItem(MenuHandle menu, short item, ConstStr255Param text) {
  if (!text) return;
  Guarded(Nothing, [&] {
    MenuItemSlot *slot = SlotOfItem(menu, item);
    if (!slot) return;
    std::string macText(reinterpret_cast<const char *>(text + 1), text[0]);
    HLOCAL block = NewTextBlock(macText);
    if (!block) return;
    slot = SlotOfItem(menu, item);
    if (slot->textHandle) LocalFree(slot->textHandle);
    slot->textHandle = block;
    if (macText == "-")
      slot->itemFlags |= kItemFlagSeparator;
    else
      slot->itemFlags &= ~kItemFlagSeparator;
    RefreshItem(menu, item);
  });
}

void WINAPI GetItem(MenuHandle menu, short item, StringPtr text) {
  if (!text) return;
  text[0] = 0;
  Guarded(Nothing, [&] {
    MenuItemSlot *slot = SlotOfItem(menu, item);
    if (!slot) return;
    std::string macText = ItemMacText(*slot);
    size_t length = macText.size() > 255 ? 255 : macText.size();
    std::memcpy(text + 1, macText.data(), length);
    text[0] = uint8_t(length);
  });
}
