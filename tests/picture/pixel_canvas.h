// Pixels in and out of pictures for the writer and GIF tests and fuzz targets: the canvas a
// playback draws (image bands placed unscaled, painted rectangles in the foreground colour),
// and a source bitmap written as the bitmap writer writes it, with its pixels to compare.
#pragma once

#include <cstdint>
#include <vector>

#include "picture/pict_writer.h"
#include "recording_sink.h"

namespace tstools::pict::test {

class CanvasSink : public RecordingSink {
 public:
  int width, height;
  std::vector<uint32_t> rgb;  // 0xRRGGBB, row-major; 0xFF000000 where nothing was drawn
  uint32_t colour = 0;

  CanvasSink(int w, int h) : width(w), height(h), rgb(size_t(w) * h, 0xFF000000u) {}
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

struct SourceBitmap {
  int depth = 8, width = 1, height = 1;
  std::vector<PictRgb> colors;  // 16 or 256 entries for depths 4 and 8
  std::vector<std::vector<uint8_t>> rows;  // as the writer takes them

  uint32_t At(int x, int y) const {
    const uint8_t *row = rows[size_t(y)].data();
    const PictRgb c = depth == 1 ? (row[x / 8] >> (7 - x % 8) & 1 ? PictRgb{255, 255, 255} : PictRgb{})  // set: white
                      : depth == 4 ? colors[row[x / 2] >> (x % 2 ? 0 : 4) & 15]
                      : depth == 8 ? colors[row[x]] : PictRgb{row[3 * x], row[3 * x + 1], row[3 * x + 2]};
    return uint32_t(c.red) << 16 | c.green << 8 | c.blue;
  }
  // Empty when the writer refuses.
  std::vector<uint8_t> Write(PictWriter &w) const {
    const PictRect frame{0, 0, int16_t(width), int16_t(height)};
    IndexedImage image;
    image.bounds = image.source = image.destination = frame;
    image.pixelSize = depth, image.colors = colors, image.moveWhiteFirstBlackLast = true;
    size_t dataBytes;
    BitmapRowBytes(depth, width, &image.rowBytes, &dataBytes);
    depth == 1 ? w.BeginVersion1(frame) : w.BeginVersion2(frame);
    depth == 1 ? w.BeginBitmap1(frame, frame, true) : depth == 24 ? w.BeginDirect(DirectImage{frame, frame, frame}) : w.BeginIndexed(image);
    for (auto &row : rows) w.AppendRow(row.data());
    return w.Finish() ? w.TakeBytes() : std::vector<uint8_t>();
  }
};

}  // namespace tstools::pict::test
