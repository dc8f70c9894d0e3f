// The bitmap functions on buffers of exactly the size their rectangles and strides name:
// any write or read outside is a sanitizer finding; a refused call changes nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "frame/byte_reader.h"
#include "textedit/bitmap_ops.h"

using namespace tstools::text;

namespace {

ShortRect SmallRect(tstools::ByteReader &in) {
  ShortRect r;
  r.left = in.S8();
  r.top = in.S8();
  r.right = in.S8();
  r.bottom = in.S8();
  return r;
}

int Height(const ShortRect &r) { return r.bottom > r.top ? r.bottom - r.top : 0; }

std::vector<uint8_t> Buffer(size_t n, uint8_t seed) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(seed + i * 37);
  return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  tstools::ByteReader in(data, size);
  const ShortRect a = SmallRect(in), b = SmallRect(in);
  const int strideA = in.U16LE(), strideB = in.U16LE();
  const int format = in.U16LE(), angle = in.S16LE(), planeMode = in.U8();
  const uint32_t key = in.U32LE(), replacement = in.U32LE();
  if (in.Failed() || (strideA & 0x7FFF) > 600 || (strideB & 0x7FFF) > 600) return 0;

  // Each buffer on the heap at exactly its size, so ASan sees the first byte past it.
  auto exact = [](const std::vector<uint8_t> &v) {
    auto *p = new uint8_t[v.size()];
    std::copy(v.begin(), v.end(), p);
    return p;
  };
  std::vector<uint8_t> src = Buffer(BitmapSpan(a, strideA), 1), dst = Buffer(BitmapSpan(b, strideB), 2);
  uint8_t *s = exact(src), *d = exact(dst);
  bool rotated = RotateBitmap(s, d, a, b, strideA, strideB, format, angle);
  if (!rotated && !std::equal(dst.begin(), dst.end(), d)) std::abort();
  if (!std::equal(src.begin(), src.end(), s)) std::abort();
  delete[] s;
  delete[] d;

  // Masking: a is the source's bounds, b the rectangle, strideB the mask's rows.
  int planes = (format >> 8 & 0xFF) ? (format >> 8 & 0xFF) : 1;
  std::vector<uint8_t> mask = Buffer(static_cast<size_t>(Height(b)) * static_cast<size_t>(strideB & 0x7FFF) *
                                         static_cast<size_t>(planeMode >= 2 ? planes : 1), 3);
  s = exact(src);
  uint8_t *m = exact(mask);
  if (!MaskBitmap(s, m, a, b, strideA, strideB, format, planeMode, key, replacement) &&
      (!std::equal(src.begin(), src.end(), s) || !std::equal(mask.begin(), mask.end(), m)))
    std::abort();
  uint32_t first = 0, second = 0;
  GetBitmapColors(s, a, strideA, format, &second, &first);
  delete[] s;
  delete[] m;
  return 0;
}
