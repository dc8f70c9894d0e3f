#include "menu/menu_resource.h"

#include "frame/byte_reader.h"

namespace tstools::menu {

bool ReadMacMenu(const uint8_t *data, size_t size, MacMenuResource &out) {
  ByteReader resource(data, size);
  MacMenuResource menu;
  menu.menuId = resource.S16LE();
  menu.enableMask = resource.U32LE();
  menu.menuEnabled = resource.U16LE() != 0;
  int16_t count = resource.S16LE();
  if (resource.Failed() || count < 0 || resource.Remaining() / 6 < size_t(count)) return false;
  menu.items.resize(size_t(count));
  for (MacMenuItem &item : menu.items) {
    item.command = resource.U16LE();
    item.mark = resource.U16LE();
    resource.Skip(2);
  }
  out = std::move(menu);
  return true;
}

}  // namespace tstools::menu
