// Finding records: from a window handle, in the MDI client's z-order, under a point.
#include "window/window_state.h"

namespace tstools::window {
namespace {

bool HasOwner(HWND window) { return GetWindow(window, GW_OWNER) != nullptr; }

// Walks the MDI client's children in z-order from the active one, wrapping once around.
WindowPtr SearchFront(HWND mdiClient, bool includeHidden, bool acceptMinimised) {
  if (!mdiClient || !IsWindow(mdiClient)) return nullptr;
  HWND start = reinterpret_cast<HWND>(SendMessageA(mdiClient, WM_MDIGETACTIVE, 0, 0));
  if (!start) return nullptr;
  HWND window = start;
  do {
    if (!HasOwner(window)) {
      bool minimised = IsIconic(window) != 0;
      if (minimised && !includeHidden) {
        // skipped
      } else if (minimised && !acceptMinimised) {
        return nullptr;
      } else if (WindowPtr record = RecordOf(window)) {
        if (includeHidden || IsWindowVisible(window)) return record;
      }
    }
    window = GetWindow(window, GW_HWNDNEXT);
    if (!window) window = GetWindow(start, GW_HWNDFIRST);
  } while (window && window != start);
  return nullptr;
}

}  // namespace
}  // namespace tstools::window

using namespace tstools;
using namespace tstools::window;

WindowPtr WINAPI ML_FrontWindow(HWND mdiClient) { return SearchFront(mdiClient, false, false); }

WindowPtr WINAPI ML_FrontWindowFocus(HWND mdiClient, Boolean acceptMinimised) {
  return SearchFront(mdiClient, true, acceptMinimised != 0);
}

WindowPtr WINAPI ML_LMGetWindowList(HWND mdiClient) { return SearchFront(mdiClient, true, true); }

WindowPtr WINAPI GetNextWindowPtr(WindowPtr window) {
  HWND next = LiveWindow(window);
  while (next && (next = GetWindow(next, GW_HWNDNEXT)) != nullptr)
    if (!HasOwner(next))
      if (WindowPtr record = RecordOf(next)) return record;
  return nullptr;
}

WindowPtr WINAPI GetWindowPtr(HWND window) { return RecordOf(window); }

short WINAPI ML_FindWindow(HWND ignoreWindow, Point pt, WindowPtr *found) {
  if (!found) return 0;
  *found = nullptr;
  // A control (a document's scroll bar) belongs to the nearest window above it with a record.
  HWND window = WindowFromPoint(POINT{pt.h, pt.v});
  WindowPtr record = nullptr;
  while (window && window != ignoreWindow && !(record = RecordOf(window)))
    window = (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : nullptr;
  if (window && window != ignoreWindow) *found = record;
  return 0;
}
