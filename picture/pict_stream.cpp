#include "picture/pict_stream.h"

#include <cstring>

namespace tstools::pict {

bool MemorySource::Read(void *dst, size_t n) {
  if (n > size_ - offset_) {
    offset_ = size_;
    return false;
  }
  if (n) std::memcpy(dst, data_ + offset_, n);
  offset_ += n;
  return true;
}

bool PictStream::Bytes(void *dst, size_t n) {
  if (failed_ || !source_.Read(dst, n)) {
    failed_ = true;
    std::memset(dst, 0, n);
    return false;
  }
  consumed_ += n;
  return true;
}

uint8_t PictStream::U8() {
  uint8_t b[1];
  Bytes(b, 1);
  return b[0];
}

uint16_t PictStream::U16() {
  uint8_t b[2];
  Bytes(b, 2);
  return static_cast<uint16_t>(b[0] << 8 | b[1]);
}

uint32_t PictStream::U32() {
  uint8_t b[4];
  Bytes(b, 4);
  return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
}

PictPoint PictStream::Point() {
  PictPoint p;
  p.v = S16();
  p.h = S16();
  return p;
}

PictRect PictStream::Rect() {
  PictRect r;
  r.top = S16();
  r.left = S16();
  r.bottom = S16();
  r.right = S16();
  return r;
}

bool PictStream::Skip(size_t n) {
  uint8_t chunk[1024];
  while (n && !failed_) {
    size_t piece = n < sizeof chunk ? n : sizeof chunk;
    Bytes(chunk, piece);
    n -= piece;
  }
  return !failed_;
}

}  // namespace tstools::pict
