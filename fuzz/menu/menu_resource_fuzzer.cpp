// The "MAC_MENU" reader over arbitrary bytes, and the item-list scanner over the first 256
// taken as a Str255 (with a lead-byte test): nothing is read outside them.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "menu/item_list.h"
#include "menu/menu_resource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  tstools::menu::MacMenuResource menu;
  if (tstools::menu::ReadMacMenu(data, size, menu) && 10 + 6 * menu.items.size() > size) std::abort();
  if (size == 0) return 0;
  // An exact-size copy, so that a read past the length byte's end is caught.
  std::vector<uint8_t> list(data, data + (size < 256 ? size : 256));
  list[0] = uint8_t(list.size() - 1);
  auto isLead = [](uint8_t c) { return c >= 0x81 && c <= 0x9F; };
  size_t text = 0;
  for (const auto &item : tstools::menu::ScanItemList(list.data(), isLead)) text += item.text.size();
  if (text > list.size()) std::abort();
  return 0;
}
