#include "menu/popup_records.h"

#include <utility>

namespace tstools::menu {

std::string WindowsTextOf(HLOCAL text) {
  if (!text) return {};
  SIZE_T size = LocalSize(text);
  const char *bytes = static_cast<const char *>(LocalLock(text));
  if (!bytes) return {};
  size_t n = 0;
  while (n < size && bytes[n]) ++n;
  std::string copy(bytes, n);
  LocalUnlock(text);
  return MacToWindows(std::move(copy));
}

MenuHandle SubmenuOf(MenuHandle menu, int item) {
  MenuInfo *info = LiveMenu(menu);
  MenuItemSlot *slot = SlotOfItem(menu, item);
  if (!info || !slot || !(slot->itemFlags & kItemFlagHierarchical)) return nullptr;
  int entry = FindBarEntry(info->menuBar, slot->itemMark);
  MenuHandle submenu = entry ? BarEntries(info->menuBar)[entry - 1].menu : nullptr;
  return LiveMenu(submenu) ? submenu : nullptr;
}

bool PopupItemEnabled(MenuHandle menu, int item) {
  MenuInfo *info = LiveMenu(menu);
  return info && !(info->menuFlags & kMenuFlagDisabled) && ItemEnabled(menu, short(item));
}

bool TitleIsStar(MenuHandle menu) {
  MenuInfo *info = LiveMenu(menu);
  char title[4] = {};
  return info && info->titleAtom && GlobalGetAtomNameA(info->titleAtom, title, sizeof title) == 1 &&
         title[0] == '*';
}

}  // namespace tstools::menu
