// Writer round trips: a bitmap made of the input (depth, size, colour table, rows) is written
// within its worst case and plays back as its source pixels.
#include <cstdlib>

#include "frame/byte_reader.h"
#include "picture/pict_player.h"
#include "tests/picture/band_canvas.h"
#include "tests/picture/writer_round_trip.h"

using namespace tstools::pict;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  tstools::ByteReader in(data, size);
  static const int kDepths[] = {1, 4, 8, 24};
  test::SourceBitmap b{kDepths[in.U8() & 3], 1 + in.U16BE() % 1100, 1 + in.U8() % 8, {}, {}};
  uint32_t rowBytes;
  size_t dataBytes;
  if (!BitmapRowBytes(b.depth, b.width, &rowBytes, &dataBytes)) return 0;
  b.colors.resize(b.depth == 4 ? 16 : 256);
  for (auto &c : b.colors) c = {in.U8(), in.U8(), in.U8()};
  b.rows.assign(size_t(b.height), std::vector<uint8_t>(dataBytes));
  for (auto &row : b.rows) in.Bytes(row.data(), row.size());  // zeros once the input ends
  PictWriter writer;
  std::vector<uint8_t> pict = b.Write(writer);
  if (pict.empty() || pict.size() > WorstCaseBitmapPictSize(b.depth, b.width, b.height)) abort();
  test::CanvasSink sink(b.width, b.height);
  if (PlayPicture(pict.data(), pict.size(), nullptr, sink, {0, 0, int16_t(b.width), int16_t(b.height)}).outcome !=
      PlayOutcome::kEnded)
    abort();
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x)
      if (sink.At(x, y) != b.At(x, y)) abort();
  return 0;
}
