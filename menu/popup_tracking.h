// The process-wide state of ML_PopUpMenuSelect while it tracks, and the procedures of the
// popup classes.
#pragma once

#include <windows.h>

#include <cstdint>

#include "tstools/menus.h"

namespace tstools::menu {

constexpr int kMaxPopupDepth = 8;  // submenus of submenus: a menu leading to itself stops here

// The popup state, a movable local block per popup.
struct PopupState {
  uint16_t flag;
  uint16_t mode;             // TrackMode
  DWORD openedTick;
  uint16_t hadCapture;       // previousCapture is to be given back
  HWND previousCapture;
  POINT openedAt;            // cursor, screen coordinates
  int16_t callerLow, callerHigh;
  int16_t visibleCount;
  int16_t level;             // 1 for the popup ML_PopUpMenuSelect opened
};

struct PopupTracking {
  bool active = false;
  int depth = 0;                          // levels open
  bool done[kMaxPopupDepth + 1] = {};     // ends that level's message loop
  HWND popups[kMaxPopupDepth + 1] = {};
  MenuHandle chosenMenu = nullptr;
  int chosenIndex = -1;
  bool quit = false;                      // WM_QUIT met: post it again at the end
  WPARAM quitCode = 0;
  unsigned options = 0;
  short button = 2;
  HFONT normalFont = nullptr, boldFont = nullptr;
  SIZE arrow{};
  HWND owner = nullptr, measuring = nullptr;
  struct Subclass {
    HWND window;
    WNDPROC previous;
  } subclassed[2] = {};
  int subclassCount = 0;
  long callerValue = 0;
  // What the loop of a level does once the deeper levels have unwound to it.
  HWND pendingFocus = nullptr;
  HWND pendingOpen = nullptr;
  bool enterSubmenu = false;
  POINT lastPointer{};                    // screen position of the last pointer move handled              // focus the first item of the submenu opened next
  // The popup being created, for its WM_CREATE.
  int creatingLevel = 0;
  HWND creatingParentItem = nullptr;

  void Reset() { *this = PopupTracking(); }
};

extern PopupTracking tracking;

LRESULT CALLBACK PopupWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK PopupItemWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tstools::menu
