// The host's "MAC_MENU" resources: a menu's ID, enable mask and per-item command and mark
// characters, read within the resource's real size. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tstools::menu {

struct MacMenuItem {
  uint16_t command = 0;  // command character, 0 for none
  uint16_t mark = 0;     // mark character
};

struct MacMenuResource {
  int16_t menuId = 0;
  uint32_t enableMask = 0;  // bit n-1 enables item n
  bool menuEnabled = true;
  std::vector<MacMenuItem> items;
};

// Little-endian: ID (16), enable mask (32), menu enabled (16), item count (16), then six bytes
// per item (command, mark, a word not used). False when the resource is shorter than its
// count says, or the count is negative.
bool ReadMacMenu(const uint8_t *data, size_t size, MacMenuResource &out);

}  // namespace tstools::menu
