// The menu bar: start-up and shutdown, inserting and removing menus (drop-downs of the frame
// window's Windows menu bar, one place further right while a maximised MDI child puts its
// system menu first), hierarchical menus, titles, IDs, highlight, flash and shortcut display.
#include <windows.h>

#include <cstring>

#include "frame/export_guard.h"
#include "menu/menu_model.h"
#include "tstools/memory.h"

namespace tstools::menu {
namespace {

std::string TitleText(const MenuInfo &info) {
  char text[256] = {};
  if (info.titleAtom) GlobalGetAtomNameA(info.titleAtom, text, sizeof text);
  return text;
}

UINT DropDownFlags(const MenuInfo &info) {
  return MF_BYPOSITION | MF_POPUP | MF_STRING | ((info.menuFlags & kMenuFlagDisabled) ? MF_GRAYED : 0);
}

unsigned OptionsOf(MenuHandle menu) {
  auto side = modelState.menus.find(menu);
  return side != modelState.menus.end() ? side->second.options : 0;
}

// The item of parent (non-hierarchical menus of the bar) that leads to submenu ID, 0 none.
int ItemLeadingTo(MenuHandle parent, short submenuId) {
  MenuInfo *info = LiveMenu(parent);
  for (int n = 1; info && n <= info->itemCount; ++n) {
    MenuItemSlot *slot = SlotOfItem(parent, n);
    if (slot && (slot->itemFlags & kItemFlagHierarchical) && short(slot->itemMark) == submenuId) return n;
  }
  return 0;
}

bool Installed(MenuHandle menu, int depth) {
  MenuInfo *info = LiveMenu(menu);
  if (!info || depth > 32) return false;
  if (info->menuFlags & kMenuFlagInstalled) return true;
  if (!InBar(menu)) return false;
  if (!(info->menuFlags & kMenuFlagHierarchical)) return true;
  return Installed(info->parentMenu, depth + 1);
}

}  // namespace

void InsertIntoBar(MenuHandle menu, short beforeId, unsigned options) {
  MenuInfo *info = LiveMenu(menu);
  if (!info || InBar(menu)) return;
  Handle barHandle = info->menuBar;
  MenuBarHeader *bar = LiveBar(barHandle);
  if (!bar) return;
  int count = bar->count;
  long grown = long(sizeof(MenuBarHeader) + size_t(count + 1) * sizeof(MenuBarEntry));
  if (MemSetHandleSize(barHandle, grown) != noErr) return;
  int at = beforeId == 0 || beforeId == -1 ? 0 : FindBarEntry(barHandle, beforeId);
  int index = at ? at - 1 : count;
  MenuBarEntry *entries = BarEntries(barHandle);
  std::memmove(&entries[index + 1], &entries[index], size_t(count - index) * sizeof(MenuBarEntry));
  bar = reinterpret_cast<MenuBarHeader *>(*barHandle);
  bar->count = short(count + 1);
  entries = BarEntries(barHandle);
  entries[index].menuID = (*menu)->menuID;
  entries[index].menu = menu;

  info = *menu;
  if (beforeId == -1) {
    info->menuFlags |= kMenuFlagHierarchical;
    for (int k = 1; k <= count + 1; ++k) {
      MenuHandle parent = BarEntries(barHandle)[k - 1].menu;
      MenuInfo *p = LiveMenu(parent);
      if (!p || parent == menu || (p->menuFlags & kMenuFlagHierarchical)) continue;
      if (int n = ItemLeadingTo(parent, (*menu)->menuID)) SetItemCommand(parent, n, kHierarchicalCommand, OptionsOf(parent));
    }
  } else {
    info->menuFlags &= ~kMenuFlagHierarchical;
    reinterpret_cast<MenuBarHeader *>(*barHandle)->topLevelCount++;
    bool maximised = false;
    HMENU frameBar = FrameMenuBar(menu, &maximised);
    HWND frame = reinterpret_cast<MenuBarHeader *>(*barHandle)->frameWindow;
    if (!frameBar && IsWindow(frame) && (frameBar = CreateMenu()) != nullptr) SetMenu(frame, frameBar);
    if (frameBar)
      InsertMenuA(frameBar, UINT(BarPosition(menu)), DropDownFlags(**menu),
                  reinterpret_cast<UINT_PTR>((*menu)->winMenu), TitleText(**menu).c_str());
  }
  if (!((*menu)->menuFlags & kMenuFlagInstalled)) InstallAllItems(menu, options);
}

void RemoveBarEntry(Handle barHandle, int entry, bool windowsAlive) {
  MenuBarHeader *bar = LiveBar(barHandle);
  if (!bar || entry < 1 || entry > bar->count) return;
  MenuHandle menu = BarEntries(barHandle)[entry - 1].menu;
  MenuInfo *info = LiveMenu(menu);
  std::vector<int> reattach;
  int position = -1;
  if (info) {
    // Items leading to submenus of the bar become plain, so the submenus outlive this menu's
    // Windows items; they lead to them again (in the model) afterwards.
    for (int n = 1; n <= (*menu)->itemCount; ++n) {
      MenuItemSlot *slot = SlotOfItem(menu, n);
      if (!slot || !(slot->itemFlags & kItemFlagHierarchical)) continue;
      if (!FindBarEntry(barHandle, short(slot->itemMark))) continue;
      reattach.push_back(n);
      SetItemCommand(menu, n, 2, OptionsOf(menu));
    }
    position = BarPosition(menu);
    (*menu)->menuFlags &= ~kMenuFlagInstalled;
    InvalidatePositions(menu);
  }
  bar = reinterpret_cast<MenuBarHeader *>(*barHandle);
  int count = bar->count;
  MenuBarEntry *entries = BarEntries(barHandle);
  std::memmove(&entries[entry - 1], &entries[entry], size_t(count - entry) * sizeof(MenuBarEntry));
  bar->count = short(count - 1);
  MemSetHandleSize(barHandle, long(sizeof(MenuBarHeader) + size_t(count - 1) * sizeof(MenuBarEntry)));
  if (info) {
    info = *menu;
    if (info->menuFlags & kMenuFlagHierarchical) {
      MenuHandle parent = info->parentMenu;
      info->parentMenu = nullptr;
      if (int n = LiveMenu(parent) ? ItemLeadingTo(parent, info->menuID) : 0) {
        SetItemCommand(parent, n, 0, OptionsOf(parent));
        SetItemCommand(parent, n, kHierarchicalCommand, OptionsOf(parent));
      }
    } else {
      MenuBarHeader *header = reinterpret_cast<MenuBarHeader *>(*barHandle);
      if (header->topLevelCount) header->topLevelCount--;
      bool maximised = false;
      HMENU frameBar = windowsAlive ? FrameMenuBar(menu, &maximised) : nullptr;
      if (frameBar && position >= 0) RemoveMenu(frameBar, UINT(position), MF_BYPOSITION);
    }
    for (int n : reattach) SetItemCommand(menu, n, kHierarchicalCommand, OptionsOf(menu));
  }
}

void RemoveFromBar(Handle menuBar, short menuId) {
  if (int entry = FindBarEntry(menuBar, menuId)) RemoveBarEntry(menuBar, entry, true);
}

}  // namespace tstools::menu

