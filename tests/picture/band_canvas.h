// The pixels a playback drew, from the image bands a RecordingSink kept: an RGB canvas of
// the destination, each band's rows placed unscaled where the player put them.
#pragma once

#include <cstdint>
#include <vector>

#include "picture/pict_sink.h"

namespace tstools::pict::test {

struct Canvas {
  int width = 0, height = 0;
  std::vector<uint32_t> rgb;  // 0xRRGGBB, row-major; 0xFF000000 where nothing was drawn

  Canvas(int w, int h, uint32_t fill = 0xFF000000u) : width(w), height(h), rgb(size_t(w) * h, fill) {}
  uint32_t At(int x, int y) const { return rgb[size_t(y) * width + x]; }

  static uint32_t Rgb(const PaletteEntry &e) { return uint32_t(e.red) << 16 | e.green << 8 | e.blue; }
  static uint32_t Pixel(const ImageBand &b, const uint8_t *row, int x) {
    auto entry = [&](unsigned i) { return i < b.palette.size() ? Rgb(b.palette[i]) : 0xFE000000u; };
    switch (b.depth) {
      case 1: return entry(row[x / 8] >> (7 - x % 8) & 1);
      case 4: return entry(row[x / 2] >> (x % 2 ? 0 : 4) & 15);
      case 8: return entry(row[x]);
      default: return uint32_t(row[3 * x + 2]) << 16 | row[3 * x + 1] << 8 | row[3 * x];
    }
  }
  // bits: the band's rows, bottom-up, as the sink received them.
  void Draw(const ImageBand &b, const std::vector<uint8_t> &bits) {
    for (int i = b.source.top; i < b.source.bottom && i < b.rows; ++i) {
      const uint8_t *row = bits.data() + size_t(b.rows - 1 - i) * b.dibRowBytes;
      int y = b.destination.top + i - b.source.top;
      for (int x = b.source.left; x < b.source.right && x < b.width; ++x) {
        int dx = b.destination.left + x - b.source.left;
        if (y >= 0 && y < height && dx >= 0 && dx < width) rgb[size_t(y) * width + dx] = Pixel(b, row, x);
      }
    }
  }
};

}  // namespace tstools::pict::test
