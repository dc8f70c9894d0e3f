// Raw access to item table slots by number. A bad table, a slot out of range or a free slot
// reads as 0 and takes nothing.
#include <windows.h>

#include <cstring>

#include "frame/export_guard.h"
#include "menu/menu_model.h"

using namespace tstools;
using namespace tstools::menu;

short WINAPI GetMItemFlags(Handle itemTable, short slot) {
  MenuItemSlot *s = SlotAt(itemTable, slot);
  return s ? short(s->itemFlags) : 0;
}

void WINAPI SetMItemFlags(Handle itemTable, short slot, short flags) {
  MenuItemSlot *s = SlotAt(itemTable, slot);
  if (!s) return;
  // The free-slot marker is the table's own; a host value cannot free a live slot.
  s->itemFlags = uint16_t(uint16_t(flags) & ~kFreeSlotFlag);
  ++modelState.rawGeneration;  // visibility may have changed under any menu
}

void WINAPI GetMItemText(Handle itemTable, short slot, StringPtr text, Boolean toWindows) {
  if (!text) return;
  text[0] = 0;
  Guarded(Nothing, [&] {
    MenuItemSlot *s = SlotAt(itemTable, slot);
    if (!s) return;
    std::string value = ItemMacText(*s);
    if (toWindows) value = MacToWindows(value);
    size_t length = value.size() > 255 ? 255 : value.size();
    std::memcpy(text + 1, value.data(), length);
    text[0] = uint8_t(length);
  });
}

short WINAPI GetMItemMark(Handle itemTable, short slot) {
  MenuItemSlot *s = SlotAt(itemTable, slot);
  return s ? s->itemMark : 0;
}

HBITMAP WINAPI GetMItemBitmap(Handle itemTable, short slot) {
  MenuItemSlot *s = SlotAt(itemTable, slot);
  return s ? s->itemBitmap : nullptr;
}

HLOCAL WINAPI GetMItemHandle(Handle itemTable, short slot) {
  MenuItemSlot *s = SlotAt(itemTable, slot);
  return s ? s->textHandle : nullptr;
}