using namespace tstools;
using namespace tstools::menu;

OSErr WINAPI ML_InitMenus(long ownerValue, Handle *menuBar, Handle *itemTable, short showShortcuts,
                          HWND frameWindow) {
  if (!menuBar || !itemTable) return paramErr;
  *menuBar = nullptr;
  *itemTable = nullptr;
  Handle bar = nullptr;
  if (MemNewHandle(&bar, long(sizeof(MenuBarHeader)), 1) != noErr) return memFullErr;
  Handle table = NewItemTable();
  if (!table) {
    MemDisposeHandle(bar);
    return memFullErr;
  }
  auto *header = reinterpret_cast<MenuBarHeader *>(*bar);
  header->showShortcuts = uint16_t(showShortcuts);
  header->ownerValue = ownerValue;
  header->frameWindow = frameWindow;
  *menuBar = bar;
  *itemTable = table;
  // The font sample cache is brought up to date here (wired at merge).
  return noErr;
}

void WINAPI ML_MenuShutdown(Handle *menuBar, Handle *itemTable) {
  Guarded(Nothing, [&] {
    if (menuBar) {
      if (LiveBar(*menuBar)) MemDisposeHandle(*menuBar);
      *menuBar = nullptr;
    }
    if (itemTable) {
      FreeAllSlots(*itemTable);
      MemDisposeHandle(*itemTable);
      *itemTable = nullptr;
    }
  });
}

void WINAPI M_InsertMenu(MenuHandle menu, short beforeID, short options) {
  Guarded(Nothing, [&] { InsertIntoBar(menu, beforeID, uint16_t(options)); });
}

void WINAPI ML_DeleteMenu(Handle menuBar, short menuID) {
  Guarded(Nothing, [&] { RemoveFromBar(menuBar, menuID); });
}

void WINAPI ML_ClearMenuBar(Handle menuBar) {
  Guarded(Nothing, [&] {
    MenuBarHeader *bar = LiveBar(menuBar);
    if (!bar) return;
    for (int k = bar->count; k >= 1; --k) RemoveBarEntry(menuBar, k, true);
    MemSetHandleSize(menuBar, long(sizeof(MenuBarHeader)));
  });
}

