// Region helpers shared by the QuickDraw Windows sources.
#pragma once

#include <windows.h>

namespace tstools::qd {

// True for a live GDI region; false for null and for handles of other (or deleted) objects.
bool IsRegion(HRGN rgn);

// Shrinks rgn by inset on both sides along one axis (grows it when inset is negative).
void InsetRegionAlongAxis(HRGN rgn, int inset, bool horizontal);

}  // namespace tstools::qd
