// The bitmap functions against a per-pixel model that reads and writes bit by bit.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "textedit/bitmap_ops.h"

namespace tstools::text {
namespace {

using Bytes = std::vector<uint8_t>;

// One plane's pixel: bit by bit below 8 bits, else bytes (24 bits: b0 << 16 | b1 | b2 << 8).
uint32_t Get(const Bytes &b, size_t row, int x, int depth) {
  uint32_t v = 0;
  if (depth == 24) return uint32_t{b[row + 3 * x]} << 16 | b[row + 3 * x + 1] | uint32_t{b[row + 3 * x + 2]} << 8;
  if (depth > 8) for (int i = depth / 8 - 1; i >= 0; --i) v = v << 8 | b[row + x * depth / 8 + i];
  else for (int i = 0; i < depth; ++i) v = v << 1 | ((b[row + (x * depth + i) / 8] >> (7 - (x * depth + i) % 8)) & 1);
  return v;
}

void Set(Bytes &b, size_t row, int x, int depth, uint32_t v) {
  if (depth == 24) { b[row + 3 * x] = uint8_t(v >> 16), b[row + 3 * x + 1] = uint8_t(v), b[row + 3 * x + 2] = uint8_t(v >> 8); return; }
  if (depth > 8) for (int i = 0; i < depth / 8; ++i) b[row + x * depth / 8 + i] = uint8_t(v >> (8 * i));
  else for (int i = 0; i < depth; ++i) {
    uint8_t &byte = b[row + (x * depth + i) / 8], m = uint8_t(0x80 >> (x * depth + i) % 8);
    byte = (v >> (depth - 1 - i)) & 1 ? byte | m : byte & ~m;
  }
}

Bytes Random(size_t n, std::mt19937 &rng) {
  Bytes v(n);
  for (auto &x : v) x = uint8_t(rng());
  return v;
}

int Stride(int w, int depth, int planes) { return planes * ((w * depth + 7) / 8); }

TEST(RotateBitmap, EveryDepthAngleAndPlaneCountMatchesTheModel) {
  std::mt19937 rng(90);
  for (int depth : {1, 2, 4, 8, 16, 24, 32})
    for (int planes : {1, 3})
      for (int angle : {90, 180, 270, -90, 450}) {
        SCOPED_TRACE(testing::Message() << depth << " bpp, " << planes << " planes, " << angle);
        int w = 7, h = 3, a = ((angle % 360) + 360) % 360, dw = a == 180 ? w : h, dh = a == 180 ? h : w;
        int ss = Stride(w, depth, planes) + 1, ds = Stride(dw, depth, planes) + 2;  // padded rows
        Bytes src = Random(size_t(ss) * h, rng), dst = Random(size_t(ds) * dh, rng), want = dst;
        for (int p = 0; p < planes; ++p)
          for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
              int dx = a == 90 ? y : a == 180 ? w - 1 - x : h - 1 - y, dy = a == 90 ? w - 1 - x : a == 180 ? h - 1 - y : x;
              Set(want, size_t(dy * ds + p * (ds / planes)), dx, depth, Get(src, size_t(y * ss + p * (ss / planes)), x, depth));
            }
        ASSERT_TRUE(RotateBitmap(src.data(), dst.data(), {2, 5, short(2 + w), short(5 + h)}, {0, 0, short(dw), short(dh)},
                                 ss, ds | 0x8000, planes << 8 | depth, angle));
        EXPECT_EQ(dst, want);
      }
}

TEST(MaskBitmap, KeyedPixelsAreReplacedAndMarked) {
  std::mt19937 rng(25);
  for (int format : {1, 4, 16, 24, 32, 0x400 | 1})
    for (int planeMode : {0, 2}) {
      SCOPED_TRACE(testing::Message() << format << " mode " << planeMode);
      int depth = format & 0xFF, planes = format >> 8 ? format >> 8 : 1, bits = depth * planes;
      int stride = Stride(12, depth, planes), copies = planeMode >= 2 ? planes : 1;
      Bytes src = Random(size_t(stride) * 6, rng), want = src, mask(size_t(2 * copies) * 4, 0xFF), wantMask(mask.size());
      auto pixel = [&](int x, int y) {
        uint32_t v = 0;
        for (int p = 0; p < planes; ++p) v |= Get(src, size_t(y * stride + p * (stride / planes)), x, depth) << (p * depth);
        return v;
      };
      uint32_t keep = bits < 32 ? (1u << bits) - 1 : ~0u, key = pixel(3, 2), repl = 0x12345678;
      for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 9; ++x) {
          if (pixel(x + 1, y + 1) != key) continue;
          for (int p = 0; p < planes; ++p) Set(want, size_t((y + 1) * stride + p * (stride / planes)), x + 1, depth, (repl & keep) >> (p * depth));
          for (int c = 0; c < copies; ++c) wantMask[size_t(y * 2 * copies + c * 2 + x / 8)] |= uint8_t(0x80 >> (x % 8));
        }
      key |= bits < 25 ? 0xFF000000u : 0;  // masked to the depth
      ASSERT_TRUE(MaskBitmap(src.data(), mask.data(), {10, 20, 22, 26}, {11, 21, 20, 25}, stride, 2, format, planeMode, key, repl));
      EXPECT_EQ(src, want);
      EXPECT_EQ(mask, wantMask);
    }
}

