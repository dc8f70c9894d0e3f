#include "scrap/scrap_layouts.h"

#include <cstring>

#include "frame/byte_reader.h"

namespace tstools::scrap {
namespace {

constexpr uint8_t kPictTag[4] = {'P', 'I', 'C', 'T'};
constexpr size_t kWrap = 0x10000;  // the size word holds the true size modulo this

}  // namespace

PrefixedData ReadPrefixed(const uint8_t *block, size_t blockSize) {
  ByteReader in(block, blockSize);
  int32_t count = in.S32LE();
  if (in.Failed()) return {};
  if (count < 0) return {-50, nullptr, 0};
  size_t length = static_cast<size_t>(count) < in.Remaining() ? static_cast<size_t>(count) : in.Remaining();
  return {0, in.Span(length), length};
}

void WritePrefixed(const uint8_t *data, size_t length, uint8_t *out) {
  StoreU32LE(out, static_cast<uint32_t>(length));
  if (length) std::memcpy(out + kPrefixBytes, data, length);
}

void WriteMacPict(const uint8_t *pict, size_t pictSize, uint8_t *out) {
  uint8_t original[2] = {0, 0};
  if (pictSize) std::memcpy(original, pict, pictSize < 2 ? pictSize : 2);
  if (pictSize) std::memcpy(out, pict, pictSize);
  uint8_t low[2] = {static_cast<uint8_t>(pictSize >> 8), static_cast<uint8_t>(pictSize)};
  std::memcpy(out, low, pictSize < 2 ? pictSize : 2);
  std::memcpy(out + pictSize, kPictTag, 4);
  std::memcpy(out + pictSize + 4, original, 2);
}

MacPict ReadMacPict(const uint8_t *block, size_t blockSize) {
  MacPict whole{blockSize, false, {0, 0}};
  if (!block || blockSize < 2) return whole;
  size_t n = LoadU16BE(block);
  if (n + kPictTrailerBytes > blockSize) return whole;
  // Pictures of 64 KiB and more keep only the low 16 bits of their size; global blocks may be
  // a little larger than asked. The trailer is where the last size with those low bits that
  // still fits the block puts it.
  n += (blockSize - kPictTrailerBytes - n) / kWrap * kWrap;
  if (std::memcmp(block + n, kPictTag, 4) != 0) return whole;
  MacPict pict{n, true, {block[n + 4], block[n + 5]}};
  return pict;
}

size_t MacToWinText(const uint8_t *mac, size_t length, const ByteTable &macToWin, uint8_t *out) {
  size_t o = 0;
  for (size_t i = 0; i < length; ++i) {
    out[o++] = macToWin[mac[i]];
    if (mac[i] == '\r') out[o++] = '\n';
  }
  out[o] = 0;
  return o;
}

size_t WinToMacText(const uint8_t *win, size_t blockSize, const ByteTable &winToMac, uint8_t *out) {
  size_t o = 0;
  for (size_t i = 0; i < blockSize && win[i] != 0; ++i) {
    uint8_t b = win[i];
    if (b == '\r' && i + 1 < blockSize && win[i + 1] == '\n') ++i;
    if (out) out[o] = winToMac[b];
    ++o;
  }
  return o;
}

}  // namespace tstools::scrap
