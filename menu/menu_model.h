// The Menu Manager's model on the Windows side: menus, the shared item table and the menu bar
// in Memory Manager handles, and the Windows menus that mirror them. The exports of
// tstools/menus.h are thin wrappers over these; the font menu and popup menus use them too.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "tstools/menus.h"

namespace tstools::menu {

// ---- Records ---------------------------------------------------------------------------

// The live menu record of menu, or nullptr when menu is not a live handle of the zone big
// enough for its item count.
MenuInfo *LiveMenu(MenuHandle menu);
// Item n's slot (1..count), else nullptr.
MenuItemSlot *SlotOfItem(MenuHandle menu, int item);
// A live (non-free) slot of an item table, else nullptr.
MenuItemSlot *SlotAt(Handle itemTable, int slot);
// The bytes of the slot's text block, Mac encoding ("" without one).
std::string ItemMacText(const MenuItemSlot &slot);
// The shortcut text of the slot's atom, Windows encoding ("" without one).
std::string ShortcutText(const MenuItemSlot &slot);

// The bar's header and entries 1..count (entry k at Entries(bar)[k - 1]); nullptr when bar is
// not a live bar handle.
MenuBarHeader *LiveBar(Handle menuBar);
MenuBarEntry *BarEntries(Handle menuBar);
// Entry number (1..count) of the menu with that ID in the bar, 0 when none.
int FindBarEntry(Handle menuBar, short menuId);
bool InBar(MenuHandle menu);

// ---- Windows side ----------------------------------------------------------------------

// Identifier of item n as installed (install option 16 and the font menu rule included).
uint16_t WindowsCommandId(MenuHandle menu, int item);
// Item n's position in menu->winMenu, or -1 when it is not shown there (not installed,
// hidden). Counts past hidden items and the font menu's extra entry and separator.
int WindowsPosition(MenuHandle menu, int item);
// Position of the menu's drop-down in the frame's Windows menu bar, -1 when not top-level.
int BarPosition(MenuHandle menu);

// Adds an item after afterItem (0..count) with its text and flags; the new item number, or 0
// with nothing changed. Installs it when the menu is installed.
int AddItem(MenuHandle menu, int afterItem, const std::string &macText, uint16_t itemFlags);
// Re-makes item n's Windows item in place (removes it when it is no longer shown, inserts it
// when it has become shown).
void RefreshItem(MenuHandle menu, int item);
// The same after a change of the item's visibility: wasShown says whether its Windows item
// was there before.
void RefreshItem(MenuHandle menu, int item, bool wasShown, unsigned options);
// Inserts item n's Windows item at its position with these install options.
void InstallItem(MenuHandle menu, int item, unsigned options);
// Empties the Windows menu and installs every item (and the font menu's extra entry).
void InstallAllItems(MenuHandle menu, unsigned options);

// M_InsertMenu and ML_DeleteMenu.
void InsertIntoBar(MenuHandle menu, short beforeId, unsigned options);
void RemoveFromBar(Handle menuBar, short menuId);

// ---- Shared by the model's files ----------------------------------------------------------

constexpr int kTableGrowth = 128;           // slots added whenever the free list runs out
constexpr unsigned kMaxTableCapacity = 0xFFFF;  // slot numbers are 16 bits
constexpr uint16_t kFreeSlotFlag = 0x8000;  // marks a free slot; never an item flag
constexpr size_t kMenuHeaderBytes = offsetof(MenuInfo, itemSlots);

// A new item table: capacity 128, slots 1..127 free and linked in order; nullptr when memory
// runs out.
Handle NewItemTable();
// Takes a free slot (growing the table by 128 when none is left) and fills it; 0 when the
// table cannot grow (memory, or capacity at its 16-bit limit). The slot takes ownership of
// text and the atom reference.
int AllocSlot(Handle itemTable, uint16_t flags, HLOCAL text, ATOM shortcut, uint8_t mark);
// Frees what the slot owns (text block, shortcut atom, bitmap) and returns it to the free list.
void FreeSlot(Handle itemTable, int slot);
// Frees every live slot's contents (ML_MenuShutdown).
void FreeAllSlots(Handle itemTable);

// A NUL-terminated local memory copy of text, or nullptr.
HLOCAL NewTextBlock(const std::string &text);
// Text conversions with the process's code set (Roman text only).
std::string MacToWindows(std::string text);
std::string WindowsToMac(std::string text);
// String 15000 of the host's resource module, Windows encoding (cached per module).
const std::string &ShortcutPrefix();
// The shortcut atom for a command character (Mac): 0x1B is the submenu marker itself,
// 0 none, any other the prefix and the character.
ATOM AcquireCommandShortcut(uint8_t command);

constexpr uint16_t kShownBit = 0x8000;
// Where item n is or would go in the Windows menu (shown or not), -1 for a bad item.
int PlaceOf(MenuHandle menu, int item);
// Forgets every cached position of the menu (its items or their visibility changed).
void InvalidatePositions(MenuHandle menu);
// Shown in the Windows menu under the menu's install options.
bool ItemShown(MenuHandle menu, const MenuItemSlot &slot);
// The frame window's Windows menu bar and whether the active MDI child is maximised.
HMENU FrameMenuBar(MenuHandle menu, bool *childMaximised);
// Detaches submenus from menu's Windows items and clears their parentMenu (before the menu's
// Windows menu is destroyed or emptied: Windows destroys submenus with their parent).
void DetachSubmenus(MenuHandle menu);
// Sets or clears item n's enabled state (n = 0: the whole menu) in the model and in Windows.
void SetItemEnabled(MenuHandle menu, int item, bool enabled);
// ML_SetItemCmd's rule.
void SetItemCommand(MenuHandle menu, int item, uint8_t command, unsigned options);
// Gives the installed items from item n on their identifiers again (after items moved or the
// menu's ID changed), and the font menu's extra entry its own.
void RenumberItems(MenuHandle menu, int fromItem);
// Removes entry k (1..count) of the bar: ML_DeleteMenu's rule.
void RemoveBarEntry(Handle menuBar, int entry, bool windowsAlive);
// Disposes the record and everything it owns; destroyWindowsMenu for M_DisposeMenu.
void DisposeMenuRecord(MenuHandle menu, bool destroyWindowsMenu);

// ---- Process-wide state ------------------------------------------------------------------

// Shortcut texts as global atoms, each added once with our own reference count, so building
// a menu makes no atom call per item.
class ShortcutAtoms {
 public:
  // One more reference to text's atom (added on first use); 0 for "" or when the system
  // refuses.
  ATOM Acquire(const std::string &windowsText);
  // One reference fewer; the atom is deleted with the last. Atoms not ours are left alone.
  void Release(ATOM atom);
  // The text of an atom of ours, or the system's name for another.
  std::string Text(ATOM atom) const;
  size_t Count() const { return byAtom_.size(); }
  void Reset();

