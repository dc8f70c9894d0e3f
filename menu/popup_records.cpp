#include "menu/popup_records.h"

#include <cstddef>

#include "font/charset.h"
#include "memory/memory_state.h"
#include "menu/menu_rules.h"

namespace tstools::menu {

namespace {

// The data and logical size of a live handle, or nullptr.
char *LiveData(Handle h, long *size) {
  memory::MasterRecord *record = memory::memoryState.zone.Find(reinterpret_cast<memory::HandleRef>(h));
  if (!record || !record->data) return nullptr;
  *size = long(memory::LogicalSize(*record));
  return record->data;
}

}  // namespace

MenuInfo *PopupMenuRecord(MenuHandle menu) {
  long size = 0;
  char *data = LiveData(reinterpret_cast<Handle>(menu), &size);
  if (!data || size < long(offsetof(MenuInfo, itemSlots))) return nullptr;
  MenuInfo *info = reinterpret_cast<MenuInfo *>(data);
  if (info->itemCount < 0 ||
      size < long(offsetof(MenuInfo, itemSlots) + sizeof(unsigned short) * size_t(info->itemCount)))
    return nullptr;
  return info;
}

MenuItemSlot *ItemSlotOf(MenuHandle menu, int item) {
  MenuInfo *info = PopupMenuRecord(menu);
  if (!info || item < 1 || item > info->itemCount) return nullptr;
  long size = 0;
  char *table = LiveData(info->itemTable, &size);
  unsigned slot = info->itemSlots[item - 1];
  if (!table || slot == 0 || long((slot + 1) * sizeof(MenuItemSlot)) > size) return nullptr;
  return reinterpret_cast<MenuItemSlot *>(table) + slot;
}

std::string WindowsTextOf(HLOCAL text) {
  if (!text) return {};
  SIZE_T size = LocalSize(text);
  const char *bytes = static_cast<const char *>(LocalLock(text));
  if (!bytes) return {};
  size_t n = 0;
  while (n < size && bytes[n]) ++n;
  std::string copy(bytes, n);
  LocalUnlock(text);
  MapBytes(reinterpret_cast<uint8_t *>(copy.data()), copy.size(), ActiveMapping().macToWin);
  return copy;
}

uint16_t PopupCommandId(MenuHandle menu, int item) {
  MenuInfo *info = PopupMenuRecord(menu);
  if (!info) return 0;
  return ItemCommandId(info->menuID, item, (info->menuFlags & kMenuFlagFontMenu) != 0, 0);
}

MenuHandle SubmenuOf(MenuHandle menu, int item) {
  MenuInfo *info = PopupMenuRecord(menu);
  MenuItemSlot *slot = ItemSlotOf(menu, item);
  if (!info || !slot || !(slot->itemFlags & kItemFlagHierarchical)) return nullptr;
  long size = 0;
  char *bar = LiveData(info->menuBar, &size);
  if (!bar || size < long(sizeof(MenuBarHeader))) return nullptr;
  long count = reinterpret_cast<MenuBarHeader *>(bar)->count;
  long fits = (size - long(sizeof(MenuBarHeader))) / long(sizeof(MenuBarEntry));
  auto *entries = reinterpret_cast<MenuBarEntry *>(bar + sizeof(MenuBarHeader));
  for (long i = 0; i < count && i < fits; ++i) {
    if (entries[i].menuID == slot->itemMark && PopupMenuRecord(entries[i].menu)) return entries[i].menu;
  }
  return nullptr;
}

bool PopupItemEnabled(MenuHandle menu, int item) {
  MenuInfo *info = PopupMenuRecord(menu);
  MenuItemSlot *slot = ItemSlotOf(menu, item);
  if (!info || !slot || (slot->itemFlags & kItemFlagDisabled) || (info->menuFlags & kMenuFlagDisabled))
    return false;
  return (info->enableFlags & 1) && (info->enableFlags & EnableBit(item));
}

bool TitleIsStar(MenuHandle menu) {
  MenuInfo *info = PopupMenuRecord(menu);
  char title[4] = {};
  return info && info->titleAtom && GlobalGetAtomNameA(info->titleAtom, title, sizeof title) == 1 &&
         title[0] == '*';
}

}  // namespace tstools::menu
