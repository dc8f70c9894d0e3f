// ML_DrawMetaFile: a recorded picture played into a port, nested into a recording one.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "frame/export_guard.h"
#include "picture/meta_header.h"
#include "picture/metafile_playback.h"
#include "quickdraw/port_internal.h"
#include "tstools/picture_record.h"

namespace {

using namespace tstools::pict;

struct PictureUnits {
  int64_t left, top, width, height;
};

bool ToPictureUnits(const Rect &frame, int units, PictureUnits *out) {
  return MulDiv64(frame.left, units, 72, &out->left) && MulDiv64(frame.top, units, 72, &out->top) &&
         MulDiv64(frame.right - frame.left, units, 72, &out->width) &&
         MulDiv64(frame.bottom - frame.top, units, 72, &out->height);
}

bool Below16Bits(std::initializer_list<int64_t> values) {
  return std::all_of(values.begin(), values.end(), [](int64_t v) { return std::llabs(v) < 32767; });
}

int DibDepth(HBITMAP bitmap) {
  BITMAP info{};
  GetObject(bitmap, sizeof info, &info);
  int bits = info.bmPlanes * info.bmBitsPixel;
  return bits <= 1 ? 1 : bits <= 4 ? 4 : bits <= 8 ? 8 : 24;
}

// The picture rendered at its own units into a bitmap, copied onto the destination as a
// DIB: for a nested picture whose scaled window would not fit 16 bits.
OSErr DrawAsBitmap(GrafPort *port, const PicMeta &picture, const PictureUnits &u, const Rect &dst) {
  int w = int(std::max<int64_t>(1, std::llabs(u.width))), h = int(std::max<int64_t>(1, std::llabs(u.height)));
  if (BitmapBytes(w, h, 32) > kMaxPictureBytes) return memFullErr;
  RECT window{LONG(u.left), LONG(u.top), LONG(u.width), LONG(u.height)};
  HBITMAP bitmap = RenderMetafile(port->refDC, picture.hMF, w, h, window, nullptr);
  if (!bitmap) return memFullErr;
  OSErr result = memFullErr;
  int depth = DibDepth(bitmap);
  std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
  auto *bmi = reinterpret_cast<BITMAPINFO *>(info.data());
  BITMAPINFOHEADER &header = bmi->bmiHeader;
  header.biSize = sizeof header;
  header.biWidth = w;
  header.biHeight = h;
  header.biPlanes = 1;
  header.biBitCount = WORD(depth);
  header.biCompression = BI_RGB;
  std::vector<uint8_t> bits(size_t(BitmapBytes(w, h, depth)));
  HDC screen = GetDC(nullptr);
  if (screen && GetDIBits(screen, bitmap, 0, UINT(h), bits.data(), bmi, DIB_RGB_COLORS) == h &&
      StretchDIBits(port->dc, dst.left, dst.top, dst.right - dst.left, dst.bottom - dst.top, 0, 0, w, h,
                    bits.data(), bmi, DIB_RGB_COLORS, SRCCOPY) != int(GDI_ERROR))
    result = noErr;
  if (screen) ReleaseDC(nullptr, screen);
  DeleteObject(bitmap);
  return result;
}

OSErr DrawNested(GrafPort *port, const PicMeta &picture, int units, const Rect &dst) {
  const Rect &pr = port->portRect;
  int64_t portW = pr.right - pr.left, portH = pr.bottom - pr.top;
  int64_t destW = dst.right - dst.left, destH = dst.bottom - dst.top;
  PictureUnits u{};
  int64_t w2 = 0, h2 = 0, x = 0, y = 0;
  bool fits = picture.mm != -1 && (picture.unitsPerInch || picture.tag) && ToPictureUnits(picture.frame, units, &u) &&
              MulDiv64(u.width, portW, destW, &w2) && MulDiv64(u.height, portH, destH, &h2) &&
              MulDiv64(dst.left - pr.left, w2, portW, &x) && MulDiv64(dst.top - pr.top, h2, portH, &y) &&
              Below16Bits({u.left, u.top, u.width, u.height, w2, h2, x, y, u.left - x, u.top - y});
  if (!fits) {
    if (!ToPictureUnits(picture.frame, units, &u)) u = {picture.frame.left, picture.frame.top, 0, 0};
    return DrawAsBitmap(port, picture, u, dst);
  }
  SetMapMode(port->dc, MM_ANISOTROPIC);
  SetWindowOrgEx(port->dc, int(u.left - x), int(u.top - y), nullptr);
  SetWindowExtEx(port->dc, int(w2), int(h2), nullptr);
  NestingGeometry g{int32_t(portW), int32_t(portH), int32_t(destW), int32_t(destH), dst.left - pr.left,
                    dst.top - pr.top, int32_t(w2), int32_t(h2)};
  return PlayFilteredMetafile(port->dc, picture.hMF, &g) ? noErr : memFullErr;
}

OSErr DrawOnDevice(GrafPort *port, const PicMeta &picture, int units, const Rect &dst) {
  POINT corners[2] = {{dst.left, dst.top}, {dst.right, dst.bottom}};
  LPtoDP(port->dc, corners, 2);
  PictureUnits u{};
  if (!ToPictureUnits(picture.frame, units, &u)) return noErr;
  SetMapMode(port->dc, MM_ANISOTROPIC);
  SetWindowOrgEx(port->dc, int(u.left), int(u.top), nullptr);
  SetWindowExtEx(port->dc, int(u.width), int(u.height), nullptr);
  SetViewportOrgEx(port->dc, corners[0].x, corners[0].y, nullptr);
  SetViewportExtEx(port->dc, corners[1].x - corners[0].x, corners[1].y - corners[0].y, nullptr);
  return PlayFilteredMetafile(port->dc, picture.hMF, nullptr) ? noErr : memFullErr;
}

}  // namespace

OSErr WINAPI ML_DrawMetaFile(GrafPtr port, const PicMeta *picture, const Rect *destination) {
  if (!port || !port->dc || !picture || !destination) return noErr;
  const Rect &d = *destination, &pr = port->portRect;
  // Both are divided by: an empty one draws nothing.
  if (d.right == d.left || d.bottom == d.top || pr.right == pr.left || pr.bottom == pr.top) return noErr;
  if (!picture->hMF || picture->hMF == kPicMetaRecording) return noErr;
  return tstools::Guarded(OSErr(memFullErr), [&] {
    tstools::qd::BeginPortDrawing(port);
    if (!SaveDC(port->dc)) {
      tstools::qd::EndPortDrawing(port);
      return OSErr(memFullErr);
    }
    int units = picture->mm != -1 && picture->unitsPerInch ? picture->unitsPerInch : 72;
    const Rect &f = picture->frame;
    long frame[8] = {f.left, f.top, f.right - f.left, f.bottom - f.top, d.left, d.top, d.right - d.left, d.bottom - d.top};
    std::copy(frame, frame + 8, port->metaFrame);
    OSErr result = port->portKind == portKindPicture ? DrawNested(port, *picture, units, d)
                                                     : DrawOnDevice(port, *picture, units, d);
    RestoreDC(port->dc, -1);
    tstools::qd::EndPortDrawing(port);
    return result;
  });
}
