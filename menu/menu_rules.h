// The arithmetic of the menu model: Windows command identifiers, enable bits, the text a
// Windows item shows, and the binary search of the font menu. Portable.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace tstools::menu {

// Install options the host passes to the calls that build Windows items.
enum InstallOption : unsigned {
  kCutAtTab = 1,           // the item text ends at its first TAB
  kRemoveAmpersands = 2,   // single "&" removed, "&&" kept
  kIncludeHidden = 8,
  kBareItemNumber = 16,    // the command identifier is the item number alone
  kDoubleAmpersands = 128,
};

// Item n's command identifier: (menuID << 8) | n, or n with kBareItemNumber; in a font menu
// 0x8000 | (menuID << 12) | n. Identifiers are 16 bits, as WM_COMMAND carries them.
uint16_t ItemCommandId(int16_t menuId, int item, bool fontMenu, unsigned options);
// The font menu's extra entry (the font menu dialog).
uint16_t FontExtraEntryId(int16_t menuId);

// The enable bit of item n in a 32-bit mask whose bit n-1 enables item n (SetItems): items
// above 32 follow bit (n-1) mod 32, never a shift by 32 or more.
bool MaskEnablesItem(uint32_t mask, int item);
// The enable bit of item n in enableFlags (bit 0 the menu, bit n item n) and in EnableItems'
// masks: items above 31 follow bit n mod 32.
uint32_t EnableBit(int item);
// enableFlags after inserting an item after afterItem: bits afterItem+1..30 move up by one
// (the old bit 31 drops out) and the new item's bit is set; the bits up to afterItem stay.
uint32_t FlagsAfterInsert(uint32_t flags, int afterItem);
// enableFlags after deleting item: the bits above it move down by one, and bit 31 takes the
// state of the item that moved up to 31 (from its own flag; true when there is none), so
// that ItemEnabled agrees with the Windows item.
uint32_t FlagsAfterDelete(uint32_t flags, int item, bool item32Enabled);

// What a Windows item shows: the text (Windows encoding), the shortcut text appended when
// shown and not a submenu marker (0x1B), then options 1, 2 and 128 in that order.
std::string WindowsItemText(const std::string &text, const std::string &shortcut, bool showShortcuts,
                            unsigned options);

// Halving search over indices 0..count-1 with compare(index) giving key - item (below 0: the
// key sorts before the item). True with the match's index, or false with where the key would
// be inserted. An empty container gives false and 0.
bool BinarySearch(long count, const std::function<int(long index)> &compare, long *position);

}  // namespace tstools::menu
