// The records in Memory Manager handles: menus, the item table with its free list, the bar.
// Every handle a caller passes is checked against the zone and its real size before use.
#include <cstring>

#include "menu/menu_model.h"
#include "memory/memory_state.h"
#include "tstools/memory.h"

namespace tstools::menu {
namespace {

struct TableHeader {
  uint16_t capacity;
  uint16_t firstFree;
};

// The live block of h and its logical size, or nullptr.
char *LiveBlock(Handle h, size_t *size) {
  memory::MasterRecord *record = memory::memoryState.zone.Find(reinterpret_cast<memory::HandleRef>(h));
  if (!record || !record->data) return nullptr;
  *size = memory::LogicalSize(*record);
  return record->data;
}

// The table's header when the handle really holds `capacity` slots.
TableHeader *LiveTable(Handle itemTable) {
  size_t size = 0;
  char *data = LiveBlock(itemTable, &size);
  if (!data || size < sizeof(MenuItemSlot)) return nullptr;
  auto *header = reinterpret_cast<TableHeader *>(data);
  if (size < size_t(header->capacity) * sizeof(MenuItemSlot)) return nullptr;
  return header;
}

MenuItemSlot *RawSlot(Handle itemTable, int slot) {
  return reinterpret_cast<MenuItemSlot *>(*itemTable) + slot;
}

void MarkFree(MenuItemSlot *s, unsigned next) {
  std::memset(s, 0, sizeof *s);
  s->itemFlags = kFreeSlotFlag;
  s->textHandle = reinterpret_cast<HLOCAL>(uintptr_t(next));
}

}  // namespace

MenuInfo *LiveMenu(MenuHandle menu) {
  size_t size = 0;
  char *data = LiveBlock(reinterpret_cast<Handle>(menu), &size);
  if (!data || size < kMenuHeaderBytes) return nullptr;
  auto *info = reinterpret_cast<MenuInfo *>(data);
  if (info->itemCount < 0 || size < kMenuHeaderBytes + size_t(info->itemCount) * 2) return nullptr;
  return info;
}

MenuItemSlot *SlotAt(Handle itemTable, int slot) {
  TableHeader *header = LiveTable(itemTable);
  if (!header || slot < 1 || slot >= header->capacity) return nullptr;
  MenuItemSlot *s = RawSlot(itemTable, slot);
  return (s->itemFlags & kFreeSlotFlag) ? nullptr : s;
}

MenuItemSlot *SlotOfItem(MenuHandle menu, int item) {
  MenuInfo *info = LiveMenu(menu);
  if (!info || item < 1 || item > info->itemCount) return nullptr;
  return SlotAt(info->itemTable, info->itemSlots[item - 1]);
}

std::string ItemMacText(const MenuItemSlot &slot) {
  if (!slot.textHandle) return {};
  auto *text = static_cast<const char *>(LocalLock(slot.textHandle));
  if (!text) return {};
  std::string out(text, strnlen(text, LocalSize(slot.textHandle)));
  LocalUnlock(slot.textHandle);
  return out;
}

std::string ShortcutText(const MenuItemSlot &slot) {
  return slot.shortcutAtom ? modelState.shortcuts.Text(slot.shortcutAtom) : std::string();
}

HLOCAL NewTextBlock(const std::string &text) {
  HLOCAL block = LocalAlloc(LMEM_FIXED, text.size() + 1);
  if (block) std::memcpy(block, text.c_str(), text.size() + 1);
  return block;
}

Handle NewItemTable() {
  Handle table = nullptr;
  if (MemNewHandle(&table, kTableGrowth * long(sizeof(MenuItemSlot)), 1) != noErr) return nullptr;
  auto *header = reinterpret_cast<TableHeader *>(*table);
  header->capacity = kTableGrowth;
  header->firstFree = 1;
  for (int i = 1; i < kTableGrowth; ++i) MarkFree(RawSlot(table, i), i + 1 < kTableGrowth ? i + 1 : 0);
  return table;
}

int AllocSlot(Handle itemTable, uint16_t flags, HLOCAL text, ATOM shortcut, uint8_t mark) {
  TableHeader *header = LiveTable(itemTable);
  if (!header) return 0;
  if (header->firstFree == 0 || header->firstFree >= header->capacity) {
    unsigned capacity = header->capacity;
    unsigned grown = capacity + kTableGrowth;
    if (grown > kMaxTableCapacity) return 0;
    if (MemSetHandleSize(itemTable, long(grown * sizeof(MenuItemSlot))) != noErr) return 0;
    for (unsigned i = capacity; i < grown; ++i) MarkFree(RawSlot(itemTable, int(i)), i + 1 < grown ? i + 1 : 0);
    header = reinterpret_cast<TableHeader *>(*itemTable);
    header->capacity = uint16_t(grown);
    header->firstFree = uint16_t(capacity);
  }
  int slot = header->firstFree;
  MenuItemSlot *s = RawSlot(itemTable, slot);
  unsigned next = unsigned(reinterpret_cast<uintptr_t>(s->textHandle));
  header->firstFree = uint16_t(next < header->capacity ? next : 0);
  s->itemFlags = uint16_t(flags & ~kFreeSlotFlag);
  s->textHandle = text;
  s->shortcutAtom = shortcut;
  s->itemBitmap = nullptr;
  s->itemMark = mark;
  return slot;
}

void FreeSlot(Handle itemTable, int slot) {
  MenuItemSlot *s = SlotAt(itemTable, slot);
  if (!s) return;
  if (s->textHandle) LocalFree(s->textHandle);
  modelState.shortcuts.Release(s->shortcutAtom);
  if (s->itemBitmap) DeleteObject(s->itemBitmap);
  auto *header = reinterpret_cast<TableHeader *>(*itemTable);
  MarkFree(s, header->firstFree);
  header->firstFree = uint16_t(slot);
}

void FreeAllSlots(Handle itemTable) {
  TableHeader *header = LiveTable(itemTable);
  if (!header) return;
  for (int i = 1; i < header->capacity; ++i) FreeSlot(itemTable, i);
}

MenuBarHeader *LiveBar(Handle menuBar) {
  size_t size = 0;
  char *data = LiveBlock(menuBar, &size);
  if (!data || size < sizeof(MenuBarHeader)) return nullptr;
  auto *header = reinterpret_cast<MenuBarHeader *>(data);
  if (header->count < 0 || size < sizeof(MenuBarHeader) + size_t(header->count) * sizeof(MenuBarEntry))
    return nullptr;
  return header;
}

MenuBarEntry *BarEntries(Handle menuBar) {
  MenuBarHeader *header = LiveBar(menuBar);
  return header ? reinterpret_cast<MenuBarEntry *>(header + 1) : nullptr;
}

int FindBarEntry(Handle menuBar, short menuId) {
  MenuBarHeader *header = LiveBar(menuBar);
  if (!header) return 0;
  MenuBarEntry *entries = reinterpret_cast<MenuBarEntry *>(header + 1);
  for (int k = 1; k <= header->count; ++k)
    if (entries[k - 1].menuID == menuId) return k;
  return 0;
}

bool InBar(MenuHandle menu) {
  MenuInfo *info = LiveMenu(menu);
  if (!info) return false;
  MenuBarHeader *header = LiveBar(info->menuBar);
  if (!header) return false;
  MenuBarEntry *entries = reinterpret_cast<MenuBarEntry *>(header + 1);
  for (int k = 0; k < header->count; ++k)
    if (entries[k].menu == menu) return true;
  return false;
}

}  // namespace tstools::menu
