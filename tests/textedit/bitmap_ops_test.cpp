// The bitmap functions against a per-pixel model that reads and writes bit by bit.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "textedit/bitmap_ops.h"

namespace tstools::text {
namespace {

// A pixel field of one plane: bit by bit below 8 bits, else bytes (24 bits: b0 << 16 | b1 | b2 << 8).
uint32_t ModelGet(const std::vector<uint8_t> &b, size_t rowAt, int x, int depth) {
  if (depth >= 8) {
    const uint8_t *p = &b[rowAt + static_cast<size_t>(x * depth / 8)];
    if (depth == 24) return uint32_t{p[0]} << 16 | p[1] | uint32_t{p[2]} << 8;
    uint32_t v = 0;
    for (int i = depth / 8 - 1; i >= 0; --i) v = v << 8 | p[i];
    return v;
  }
  uint32_t v = 0;
  for (int i = 0; i < depth; ++i) {
    size_t bit = static_cast<size_t>(x * depth + i);
    v = v << 1 | ((b[rowAt + bit / 8] >> (7 - bit % 8)) & 1);
  }
  return v;
}

void ModelSet(std::vector<uint8_t> &b, size_t rowAt, int x, int depth, uint32_t v) {
  if (depth >= 8) {
    uint8_t *p = &b[rowAt + static_cast<size_t>(x * depth / 8)];
    if (depth == 24) { p[0] = uint8_t(v >> 16), p[1] = uint8_t(v), p[2] = uint8_t(v >> 8); return; }
    for (int i = 0; i < depth / 8; ++i) p[i] = uint8_t(v >> (8 * i));
    return;
  }
  for (int i = 0; i < depth; ++i) {
    size_t bit = static_cast<size_t>(x * depth + i);
    uint8_t m = uint8_t(0x80 >> (bit % 8));
    uint8_t &byte = b[rowAt + bit / 8];
    byte = (v >> (depth - 1 - i)) & 1 ? byte | m : byte & ~m;
  }
}

std::vector<uint8_t> Random(size_t n, std::mt19937 &rng) {
  std::vector<uint8_t> v(n);
  for (auto &x : v) x = uint8_t(rng());
  return v;
}

int MinStride(int w, int depth, int planes) { return planes * ((w * depth + 7) / 8); }

TEST(RotateBitmap, EveryDepthAngleAndPlaneCountMatchesTheModel) {
  std::mt19937 rng(90);
  for (int depth : {1, 2, 4, 8, 16, 24, 32}) {
    for (int planes : {1, 3}) {
      for (int angle : {90, 180, 270, -90, 450}) {
        SCOPED_TRACE(testing::Message() << depth << " bpp, " << planes << " planes, " << angle);
        int w = 7, h = 3, a = ((angle % 360) + 360) % 360;
        int dw = a == 180 ? w : h, dh = a == 180 ? h : w;
        int ss = MinStride(w, depth, planes) + 1, ds = MinStride(dw, depth, planes) + 2;
        auto src = Random(size_t(ss) * h, rng), dst = Random(size_t(ds) * dh, rng), want = dst;
        for (int p = 0; p < planes; ++p)
          for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
              int dx = a == 90 ? y : a == 180 ? w - 1 - x : h - 1 - y;
              int dy = a == 90 ? w - 1 - x : a == 180 ? h - 1 - y : x;
              uint32_t v = ModelGet(src, size_t(y) * ss + size_t(p * (ss / planes)), x, depth);
              ModelSet(want, size_t(dy) * ds + size_t(p * (ds / planes)), dx, depth, v);
            }
        ASSERT_TRUE(RotateBitmap(src.data(), dst.data(), {2, 5, short(2 + w), short(5 + h)},
                                 {0, 0, short(dw), short(dh)}, ss, ds | 0x8000, planes << 8 | depth, angle));
        EXPECT_EQ(dst, want);
      }
    }
  }
}

TEST(BitmapFunctions, BrokenContractsTouchNothing) {
  std::vector<uint8_t> src(64, 0x5A), dst(64, 0xC3), mask(64, 0x11);
  const ShortRect r{0, 0, 4, 4};
  for (int format : {3, 12, 0x100 | 64}) EXPECT_FALSE(RotateBitmap(src.data(), dst.data(), r, r, 16, 16, format, 90));
  EXPECT_FALSE(RotateBitmap(src.data(), dst.data(), r, r, 16, 16, 8, 45));
  EXPECT_FALSE(RotateBitmap(src.data(), dst.data(), r, r, 3, 16, 8, 90)) << "stride below 4 pixels";
  EXPECT_FALSE(RotateBitmap(src.data(), dst.data(), r, {0, 0, 4, 5}, 16, 16, 8, 90)) << "wrong rotated size";
  EXPECT_FALSE(RotateBitmap(src.data(), dst.data(), {0, 0, 4, 0}, r, 16, 16, 8, 90));
  EXPECT_FALSE(MaskBitmap(src.data(), mask.data(), r, {1, 1, 5, 3}, 16, 2, 8, 0, 0x5A, 0)) << "rect outside bounds";
  EXPECT_FALSE(MaskBitmap(src.data(), mask.data(), r, r, 16, 0, 8, 0, 0x5A, 0)) << "mask rows too short";
  EXPECT_FALSE(MaskBitmap(src.data(), mask.data(), r, r, 16, 2, 0x200 | 32, 0, 0x5A, 0)) << "64-bit pixels";
  uint32_t first = 7, second = 7;
  EXPECT_FALSE(GetBitmapColors(src.data(), r, 16, 5, &second, &first));
  EXPECT_EQ(src, std::vector<uint8_t>(64, 0x5A));
  EXPECT_EQ(dst, std::vector<uint8_t>(64, 0xC3));
  EXPECT_EQ(mask, std::vector<uint8_t>(64, 0x11));
  EXPECT_EQ(first, 7u);
}

TEST(MaskBitmap, KeyedPixelsAreReplacedAndMarked) {
  std::mt19937 rng(25);
  for (int format : {1, 4, 8, 16, 24, 32, 0x400 | 1, 0x200 | 4}) {
    for (int planeMode : {0, 2}) {
      SCOPED_TRACE(testing::Message() << format << " mode " << planeMode);
      int depth = format & 0xFF, planes = format >> 8 ? format >> 8 : 1, bits = depth * planes;
      const ShortRect bounds{10, 20, 22, 26}, rect{11, 21, 20, 25};
      int stride = MinStride(12, depth, planes), mstride = 2, copies = planeMode >= 2 ? planes : 1;
      auto src = Random(size_t(stride) * 6, rng), want = src;
      std::vector<uint8_t> mask(size_t(mstride * copies) * 4, 0xFF), wantMask(mask.size(), 0);
      auto pixel = [&](const std::vector<uint8_t> &b, int x, int y) {
        uint32_t v = 0;
        for (int p = 0; p < planes; ++p) v |= ModelGet(b, size_t(y * stride + p * (stride / planes)), x, depth) << (p * depth);
        return v;
      };
      uint32_t key = pixel(src, 3, 2) | (bits < 25 ? 0xFF000000u : 0), repl = 0x12345678;
      uint32_t keep = bits < 32 ? (1u << bits) - 1 : ~0u;
      for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 9; ++x) {
          if (pixel(src, x + 1, y + 1) != (key & keep)) continue;
          for (int p = 0; p < planes; ++p)
            ModelSet(want, size_t((y + 1) * stride + p * (stride / planes)), x + 1, depth, (repl & keep) >> (p * depth));
          for (int c = 0; c < copies; ++c) wantMask[size_t(y * mstride * copies + c * mstride + x / 8)] |= uint8_t(0x80 >> (x % 8));
        }
      ASSERT_TRUE(MaskBitmap(src.data(), mask.data(), bounds, rect, stride, mstride, format, planeMode, key, repl));
      EXPECT_EQ(src, want);
      EXPECT_EQ(mask, wantMask);
      EXPECT_NE(wantMask, std::vector<uint8_t>(mask.size(), 0)) << "the key pixel at least";
    }
  }
}

TEST(GetBitmapColors, FirstTwoPixels) {
  uint32_t first = 0, second = 0;
  const uint8_t rgb[] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66};
  ASSERT_TRUE(GetBitmapColors(rgb, {0, 0, 2, 1}, 6, 24, &second, &first));
  EXPECT_EQ(first, 0x113322u); EXPECT_EQ(second, 0x446655u);
  const uint8_t twoPlanes[] = {0b10000000, 0b11000000};  // 1 bpp, 2 planes, 2 pixels
  ASSERT_TRUE(GetBitmapColors(twoPlanes, {0, 0, 2, 1}, 2, 0x201, &second, &first));
  EXPECT_EQ(first, 3u); EXPECT_EQ(second, 2u);
  ASSERT_TRUE(GetBitmapColors(rgb, {0, 0, 1, 1}, 1, 8, &second, &first));
  EXPECT_EQ(first, 0x11u); EXPECT_EQ(second, 0x11u);
}

}  // namespace
}  // namespace tstools::text
