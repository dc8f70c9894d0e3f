// Measuring and painting the items of a popup menu.
#pragma once

#include <windows.h>

#include "menu/popup_layout.h"
#include "tstools/menus.h"

namespace tstools::menu {

// Item index (0-based) is shown: not hidden, or hidden items are shown.
bool PopupItemShown(MenuHandle menu, int index);
// The size of item index, measured with dc (whose font is left as it was).
PopupCell MeasurePopupItem(MenuHandle menu, int index, HDC dc);
// Draws item index into rect of dc, highlighted or not; itemWindow is the item's window.
void PaintPopupItem(MenuHandle menu, int index, HWND itemWindow, HDC dc, const RECT &rect, bool highlighted);

}  // namespace tstools::menu
