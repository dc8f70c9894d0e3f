// Scroll-bar controls: the Mac control calls over a scroll-bar window. From Windows 4.0 the
// bar has a page, and the Mac maximum is stored past it (window/scroll_mapping.h); earlier
// bars map minimum, maximum and value directly.
#include "frame/library_globals.h"
#include "tstools/controls.h"
#include "window/scroll_mapping.h"

using tstools::platform;

namespace {

SCROLLINFO ReadBar(HWND control) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  if (!GetScrollInfo(control, SB_CTL, &info)) info.nMin = info.nMax = info.nPos = info.nPage = 0;
  return info;
}

void WriteBar(HWND control, UINT mask, SCROLLINFO info, bool redraw) {
  info.cbSize = sizeof info;
  info.fMask = mask;
  SetScrollInfo(control, SB_CTL, &info, redraw);
}

long MacMax(HWND control) {
  if (!platform.hasNewShell) {
    int low = 0, high = 0;
    GetScrollRange(control, SB_CTL, &low, &high);
    return high;
  }
  SCROLLINFO info = ReadBar(control);
  return tstools::MacMaxFromRange(info.nMax, static_cast<long>(info.nPage));
}

long MacMin(HWND control) {
  int low = 0, high = 0;
  GetScrollRange(control, SB_CTL, &low, &high);
  return low;
}

// Setting a range re-enables a bar's arrows; every setter ends here so that they follow the
// range. Before Windows 4.0 the arrows cannot be told apart from the control.
void ApplyEnableRule(HWND control, long minimum, long maximum) {
  bool enable = tstools::ArrowsEnabled(minimum, maximum);
  if (platform.hasNewShell)
    EnableScrollBar(control, SB_CTL, enable ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
  else
    EnableWindow(control, enable);
}

// Logical units of the parent's DC (where a port origin may be set) to its device units.
void ParentLogicalToDevice(HWND control, POINT *points, int count) {
  HWND parent = GetParent(control);
  if (HDC dc = GetDC(parent)) {
    LPtoDP(dc, points, count);
    ReleaseDC(parent, dc);
  }
}

}  // namespace

void WINAPI HideControl(HWND control) {
  if (control) ShowWindow(control, SW_HIDE);
}

void WINAPI ShowControl(HWND control) {
  if (!control) return;
  ShowWindow(control, SW_SHOW);
  UpdateWindow(control);
}

void WINAPI MoveControl(HWND control, long h, long v) {
  if (!control) return;
  POINT at{h, v};
  ParentLogicalToDevice(control, &at, 1);
  SetWindowPos(control, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WINAPI SizeControl(HWND control, long width, long height) {
  if (!control) return;
  // A size is a distance: converted as the difference of two points, so an origin drops out.
  POINT corners[2] = {{0, 0}, {width, height}};
  ParentLogicalToDevice(control, corners, 2);
  SetWindowPos(control, nullptr, 0, 0, corners[1].x - corners[0].x, corners[1].y - corners[0].y,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WINAPI SetCtlValue(HWND control, long value) {
  if (!control) return;
  long minimum = MacMin(control), maximum = MacMax(control);
  bool enabled = tstools::ArrowsEnabled(minimum, maximum);
  if (platform.hasNewShell) {
    SCROLLINFO info{};
    info.nPos = value;
    WriteBar(control, SIF_POS, info, enabled);
  } else {
    SetScrollPos(control, SB_CTL, value, enabled);
  }
  ApplyEnableRule(control, minimum, maximum);
}

long WINAPI GetCtlValue(HWND control) { return control ? GetScrollPos(control, SB_CTL) : 0; }

void WINAPI SetCtlMin(HWND control, long minimum) {
  if (!control) return;
  long maximum = MacMax(control);
  if (platform.hasNewShell) {
    SCROLLINFO info = ReadBar(control);
    info.nMin = minimum;
    WriteBar(control, SIF_RANGE, info, false);
  } else {
    int low = 0, high = 0;
    GetScrollRange(control, SB_CTL, &low, &high);
    SetScrollRange(control, SB_CTL, minimum, high, false);
  }
  ApplyEnableRule(control, minimum, maximum);
}

long WINAPI GetCtlMin(HWND control) { return control ? MacMin(control) : 0; }

void WINAPI SetCtlMax(HWND control, long maximum) {
  if (!control) return;
  long minimum = MacMin(control);
  bool enabled = tstools::ArrowsEnabled(minimum, maximum);
  if (platform.hasNewShell) {
    SCROLLINFO info = ReadBar(control);
    info.nMax = tstools::WindowsRangeMax(maximum, static_cast<long>(info.nPage));
    WriteBar(control, SIF_RANGE, info, true);
  } else {
    SetScrollRange(control, SB_CTL, minimum, maximum, enabled);
  }
  ApplyEnableRule(control, minimum, maximum);
}

long WINAPI GetCtlMax(HWND control) { return control ? MacMax(control) : 0; }

void WINAPI SetScrollPage(HWND control, long page) {
  if (!control || !platform.hasNewShell) return;
  // Page and range maximum change together: a bar briefly holding the new page over the old
  // range would clamp the value into it.
  SCROLLINFO info = ReadBar(control);
  long maximum = tstools::MacMaxFromRange(info.nMax, static_cast<long>(info.nPage));
  info.nPage = page < 0 ? 0 : static_cast<UINT>(page);
  info.nMax = tstools::WindowsRangeMax(maximum, page);
  WriteBar(control, SIF_RANGE | SIF_PAGE, info, false);
  ApplyEnableRule(control, info.nMin, maximum);
}
