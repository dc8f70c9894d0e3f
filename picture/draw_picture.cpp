// ML_DrawPicture: the PICT player driving the GDI sink on a port.
#include <algorithm>

#include "frame/export_guard.h"
#include "picture/gdi_sink.h"
#include "picture/pict_player.h"
#include "picture/picture_state.h"
#include "tstools/memory.h"
#include "tstools/picture.h"

namespace tstools::pict {
PictureState pictureState;
}

namespace {

using namespace tstools::pict;

// Picture data through the port's get-picture procedure, whose count is a 16-bit integer.
class GetPicSource final : public PictSource {
 public:
  explicit GetPicSource(GetPicProcPtr proc) : proc_(proc) {}
  bool Read(void *dst, size_t n) override {
    auto *p = static_cast<uint8_t *>(dst);
    while (n) {
      size_t piece = std::min<size_t>(n, kMaxPiece);
      proc_(p, static_cast<short>(piece));
      p += piece;
      n -= piece;
    }
    return true;
  }

 private:
  static constexpr size_t kMaxPiece = 16383;
  GetPicProcPtr proc_;
};

}  // namespace

void WINAPI ML_DrawPicture(GrafPtr port, PicHandle picture, const Rect *destination) {
  bool &playing = pictureState.playing;
  if (!port || !port->dc || !picture || !destination || playing) return;
  // A destination without area has nothing to scale onto.
  if (destination->right == destination->left || destination->bottom == destination->top) return;
  Size size = 0;
  if (MemGetHandleSize(picture, &size) != noErr || size <= 0 || !*picture) return;
  playing = true;
  MemSetHandleLock(picture, 1);
  // Out of memory mid-picture ends the playback: the sink puts the port back as it goes,
  // and what was drawn stays.
  tstools::Guarded(tstools::Nothing, [&] {
    GdiSink sink(port);
    GetPicProcPtr getPic = port->grafProcs ? port->grafProcs->getPicProc : nullptr;
    GetPicSource hook(getPic);
    PictRect dst{destination->left, destination->top, destination->right, destination->bottom};
    PlayPicture(reinterpret_cast<const uint8_t *>(*picture), static_cast<size_t>(size),
                getPic ? &hook : nullptr, sink, dst);
  });
  MemSetHandleLock(picture, -1);
  playing = false;
}
