// Titles, activation, visibility, order, position and size of document windows.
#include <cstring>

#include "tstools/charset.h"
#include "window/window_state.h"

namespace tstools::window {
namespace {

constexpr UINT kKeepPlace = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;

// The frame that gives a client area of width x height with its corner at (h, v), from the
// window's real styles: MDI children have a client edge, and kind 2 has lost its frame.
RECT FrameFor(HWND window, int h, int v, int width, int height) {
  RECT frame{h, v, h + width, v + height};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE)));
  return frame;
}

void SetShown(WindowPtr record, bool show, bool mayActivate) {
  HWND window = LiveWindow(record);
  if (!window) return;
  bool shown = (GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) != 0;
  if (shown != show) {
    if (!show && mayActivate)
      ShowWindow(window, SW_HIDE);
    else
      SetWindowPos(window, nullptr, 0, 0, 0, 0, kKeepPlace | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  }
  record->visible = show ? 1 : 0;
}

}  // namespace
}  // namespace tstools::window

using namespace tstools;
using namespace tstools::window;

void WINAPI GetWTitle(WindowPtr window, Str255 title) {
  if (!title) return;
  title[0] = 0;
  HWND handle = LiveWindow(window);
  if (!handle) return;
  // GetWindowTextA writes the NUL too: room for 255 characters is 256 bytes, title included.
  char text[256];
  int length = GetWindowTextA(handle, text, sizeof text);
  if (length <= 0) return;
  if (length > 255) length = 255;
  MapText(text, length, 1, 0);
  std::memcpy(title + 1, text, static_cast<size_t>(length));
  title[0] = static_cast<unsigned char>(length);
}

void WINAPI SetWTitle(WindowPtr window, ConstStr255Param title) {
  HWND handle = LiveWindow(window);
  if (!handle || !title) return;
  char text[256];
  std::memcpy(text, title + 1, title[0]);
  text[title[0]] = 0;
  MapText(text, title[0], 0, 0);
  SetWindowTextA(handle, text);
}

// Activation is the MDI client's business: a child told WM_MDIACTIVATE itself does nothing.
void WINAPI SelectWindow(WindowPtr window) {
  HWND handle = LiveWindow(window);
  if (HWND client = handle ? GetParent(handle) : nullptr)
    SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(handle), 0);
}

void WINAPI M_ShowWindow(WindowPtr window) { SetShown(window, true, false); }
void WINAPI HideWindow(WindowPtr window) { SetShown(window, false, true); }
void WINAPI ShowHide(WindowPtr window, Boolean show) { SetShown(window, show != 0, false); }

void WINAPI HiliteWindow(WindowPtr window, Boolean active) {
  if (HWND handle = LiveWindow(window)) SendMessageA(handle, WM_NCACTIVATE, active ? TRUE : FALSE, 0);
}

void WINAPI SendBehind(WindowPtr window, WindowPtr behindWindow) {
  HWND handle = LiveWindow(window);
  if (!handle) return;
  HWND after = behindWindow ? LiveWindow(behindWindow) : HWND_BOTTOM;
  if (!after) return;
  SetWindowPos(handle, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void WINAPI ML_MoveWindow(HWND activeWindow, WindowPtr window, short h, short v, Boolean front) {
  HWND handle = LiveWindow(window);
  if (!handle) return;
  RECT frame = FrameFor(handle, h, v, 0, 0);
  SetWindowPos(handle, nullptr, frame.left, frame.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (front && handle != activeWindow) SelectWindow(window);
}

void WINAPI SizeWindow(WindowPtr window, short width, short height, Boolean) {
  HWND handle = LiveWindow(window);
  if (!handle) return;
  RECT frame = FrameFor(handle, 0, 0, width, height);
  SetWindowPos(handle, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WINAPI ZoomWindow(WindowPtr window, short, Boolean) {
  if (HWND handle = LiveWindow(window)) SendMessageA(handle, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
}

void WINAPI SetWRefCon(WindowPtr window, long refCon) {
  if (window) window->refCon = refCon;
}

long WINAPI GetWRefCon(WindowPtr window) { return window ? window->refCon : 0; }
