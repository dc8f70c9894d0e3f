// Writer round trips: an image made of the input (depth, size, colour table, rows) is
// written and played back; the player must give every source pixel.
#include <cstdlib>
#include <vector>

#include "frame/byte_reader.h"
#include "picture/pict_player.h"
#include "picture/pict_writer.h"
#include "tests/picture/band_canvas.h"
#include "tests/picture/recording_sink.h"

using namespace tstools::pict;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  tstools::ByteReader in(data, size);
  static const int kDepths[] = {1, 4, 8, 24};
  const int depth = kDepths[in.U8() & 3];
  const int width = 1 + in.U16BE() % 1100, height = 1 + in.U8() % 8;
  uint32_t rowBytes;
  size_t dataBytes;
  if (!BitmapRowBytes(depth, width, &rowBytes, &dataBytes)) return 0;
  const PictRect frame{0, 0, int16_t(width), int16_t(height)};
  std::vector<PictRgb> colors(depth == 4 ? 16 : 256);
  for (auto &c : colors) c = {in.U8(), in.U8(), in.U8()};
  std::vector<std::vector<uint8_t>> rows(static_cast<size_t>(height), std::vector<uint8_t>(dataBytes));
  for (auto &row : rows) in.Bytes(row.data(), row.size());  // zeros once the input ends

  PictWriter w;
  if (depth == 1) {
    w.BeginVersion1(frame);
    w.BeginBitmap1(frame, frame, true);
  } else {
    w.BeginVersion2(frame);
    if (depth == 24) {
      w.BeginDirect(DirectImage{frame, frame, frame});
    } else {
      IndexedImage image;
      image.bounds = image.source = image.destination = frame;
      image.rowBytes = rowBytes, image.pixelSize = depth, image.colors = colors;
      image.moveWhiteFirstBlackLast = true;
      w.BeginIndexed(image);
    }
  }
  for (auto &row : rows) w.AppendRow(row.data());
  if (!w.Finish() || w.Bytes().size() > WorstCaseBitmapPictSize(depth, width, height)) abort();

  tstools::pict::test::RecordingSink sink;
  if (PlayPicture(w.Bytes().data(), w.Bytes().size(), nullptr, sink, frame).outcome != PlayOutcome::kEnded) abort();
  tstools::pict::test::Canvas canvas(width, height);
  for (size_t i = 0; i < sink.images.size(); ++i) canvas.Draw(sink.images[i], sink.imageBits[i]);
  for (int y = 0; y < height; ++y) {
    const uint8_t *row = rows[size_t(y)].data();
    for (int x = 0; x < width; ++x) {
      const PictRgb c = depth == 1 ? (row[x / 8] >> (7 - x % 8) & 1 ? PictRgb{255, 255, 255} : PictRgb{})
                      : depth == 4 ? colors[row[x / 2] >> (x % 2 ? 0 : 4) & 15]
                      : depth == 8 ? colors[row[x]]
                                   : PictRgb{row[3 * x], row[3 * x + 1], row[3 * x + 2]};
      if (canvas.At(x, y) != (uint32_t(c.red) << 16 | c.green << 8 | c.blue)) abort();
    }
  }
  return 0;
}
