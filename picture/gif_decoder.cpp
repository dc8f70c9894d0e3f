#include "picture/gif_decoder.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "frame/byte_reader.h"
#include "picture/packbits.h"
#include "picture/pict_writer.h"

namespace tstools::pict {
namespace {

constexpr int kMaxSide = 32767;
constexpr int kMaxCodes = 4096;

struct ColorTable {
  int count = 0;
  PictRgb rgb[256];
  // Indices beyond the file's table are black, never what an earlier table held.
  PictRgb At(int i) const { return i < count ? rgb[i] : PictRgb{}; }
};

// Everything one call decodes with.
struct GifDecoder {
  ByteReader in;
  PictWriter writer;
  ColorTable global, local;
  GifDecodeReport report;
  uint64_t maxImagePixels = UINT64_MAX;
  // The string table: each code is its prefix code plus a last byte; first and length let a
  // string be written back to front straight into the pixels.
  uint16_t prefix[kMaxCodes];
  uint8_t suffix[kMaxCodes];
  uint8_t first[kMaxCodes];
  uint16_t length[kMaxCodes];
  std::vector<uint8_t> data;    // the image's sub-blocks joined
  std::vector<uint8_t> pixels;  // in the order they come, rows of the image's width
  std::vector<uint8_t> row;

  bool ReadTable(uint8_t flags, ColorTable *table);
  bool SkipSubBlocks();
  bool Image();
  bool Decode(int minCodeSize, size_t total);
  bool Run(const uint8_t *bytes, size_t size);
};

bool GifDecoder::ReadTable(uint8_t flags, ColorTable *table) {
  table->count = 1 << ((flags & 7) + 1);
  const uint8_t *p = in.Span(size_t(table->count) * 3);
  if (!p) return false;
  for (int i = 0; i < table->count; ++i) table->rgb[i] = {p[3 * i], p[3 * i + 1], p[3 * i + 2]};
  return true;
}

bool GifDecoder::SkipSubBlocks() {
  for (size_t n; (n = in.U8()) != 0;) in.Skip(n);
  return !in.Failed();
}

// LZW codes, least significant bit first, into the first `total` pixels. False when the codes
// stop short of a clean end (bad data, or no end code): the image keeps what came.
bool GifDecoder::Decode(int minCodeSize, size_t total) {
  if (minCodeSize < 1 || minCodeSize > 8) return false;
  const int clear = 1 << minCodeSize, end = clear + 1;
  for (int i = 0; i < clear; ++i) prefix[i] = 0, suffix[i] = first[i] = uint8_t(i), length[i] = 1;
  int width = minCodeSize + 1, next = clear + 2, previous = -1;
  bool afterClear = false;
  uint64_t bits = 0;
  int held = 0;
  size_t at = 0, pos = 0;
  const uint8_t *src = data.data();
  uint8_t *out = pixels.data();
  for (;;) {
    while (held < width) {
      if (at == data.size()) return false;
      bits |= uint64_t(src[at++]) << held;
      held += 8;
    }
    const int code = int(bits & ((1u << width) - 1));
    bits >>= width;
    held -= width;
    if (code == clear) {
      if (afterClear) return false;  // a clear must be followed by a pixel
      width = minCodeSize + 1, next = clear + 2, previous = -1, afterClear = true;
      continue;
    }
    if (code == end) return pos == total;
    if (previous < 0 ? code >= clear : code > next) return false;
    if (code == next) {  // the previous string plus its own first byte, defined by this use
      prefix[next] = uint16_t(previous), suffix[next] = first[previous];
      first[next] = first[previous], length[next] = uint16_t(length[previous] + 1);
    }
    // The string, back to front; what lies past the image is dropped.
    size_t stop = pos + length[code], i = stop;
    int k = code;
    for (; i > total; --i) k = prefix[k];
    while (i > pos) out[--i] = suffix[k], k = prefix[k];
    if (stop > total) report.clean = false;
    pos = std::min(stop, total);
    if (previous >= 0 && next < kMaxCodes) {
      if (code != next) {
        prefix[next] = uint16_t(previous), suffix[next] = first[code];
        first[next] = first[previous], length[next] = uint16_t(length[previous] + 1);
      }
      ++next;
    }
    // Checked after every code, the first after a clear too: with 1-bit codes the next free
    // code already fills the width then.
    if (next >= 1 << width && width < 12) ++width;
    previous = code;
    afterClear = false;
  }
}

bool GifDecoder::Image() {
  const int left = in.U16LE(), top = in.U16LE(), w = in.U16LE(), h = in.U16LE();
  const uint8_t flags = in.U8();
  if (in.Failed() || left + w > kMaxSide || top + h > kMaxSide) return false;
  local.count = 0;
  if ((flags & 0x80) && !ReadTable(flags, &local)) return false;
  const ColorTable &table = flags & 0x80 ? local : global;
  const int minCodeSize = in.U8();
  // The data is read to its terminator whatever the codes in it say.
  data.clear();
  for (size_t n; (n = in.U8()) != 0;) {
    const uint8_t *p = in.Span(n);
    if (!p) return false;
    data.insert(data.end(), p, p + n);
  }
  if (in.Failed()) return false;
  if (w == 0 || h == 0) return true;  // nothing to draw

  const uint32_t rowBytes = uint32_t(w + 1) & ~1u;
  // The least the rows can pack to (runs of 127 in two bytes) must fit the picture's limit
  // before the pixels are allocated.
  const uint64_t leastRow = rowBytes < 8 ? rowBytes : (rowBytes < 251 ? 1 : 2) + 2 * ((rowBytes + 126) / 127);
  const uint64_t total = uint64_t(w) * h;
  if (uint64_t(h) * leastRow > kPictSizeLimit - writer.Bytes().size() || total > maxImagePixels) return false;
  pixels.assign(size_t(total), 0);
  if (!Decode(minCodeSize, size_t(total))) report.clean = false;

  const int largest = *std::max_element(pixels.begin(), pixels.end());
  IndexedImage image;
  image.bounds = {int16_t(left), int16_t(top), int16_t(left + w), int16_t(top + h)};
  image.source = image.destination = image.bounds;
  image.rowBytes = rowBytes;
  image.pixelSize = 8;
  for (int i = 0; i <= largest; ++i) image.colors.push_back(table.At(i));
  if (!writer.BeginIndexed(image)) return false;

  // Interlaced rows come in four passes: every 8th from 0, every 8th from 4, every 4th from
  // 2, every 2nd from 1.
  std::vector<uint32_t> comesAs(static_cast<size_t>(h));
  if (flags & 0x40) {
    uint32_t n = 0;
    const int passes[4][2] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
    for (auto &pass : passes)
      for (int y = pass[0]; y < h; y += pass[1]) comesAs[size_t(y)] = n++;
  } else {
    for (int y = 0; y < h; ++y) comesAs[size_t(y)] = uint32_t(y);
  }
  row.assign(rowBytes, 0);
  for (int y = 0; y < h; ++y) {
    std::memcpy(row.data(), pixels.data() + size_t(comesAs[size_t(y)]) * size_t(w), size_t(w));
    if (!writer.AppendRow(row.data())) return false;
  }
  ++report.images;
  return true;
}

bool GifDecoder::Run(const uint8_t *bytes, size_t size) {
  in = ByteReader(bytes, size);
  PictRect frame;
  if (!GifFrame(bytes, size, &frame)) return false;
  in.Skip(10);
  const uint8_t flags = in.U8(), background = in.U8();
  in.Skip(1);  // aspect
  if (flags & 0x80) {
    if (!ReadTable(flags, &global)) return false;
  } else {
    global.count = 2;  // black and white
    global.rgb[0] = {0, 0, 0}, global.rgb[1] = {255, 255, 255};
  }
  writer.BeginExtended(frame, 72 << 16, 72 << 16);
  writer.RgbForeColor(flags & 0x80 ? global.At(background) : PictRgb{255, 255, 255});
  writer.PaintRect(frame);
  writer.RgbForeColor({0, 0, 0});
  for (;;) {
    const uint8_t block = in.U8();
    if (in.Failed()) return false;
    if (block == 0x3B) break;
    if (block == 0x21) {
      in.Skip(1);  // label
      if (!SkipSubBlocks()) return false;
    } else if (block == 0x2C) {
      if (!Image()) return false;
    } else if (block != 0) {
      return false;
    }
  }
  return writer.Finish();
}

}  // namespace

bool GifFrame(const uint8_t *data, size_t size, PictRect *frame) {
  ByteReader in(data, size);
  const uint8_t *signature = in.Span(6);
  const int width = in.U16LE(), height = in.U16LE();
  if (in.Failed() || std::memcmp(signature, "GIF", 3) != 0 || width > kMaxSide || height > kMaxSide)
    return false;
  *frame = {0, 0, int16_t(width), int16_t(height)};
  return true;
}

bool GifToPict(const uint8_t *data, size_t size, std::vector<uint8_t> *pict, GifDecodeReport *report,
               uint64_t maxImagePixels) {
  pict->clear();
  bool ok = false;
  try {
    auto decoder = std::make_unique<GifDecoder>();
    decoder->maxImagePixels = maxImagePixels;
    ok = decoder->Run(data, size);
    if (ok) *pict = decoder->writer.TakeBytes();
    if (report) *report = decoder->report;
  } catch (const std::bad_alloc &) {
    ok = false;
  }
  if (!ok) pict->clear();
  return ok;
}

}  // namespace tstools::pict