 private:
  struct Entry {
    std::string text;                    // as first added: the system's spelling
    std::vector<std::string> spellings;  // every text that found this atom
    unsigned references = 0;
  };
  std::unordered_map<ATOM, Entry> byAtom_;
  std::unordered_map<std::string, ATOM> byText_;
};

// What the model keeps beside a menu's record.
struct MenuSide {
  unsigned options = 0;       // install options the menu was installed with
  bool extraEntry = false;    // the font menu's extra entry and separator are in the Windows menu
  bool positionsValid = false;
  uint32_t builtAt = 0;       // ModelState::rawGeneration when positions were counted
  // Item n's place in the Windows menu at [n - 1] (where it is, or would go when not shown),
  // with kShownBit when it is there.
  std::vector<uint16_t> positions;
  uint16_t nextPosition = 0;  // the Windows menu's item count as the model sees it
};

struct ModelState {
  ShortcutAtoms shortcuts;
  std::unordered_map<MenuHandle, MenuSide> menus;
  uint32_t rawGeneration = 0;  // bumped by SetMItemFlags: every position count is stale
  HINSTANCE prefixModule = nullptr;  // the module string 15000 was read from
  bool prefixLoaded = false;
  std::string shortcutPrefix;        // string 15000, Windows encoding

  MenuSide &Side(MenuHandle menu) { return menus[menu]; }
  // Deletes every atom of ours and forgets every menu.
  void Reset();
};

extern ModelState modelState;

}  // namespace tstools::menu
