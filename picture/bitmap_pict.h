// Writing a device bitmap as PICT: the Windows side of the bitmap writer, shared by the
// bitmap, DIB and metafile conversions.
#pragma once

#include <windows.h>

#include "tstools/memory.h"

namespace tstools::pict {

// Writes bitmap (not selected into any DC) as a PICT whose frame plays it at 72 per inch
// when it was rendered at `resolution` per inch. dc is used for GetDIBits; palette, when not
// 0, is selected into it while the bits are read. The handle is resized to the picture.
// Returns 0, or -108 with the handle at size 0.
OSErr WriteBitmapAsPict(HDC dc, HBITMAP bitmap, HPALETTE palette, int resolution, Handle picture);

}  // namespace tstools::pict
