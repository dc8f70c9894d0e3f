// Cursor calls: hiding the cursor while typing and choosing it over the frame window.
#include "frame/library_globals.h"
#include "tstools/grafport.h"

using tstools::hiddenCursorCount;

namespace {

bool CursorIn(HWND window, POINT p) {
  RECT r;
  return window && GetWindowRect(window, &r) && PtInRect(&r, p);
}

}  // namespace

void WINAPI ML_ObscureCursor(HWND window) {
  POINT p;
  if (hiddenCursorCount != 0 || !GetCursorPos(&p) || !CursorIn(window, p)) return;
  ++hiddenCursorCount;
  if (GetSystemMetrics(SM_MOUSEPRESENT)) ShowCursor(FALSE);
}

void WINAPI ML_FixCursor(void) {
  if (hiddenCursorCount == 0) return;
  --hiddenCursorCount;
  if (GetSystemMetrics(SM_MOUSEPRESENT)) ShowCursor(TRUE);
}

void WINAPI M_SetCursor(HCURSOR cursor, HWND frameWindow, HWND contentWindow) {
  ML_FixCursor();
  HWND active = GetActiveWindow();
  if (!active) return;
  HWND top = GetAncestor(active, GA_ROOT);
  POINT p{};
  GetCursorPos(&p);
  if (top == frameWindow && !IsIconic(frameWindow)) {
    if (CursorIn(contentWindow, p))
      SetCursor(cursor);
    else if (active != frameWindow && CursorIn(active, p))
      SetCursor(cursor);
    else if (CursorIn(frameWindow, p))
      SetCursor(LoadCursor(nullptr, IDC_ARROW));
    return;
  }
  if (CursorIn(active, p)) return;
  if (CursorIn(frameWindow, p)) SetCursor(LoadCursor(nullptr, IDC_ARROW));
}
