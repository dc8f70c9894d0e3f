#include "menu/popup_classes.h"

#include "menu/popup_tracking.h"
#include "tstools/popup_menu.h"

namespace tstools {

const char kPopupClassName[] = "TSAPP3POPUP";
const char kPopupItemClassName[] = "TSAPP3POPUPITEM";
MenuState menuState;

namespace {

bool RegisterPopupClass(HINSTANCE instance, const char *name, UINT style, WNDPROC proc,
                        int slots) {
  WNDCLASSA wc = {};
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.cbWndExtra = slots * static_cast<int>(sizeof(LONG_PTR));  // 28 and 20 bytes on i686
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
  wc.lpszClassName = name;
  if (RegisterClassA(&wc)) return true;
  // A class left behind by an earlier load of the library points at code that is gone.
  if (GetLastError() == ERROR_CLASS_ALREADY_EXISTS && UnregisterClassA(name, instance))
    return RegisterClassA(&wc) != 0;
  return false;
}

}  // namespace

void MenuState::Reset() {
  if (registeredInstance) {
    UnregisterClassA(kPopupClassName, registeredInstance);
    UnregisterClassA(kPopupItemClassName, registeredInstance);
  }
  *this = MenuState();
}

void ShutdownPopupMenus() { menuState.Reset(); }

}  // namespace tstools

using namespace tstools;

short WINAPI InitPopupMenus(HINSTANCE instance) {
  menuState.windows4 = LOBYTE(LOWORD(GetVersion())) >= 4;
  if (!RegisterPopupClass(instance, kPopupClassName, CS_GLOBALCLASS | CS_SAVEBITS,
                          menu::PopupWindowProc, kPopupSlotCount))
    return 1;
  if (!RegisterPopupClass(instance, kPopupItemClassName, CS_GLOBALCLASS | CS_CLASSDC,
                          menu::PopupItemWindowProc, kItemSlotCount)) {
    UnregisterClassA(kPopupClassName, instance);
    return 1;
  }
  menuState.registeredInstance = instance;
  return 0;
}
