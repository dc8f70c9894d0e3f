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
  // The string table. Every string is the previous code's string plus one byte, and both
  // were just written out one after the other: so a code is where its string first appeared in
  // the pixels and its length, and decoding it copies from there.
  uint32_t where[kMaxCodes];
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

// Room past the image for the longest string and a whole short copy: strings starting inside
// the image are written out whole, so later codes can copy them.
constexpr size_t kSlack = kMaxCodes + 16;

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr bool kLittleEndian = true;
#else
constexpr bool kLittleEndian = false;
#endif

// Copies an earlier string (ending at or before dst) forward; short ones as one 16-byte move
// whose surplus later strings overwrite.
inline void CopyString(uint8_t *dst, const uint8_t *src, size_t n) {
  if (n <= 16) {
    uint8_t chunk[16];
    std::memcpy(chunk, src, 16);
    std::memcpy(dst, chunk, 16);
  } else {
    std::memcpy(dst, src, n);
  }
}

// LZW codes, least significant bit first, into the first `total` pixels (the buffer has kSlack
// more). False when the codes stop short of a clean end (bad data, no end code, or pixels past
// the image, which are dropped): the image keeps what came, the rest index 0.
bool GifDecoder::Decode(int minCodeSize, size_t total) {
  if (minCodeSize < 1 || minCodeSize > 8) return false;
  const int clear = 1 << minCodeSize, end = clear + 1;
  for (int i = 0; i < clear; ++i) length[i] = 1;
  int width = minCodeSize + 1, next = clear + 2, previous = -1;
  bool afterClear = false;
  uint64_t bits = 0;
  int held = 0;
  size_t at = 0, pos = 0, previousPos = 0;
  const uint8_t *src = data.data();
  const size_t size = data.size();
  uint8_t *out = pixels.data();
  bool ended = false;
  for (;;) {
    if (held < width) {
      if (kLittleEndian && size - at >= 8) {  // as many whole bytes as fit
        uint64_t v;
        std::memcpy(&v, src + at, 8);
        bits |= v << held;
        const int take = (63 - held) >> 3;
        at += size_t(take), held += 8 * take;
      } else {
        while (held < width && at < size) bits |= uint64_t(src[at++]) << held, held += 8;
        if (held < width) break;
      }
    }
    const int code = int(bits & ((1u << width) - 1));
    bits >>= width;
    held -= width;
    if (code == clear) {
      if (afterClear) break;  // a clear must be followed by a pixel
      width = minCodeSize + 1, next = clear + 2, previous = -1, afterClear = true;
      continue;
    }
    if (code == end) {
      ended = true;
      break;
    }
    if (previous < 0 ? code >= clear : code > next) break;
    size_t n;
    if (code < clear) {
      n = 1;
      if (pos < total) out[pos] = uint8_t(code);
    } else if (code == next) {  // the previous string plus its own first byte, defined by this use
      n = size_t(length[previous]) + 1;
      if (pos < total) CopyString(out + pos, out + previousPos, n - 1), out[pos + n - 1] = out[previousPos];
    } else {
      n = length[code];
      if (pos < total) CopyString(out + pos, out + where[code], n);
    }
    if (previous >= 0 && next < kMaxCodes) {
      where[next] = uint32_t(previousPos), length[next] = uint16_t(length[previous] + 1);
      ++next;
    }
    // Checked after every code, the first after a clear too: with 1-bit codes the next free
    // code already fills the width then.
    if (next >= 1 << width && width < 12) ++width;
    previous = code, previousPos = pos, afterClear = false;
    pos += n;
  }
  // What a short copy left past the last string is not pixels.
  if (pos < total) std::memset(out + pos, 0, std::min<size_t>(total - pos, 16));
  return ended && pos == total;
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
  pixels.assign(size_t(total) + kSlack, 0);
  if (!Decode(minCodeSize, size_t(total))) report.clean = false;

  const int largest = *std::max_element(pixels.begin(), pixels.begin() + ptrdiff_t(total));
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
  // Room for the rows packed at their longest, so the picture grows once.
  writer.Reserve(std::min<uint64_t>(uint64_t(h) * (2 + PackBitsBound(rowBytes)), kPictSizeLimit - writer.Bytes().size()));
  row.assign(rowBytes, 0);
  for (int y = 0; y < h; ++y) {
    const uint8_t *source = pixels.data() + size_t(comesAs[size_t(y)]) * size_t(w);
    if (rowBytes != uint32_t(w)) source = static_cast<uint8_t *>(std::memcpy(row.data(), source, size_t(w)));
    if (!writer.AppendRow(source)) return false;
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
