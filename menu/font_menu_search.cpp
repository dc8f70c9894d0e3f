// BinarySearch and the font menu's three callbacks, exported so that hosts can search their
// own containers the way the font menu searches its faces.
#include <windows.h>

#include "frame/export_guard.h"
#include "memory/memory_state.h"
#include "menu/menu_rules.h"
#include "tstools/menus.h"

using namespace tstools;

namespace {

// The menu's record, or null when the value is not a live handle of ours.
MenuInfo *MenuRecord(void *menu) {
  auto *record = memory::memoryState.zone.Find(static_cast<memory::HandleRef>(menu));
  if (!record || !record->data || memory::LogicalSize(*record) < offsetof(MenuInfo, itemSlots))
    return nullptr;
  auto *menuRecord = reinterpret_cast<MenuInfo *>(record->data);
  if (menuRecord->itemCount < 0 ||
      offsetof(MenuInfo, itemSlots) + menuRecord->itemCount * sizeof(unsigned short) > memory::LogicalSize(*record))
    return nullptr;
  return menuRecord;
}

const char *BlockText(void *block) {
  return block ? static_cast<const char *>(LocalLock(static_cast<HLOCAL>(block))) : nullptr;
}

}  // namespace

Boolean WINAPI BinarySearch(void *container, void *key, BinarySearchCompareProc compare,
                            BinarySearchSizeProc size, BinarySearchGetItemProc getItem,
                            long *position) {
  if (!compare || !size || !getItem) {
    if (position) *position = 0;
    return 0;
  }
  return Guarded(Boolean(0), [&] {
    long at = 0;
    bool found = menu::BinarySearch(size(container), [&](long index) {
      return int(compare(container, key, getItem(container, index)));
    }, &at);
    if (position) *position = at;
    return Boolean(found);
  });
}

short WINAPI FontMenuCompareItemProc(void *, void *key, void *item) {
  const char *a = BlockText(key), *b = BlockText(item);
  short order = 0;
  if (a && b) order = short(lstrcmpiA(a, b));
  else order = short((a != nullptr) - (b != nullptr));
  if (a) LocalUnlock(static_cast<HLOCAL>(key));
  if (b) LocalUnlock(static_cast<HLOCAL>(item));
  return order;
}

long WINAPI FontMenuSizeProc(void *menu) {
  MenuInfo *record = MenuRecord(menu);
  return record ? record->itemCount : 0;
}

void *WINAPI FontMenuGetIndItemProc(void *menu, long index) {
  MenuInfo *record = MenuRecord(menu);
  if (!record || index < 0 || index >= record->itemCount) return nullptr;
  auto *table = memory::memoryState.zone.Find(reinterpret_cast<memory::HandleRef>(record->itemTable));
  if (!table || !table->data) return nullptr;
  unsigned slot = record->itemSlots[index];
  const auto *header = reinterpret_cast<const unsigned short *>(table->data);
  if (slot == 0 || slot >= header[0] ||
      (slot + 1) * sizeof(MenuItemSlot) > memory::LogicalSize(*table))
    return nullptr;
  MenuItemSlot item;
  memcpy(&item, table->data + slot * sizeof(MenuItemSlot), sizeof item);
  return item.textHandle;
}
