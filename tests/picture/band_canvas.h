// The pixels a playback drew, as an RGB canvas of the destination: image bands placed
// unscaled where the player put them, painted rectangles in the foreground colour.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "recording_sink.h"

namespace tstools::pict::test {

class CanvasSink : public RecordingSink {
 public:
  int width, height;
  std::vector<uint32_t> rgb;  // 0xRRGGBB, row-major; 0xFF000000 where nothing was drawn
  uint32_t colour = 0;

  CanvasSink(int w, int h) : width(w), height(h), rgb(size_t(w) * h, 0xFF000000u) {}
  uint32_t At(int x, int y) const { return rgb[size_t(y) * width + x]; }

  void RGBForeColor(const RgbColor &c) override { colour = uint32_t(c.red >> 8) << 16 | (c.green & 0xFF00) | c.blue >> 8; }
  void Rect(ShapeVerb v, const PictRect &r, const Pattern8 &p) override {
    RecordingSink::Rect(v, r, p);
    for (int y = std::max<int>(r.top, 0); y < std::min<int>(r.bottom, height); ++y)
      std::fill_n(&rgb[size_t(y) * width + std::max<int>(r.left, 0)], std::max(0, std::min<int>(r.right, width) - std::max<int>(r.left, 0)), colour);
  }
  void Image(const ImageBand &b) override {  // rows bottom-up
    for (int i = b.source.top; i < b.source.bottom && i < b.rows; ++i) {
      const uint8_t *row = b.bits + size_t(b.rows - 1 - i) * b.dibRowBytes;
      const int y = b.destination.top + i - b.source.top;
      for (int x = b.source.left; x < b.source.right && x < b.width; ++x) {
        const int dx = b.destination.left + x - b.source.left;
        if (y >= 0 && y < height && dx >= 0 && dx < width) rgb[size_t(y) * width + dx] = Pixel(b, row, x);
      }
    }
  }
  static uint32_t Pixel(const ImageBand &b, const uint8_t *row, int x) {
    auto entry = [&](unsigned i) {
      return i < b.palette.size() ? uint32_t(b.palette[i].red) << 16 | b.palette[i].green << 8 | b.palette[i].blue : 0xFE000000u;
    };
    switch (b.depth) {
      case 1: return entry(row[x / 8] >> (7 - x % 8) & 1);
      case 4: return entry(row[x / 2] >> (x % 2 ? 0 : 4) & 15);
      case 8: return entry(row[x]);
      default: return uint32_t(row[3 * x + 2]) << 16 | row[3 * x + 1] << 8 | row[3 * x];
    }
  }
};

}  // namespace tstools::pict::test
