// Conversions between PICT data, metafiles (METAFILEPICT, PicMeta, MetaFlat) and bitmaps.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "frame/byte_reader.h"
#include "frame/export_guard.h"
#include "picture/meta_header.h"
#include "picture/metafile_playback.h"
#include "picture/recording_state.h"
#include "tstools/picture_record.h"

namespace {

using namespace tstools::pict;

// The PICT's frame (stored top, left, bottom, right, big-endian), or false when the handle
// is too short to hold one.
bool PictFrame(PicHandle picture, Rect *frame) {
  Size size = 0;
  if (!picture || MemGetHandleSize(picture, &size) != noErr || size < 10 || !*picture) return false;
  tstools::ByteReader in(*picture + 2, 8);
  frame->top = in.S16BE();
  frame->left = in.S16BE();
  frame->bottom = in.S16BE();
  frame->right = in.S16BE();
  return true;
}

HGLOBAL NewMetaFilePict(LONG mm, LONG xExt, LONG yExt, HMETAFILE mf) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(METAFILEPICT));
  auto *p = block ? static_cast<METAFILEPICT *>(GlobalLock(block)) : nullptr;
  if (!p) {
    if (block) GlobalFree(block);
    return nullptr;
  }
  *p = METAFILEPICT{mm, xExt, yExt, mf};
  GlobalUnlock(block);
  return block;
}

// The window DC conversions make compatible bitmaps for; the screen's without a window.
struct WindowDC {
  explicit WindowDC(const PictConvContext *context) : window(context ? context->window : nullptr), dc(GetDC(window)) {}
  ~WindowDC() {
    if (dc) ReleaseDC(window, dc);
  }
  HWND window;
  HDC dc;
};

bool Header(const METAFILEPICT *meta, MetaHeader *header) {
  return meta && meta->hMF && HeaderFromMetaFilePict(meta->mm, meta->xExt, meta->yExt, header);
}

}  // namespace

OSErr WINAPI ML_PictToMeta(const PictConvContext *context, PicHandle picture, HGLOBAL *meta) {
  if (meta) *meta = nullptr;
  Rect frame{};
  if (!meta || !PictFrame(picture, &frame)) return memFullErr;
  WindowDC window(context);
  if (!window.dc) return memFullErr;
  GrafPort port{};
  port.dc = window.dc;
  port.portRect = frame;
  ML_OpenPort(&port);
  GrafPort saved;
  HMETAFILE mf = nullptr;
  if (MakeMetaFile(&port, &saved, &frame, window.dc)) {
    ML_DrawPicture(&port, picture, &frame);
    mf = FinishRecording(&port, saved);
  }
  ClosePort(&port);
  if (!mf) return memFullErr;
  *meta = NewMetaFilePict(MM_ANISOTROPIC, PointsToHimetric(frame.right - frame.left),
                          PointsToHimetric(frame.bottom - frame.top), mf);
  if (*meta) return noErr;
  DeleteMetaFile(mf);
  return memFullErr;
}

OSErr WINAPI ML_PictToBitmap(const PictConvContext *context, PicHandle picture, HBITMAP *bitmap) {
  if (bitmap) *bitmap = nullptr;
  Rect frame{};
  if (!bitmap || !PictFrame(picture, &frame)) return memFullErr;
  int w = std::abs(frame.right - frame.left), h = std::abs(frame.bottom - frame.top);
  if (!w || !h || BitmapBytes(w, h, 32) > kMaxPictureBytes) return memFullErr;
  WindowDC window(context);
  HDC dc = window.dc ? CreateCompatibleDC(window.dc) : nullptr;
  HBITMAP result = dc ? CreateCompatibleBitmap(window.dc, w, h) : nullptr;
  HGDIOBJ old = result ? SelectObject(dc, result) : nullptr;
  if (old) {
    PatBlt(dc, 0, 0, w, h, WHITENESS);
    HPALETTE palette = context ? context->palette : nullptr;
    HPALETTE oldPalette = palette ? SelectPalette(dc, palette, FALSE) : nullptr;
    if (oldPalette) RealizePalette(dc);
    GrafPort port{};
    port.dc = dc;
    port.portRect = Rect{0, 0, short(w), short(h)};
    ML_OpenPort(&port);
    ML_DrawPicture(&port, picture, &port.portRect);
    ClosePort(&port);
    if (oldPalette) SelectPalette(dc, oldPalette, FALSE);
    SelectObject(dc, old);
  } else if (result) {
    DeleteObject(result);
    result = nullptr;
  }
  if (dc) DeleteDC(dc);
  *bitmap = result;
  return result ? noErr : memFullErr;
}

