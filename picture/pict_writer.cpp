#include "picture/pict_writer.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "picture/packbits.h"

namespace tstools::pict {
namespace {

// The fixed parts, for the worst case: the version-2 header to the clip region (52 bytes),
// an image opcode with baseAddr (6), the pixel map (46), srcRect, dstRect and mode (18), the
// pad and the end opcode (3).
constexpr uint64_t kVersion2Fixed = 52 + 6 + 46 + 18 + 3;
constexpr uint64_t kVersion1Fixed = 23 + 1 + 2 + 24 + 2 + 1;
constexpr uint32_t kMaxRowBytes = 0x7FFF;
constexpr int kMaxSide = 32767;

uint64_t Magnitude(int v) { return v < 0 ? uint64_t(-int64_t(v)) : uint64_t(v); }

// What one row costs at most: raw below 8 row bytes, else a length and the longest packing.
uint64_t WorstRow(uint32_t rowBytes, size_t dataBytes) {
  if (rowBytes < 8) return dataBytes;
  return (rowBytes < 251 ? 1 : 2) + PackBitsBound(dataBytes);
}

}  // namespace

bool BitmapRowBytes(int depth, int64_t width, uint32_t *rowBytes, size_t *dataBytes) {
  if (width < 0) return false;
  uint64_t rb, data;
  switch (depth) {
    case 1: rb = data = uint64_t(width + 15) / 16 * 2; break;
    case 4: rb = data = uint64_t(width + 3) / 4 * 2; break;
    case 8: rb = data = uint64_t(width + 1) / 2 * 2; break;
    case 24: rb = uint64_t(width) * 4, data = uint64_t(width) * 3; break;
    default: return false;
  }
  if (rb > kMaxRowBytes) return false;
  *rowBytes = uint32_t(rb);
  *dataBytes = size_t(data);
  return true;
}

uint64_t WorstCaseBitmapPictSize(int depth, int width, int height) {
  const uint64_t w = Magnitude(width), h = Magnitude(height);
  uint32_t rowBytes;
  size_t dataBytes;
  if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide) return UINT64_MAX;
  if (!BitmapRowBytes(depth, int64_t(w), &rowBytes, &dataBytes)) return UINT64_MAX;
  if (depth == 24 && rowBytes < 8) dataBytes = rowBytes;  // stored as pad, red, green, blue
  const uint64_t fixed = depth == 1 ? kVersion1Fixed : kVersion2Fixed;
  const uint64_t table = depth == 4 || depth == 8 ? 8 + 8 * (uint64_t(1) << depth) : 0;
  return fixed + table + h * WorstRow(rowBytes, dataBytes);
}

PictWriter::PictWriter() {
  for (int i = 0; i < 256; ++i) indexMap_[i] = byteMap_[i] = uint8_t(i);
}

bool PictWriter::Fail() {
  failed_ = true;
  rows_ = Rows::kNone;
  return false;
}

bool PictWriter::Append(const void *data, size_t n) {
  if (failed_) return false;
  if (uint64_t(Size()) + n > kPictSizeLimit) return Fail();
  if (external_) {
    if (n > capacity_ - size_) return Fail();
    std::memcpy(out_ + size_, data, n);
    size_ += n;
    return true;
  }
  try {
    const auto *p = static_cast<const uint8_t *>(data);
    bytes_.insert(bytes_.end(), p, p + n);
  } catch (const std::bad_alloc &) {
    return Fail();
  }
  return true;
}

bool PictWriter::Reserve(uint64_t bytes) {
  if (failed_) return false;
  if (bytes > kPictSizeLimit - Size()) return Fail();
  if (external_) return bytes <= capacity_ - size_ || Fail();
  try {
    bytes_.reserve(bytes_.size() + size_t(bytes));
  } catch (const std::bad_alloc &) {
    return Fail();
  }
  return true;
}

void PictWriter::U16(uint16_t v) {
  const uint8_t b[2] = {uint8_t(v >> 8), uint8_t(v)};
  Append(b, 2);
}

