// Playing a metafile through the record filter, and rendering one into a bitmap: what
// ML_DrawMetaFile and the metafile conversions share.
#pragma once

#include <windows.h>

#include "picture/metafile_filter.h"

namespace tstools::pict {

// Plays mf on dc with the default drawing state, through the filter; the DC's state is as
// before afterwards. nesting: where a picture nested into a recording lands (null when dc
// is not recording). False when the DC state could not be saved.
bool PlayFilteredMetafile(HDC dc, HMETAFILE mf, const NestingGeometry *nesting);

// A new white bitmap of width x height, compatible with `like` (the screen's when null),
// with mf played onto it through the window (x, y, extX, extY) mapped to the whole bitmap;
// palette, when not null, is selected and realised while playing. Null when GDI runs short.
HBITMAP RenderMetafile(HDC like, HMETAFILE mf, int width, int height, const RECT &window, HPALETTE palette);

}  // namespace tstools::pict
