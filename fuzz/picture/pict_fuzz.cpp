// Plays arbitrary bytes as a picture block into a sink that draws nothing, checking that
// playback stays inside the data and hands out only well-formed bands, that the reading hook
// plays the same, and that a hook is never asked for more than the picture can hold.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

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
    // Reads every byte of the band: ASan reports any band that overstates its buffer.
    size_t size = band.dibRowBytes * size_t(band.rows);
    if (size > 65533 && band.rows > 1) abort();
    for (size_t i = 0; i < size; ++i) sum_ += band.bits[i];
  }
};

// The bytes after the header through the reading hook; past them it gives zeros (as a hook
// that cannot tell where its picture ends) or refuses.
struct BytesHook final : PictSource {
  BytesHook(const uint8_t *data, size_t size, bool zerosAfter) : data(data), size(size), zeros(zerosAfter) {}
  bool Read(void *dst, size_t n) override {
    if (n > size - at && !zeros) return false;
    for (size_t i = 0; i < n; ++i, ++at) static_cast<uint8_t *>(dst)[i] = at < size ? data[at] : 0;
    return true;
  }
  const uint8_t *data;
  size_t size, at = 0;
  bool zeros;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  NullSink sink;
  PlayResult result = PlayPicture(data, size, nullptr, sink, {0, 0, 320, 240});
  if (size >= 10) {
    if (result.bytesRead > size) abort();
    BytesHook hook(data + 10, size - 10, false);
    PlayResult hooked = PlayPicture(data, size, &hook, sink, {0, 0, 320, 240});
    if (hooked.outcome != result.outcome || hooked.opcodes != result.opcodes ||
        (result.outcome != PlayOutcome::kTruncated && hooked.bytesRead != result.bytesRead))
      abort();
    // A hook that never runs dry is asked no more than the size word allows (tried when that
    // is about the input's size, so a run costs what its input does).
    size_t sizeWord = size_t(data[0] << 8 | data[1]);
    if (sizeWord <= size + 64) {
      BytesHook endless(data + 10, size - 10, true);
      PlayPicture(data, 10, &endless, sink, {0, 0, 320, 240});
      if (endless.at + 10 > std::max<size_t>(10, sizeWord)) abort();
    }
  }
  // Files on disk carry a 512-byte header before the picture block.
  if (size > 522) PlayPicture(data + 512, size - 512, nullptr, sink, {0, 0, 64, 64});
  return 0;
}
