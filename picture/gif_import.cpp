// GIFtoPICT and GIFRect: the portable decoder over a locked handle.
#include <vector>

#include "frame/export_guard.h"
#include "picture/gif_decoder.h"
#include "tstools/gif.h"
#include "tstools/memory.h"

namespace {

using namespace tstools::pict;

// Runs use(bytes, size) over the handle's data, locked meanwhile; false for a bad handle.
template <typename Use>
bool WithHandleBytes(Handle h, Use &&use) {
  Size size = 0;
  if (!h || MemGetHandleSize(h, &size) != noErr || size < 0 || !*h) return false;
  MemSetHandleLock(h, 1);
  use(reinterpret_cast<const uint8_t *>(*h), static_cast<size_t>(size));
  MemSetHandleLock(h, -1);
  return true;
}

}  // namespace

PicHandle WINAPI GIFtoPICT(Handle gif) {
  return tstools::Guarded(PicHandle(nullptr), [&]() -> PicHandle {
    std::vector<uint8_t> pict;
    bool decoded = false;
    WithHandleBytes(gif, [&](const uint8_t *data, size_t size) { decoded = GifToPict(data, size, &pict); });
    Handle result = nullptr;
    if (decoded && PtrToHand(pict.data(), &result, static_cast<Size>(pict.size())) != noErr) return nullptr;
    return result;
  });
}

void WINAPI GIFRect(Handle gif, Rect *frame) {
  if (!frame) return;
  *frame = Rect{0, 0, 0, 0};
  PictRect r;
  if (WithHandleBytes(gif, [&](const uint8_t *data, size_t size) {
        if (!GifFrame(data, size, &r)) r = PictRect{};
      }))
    *frame = Rect{r.left, r.top, r.right, r.bottom};
}
