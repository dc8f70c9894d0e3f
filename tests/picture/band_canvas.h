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
  void Put(int x, int y, uint32_t c) {
    if (x >= 0 && x < width && y >= 0 && y < height) rgb[size_t(y) * width + x] = c;
  }
  void RGBForeColor(const RgbColor &c) override { colour = uint32_t(c.red >> 8) << 16 | (c.green & 0xFF00) | c.blue >> 8; }
  void Rect(ShapeVerb v, const PictRect &r, const Pattern8 &p) override {
    RecordingSink::Rect(v, r, p);
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) Put(x, y, colour);
  }
  void Image(const ImageBand &b) override {  // rows bottom-up
    auto entry = [&](unsigned i) {
      return i < b.palette.size() ? uint32_t(b.palette[i].red) << 16 | b.palette[i].green << 8 | b.palette[i].blue : 0xFE000000u;
    };
    for (int i = b.source.top; i < b.source.bottom && i < b.rows; ++i) {
      const uint8_t *row = b.bits + size_t(b.rows - 1 - i) * b.dibRowBytes;
      for (int x = b.source.left; x < b.source.right && x < b.width; ++x)
        Put(b.destination.left + x - b.source.left, b.destination.top + i - b.source.top,
            b.depth == 1 ? entry(row[x / 8] >> (7 - x % 8) & 1) : b.depth == 4 ? entry(row[x / 2] >> (x % 2 ? 0 : 4) & 15)
            : b.depth == 8 ? entry(row[x]) : uint32_t(row[3 * x + 2]) << 16 | row[3 * x + 1] << 8 | row[3 * x]);
    }
  }
};

}  // namespace tstools::pict::test
