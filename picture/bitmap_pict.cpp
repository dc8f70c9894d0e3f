// Reads a device bitmap's rows through GetDIBits and hands them to the PICT writer.
#include "picture/bitmap_pict.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "frame/export_guard.h"
#include "picture/pict_writer.h"

namespace tstools::pict {
namespace {

// GetDIBits per band of rows rather than per row: one call costs far more than the copy.
constexpr size_t kBandBytes = 256 * 1024;

struct DibInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colors[256];
};

int WriterDepth(int bitsPerPixel) {
  if (bitsPerPixel <= 1) return 1;
  if (bitsPerPixel <= 4) return 4;
  if (bitsPerPixel <= 8) return 8;
  return 24;
}

int Luminance(const RGBQUAD &c) { return 30 * c.rgbRed + 59 * c.rgbGreen + 11 * c.rgbBlue; }

class PaletteSelection {
 public:
  PaletteSelection(HDC dc, HPALETTE palette) : dc_(dc) {
    if (palette) {
      old_ = SelectPalette(dc, palette, FALSE);
      RealizePalette(dc);
    }
  }
  ~PaletteSelection() {
    if (old_) SelectPalette(dc_, old_, FALSE);
  }
  PaletteSelection(const PaletteSelection &) = delete;
  PaletteSelection &operator=(const PaletteSelection &) = delete;

 private:
  HDC dc_;
  HPALETTE old_ = nullptr;
};

// Starts the image once the first band has brought the colour table.
bool BeginImage(PictWriter &writer, int depth, const DibInfo &info, const PictRect &bounds,
                const PictRect &frame, int resolution) {
  if (depth == 1) {
    // A set Windows bit is the table's second colour; QuickDraw sets bits for black. Rows
    // need inverting only when the table is black first (a device bitmap); a white-first
    // DIB section already stores black as set bits.
    bool invert = Luminance(info.colors[0]) < Luminance(info.colors[1]);
    return writer.BeginBitmap1(bounds, frame, invert);
  }
  if (depth == 24) {
    DirectImage image;
    image.bounds = image.source = bounds;
    image.destination = frame;
    image.hRes = image.vRes = int32_t(resolution) << 16;
    image.packType = 4;
    image.bgr = true;
    return writer.BeginDirect(image);
  }
  IndexedImage image;
  image.bounds = image.source = bounds;
  image.destination = frame;
  image.pixelSize = depth;
  image.rowBytes = uint16_t(depth == 4 ? (bounds.right + 3) / 4 * 2 : (bounds.right + 1) / 2 * 2);
  image.hRes = image.vRes = int32_t(resolution) << 16;
  image.moveWhiteFirstBlackLast = true;
  image.colors.resize(size_t(1) << depth);
  for (size_t i = 0; i < image.colors.size(); ++i)
    image.colors[i] = PictRgb{info.colors[i].rgbRed, info.colors[i].rgbGreen, info.colors[i].rgbBlue};
  return writer.BeginIndexed(image);
}

bool WriteRows(HDC dc, HBITMAP bitmap, int width, int height, int depth, int resolution,
               PictWriter &writer) {
  PictRect bounds{0, 0, int16_t(width), int16_t(height)};
  PictRect frame{0, 0, int16_t(MulDiv(width, 72, resolution)), int16_t(MulDiv(height, 72, resolution))};
  if (depth == 1) writer.BeginVersion1(frame);
  else writer.BeginVersion2(frame);

  DibInfo info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biPlanes = 1;
  info.header.biBitCount = WORD(depth);
  info.header.biCompression = BI_RGB;
  size_t stride = (size_t(width) * depth + 31) / 32 * 4;
  int band = int(std::max<size_t>(1, std::min<size_t>(height, kBandBytes / stride)));
  std::vector<uint8_t> bits(stride * size_t(band));

  for (int top = 0; top < height; top += band) {
    int rows = std::min(band, height - top);
    // Bottom-up scan lines: the band's lowest row is scan line height - top - rows.
    info.header.biHeight = height;
    if (GetDIBits(dc, bitmap, UINT(height - top - rows), UINT(rows), bits.data(),
                  reinterpret_cast<BITMAPINFO *>(&info), DIB_RGB_COLORS) != rows)
      return false;
    if (top == 0 && !BeginImage(writer, depth, info, bounds, frame, resolution)) return false;
    for (int i = 0; i < rows; ++i) {
      if (!writer.AppendRow(bits.data() + size_t(rows - 1 - i) * stride)) return false;
    }
  }
  return writer.Finish();
}

}  // namespace

OSErr WriteBitmapAsPict(HDC dc, HBITMAP bitmap, HPALETTE palette, int resolution, Handle picture) {
  if (!picture) return paramErr;
  OSErr result = Guarded(memFullErr, [&]() -> OSErr {
    BITMAP bm{};
    if (!dc || !bitmap || !GetObjectA(bitmap, sizeof bm, &bm)) return memFullErr;
    int width = bm.bmWidth, height = std::abs(bm.bmHeight);
    if (resolution <= 0) resolution = 72;
    int depth = WriterDepth(bm.bmPlanes * bm.bmBitsPixel);
    // The frame must be a QuickDraw rectangle, and the worst case must fit a handle.
    if (width < 1 || height < 1 || MulDiv(width, 72, resolution) > 32767 ||
        MulDiv(height, 72, resolution) > 32767 ||
        WorstCaseBitmapPictSize(depth, width, height) > kPictSizeLimit)
      return memFullErr;
    // The rows are packed straight into the handle, sized for the worst case, then shrunk.
    const long worst = long(WorstCaseBitmapPictSize(depth, width, height));
    if (MemSetHandleSize(picture, worst) != noErr) return memFullErr;
    MemSetHandleLock(picture, 1);
    PictWriter writer;
    writer.UseBuffer(reinterpret_cast<uint8_t *>(*picture), size_t(worst));
    bool written;
    {
      PaletteSelection selection(dc, palette);
      written = WriteRows(dc, bitmap, width, height, depth, resolution, writer);
    }
    MemSetHandleLock(picture, -1);
    return written && MemSetHandleSize(picture, long(writer.Size())) == noErr ? noErr : memFullErr;
  });
  if (result != noErr) MemSetHandleSize(picture, 0);
  return result;
}

}  // namespace tstools::pict
