// Plays arbitrary bytes as a picture block into a sink that draws nothing, checking that
// playback stays inside the data and hands out only well-formed bands, that the reading hook
// plays the same, and that a hook is never asked for more than the picture can hold.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "picture/pict_player.h"

namespace {

class NullSink final : public tstools::pict::PictSink {
 public:
  tstools::pict::PictRect DestinationClipBox() override { return {0, 0, 640, 480}; }
  void BeginPlayback(tstools::pict::PictPoint p) override { pen_ = p; }
  void EndPlayback() override {}
  tstools::pict::PictPoint PenLocation() override { return pen_; }
  void SetPenLocation(tstools::pict::PictPoint p) override { pen_ = p; }
  void MoveTo(tstools::pict::PictPoint p) override { pen_ = p; }
  void LineTo(tstools::pict::PictPoint p) override { pen_ = p; }
  void Image(const tstools::pict::ImageBand &band) override {
    // Touch every byte of the band: ASan reports any band that overstates its buffer.
    unsigned sum = 0;
    for (size_t i = 0; i < band.dibRowBytes * size_t(band.rows); ++i) sum += band.bits[i];
    if (band.dibRowBytes * size_t(band.rows) > 65533 && band.rows > 1) abort();
    sink_ += sum;
  }

 private:
  tstools::pict::PictPoint pen_;
  unsigned sink_ = 0;
};

// The same bytes through the reading hook, in the pieces the player asks for; past the data
// it gives zeros (as a hook that cannot tell where its picture ends) or refuses.
class BytesHook final : public tstools::pict::PictSource {
 public:
  BytesHook(const uint8_t *data, size_t size, bool zerosAfter)
      : data_(data), size_(size), zeros_(zerosAfter) {}
  bool Read(void *dst, size_t n) override {
    if (n > size_ - at_ && !zeros_) return false;
    auto *out = static_cast<uint8_t *>(dst);
    for (size_t i = 0; i < n; ++i, ++at_) out[i] = at_ < size_ ? data_[at_] : 0;
    return true;
  }
  size_t asked() const { return at_; }

 private:
  const uint8_t *data_;
  size_t size_, at_ = 0;
  bool zeros_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using tstools::pict::PlayOutcome;
  using tstools::pict::PlayPicture;
  NullSink sink;
  auto result = PlayPicture(data, size, nullptr, sink, {0, 0, 320, 240});
  if (result.bytesRead > size && size >= 10) abort();
  if (size >= 10) {
    // Through a hook the picture plays the same.
    BytesHook hook(data + 10, size - 10, false);
    auto hooked = PlayPicture(data, size, &hook, sink, {0, 0, 320, 240});
    if (hooked.outcome != result.outcome || hooked.opcodes != result.opcodes ||
        (result.outcome != PlayOutcome::kTruncated && hooked.bytesRead != result.bytesRead))
      abort();
    // A hook that never runs dry is asked no more than the picture's size word allows (tried
    // when that is about the input's size, so a run costs what its input does).
    size_t sizeWord = size_t(data[0] << 8 | data[1]);
    if (sizeWord <= size + 64) {
      BytesHook endless(data + 10, size - 10, true);
      PlayPicture(data, 10, &endless, sink, {0, 0, 320, 240});
      if (endless.asked() + 10 > std::max<size_t>(10, sizeWord)) abort();
    }
  }
  // Files on disk carry a 512-byte header before the picture block.
  if (size > 522) PlayPicture(data + 512, size - 512, nullptr, sink, {0, 0, 64, 64});
  return 0;
}
