// Drawing pieces shared by owner-drawn menu items and popup items.
#pragma once

#include <windows.h>

namespace tstools::menu {

// The system's menu bitmaps (loaded by number: OEMRESOURCE is not wanted library-wide).
constexpr int kCheckBitmap = 32760;    // OBM_CHECK
constexpr int kSubmenuArrow = 32739;   // OBM_MNARROW

// A device showing fewer than 8 colours highlights monochrome pictures by inverting them.
bool LowColourDevice(HDC dc);
// Copies a system bitmap to (x, y); y < 0 centres it vertically in rect. Inverted when asked.
void BlitSystemBitmap(HDC dc, int bitmapId, int x, int y, const RECT &rect, bool invert);
// Copies a bitmap to (x, y), inverted when asked.
void BlitBitmap(HDC dc, HBITMAP bitmap, int x, int y, bool invert);
// The size of a system bitmap.
SIZE SystemBitmapSize(int bitmapId);
// Fills rect with a system colour and makes the DC's text and background colours these.
void FillItem(HDC dc, const RECT &rect, int background, int text);

}  // namespace tstools::menu
