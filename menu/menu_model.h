// The Menu Manager's model on the Windows side: menus, the shared item table and the menu bar
// in Memory Manager handles, and the Windows menus that mirror them. The exports of
// tstools/menus.h are thin wrappers over these; the font menu and popup menus use them too.
#pragma once

#include <windows.h>

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
// Inserts item n's Windows item at its position with these install options.
void InstallItem(MenuHandle menu, int item, unsigned options);
// Empties the Windows menu and installs every item (and the font menu's extra entry).
void InstallAllItems(MenuHandle menu, unsigned options);

// M_InsertMenu and ML_DeleteMenu.
void InsertIntoBar(MenuHandle menu, short beforeId, unsigned options);
void RemoveFromBar(Handle menuBar, short menuId);

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
  size_t Count() const { return byText_.size(); }
  void Reset();

 private:
  struct Entry {
    ATOM atom = 0;
    unsigned references = 0;
  };
  std::unordered_map<std::string, Entry> byText_;
  std::unordered_map<ATOM, std::string> byAtom_;
};

// What the model keeps beside a menu's record.
struct MenuSide {
  unsigned options = 0;       // install options the menu was installed with
  bool extraEntry = false;    // the font menu's extra entry and separator are in the Windows menu
  bool positionsValid = false;
  uint32_t builtAt = 0;       // ModelState::rawGeneration when positions were counted
  std::vector<int16_t> positions;  // item n's Windows position at [n - 1], -1 not shown
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