MenuHandle WINAPI ML_GetMHandle(Handle menuBar, short menuID) {
  int entry = FindBarEntry(menuBar, menuID);
  return entry ? BarEntries(menuBar)[entry - 1].menu : nullptr;
}

void WINAPI ML_DrawMenuBar(HWND window) {
  if (IsWindow(window)) DrawMenuBar(window);
}

void WINAPI ML_HiliteMenu(Handle menuBar, short menuID) {
  int entry = FindBarEntry(menuBar, menuID);
  if (!entry) return;
  MenuInfo *info = LiveMenu(BarEntries(menuBar)[entry - 1].menu);
  HWND frame = LiveBar(menuBar)->frameWindow;
  if (!info || !IsWindow(frame)) return;
  // A drop-down's command is its Windows menu.
  HiliteMenuItem(frame, GetMenu(frame), UINT(reinterpret_cast<UINT_PTR>(info->winMenu)), MF_BYCOMMAND | MF_UNHILITE);
}

void WINAPI ML_FlashMenuBar(HWND window) {
  if (!IsWindow(window)) return;
  FlashWindow(window, TRUE);
  DWORD start = GetTickCount();
  while (GetTickCount() - start < 100) {
  }
  FlashWindow(window, FALSE);
}

void WINAPI ML_ToggleMacAccels(Handle menuBar, Handle itemTable, short show) {
  (void)itemTable;  // every menu of the bar shares it
  Guarded(Nothing, [&] {
    MenuBarHeader *bar = LiveBar(menuBar);
    if (!bar) return;
    bar->showShortcuts = uint16_t(show);
    for (int k = 1; k <= LiveBar(menuBar)->count; ++k) {
      MenuHandle menu = BarEntries(menuBar)[k - 1].menu;
      MenuInfo *info = LiveMenu(menu);
      for (int n = 1; info && n <= (*menu)->itemCount; ++n) {
        MenuItemSlot *slot = SlotOfItem(menu, n);
        if (slot && slot->shortcutAtom && !(slot->itemFlags & kItemFlagHierarchical)) RefreshItem(menu, n);
      }
    }
  });
}

void WINAPI ML_SetTitle(MenuHandle menu, ConstStr255Param title) {
  Guarded(Nothing, [&] {
    MenuInfo *info = LiveMenu(menu);
    if (!info || !title) return;
    std::string text = MacToWindows(std::string(reinterpret_cast<const char *>(title + 1), title[0]));
    ATOM atom = text.empty() ? 0 : GlobalAddAtomA(text.c_str());
    if (info->titleAtom) GlobalDeleteAtom(info->titleAtom);
    info->titleAtom = atom;
    if (!Installed(menu, 0) || !InBar(menu) || (info->menuFlags & kMenuFlagHierarchical)) return;
    bool maximised = false;
    HMENU frameBar = FrameMenuBar(menu, &maximised);
    int position = BarPosition(menu);
    if (frameBar && position >= 0)
      ModifyMenuA(frameBar, UINT(position), DropDownFlags(*info), reinterpret_cast<UINT_PTR>(info->winMenu), text.c_str());
  });
}

void WINAPI SetMenuID(MenuHandle menu, short menuID) {
  MenuInfo *info = LiveMenu(menu);
  if (!info) return;
  info->menuID = menuID;
  MenuBarHeader *bar = LiveBar(info->menuBar);
  MenuBarEntry *entries = BarEntries(info->menuBar);
  for (int k = 0; bar && k < bar->count; ++k)
    if (entries[k].menu == menu) entries[k].menuID = menuID;
  RenumberItems(menu, 1);
}

Boolean WINAPI MenuInstalled(MenuHandle menu) { return Installed(menu, 0) ? 1 : 0; }

void WINAPI InstallMItem(MenuHandle menu, short position, short options) {
  Guarded(Nothing, [&] { InstallItem(menu, position + 1, uint16_t(options)); });
}

HMENU WINAPI ML_GetWinMenuHandle(MenuHandle menu) {
  MenuInfo *info = LiveMenu(menu);
  return info ? info->winMenu : nullptr;
}

MenuPtr WINAPI LockMenu(MenuHandle menu) {
  if (!LiveMenu(menu)) return nullptr;
  MemSetHandleLock(reinterpret_cast<Handle>(menu), 1);
  return *menu;
}

void WINAPI UnlockMenu(MenuHandle menu) {
  if (LiveMenu(menu)) MemSetHandleLock(reinterpret_cast<Handle>(menu), -1);
}