void PictWriter::U32(uint32_t v) {
  const uint8_t b[4] = {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
  Append(b, 4);
}

void PictWriter::Rect(const PictRect &r) {
  U16(uint16_t(r.top)), U16(uint16_t(r.left)), U16(uint16_t(r.bottom)), U16(uint16_t(r.right));
}

void PictWriter::Opcode(uint16_t op) {
  if (version_ == 1) return U8(uint8_t(op));
  if (Size() % 2) U8(0);
  U16(op);
}

void PictWriter::FrameRegion(const PictRect &frame) {
  Opcode(0x0001);
  U16(10);
  Rect(frame);
}

void PictWriter::UseBuffer(uint8_t *data, size_t capacity) {
  bytes_.clear();
  out_ = data;
  capacity_ = data ? capacity : 0;
  size_ = 0;
  external_ = true;
}

void PictWriter::Begin(const PictRect &frame, int version) {
  bytes_.clear();
  size_ = 0;
  failed_ = false;
  rows_ = Rows::kNone;
  version_ = version;
  U16(0);  // picSize, written by Finish
  Rect(frame);
  if (version == 1) {
    U16(0x1101);
  } else {
    U16(0x0011), U16(0x02FF);
  }
}

void PictWriter::BeginVersion1(const PictRect &frame) {
  Begin(frame, 1);
  FrameRegion(frame);
}

void PictWriter::BeginVersion2(const PictRect &frame) {
  Begin(frame, 2);
  Opcode(0x0C00);
  const uint8_t header[24] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                              0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  Append(header, sizeof header);
  FrameRegion(frame);
}

void PictWriter::BeginExtended(const PictRect &frame, int32_t hRes, int32_t vRes) {
  Begin(frame, 2);
  Opcode(0x0C00);
  U16(0xFFFE), U16(0);
  U32(uint32_t(hRes)), U32(uint32_t(vRes));
  Rect(frame);
  U32(0);
  FrameRegion(frame);
}

void PictWriter::RgbForeColor(PictRgb c) {
  Opcode(0x001A);
  U16(uint16_t(c.red * 0x101)), U16(uint16_t(c.green * 0x101)), U16(uint16_t(c.blue * 0x101));
}

void PictWriter::PaintRect(const PictRect &rect) {
  Opcode(0x0031);
  Rect(rect);
}

void PictWriter::DhDvText(int dh, int dv, const uint8_t *text, size_t length) {
  length = std::min<size_t>(length, 255);
  Opcode(0x002B);
  U8(uint8_t(dh)), U8(uint8_t(dv)), U8(uint8_t(length));
  if (length) Append(text, length);
}

bool PictWriter::StartRows(Rows kind, const PictRect &bounds, uint32_t rowBytes, size_t dataBytes) {
  if (failed_ || version_ == 0) return Fail();
  if (bounds.Width() < 0 || bounds.Height() < 0) return Fail();
  // The rows' worst case must fit before any of them is written.
  const uint64_t rows = uint64_t(bounds.Height()) * WorstRow(rowBytes, dataBytes);
  if (rows > kPictSizeLimit - std::min<uint64_t>(Size(), kPictSizeLimit)) return Fail();
  try {
    row_.assign(dataBytes, 0);
    packed_.assign(PackBitsBound(dataBytes), 0);
  } catch (const std::bad_alloc &) {
    return Fail();
  }
  rows_ = kind;
  rowsLeft_ = bounds.Height();
  width_ = bounds.Width();
  rowBytes_ = rowBytes;
  dataBytes_ = dataBytes;
  return true;
}

bool PictWriter::BeginBitmap1(const PictRect &bounds, const PictRect &destination, bool invert) {
  uint32_t rowBytes;
  size_t dataBytes;
  if (version_ != 1 || rows_ != Rows::kNone || !BitmapRowBytes(1, bounds.Width(), &rowBytes, &dataBytes))
    return Fail();
  Opcode(rowBytes < 8 ? 0x90 : 0x98);
  U16(uint16_t(rowBytes));
  Rect(bounds), Rect(bounds), Rect(destination);
  U16(0);  // srcCopy
  invert_ = invert;
  mapIndices_ = direct2_ = false;
  return !failed_ && StartRows(Rows::kBitmap1, bounds, rowBytes, dataBytes);
}

// White goes to index 0 and black to the last index, as QuickDraw's default table has them;
// the pixel values follow through the index map.
void PictWriter::ExchangeWhiteAndBlack(std::vector<PictRgb> &colors, int pixelSize) {
  const int last = int(colors.size()) - 1;
  auto find = [&](uint8_t v) {
    for (int i = last; i >= 0; --i)
      if (colors[i].red == v && colors[i].green == v && colors[i].blue == v) return i;
    return -1;
  };
  const int white = find(0xFF), black = find(0);
  uint8_t order[256];  // stored index -> index as given
  for (int i = 0; i < 256; ++i) order[i] = uint8_t(i);
  if (white > 0) std::swap(order[0], order[white]);
  if (black >= 0) {
    const int now = black == 0 && white > 0 ? white : black;  // where the first exchange put it
    if (now != last) std::swap(order[now], order[last]);
  }
  std::vector<PictRgb> given = colors;
  for (int i = 0; i <= last; ++i) {
    colors[i] = given[order[i]];
    indexMap_[order[i]] = uint8_t(i);
  }
  mapIndices_ = false;
  for (int i = 0; i < 256; ++i) {
    if (indexMap_[i] != i) mapIndices_ = true;
    byteMap_[i] = pixelSize == 4 ? uint8_t(indexMap_[i >> 4 & 15] << 4 | indexMap_[i & 15]) : indexMap_[i];
  }
}

bool PictWriter::BeginIndexed(const IndexedImage &image) {
  if (version_ != 2 || rows_ != Rows::kNone || image.rowBytes > kMaxRowBytes || image.colors.empty() ||
      image.colors.size() > 256 || (image.pixelSize != 4 && image.pixelSize != 8) ||
      (image.pixelSize == 4 && image.colors.size() > 16))
    return Fail();
  for (int i = 0; i < 256; ++i) indexMap_[i] = byteMap_[i] = uint8_t(i);
  mapIndices_ = invert_ = direct2_ = false;
  std::vector<PictRgb> colors = image.colors;
  if (image.moveWhiteFirstBlackLast) ExchangeWhiteAndBlack(colors, image.pixelSize);

  Opcode(image.rowBytes < 8 ? 0x0090 : 0x0098);
  U16(uint16_t(0x8000 | image.rowBytes));
  Rect(image.bounds);
  U16(0), U16(0), U32(image.packSize);  // pmVersion, packType, packSize
  U32(uint32_t(image.hRes)), U32(uint32_t(image.vRes));
  U16(0), U16(uint16_t(image.pixelSize)), U16(1), U16(uint16_t(image.pixelSize));
  U32(0), U32(0), U32(0);  // planeBytes, pmTable, pmReserved
  U32(0), U16(0), U16(uint16_t(colors.size() - 1));  // ctSeed, ctFlags, ctSize
  for (size_t i = 0; i < colors.size(); ++i) {
    U16(uint16_t(i));
    U16(uint16_t(colors[i].red * 0x101)), U16(uint16_t(colors[i].green * 0x101)),
        U16(uint16_t(colors[i].blue * 0x101));
  }
  Rect(image.source), Rect(image.destination);
  U16(0);
  return !failed_ && StartRows(Rows::kIndexed, image.bounds, image.rowBytes, image.rowBytes);
}

bool PictWriter::BeginDirect(const DirectImage &image) {
  uint32_t rowBytes;
  size_t dataBytes;
  if (version_ != 2 || rows_ != Rows::kNone || (image.packType != 2 && image.packType != 4) ||
      !BitmapRowBytes(24, image.bounds.Width(), &rowBytes, &dataBytes))
    return Fail();
  mapIndices_ = invert_ = false;
  direct2_ = image.packType == 2;
  bgr_ = image.bgr && !direct2_;
  Opcode(0x009A);
  U32(0xFF);  // baseAddr
  U16(uint16_t(0x8000 | rowBytes));
  Rect(image.bounds);
  U16(0), U16(uint16_t(image.packType)), U32(image.packSize);
  U32(uint32_t(image.hRes)), U32(uint32_t(image.vRes));
  U16(16), U16(32), U16(3), U16(8);
  U32(0), U32(0), U32(0);
  Rect(image.source), Rect(image.destination);
  U16(0);
  // Unpacked rows: three bytes a pixel for packType 2; rows of fewer than 8 bytes otherwise
  // take their row bytes in full, pad first, as every reader of such rows expects.
  if (!direct2_ && rowBytes < 8) dataBytes = rowBytes;
  return !failed_ && StartRows(Rows::kDirect, image.bounds, direct2_ ? 0 : rowBytes, dataBytes);
}

bool PictWriter::AppendRow(const uint8_t *row) {
  if (failed_ || rows_ == Rows::kNone || rowsLeft_ <= 0 || !row) return Fail();
  const uint8_t *data = row;
  switch (rows_) {
    case Rows::kBitmap1:
      if (invert_) {
        for (size_t i = 0; i < dataBytes_; ++i) row_[i] = uint8_t(~row[i]);
        data = row_.data();
      }
      break;
    case Rows::kIndexed:
      if (mapIndices_) {
        for (size_t i = 0; i < dataBytes_; ++i) row_[i] = byteMap_[row[i]];
        data = row_.data();
      }
      break;
    case Rows::kDirect:
      if (!direct2_) {
        const size_t w = size_t(width_);
        if (rowBytes_ < 8) {  // one pixel
          row_[0] = 0, row_[1] = row[bgr_ ? 2 : 0], row_[2] = row[1], row_[3] = row[bgr_ ? 0 : 2];
        } else {
          uint8_t *red = row_.data(), *green = red + w, *blue = green + w;
          if (bgr_) std::swap(red, blue);
          for (size_t x = 0; x < w; ++x) red[x] = row[3 * x], green[x] = row[3 * x + 1], blue[x] = row[3 * x + 2];
        }
        data = row_.data();
      }
      break;
    case Rows::kNone:
      break;
  }
  if (rowBytes_ < 8) {
    Append(data, dataBytes_);
  } else {
    const size_t n = PackBits(data, dataBytes_, packed_.data());
    if (rowBytes_ < 251) {
      U8(uint8_t(n));
    } else {
      U16(uint16_t(n));
    }
    Append(packed_.data(), n);
  }
  if (failed_) return false;
  if (--rowsLeft_ == 0) rows_ = Rows::kNone;
  return true;
}

bool PictWriter::Finish() {
  if (failed_ || version_ == 0 || rows_ != Rows::kNone) return Fail();
  if (version_ == 1) {
    U8(0xFF);
  } else {
    Opcode(0x00FF);
  }
  if (failed_) return false;
  uint8_t *base = external_ ? out_ : bytes_.data();
  base[0] = uint8_t(Size() >> 8);
  base[1] = uint8_t(Size());
  return true;
}

}  // namespace tstools::pict
