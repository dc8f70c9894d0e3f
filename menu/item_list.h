// Mac item lists ("Open/O;(-;Quit/Q"): the text of M_AppendMenu and InsMenuItem, scanned into
// items. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tstools::menu {

struct ListedItem {
  std::string text;       // Mac encoding, metacharacters removed
  uint8_t mark = 0;       // "!" and the character after it
  uint8_t command = 0;    // "/" and the character after it; 0x1B makes a hierarchical item
  bool separator = false; // "(-": the "-" stays as text
  bool disabled = false;  // "(" before anything but "-"
};

using LeadBytePredicate = bool (*)(uint8_t byte);

// Scans the Str255 list: ";" or CR ends an item; "!" takes the next character as mark, "/" as
// command character; "(" followed by "-" makes a separator, otherwise disables the item; "^"
// and the character after it are dropped; a lead byte (isLeadByte may be null) is copied with
// its trail byte. A metacharacter or lead byte at the very end takes nothing. An empty list
// has no items; a list ending in ";" adds no empty item after it.
std::vector<ListedItem> ScanItemList(const unsigned char *list, LeadBytePredicate isLeadByte);

}  // namespace tstools::menu
