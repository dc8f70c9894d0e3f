// The bitmap functions on heap buffers of exactly the size their rectangles and strides name
// (the sanitizer sees any access past them); a refused call changes nothing.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "frame/byte_reader.h"
#include "textedit/bitmap_ops.h"

using namespace tstools::text;

namespace {

struct Exact {  // a buffer of exactly n bytes and the copy it started as
  explicit Exact(size_t n, uint8_t seed) : bytes(new uint8_t[n]), before(n) {
    for (size_t i = 0; i < n; ++i) bytes[i] = before[i] = static_cast<uint8_t>(seed + i * 37);
  }
  bool Unchanged() const { return std::equal(before.begin(), before.end(), bytes.get()); }
  std::unique_ptr<uint8_t[]> bytes;
  std::vector<uint8_t> before;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  tstools::ByteReader in(data, size);
  const ShortRect a{in.S8(), in.S8(), in.S8(), in.S8()}, b{in.S8(), in.S8(), in.S8(), in.S8()};
  const int strideA = in.U16LE(), strideB = in.U16LE(), format = in.U16LE(), angle = in.S16LE(), planeMode = in.U8();
  const uint32_t key = in.U32LE(), replacement = in.U32LE();
  if (in.Failed() || (strideA & 0x7FFF) > 600 || (strideB & 0x7FFF) > 600) return 0;

  Exact src(BitmapSpan(a, strideA), 1), dst(BitmapSpan(b, strideB), 2);
  if (!RotateBitmap(src.bytes.get(), dst.bytes.get(), a, b, strideA, strideB, format, angle) && !dst.Unchanged())
    std::abort();
  if (!src.Unchanged()) std::abort();

  // Masking: a is the source's bounds, b the rectangle, strideB the mask's rows.
  const size_t planes = (format >> 8 & 0xFF) ? (format >> 8 & 0xFF) : 1, rows = b.bottom > b.top ? b.bottom - b.top : 0;
  Exact mask(rows * (strideB & 0x7FFF) * (planeMode >= 2 ? planes : 1), 3);
  if (!MaskBitmap(src.bytes.get(), mask.bytes.get(), a, b, strideA, strideB, format, planeMode, key, replacement) &&
      (!src.Unchanged() || !mask.Unchanged()))
    std::abort();
  uint32_t first = 0, second = 0;
  GetBitmapColors(src.bytes.get(), a, strideA, format, &second, &first);
  return 0;
}
