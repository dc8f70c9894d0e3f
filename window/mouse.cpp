// Mouse state for hosts that track a press themselves.
#include "tstools/events.h"

namespace {

// GetAsyncKeyState reads the physical buttons; the primary one is the right when swapped.
int PrimaryButton() { return GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON; }
int SecondaryButton() { return GetSystemMetrics(SM_SWAPBUTTON) ? VK_LBUTTON : VK_RBUTTON; }

bool PrimaryDown() { return GetAsyncKeyState(PrimaryButton()) < 0; }

// Keys typed and moves made while the host tracks the press are dropped, not replayed after.
void DiscardTrackingInput(HWND keyboardWindow) {
  MSG msg;
  while (PeekMessageA(&msg, keyboardWindow, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
  }
  while (PeekMessageA(&msg, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
  }
}

// True unless a message in first..last is queued for window (then removed): the press has
// ended even if the button state, read asynchronously, does not show it yet.
bool StillPressed(HWND window, UINT first, UINT last) {
  if (!PrimaryDown()) return false;
  MSG msg;
  bool released = PeekMessageA(&msg, window, first, last, PM_REMOVE);
  DiscardTrackingInput(window);
  return !released;
}

}  // namespace

short WINAPI ML_GetLeftMouseState(void) { return GetAsyncKeyState(PrimaryButton()); }

short WINAPI ML_GetRightMouseState(void) { return GetAsyncKeyState(SecondaryButton()); }

Boolean WINAPI ML_WaitMouseUp(HWND window) { return StillPressed(window, WM_LBUTTONUP, WM_MBUTTONDBLCLK); }

Boolean WINAPI ML_StillDown(long) { return StillPressed(nullptr, WM_LBUTTONUP, WM_LBUTTONUP); }

void WINAPI ML_GetMouse(Point *pt, GrafPort *port) {
  if (!pt) return;
  POINT at{};
  GetCursorPos(&at);
  *pt = Point{static_cast<short>(at.x), static_cast<short>(at.y)};
  ML_GlobalToLocal(port, pt);
}
