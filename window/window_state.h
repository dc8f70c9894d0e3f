// What the Window Manager keeps for the process, and the lookups its sources share.
#pragma once

#include <windows.h>

#include "tstools/window.h"

namespace tstools {

// Clips a region in client device coordinates to what of the window may be drawn.
using VisibleRegionHook = void (*)(HWND window, HRGN region);

struct WindowState {
  VisibleRegionHook visibleRegionHook = nullptr;  // installed by ML_InitWindows

  void Reset() { visibleRegionHook = nullptr; }
};

extern WindowState windowState;

namespace window {

// The record of a window of this process, through its "thePort" property. Another
// process's property holds an address that means nothing here.
WindowPtr RecordOf(HWND window);
// The window's handle when the record is usable: non-null and on a live window.
HWND LiveWindow(WindowPtr record);

}  // namespace window
}  // namespace tstools
