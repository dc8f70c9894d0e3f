// Imports arbitrary bytes as JPEG data (the last byte picks the depth and a reduction), plays
// the picture into a sink that reads every band, and checks that the frame JpegFrame reads
// is the picture's, unless the import gave the error picture.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "picture/jpeg_import.h"
#include "picture/pict_player.h"

namespace {

using namespace tstools::pict;

class NullSink final : public PictSink {
  PictPoint pen_;
  unsigned sum_ = 0;

 public:
  PictRect DestinationClipBox() override { return {0, 0, 640, 480}; }
  void BeginPlayback(PictPoint p) override { pen_ = p; }
  void EndPlayback() override {}
  PictPoint PenLocation() override { return pen_; }
  void SetPenLocation(PictPoint p) override { pen_ = p; }
  void MoveTo(PictPoint p) override { pen_ = p; }
  void LineTo(PictPoint p) override { pen_ = p; }
  void Image(const ImageBand &band) override {
    for (size_t i = 0; i < band.dibRowBytes * size_t(band.rows); ++i) sum_ += band.bits[i];
  }
};

PictRect FrameOf(const std::vector<uint8_t> &pict) {
  auto at = [&](int i) { return int16_t(pict[size_t(i)] << 8 | pict[size_t(i) + 1]); };
  return {at(4), at(2), at(8), at(6)};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static PictRgb map[256];
  for (int i = 0; i < 256; ++i) map[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)};
  JpegImportOptions options;
  int pick = size ? data[size - 1] : 0;
  options.depth = (const int[]){32, 2, 4, 8}[pick & 3];
  options.limitSize = pick & 4;
  options.maxRect = {0, 0, int16_t(pick >> 3), int16_t(pick >> 4)};
  options.fixedMap = pick & 0x80 ? map : nullptr;
  std::vector<uint8_t> pict = JpegToPict(data, size, options);
  if (pict.size() < 54) abort();
  NullSink sink;
  PictRect frame = FrameOf(pict);
  PlayResult played = PlayPicture(pict.data(), pict.size(), nullptr, sink, frame);
  if (played.outcome != PlayOutcome::kEnded || played.bytesRead != pict.size()) abort();
  PictRect header;
  bool readable = JpegFrame(data, size, &header);
  const PictRect errorFrame{0, 0, 200, 16};
  if (!(frame == errorFrame) && (!readable || !(header == frame))) abort();
  return 0;
}