OSErr WINAPI ML_MetaToBitmap(const PictConvContext *context, const METAFILEPICT *meta, HBITMAP *bitmap) {
  if (bitmap) *bitmap = nullptr;
  MetaHeader header;
  if (!bitmap || !Header(meta, &header)) return memFullErr;
  int w = std::abs(header.Width()), h = std::abs(header.Height());
  if (!w || !h || BitmapBytes(w, h, 32) > kMaxPictureBytes) return memFullErr;
  RECT window{header.left, header.top, w, h};
  if (meta->xExt) window = RECT{header.left, header.top, std::abs(meta->xExt), std::abs(meta->yExt)};
  WindowDC windowDC(context);
  *bitmap = RenderMetafile(windowDC.dc, meta->hMF, w, h, window, context ? context->palette : nullptr);
  return *bitmap ? noErr : memFullErr;
}

OSErr WINAPI ML_MetaToPicMeta(long, const METAFILEPICT *meta, Handle handle, Boolean copy) {
  MetaHeader header;
  if (!handle || !Header(meta, &header)) return memFullErr;
  HMETAFILE mf = copy ? CopyMetaFileA(meta->hMF, nullptr) : meta->hMF;
  if (!mf) return memFullErr;
  if (MemSetHandleSize(handle, sizeof(PicMeta)) != noErr || !*handle) {
    if (copy) DeleteMetaFile(mf);
    return memFullErr;
  }
  auto *pm = reinterpret_cast<PicMeta *>(*handle);
  std::memset(pm, 0, sizeof *pm);
  pm->size = short(sizeof(PicMeta));
  pm->frame = Rect{header.left, header.top, header.right, header.bottom};
  pm->unitsPerInch = header.unitsPerInch;
  pm->tag = header.tag;
  pm->mm = meta->mm;
  pm->xExt = meta->xExt;
  pm->yExt = meta->yExt;
  pm->hMF = mf;
  return noErr;
}

OSErr WINAPI ML_PicMetaToMeta(long, const void *picMeta, HGLOBAL *meta, Boolean copy) {
  if (meta) *meta = nullptr;
  auto *picture = static_cast<const PicMeta *>(picMeta);
  // A picture still recording has no metafile yet.
  if (!meta || !picture || !picture->hMF || picture->hMF == kPicMetaRecording) return memFullErr;
  HMETAFILE mf = copy ? CopyMetaFileA(picture->hMF, nullptr) : picture->hMF;
  HGLOBAL block = mf ? NewMetaFilePict(picture->mm, picture->xExt, picture->yExt, mf) : nullptr;
  if (!block) {
    if (copy && mf) DeleteMetaFile(mf);
    return memFullErr;
  }
  *meta = block;
  return noErr;
}

OSErr WINAPI ML_MetaToMetaFlat(long, const METAFILEPICT *meta, Handle handle) {
  MetaHeader header;
  if (!handle || !Header(meta, &header)) return memFullErr;
  UINT bytes = GetMetaFileBitsEx(meta->hMF, 0, nullptr);
  if (!bytes || bytes > UINT(kMaxPictureBytes - sizeof(MetaFlat))) return memFullErr;
  if (MemSetHandleSize(handle, Size(sizeof(MetaFlat) + bytes)) != noErr || !*handle) return memFullErr;
  MetaFlat flat{header.left, header.top, header.right, header.bottom, header.unitsPerInch, header.tag,
                meta->mm, meta->xExt, meta->yExt};
  std::memcpy(*handle, &flat, sizeof flat);
  if (GetMetaFileBitsEx(meta->hMF, bytes, *handle + sizeof flat) != bytes) {
    MemSetHandleSize(handle, 0);
    return memFullErr;
  }
  return noErr;
}

OSErr WINAPI ML_MetaFlatToMeta(long, const void *metaFlat, HMETAFILE metafile, HGLOBAL *meta) {
  if (meta) *meta = nullptr;
  auto *flat = static_cast<const MetaFlat *>(metaFlat);
  if (!meta || !flat) return memFullErr;
  *meta = NewMetaFilePict(flat->mm, flat->xExt, flat->yExt, metafile);
  return *meta ? noErr : memFullErr;
}
