// What popups and owner-drawn items read from the menu model beyond its own calls.
#pragma once

#include <windows.h>

#include <string>

#include "menu/menu_model.h"

namespace tstools::menu {

// A copy of a text block's bytes in the Windows encoding ("" without one).
std::string WindowsTextOf(HLOCAL text);
// The menu a hierarchical item leads to, found by ID in the menu's bar; nullptr when none.
MenuHandle SubmenuOf(MenuHandle menu, int item);
// Item n is enabled, and so is the whole menu.
bool PopupItemEnabled(MenuHandle menu, int item);
// The menu's title is "*" (its owner-drawn items are measured with control ID 0xFFFF).
bool TitleIsStar(MenuHandle menu);

}  // namespace tstools::menu
