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
  uint32_t rowBytes = 0;    // bytes of pixel data per row (refused from 0x8000 on)
  int pixelSize = 8;        // 4 or 8 (version-2 pixel maps)
  int32_t hRes = 72 << 16;  // Fixed
  int32_t vRes = 72 << 16;
  uint32_t packSize = 0;    // as stored; the reader ignores it
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
  // 4: three planes (all red, all green, all blue) packed with PackBits (the bitmap writer);
  // rows of one pixel (rowBytes 4) are stored unpacked as pad, red, green, blue.
  int packType = 4;
  uint32_t packSize = 0;  // as stored; the reader ignores it
  bool bgr = false;       // packType 4 rows given as B, G, R (a DIB's order)
};

class PictWriter {
 public:
  PictWriter();

  // Headers. Each starts the picture: picSize placeholder, frame, version, clip region of
  // the frame.
  void BeginVersion1(const PictRect &frame);                   // 0x1101
  void BeginVersion2(const PictRect &frame);                   // HeaderOp of 24 bytes 0xFF
  void BeginExtended(const PictRect &frame, int32_t hRes, int32_t vRes);  // HeaderOp -2

  // Opcodes the importers use.
  void RgbForeColor(PictRgb color);                       // 0x001A
  void PaintRect(const PictRect &rect);                   // 0x0031
  void DhDvText(int dh, int dv, const uint8_t *text, size_t length);  // 0x002B, up to 255 bytes

  // A version-1 one-bit image (BitsRect below 8 row bytes, else PackBitsRect) of
  // ((width + 15) / 16) * 2 row bytes. invert: every byte is stored inverted, for rows whose
  // set bits are white (a DIB whose colour 0 is black); QuickDraw's set bits are black.
  bool BeginBitmap1(const PictRect &bounds, const PictRect &destination, bool invert);
  // Version-2 images. Rows follow with AppendRow, top row first, exactly bounds' height.
  bool BeginIndexed(const IndexedImage &image);
  bool BeginDirect(const DirectImage &image);
  // row: rowBytes bytes (indexed, 1-bit) or 3 * width bytes of R, G, B (direct). False
  // (and failed) past the image's last row or beyond the size limit.
  bool AppendRow(const uint8_t *row);
  // Where the colour table put white and black: maps an index as given to the index stored
  // (the identity unless moveWhiteFirstBlackLast exchanged them).
  uint8_t StoredIndex(uint8_t index) const { return indexMap_[index]; }

  // Pads to even (version 2), appends the end opcode (0xFF in version 1, 0x00FF in version
  // 2) and writes picSize's low 16 bits. False when the writer failed or an image lacks rows.
  bool Finish();

  bool Failed() const { return failed_; }
  // Reserve room for the worst case of what follows; false (and failed) beyond the limit.
  bool Reserve(uint64_t bytes);
  // Writes into the caller's memory of capacity bytes (a locked handle sized for the worst
  // case) instead of a growing vector of its own, which saves allocating and copying large
  // pictures a second time. Call before a Begin; a write past capacity fails the writer.
  void UseBuffer(uint8_t *data, size_t capacity);
  size_t Size() const { return external_ ? size_ : bytes_.size(); }
  // The vector of a writer without UseBuffer.
  const std::vector<uint8_t> &Bytes() const { return bytes_; }
  std::vector<uint8_t> TakeBytes() { return std::move(bytes_); }

 private:
  enum class Rows { kNone, kBitmap1, kIndexed, kDirect };

  void Begin(const PictRect &frame, int version);
  void Opcode(uint16_t op);  // padded to even in version 2
  void U8(uint8_t v) { Append(&v, 1); }
  void U16(uint16_t v);
  void U32(uint32_t v);
  void Rect(const PictRect &r);  // stored top, left, bottom, right
  void FrameRegion(const PictRect &frame);
  bool Append(const void *data, size_t n);
  bool Fail();
  bool StartRows(Rows kind, const PictRect &bounds, uint32_t rowBytes, size_t dataBytes);
  void ExchangeWhiteAndBlack(std::vector<PictRgb> &colors, int pixelSize);

  std::vector<uint8_t> bytes_;
  uint8_t *out_ = nullptr;  // UseBuffer's memory
  size_t size_ = 0, capacity_ = 0;
  bool external_ = false;
  bool failed_ = false;
  int version_ = 0;
  // The image whose rows are being appended.
  Rows rows_ = Rows::kNone;
  int rowsLeft_ = 0;
  int width_ = 0;
  uint32_t rowBytes_ = 0;
  size_t dataBytes_ = 0;  // bytes encoded per row
  bool invert_ = false, mapIndices_ = false, direct2_ = false, bgr_ = false;
  uint8_t indexMap_[256];   // for single indices
  uint8_t byteMap_[256];    // for stored bytes (two 4-bit indices each)
  std::vector<uint8_t> row_, packed_;
};

// The worst-case size of a bitmap written by BeginBitmap1/BeginIndexed/BeginDirect plus the
// headers, for sizing the handle before the rows are read; UINT64_MAX for impossible sizes
// (a depth other than 1, 4, 8 or 24, no area, a side beyond 32,767 or rowBytes from 0x8000
// on). Negative sides count by their magnitude: bitmaps of y-up mappings report them so.
uint64_t WorstCaseBitmapPictSize(int depth, int width, int height);

// Bytes the version-2 writer stores per row for an image of this depth and width (rowBytes,
// then the bytes encoded: equal for indexed depths, 3 * width for 24 bits); false when rowBytes
// would reach 0x8000 or the depth is not 1, 4, 8 or 24.
bool BitmapRowBytes(int depth, int64_t width, uint32_t *rowBytes, size_t *dataBytes);

}  // namespace tstools::pict
