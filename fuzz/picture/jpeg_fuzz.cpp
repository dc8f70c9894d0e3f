// Imports arbitrary bytes as JPEG data (the last byte picks the depth and a reduction), plays
// the picture (the sink copies every band), and checks that the frame JpegFrame reads is the
// picture's, unless the import gave the error picture.
#include <cstdlib>

#include "picture/jpeg_import.h"
#include "picture/pict_player.h"
#include "tests/picture/recording_sink.h"

using namespace tstools::pict;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static PictRgb map[256];
  for (int i = 0; i < 256; ++i) map[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)};
  int pick = size ? data[size - 1] : 0;
  JpegImportOptions options;
  options.depth = (const int[]){32, 2, 4, 8}[pick & 3];
  options.limitSize = pick & 4;
  options.maxRect = {0, 0, int16_t(pick >> 3), int16_t(pick >> 4)};
  options.fixedMap = pick & 0x80 ? map : nullptr;
  std::vector<uint8_t> pict = JpegToPict(data, size, options);
  if (pict.size() < 54) abort();
  auto at = [&](int i) { return int16_t(pict[size_t(i)] << 8 | pict[size_t(i) + 1]); };
  const PictRect frame{at(4), at(2), at(8), at(6)}, errorFrame{0, 0, 200, 16};
  test::RecordingSink sink;
  PlayResult played = PlayPicture(pict.data(), pict.size(), nullptr, sink, frame);
  if (played.outcome != PlayOutcome::kEnded || played.bytesRead != pict.size()) abort();
  PictRect header;
  bool readable = JpegFrame(data, size, &header);
  if (!(frame == errorFrame) && (!readable || !(header == frame))) abort();
  return 0;
}
