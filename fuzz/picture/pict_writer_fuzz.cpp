// Writer round trips: a bitmap made of the input (depth, size, colour table, rows) is written
// within its worst case and plays back as its source pixels.
#include <cstdlib>

#include "frame/byte_reader.h"
#include "picture/pict_player.h"
#include "tests/picture/pixel_canvas.h"

using namespace tstools::pict;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  tstools::ByteReader in(data, size);
  const int depth = 1 << (in.U8() & 3);  // 1, 2 (as 24), 4, 8
  test::SourceBitmap b{depth == 2 ? 24 : depth, 1 + in.U16BE() % 1100, 1 + in.U8() % 8, std::vector<PictRgb>(depth == 4 ? 16 : 256), {}};
  uint32_t rowBytes;
  size_t dataBytes;
  BitmapRowBytes(b.depth, b.width, &rowBytes, &dataBytes);
  for (auto &c : b.colors) c = {in.U8(), in.U8(), in.U8()};
  b.rows.assign(size_t(b.height), std::vector<uint8_t>(dataBytes));
  size_t at = in.Position();  // the input, over and over: short inputs fill wide rows
  for (auto &row : b.rows)
    for (auto &byte : row) byte = size ? data[at++ % size] : 0;
  PictWriter writer;
  std::vector<uint8_t> pict = b.Write(writer);
  test::CanvasSink sink(b.width, b.height);
  if (pict.empty() || pict.size() > WorstCaseBitmapPictSize(b.depth, b.width, b.height) ||
      PlayPicture(pict.data(), pict.size(), nullptr, sink, {0, 0, int16_t(b.width), int16_t(b.height)}).outcome != PlayOutcome::kEnded)
    abort();
  for (int i = 0; i < b.width * b.height; ++i)
    if (sink.rgb[size_t(i)] != b.At(i % b.width, i / b.width)) abort();
  return 0;
}
