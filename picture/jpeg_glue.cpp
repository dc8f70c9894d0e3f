// JPEGtoPICT, JPEGRect and BitmapToJPEG: the handles locked around the portable JPEG cores,
// the results copied into new handles, and the library's "CLUT256" palette resource.
#include <cstring>
#include <utility>
#include <vector>

#include "frame/export_guard.h"
#include "frame/library_globals.h"
#include "picture/jpeg_export.h"
#include "picture/jpeg_import.h"
#include "tstools/jpeg.h"
#include "tstools/memory.h"

namespace {

using namespace tstools::pict;

// The locked bytes of a handle for the life of the object.
class LockedBytes {
 public:
  explicit LockedBytes(Handle h) : handle_(h) {
    Size size = 0;
    if (h && MemGetHandleSize(h, &size) == noErr && size >= 0 && (*h || size == 0)) {
      MemSetHandleLock(h, 1);
      locked_ = true;
      data_ = reinterpret_cast<const uint8_t *>(*h);
      size_ = size_t(size);
    }
  }
  ~LockedBytes() {
    if (locked_) MemSetHandleLock(handle_, -1);
  }
  LockedBytes(const LockedBytes &) = delete;
  LockedBytes &operator=(const LockedBytes &) = delete;

  bool valid() const { return locked_; }
  const uint8_t *data() const { return data_; }
  size_t size() const { return size_; }

 private:
  Handle handle_;
  bool locked_ = false;
  const uint8_t *data_ = nullptr;
  size_t size_ = 0;
};

// A new locked handle of the size asked for; freed with the object unless taken.
struct HandleOutput final : tstools::pict::PictOutput {
  Handle handle = nullptr;
  uint8_t *Provide(size_t bytes) noexcept override {
    if (handle || MemNewHandle(&handle, Size(bytes), 0) != noErr) return nullptr;
    MemSetHandleLock(handle, 1);
    return reinterpret_cast<uint8_t *>(*handle);
  }
  ~HandleOutput() override {
    if (handle) MemDisposeHandle(handle);
  }
};

Handle NewHandleOf(const std::vector<uint8_t> &bytes) {
  Handle h = nullptr;
  if (bytes.empty() || PtrToHand(bytes.data(), &h, Size(bytes.size())) != noErr) return nullptr;
  return h;
}

// The palette resource: version 0x300, 256 entries of red, green, blue, flags. False when it
// is missing or not of that form.
bool LoadClut256(PictRgb *colors) {
  HINSTANCE instance = tstools::frameState.libraryInstance;
  HRSRC found = instance ? FindResourceA(instance, "CLUT256", MAKEINTRESOURCEA(10) /* RT_RCDATA */) : nullptr;
  HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
  const auto *bytes = loaded ? static_cast<const uint8_t *>(LockResource(loaded)) : nullptr;
  if (!bytes || SizeofResource(instance, found) < 4 + 256 * 4 || bytes[0] != 0 || bytes[1] != 3 ||
      bytes[2] != 0 || bytes[3] != 1)
    return false;
  for (int i = 0; i < 256; ++i) {
    const uint8_t *entry = bytes + 4 + 4 * i;
    colors[i] = {entry[0], entry[1], entry[2]};
  }
  return true;
}

}  // namespace

PicHandle WINAPI JPEGtoPICT(Handle jpeg, const Rect *maxRect, const short *depth) {
  return tstools::Guarded(static_cast<PicHandle>(nullptr), [&]() -> PicHandle {
    LockedBytes data(jpeg);
    if (!data.valid()) return nullptr;
    JpegImportOptions options;
    if (maxRect) {
      options.limitSize = true;
      options.maxRect = {maxRect->left, maxRect->top, maxRect->right, maxRect->bottom};
    }
    PictRgb clut[256];
    if (depth) {
      options.depth = *depth;
      if (*depth >= 8 && *depth < 16 && LoadClut256(clut)) options.fixedMap = clut;
    }
    // The picture is written straight into its handle, sized for the worst case, then shrunk.
    HandleOutput output;
    options.output = &output;
    size_t written = 0;
    std::vector<uint8_t> error = JpegToPict(data.data(), data.size(), options, &written);
    if (written == 0) return NewHandleOf(error);
    MemSetHandleLock(output.handle, -1);
    MemSetHandleSize(output.handle, Size(written));
    return std::exchange(output.handle, nullptr);
  });
}

void WINAPI JPEGRect(Handle jpeg, Rect *frame) {
  if (!frame) return;
  *frame = Rect{};
  tstools::Guarded(tstools::Nothing, [&] {
    LockedBytes data(jpeg);
    PictRect r;
    if (data.valid() && JpegFrame(data.data(), data.size(), &r)) *frame = Rect{r.left, r.top, r.right, r.bottom};
  });
}

Handle WINAPI BitmapToJPEG(const BitmapDesc *bitmap) {
  if (!bitmap) return nullptr;
  return tstools::Guarded(static_cast<Handle>(nullptr), [&] {
    JpegBitmap b;
    b.pixels = static_cast<const uint8_t *>(bitmap->bits);
    b.colors = static_cast<const uint8_t *>(bitmap->colors);
    b.stride = bitmap->rowBytes;
    b.bitsPerPixel = int(bitmap->bitsPerPixel);
    b.width = int(bitmap->width);
    b.height = int(bitmap->height);
    return NewHandleOf(BitmapToJpeg(b));
  });
}
