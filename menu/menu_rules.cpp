#include "menu/menu_rules.h"

namespace tstools::menu {

uint16_t ItemCommandId(int16_t menuId, int item, bool fontMenu, unsigned options) {
  uint32_t id = uint16_t(menuId), n = uint32_t(item);
  if (fontMenu) return uint16_t(0x8000u | id << 12 | n);
  return uint16_t((options & kBareItemNumber) ? n : (id << 8 | n));
}

uint16_t FontExtraEntryId(int16_t menuId) { return uint16_t(uint32_t(uint16_t(menuId)) << 12 | 0xFFFu); }

bool MaskEnablesItem(uint32_t mask, int item) {
  if (item < 1) return false;
  return (mask >> (unsigned(item - 1) % 32)) & 1;
}

uint32_t EnableBit(int item) { return item < 0 ? 0 : 1u << (unsigned(item) % 32); }

uint32_t FlagsAfterInsert(uint32_t flags, int afterItem) {
  if (afterItem < 0) afterItem = 0;
  if (afterItem >= 30) return afterItem == 30 ? flags | 1u << 31 : flags;
  uint32_t keep = (2u << afterItem) - 1;          // bits 0..afterItem
  uint32_t moving = flags & ~keep & 0x7FFFFFFFu;  // bits afterItem+1..30
  return (flags & keep) | (moving << 1) | (1u << (afterItem + 1));
}

uint32_t FlagsAfterDelete(uint32_t flags, int item, bool item32Enabled) {
  if (item < 1 || item > 31) return flags;
  uint32_t keep = (1u << item) - 1;  // bits 0..item-1
  uint32_t moved = (flags >> 1) & ~keep & 0x7FFFFFFFu;
  return (flags & keep) | moved | (item32Enabled ? 0x80000000u : 0);
}

std::string WindowsItemText(const std::string &text, const std::string &shortcut, bool showShortcuts,
                            unsigned options) {
  std::string out = text;
  if (showShortcuts && !shortcut.empty() && uint8_t(shortcut[0]) != 0x1B) out += shortcut;
  if (options & kCutAtTab) {
    size_t tab = out.find('\t');
    if (tab != std::string::npos) out.resize(tab);
  }
  if (options & kRemoveAmpersands) {
    std::string kept;
    for (size_t i = 0; i < out.size(); ++i) {
      if (out[i] != '&') {
        kept += out[i];
      } else if (i + 1 < out.size() && out[i + 1] == '&') {
        kept += "&&";
        ++i;
      }
    }
    out = std::move(kept);
  }
  if (options & kDoubleAmpersands) {
    std::string doubled;
    for (char c : out) {
      doubled += c;
      if (c == '&') doubled += '&';
    }
    out = std::move(doubled);
  }
  return out;
}

bool BinarySearch(long count, const std::function<int(long index)> &compare, long *position) {
  long low = 0, high = count - 1, at = 0;
  while (low <= high) {
    long middle = low + (high - low) / 2;
    int order = compare(middle);
    if (order == 0) {
      *position = middle;
      return true;
    }
    if (order < 0) {
      high = middle - 1;
      at = middle;
    } else {
      low = middle + 1;
      at = middle + 1;
    }
  }
  *position = at;
  return false;
}

}  // namespace tstools::menu
