// The window classes of popup menus, registered at library start-up.
#pragma once

#include <windows.h>

namespace tstools {

extern const char kPopupClassName[];      // "TSAPP3POPUP": the popup window
extern const char kPopupItemClassName[];  // "TSAPP3POPUPITEM": one child window per item

// Window-long slots of a popup window and of an item window, in slot order.
enum PopupSlot { kPopupCurrentItem, kPopupMenu, kPopupItemTable, kPopupFirstItem, kPopupState,
                 kPopupParentItem, kPopupOpenChild, kPopupSlotCount };
enum PopupItemSlot { kItemIndex, kItemAbove, kItemBelow, kItemLeft, kItemRight, kItemSlotCount };

struct MenuState {
  HINSTANCE registeredInstance = nullptr;  // the module the popup classes are registered for
  bool windows4 = false;                   // Windows 4.0 or later: the newer menu look

  // Unregisters the popup classes: the state before InitPopupMenus.
  void Reset();
};

extern MenuState menuState;

// Undoes InitPopupMenus when the library is unloaded.
void ShutdownPopupMenus();

}  // namespace tstools
