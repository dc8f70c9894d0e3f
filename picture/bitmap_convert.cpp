// ML_BitmapToPict and ML_DIBToPict: the context's DC, then the bitmap writer.
#include <windows.h>

#include "picture/bitmap_pict.h"
#include "picture/dib_layout.h"
#include "tstools/picture_convert.h"

using namespace tstools;
using namespace tstools::pict;

namespace {

// The context window's DC (the screen's for a null context), released at scope end.
class ContextDC {
 public:
  explicit ContextDC(const PictConvContext *context)
      : window_(context ? context->window : nullptr), dc_(GetDC(window_)) {}
  ~ContextDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  ContextDC(const ContextDC &) = delete;
  ContextDC &operator=(const ContextDC &) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

HPALETTE ChosenPalette(const PictConvContext *context, HPALETTE palette) {
  return palette ? palette : context ? context->palette : nullptr;
}

}  // namespace

OSErr WINAPI ML_BitmapToPict(const PictConvContext *context, HBITMAP bitmap, HPALETTE palette,
                             PicHandle picture) {
  if (!picture) return paramErr;
  ContextDC dc(context);
  return WriteBitmapAsPict(dc.get(), bitmap, ChosenPalette(context, palette), 72, picture);
}

OSErr WINAPI ML_DIBToPict(const PictConvContext *context, HGLOBAL dib, HPALETTE palette,
                          PicHandle picture) {
  if (!picture) return paramErr;
  const auto *block = dib ? static_cast<const uint8_t *>(GlobalLock(dib)) : nullptr;
  DibLayout layout;
  if (!block || !LocateDib(block, GlobalSize(dib), &layout)) {
    if (block) GlobalUnlock(dib);
    MemSetHandleSize(picture, 0);
    return -1;
  }
  ContextDC dc(context);
  OSErr result = -1;
  if (dc.get()) {
    const auto *info = reinterpret_cast<const BITMAPINFO *>(block);
    HBITMAP bitmap = CreateDIBitmap(dc.get(), &info->bmiHeader, CBM_INIT, block + layout.bitsOffset,
                                    info, DIB_RGB_COLORS);
    result = bitmap ? WriteBitmapAsPict(dc.get(), bitmap, ChosenPalette(context, palette), 72, picture)
                    : OSErr(memFullErr);
    if (bitmap) DeleteObject(bitmap);
  }
  GlobalUnlock(dib);
  if (result != noErr) MemSetHandleSize(picture, 0);
  return result;
}
