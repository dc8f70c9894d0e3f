// A bitmap written by the PICT writer as the bitmap writer writes it, and its source pixels
// to compare a playback with (the writer's tests and its fuzz target).
#pragma once

#include <vector>

#include "picture/pict_writer.h"

namespace tstools::pict::test {

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
