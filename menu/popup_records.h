// What popups and owner-drawn items read from the menu records: live menus, item slots, item
// texts converted to Windows, command identifiers and submenus. Every read is checked against
// the handle's size.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "tstools/menus.h"

namespace tstools::menu {

// The menu's record when menu is a live handle large enough for its items, else nullptr.
MenuInfo *PopupMenuRecord(MenuHandle menu);
// Item n's slot (1..count), else nullptr.
MenuItemSlot *ItemSlotOf(MenuHandle menu, int item);
// A copy of the text block's bytes in the Windows encoding ("" without one).
std::string WindowsTextOf(HLOCAL text);
// The item's Windows command identifier.
uint16_t PopupCommandId(MenuHandle menu, int item);
// The menu a hierarchical item leads to, found by ID in the menu's bar; nullptr when none.
MenuHandle SubmenuOf(MenuHandle menu, int item);
// Item n is enabled: neither it nor the whole menu is disabled.
bool PopupItemEnabled(MenuHandle menu, int item);
// The menu's title is "*" (its owner-drawn items are measured with control ID 0xFFFF).
bool TitleIsStar(MenuHandle menu);

}  // namespace tstools::menu
