// ML_BitmapToPict of fixed-seed 1024x768 bitmaps (24 bits, and 8 bits with a palette), next
// to the bare GetDIBits of the same rows it must make anyway. Milliseconds per picture.
// scripts/bench.sh times ImageMagick writing the same pixels as PICT (a process) beside it.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "support/bench.h"
#include "tstools/tstools.h"

namespace {

constexpr int kW = 1024, kH = 768;

// A photo-like field: smooth gradients with fixed-seed noise, which PackBits finds hard.
HBITMAP MakeBitmap(int depth) {
  std::vector<uint8_t> block(sizeof(BITMAPINFOHEADER) + 256 * 4);
  auto *info = reinterpret_cast<BITMAPINFO *>(block.data());
  info->bmiHeader = {sizeof(BITMAPINFOHEADER), kW, kH, 1, WORD(depth), BI_RGB, 0, 0, 0, 0, 0};
  for (int i = 0; i < 256; ++i) info->bmiColors[i] = RGBQUAD{BYTE(i), BYTE(255 - i), BYTE(i * 7), 0};
  void *bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
  uint32_t seed = 12345;
  auto *p = static_cast<uint8_t *>(bits);
  size_t stride = (size_t(kW) * depth / 8 + 3) & ~size_t(3);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW * depth / 8; ++x) {
      seed = seed * 1103515245 + 12345;
      p[y * stride + x] = uint8_t((x / 3 + y / 2) + (seed >> 28));
    }
  return bitmap;
}

}  // namespace

int main() {
  MemInitZone();
  HDC screen = GetDC(nullptr);
  for (int depth : {24, 8}) {
    HBITMAP bitmap = MakeBitmap(depth);
    Handle picture = nullptr;
    MemNewHandle(&picture, 0, 0);
    char name[96];
    std::snprintf(name, sizeof name, "ML_BitmapToPict 1024x768 %d-bit", depth);
    double ours = tstools::bench::TimePerOp([&] { ML_BitmapToPict(nullptr, bitmap, nullptr, picture); });
    Size size = 0;
    MemGetHandleSize(picture, &size);
    std::vector<uint8_t> rows(size_t(kW) * 4 * kH);
    std::vector<uint8_t> infoBlock(sizeof(BITMAPINFOHEADER) + 256 * 4);
    auto *info = reinterpret_cast<BITMAPINFO *>(infoBlock.data());
    double bare = tstools::bench::TimePerOp([&] {
      info->bmiHeader = {sizeof(BITMAPINFOHEADER), kW, kH, 1, WORD(depth), BI_RGB, 0, 0, 0, 0, 0};
      GetDIBits(screen, bitmap, 0, kH, rows.data(), info, DIB_RGB_COLORS);
    });
    std::printf("%-58s %9.2f ms/run (%ld bytes)\n", name, ours / 1e6, long(size));
    std::printf("%-58s %9.2f ms/run (ratio %.2fx)\n", "  bare GetDIBits of the same rows", bare / 1e6, ours / bare);
    MemDisposeHandle(picture);
    DeleteObject(bitmap);
  }
  ReleaseDC(nullptr, screen);
  return 0;
}
