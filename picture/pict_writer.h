// Writes PICT data: the headers, the bit-image opcodes the importers and the bitmap writer
// emit, and the end. Portable: the glue hands rows over and copies the bytes into a handle.
// Every size is checked in 64 bits against the handle limit before anything is appended; once a
// write would pass the limit (or memory runs out) the writer fails and stays failed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "picture/pict_stream.h"  // PictRect

namespace tstools::pict {

// The largest PICT the writer makes: the Memory Manager's largest handle.
constexpr uint64_t kPictSizeLimit = 16777213;

struct PictRgb {
  uint8_t red = 0, green = 0, blue = 0;
};

// An indexed bit image (pixelSize 1, 4 or 8 in the data; rows as given).
struct IndexedImage {
  PictRect bounds;          // of the pixel map; its width is the row's pixel count
  PictRect source, destination;
  uint16_t rowBytes = 0;    // bytes of pixel data per row (below 0x8000)
  int pixelSize = 8;        // 4 or 8 (version-2 pixel maps)
  int32_t hRes = 72 << 16;  // Fixed
  int32_t vRes = 72 << 16;
  std::vector<PictRgb> colors;  // the colour table; ctSize is its size - 1
  // When set, the table is searched from the last entry down for white and black and they are
  // exchanged to index 0 and the last index, in the table and in every row (the bitmap writer).
  bool moveWhiteFirstBlackLast = false;
};

// A 24-bit direct image: rows are given as width RGB triples.
struct DirectImage {
  PictRect bounds, source, destination;
  int32_t hRes = 72 << 16, vRes = 72 << 16;
  // 2: rows unpacked, three bytes per pixel, rowBytes 4 * width (the JPEG importer).
  // 4: three planes (all red, all green, all blue) packed with PackBits (the bitmap writer).
  int packType = 4;
};

class PictWriter {
 public:
  PictWriter() = default;

  // Headers. Each starts the picture: picSize placeholder, frame, version, clip region of
  // the frame.
  void BeginVersion1(const PictRect &frame);                   // 0x1101
  void BeginVersion2(const PictRect &frame);                   // HeaderOp of 24 bytes 0xFF
  void BeginExtended(const PictRect &frame, int32_t hRes, int32_t vRes);  // HeaderOp -2

  // Opcodes the importers use.
  void RgbForeColor(PictRgb color);                       // 0x001A
  void PaintRect(const PictRect &rect);                   // 0x0031
  void DhDvText(int dh, int dv, const uint8_t *text, size_t length);  // 0x002B, Pascal string

  // A version-1 one-bit image (BitsRect below 8 row bytes, else PackBitsRect); rows are given
  // in Windows sense (a set bit is white) and stored inverted.
  bool BeginBitmap1(const PictRect &bounds, const PictRect &destination);
  // Version-2 images. Rows follow with AppendRow, top row first, exactly bounds' height.
  bool BeginIndexed(const IndexedImage &image);
  bool BeginDirect(const DirectImage &image);
  // row: rowBytes bytes (indexed, 1-bit) or 3 * width bytes of R, G, B (direct).
  bool AppendRow(const uint8_t *row);

  // Pads to even, appends the end opcode (0xFF in version 1, 0x00FF in version 2) and writes
  // picSize's low 16 bits. False when the writer failed.
  bool Finish();

  bool Failed() const { return failed_; }
  // Reserve room for the worst case of what follows; false (and failed) beyond the limit.
  bool Reserve(uint64_t bytes);
  const std::vector<uint8_t> &Bytes() const { return bytes_; }
  std::vector<uint8_t> TakeBytes() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
  bool failed_ = false;
  // (implementation state: current image, row count, version, exchange table...)
};

// The worst-case size of a bitmap written by BeginBitmap1/BeginIndexed/BeginDirect plus the
// headers, for sizing the handle before the rows are read; UINT64_MAX for impossible sizes.
uint64_t WorstCaseBitmapPictSize(int depth, int width, int height);

}  // namespace tstools::pict
