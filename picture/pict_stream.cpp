#include "picture/pict_stream.h"

#include <cstring>

namespace tstools::pict {

bool PictStream::HookBytes(void *dst, size_t n) {
  if (n == 0) return !hookFailed_;
  if (hookFailed_ || n > hookLeft_ || !hook_->Read(dst, n)) {
    hookFailed_ = true;
    std::memset(dst, 0, n);
    return false;
  }
  hookLeft_ -= n;
  consumed_ += n;
  return true;
}

bool PictStream::HookSkip(size_t n) {
  constexpr size_t kPiece = 16383;  // the most the hook's 16-bit count takes at once
  if (n > hookLeft_) hookFailed_ = true;  // the picture cannot hold it: no hook calls
  uint8_t piece[kPiece];
  while (n && !hookFailed_) {
    size_t part = n < kPiece ? n : kPiece;
    HookBytes(piece, part);
    n -= part;
  }
  return !hookFailed_;
}

}  // namespace tstools::pict
