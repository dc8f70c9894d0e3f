// ML_MetaToPict: a metafile rendered into a bitmap at the highest resolution memory allows,
// written as a PICT that plays at the metafile's size.
#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "frame/export_guard.h"
#include "picture/bitmap_pict.h"
#include "picture/meta_header.h"
#include "picture/metafile_playback.h"
#include "tstools/picture_record.h"

namespace {

using namespace tstools::pict;

constexpr int64_t kComfortableBytes = 0x100000;  // above this, a lower resolution is tried first

OSErr RenderAndWrite(HDC windowDC, const METAFILEPICT &meta, const MetaHeader &header, int r, HPALETTE palette,
                     PicHandle picture) {
  int64_t w = 0, h = 0, left = 0, top = 0;
  if (!MulDiv64(std::abs(header.Width()), r, 72, &w) || !MulDiv64(std::abs(header.Height()), r, 72, &h) ||
      !MulDiv64(header.left, r, 72, &left) || !MulDiv64(header.top, r, 72, &top) || !w || !h)
    return memFullErr;
  RECT window{LONG(left), LONG(top), LONG(w), LONG(h)};
  HBITMAP bitmap = RenderMetafile(windowDC, meta.hMF, int(w), int(h), window, palette);
  if (!bitmap) return memFullErr;
  OSErr result = WriteBitmapAsPict(windowDC, bitmap, palette, r, picture);
  DeleteObject(bitmap);
  return result;
}

}  // namespace

OSErr WINAPI ML_MetaToPict(const PictConvContext *context, const METAFILEPICT *meta, PicHandle picture) {
  if (!picture) return memFullErr;
  MetaHeader header;
  if (!meta || !meta->hMF || !HeaderFromMetaFilePict(meta->mm, meta->xExt, meta->yExt, &header) ||
      !header.Width() || !header.Height()) {
    MemSetHandleSize(picture, 0);
    return memFullErr;
  }
  HWND window = context ? context->window : nullptr;
  HDC dc = GetDC(window);
  if (!dc) {
    MemSetHandleSize(picture, 0);
    return memFullErr;
  }
  HPALETTE palette = context ? context->palette : nullptr;
  int bits = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
  int units = header.unitsPerInch ? header.unitsPerInch : UnitsPerInch(meta->mm);
  if (units <= 0) units = 72;
  OSErr result = memFullErr;
  for (int cap = 300;;) {
    int r = std::min(units, cap);
    int64_t bytes = BitmapBytes(int64_t(std::abs(header.Width())) * r / 72, int64_t(std::abs(header.Height())) * r / 72, bits);
    // At 72 per inch or below the size must still fit a handle.
    if ((bytes < kComfortableBytes || r <= 72) && bytes <= kMaxPictureBytes) {
      result = tstools::Guarded(OSErr(memFullErr), [&] { return RenderAndWrite(dc, *meta, header, r, palette, picture); });
      if (result != memFullErr) break;
    }
    if (r <= 72) break;
    cap = r <= 150 ? 72 : 150;
  }
  ReleaseDC(window, dc);
  if (result != noErr) MemSetHandleSize(picture, 0);
  return result;
}
