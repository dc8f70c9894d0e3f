// BinarySearch and the font menu's three callbacks, exported so that hosts can search their
// own containers the way the font menu searches its faces.
#include <windows.h>

#include "frame/export_guard.h"
#include "menu/menu_model.h"
#include "menu/menu_rules.h"
#include "tstools/menus.h"

using namespace tstools;

namespace {

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
  MenuInfo *record = menu::LiveMenu(static_cast<MenuHandle>(menu));
  return record ? record->itemCount : 0;
}

void *WINAPI FontMenuGetIndItemProc(void *menu, long index) {
  if (index < 0 || index >= 0x7FFF) return nullptr;
  MenuItemSlot *slot = menu::SlotOfItem(static_cast<MenuHandle>(menu), int(index) + 1);
  return slot ? slot->textHandle : nullptr;
}
