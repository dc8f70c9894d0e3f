// Making and closing document windows: the record, the MDI child and the port its class opens.
#include <cstring>

#include "frame/library_globals.h"
#include "memory/memory_state.h"
#include "tstools/charset.h"
#include "tstools/memory.h"
#include "window/window_state.h"

namespace tstools::window {
namespace {

// Clips to the client rectangle: the region is in client device coordinates already.
void ClipToClientArea(HWND window, HRGN region) {
  RECT client{};
  if (!GetClientRect(window, &client)) return;
  HRGN area = CreateRectRgnIndirect(&client);
  if (!area) return;
  CombineRgn(region, region, area, RGN_AND);
  DeleteObject(area);
}

// A Str255 as a NUL-terminated Windows string.
void WindowsTitle(ConstStr255Param title, char (&out)[256]) {
  size_t length = title ? title[0] : 0;
  if (length) std::memcpy(out, title + 1, length);
  out[length] = 0;
  MapText(out, static_cast<long>(length), 0, 0);
}

HWND CreateChild(HINSTANCE module, const char *className, const char *title, DWORD style, int x,
                 int y, int cx, int cy, HWND mdiClient, WindowPtr record) {
  if (platform.hasNewShell)
    return CreateWindowExA(WS_EX_MDICHILD | WS_EX_CLIENTEDGE, className, title, style, x, y, cx, cy,
                           mdiClient, nullptr, module, record);
  MDICREATESTRUCTA create{className, title, module, x, y, cx, cy, style, reinterpret_cast<LPARAM>(record)};
  return reinterpret_cast<HWND>(SendMessageA(mdiClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
}

// Undoes what a failed creation left: the port the class may have opened (its DC goes back
// while the window still exists), the window, and a record we allocated.
void Abandon(WindowPtr record, HWND child, HWND mdiClient, bool allocated) {
  if (record->port.visRgn || record->port.window) ClosePort(&record->port);
  if (child && IsWindow(child)) SendMessageA(mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0);
  if (allocated) MemDisposePtr(reinterpret_cast<Ptr>(record));
}

}  // namespace
}  // namespace tstools::window

using namespace tstools;
using namespace tstools::window;

void WINAPI ML_InitWindows(void) { windowState.visibleRegionHook = ClipToClientArea; }

WindowPtr WINAPI ML_NewWindow(HINSTANCE module, const char *className, void *storage, short left,
                              short top, short right, short bottom, HWND mdiClient,
                              ConstStr255Param title, Boolean visible, Boolean closeBox, short kind,
                              WindowPtr behind, long refCon) {
  if (!className || !mdiClient || !IsWindow(mdiClient)) return nullptr;
  auto record = static_cast<WindowPtr>(storage);
  if (!record) {
    Ptr block = nullptr;
    if (MemNewPtr(&block, sizeof(WindowRecord), true) != noErr) return nullptr;
    record = reinterpret_cast<WindowPtr>(block);
  }
  std::memset(record, 0, sizeof *record);
  record->windowKind = 8;
  record->visible = visible ? 1 : 0;
  record->refCon = refCon;
  char text[256];
  WindowsTitle(title, text);

  // An invisible window is made off screen, so that it never flashes, and placed afterwards.
  int cx = right - left, cy = bottom - top;
  int x = visible ? left : -30000, y = visible ? top : -30000;
  DWORD style = WS_CLIPCHILDREN | (visible ? WS_VISIBLE : 0);
  HWND wasActive = reinterpret_cast<HWND>(SendMessageA(mdiClient, WM_MDIGETACTIVE, 0, 0));
  HWND child = CreateChild(module, className, text, style, x, y, cx, cy, mdiClient, record);
  if (!child || record->port.window != child || RecordOf(child) != record) {
    Abandon(record, child, mdiClient, !storage);
    return nullptr;
  }

  if (!visible) {
    SetWindowPos(child, HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    SetWindowPos(child, nullptr, left, top, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    // The MDI client activates every child it makes; a window nobody can see keeps the
    // active one active.
    if (wasActive && IsWindow(wasActive))
      SendMessageA(mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(wasActive), 0);
  } else if (behind == kWindowInFront) {
    SelectWindow(record);
  }
  if (!closeBox) {
    // The separator above Close, then Close itself.
    if (HMENU system = GetSystemMenu(child, FALSE)) {
      RemoveMenu(system, 5, MF_BYPOSITION);
      RemoveMenu(system, 5, MF_BYPOSITION);
    }
  }
  if (kind == 2) {
    LONG_PTR was = GetWindowLongPtrA(child, GWL_STYLE);
    SetWindowLongPtrA(child, GWL_STYLE, was & ~static_cast<LONG_PTR>(WS_THICKFRAME | WS_DLGFRAME));
    SetWindowPos(child, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return record;
}

void WINAPI M_CloseWindow(WindowPtr window) {
  if (window) ClosePort(&window->port);
}

void WINAPI DisposeWindow(WindowPtr window) {
  if (!window) return;
  ClosePort(&window->port);
  if (memory::memoryState.zone.OwnsPtr(reinterpret_cast<const char *>(window)))
    MemDisposePtr(reinterpret_cast<Ptr>(window));
}
