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
  std::vector<uint8_t> rgb(depth == 24 ? size_t(width) * 3 : 0);

  for (int top = 0; top < height; top += band) {
    int rows = std::min(band, height - top);
    // Bottom-up scan lines: the band's lowest row is scan line height - top - rows.
    info.header.biHeight = height;
    if (GetDIBits(dc, bitmap, UINT(height - top - rows), UINT(rows), bits.data(),
                  reinterpret_cast<BITMAPINFO *>(&info), DIB_RGB_COLORS) != rows)
      return false;
    if (top == 0 && !BeginImage(writer, depth, info, bounds, frame, resolution)) return false;
    for (int i = 0; i < rows; ++i) {
      const uint8_t *row = bits.data() + size_t(rows - 1 - i) * stride;
      if (depth == 24) {
        for (int x = 0; x < width; ++x) {
          rgb[3 * x] = row[3 * x + 2];
          rgb[3 * x + 1] = row[3 * x + 1];
          rgb[3 * x + 2] = row[3 * x];
        }
        row = rgb.data();
      }
      if (!writer.AppendRow(row)) return false;
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
    PictWriter writer;
    if (!writer.Reserve(WorstCaseBitmapPictSize(depth, width, height))) return memFullErr;
    {
      PaletteSelection selection(dc, palette);
      if (!WriteRows(dc, bitmap, width, height, depth, resolution, writer)) return memFullErr;
    }
    const std::vector<uint8_t> &bytes = writer.Bytes();
    return PtrToXHand(bytes.data(), picture, long(bytes.size())) == noErr ? noErr : memFullErr;
  });
  if (result != noErr) MemSetHandleSize(picture, 0);
  return result;
}

}  // namespace tstools::pict
