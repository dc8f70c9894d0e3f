#include "window/window_state.h"
#include "quickdraw/port_internal.h"

namespace tstools {

WindowState windowState;

namespace window {

WindowPtr RecordOf(HWND window) {
  if (!window || !IsWindow(window)) return nullptr;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return nullptr;
  return reinterpret_cast<WindowPtr>(qd::PortFromWindow(window));
}

HWND LiveWindow(WindowPtr record) {
  if (!record || !record->port.window || !IsWindow(record->port.window)) return nullptr;
  return record->port.window;
}

}  // namespace window
}  // namespace tstools
