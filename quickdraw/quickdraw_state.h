// Process-wide state of the graphics ports: the caches of pens, brushes and fonts that ports
// share, the scratch surfaces kept between verbs, and the recording hook.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "quickdraw/object_cache.h"
#include "quickdraw/port_internal.h"

namespace tstools::qd {

struct FontKey {
  LOGFONTA font;
  unsigned char portKind;
};

using PenCache = ObjectCache<LOGPEN, GrafPort *>;
using BrushCache = ObjectCache<BrushKey, GrafPort *>;
using FontCache = ObjectCache<FontKey, GrafPort *>;

// The arc mask surface kept between verbs: a bitmap of ours selected into a memory DC,
// compatible with the DC (and the bitmap that DC held) it was made for.
struct MaskSurface {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ oldBitmap = nullptr;
  int width = 0, height = 0;
  HDC like = nullptr;
  HGDIOBJ likeBitmap = nullptr;

  void Free();
};

struct QuickDrawState {
  // Live caches (null before QDrawCacheInit and after QDrawCacheClose), and closed ones
  // whose objects open ports still hold.
  std::unique_ptr<PenCache> pens;
  std::unique_ptr<BrushCache> brushes;
  std::unique_ptr<FontCache> fonts;
  std::vector<std::unique_ptr<PenCache>> closedPens;
  std::vector<std::unique_ptr<BrushCache>> closedBrushes;
  std::vector<std::unique_ptr<FontCache>> closedFonts;
  HDC transferDC = nullptr;
  MaskSurface maskSurface;
  MakeMetaFileRoutine makeMetaFile = nullptr;  // how a picture port starts its recording
  unsigned char lockGdiFlag = 0;               // recorded for source compatibility; nothing reads it

  // Destroys the cached objects no port holds and the scratch surfaces, and forgets the
  // rest: the state of a process that has not called QDrawCacheInit. Objects still selected
  // through open ports stay with their DCs.
  void Reset();
};

extern QuickDrawState quickDrawState;

}  // namespace tstools::qd