TEST(BitmapFunctions, ColoursAndBrokenContracts) {
  uint32_t first = 0, second = 0;
  const uint8_t rgb[] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66}, twoPlanes[] = {0x80, 0xC0};
  ASSERT_TRUE(GetBitmapColors(rgb, {0, 0, 2, 1}, 6, 24, &second, &first));
  EXPECT_EQ(first, 0x113322u); EXPECT_EQ(second, 0x446655u);
  ASSERT_TRUE(GetBitmapColors(twoPlanes, {0, 0, 2, 1}, 2, 0x201, &second, &first));
  EXPECT_EQ(first, 3u); EXPECT_EQ(second, 2u);

  // Nothing is touched for other depths, short strides, wrong or empty sizes, rectangles
  // outside the bounds, short mask rows or pixels wider than 32 bits.
  Bytes src(64, 0x5A), dst(64, 0xC3), mask(64, 0x11);
  const ShortRect r{0, 0, 4, 4};
  for (int format : {3, 12, 0x100 | 64}) EXPECT_FALSE(RotateBitmap(src.data(), dst.data(), r, r, 16, 16, format, 90));
  EXPECT_FALSE(RotateBitmap(src.data(), dst.data(), r, r, 16, 16, 8, 45));
  EXPECT_FALSE(RotateBitmap(src.data(), dst.data(), r, r, 3, 16, 8, 90));
  EXPECT_FALSE(RotateBitmap(src.data(), dst.data(), r, {0, 0, 4, 5}, 16, 16, 8, 90));
  EXPECT_FALSE(RotateBitmap(src.data(), dst.data(), {0, 0, 4, 0}, r, 16, 16, 8, 90));
  EXPECT_FALSE(MaskBitmap(src.data(), mask.data(), r, {1, 1, 5, 3}, 16, 2, 8, 0, 0x5A, 0));
  EXPECT_FALSE(MaskBitmap(src.data(), mask.data(), r, r, 16, 0, 8, 0, 0x5A, 0));
  EXPECT_FALSE(MaskBitmap(src.data(), mask.data(), r, r, 16, 2, 0x200 | 32, 0, 0x5A, 0));
  EXPECT_FALSE(GetBitmapColors(src.data(), r, 16, 5, &second, &first));
  EXPECT_EQ(src, Bytes(64, 0x5A)); EXPECT_EQ(dst, Bytes(64, 0xC3)); EXPECT_EQ(mask, Bytes(64, 0x11));
}

}  // namespace
}  // namespace tstools::text
