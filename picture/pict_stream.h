// Reading a PICT's opcode stream: big-endian values through a source that may be the
// picture's own block or the host's reading hook. Every read is bounded; the first failure
// latches and every later read yields zeros, so the player can treat missing data as the
// end of the picture without checking each read.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tstools::pict {

// Where picture bytes come from.
class PictSource {
 public:
  virtual ~PictSource() = default;
  // Fills n bytes at dst; false when fewer than n bytes are left (dst contents then unused).
  virtual bool Read(void *dst, size_t n) = 0;
};

// The picture block itself.
class MemorySource final : public PictSource {
 public:
  MemorySource(const uint8_t *data, size_t size) : data_(data), size_(size) {}
  bool Read(void *dst, size_t n) override;
  size_t Remaining() const { return size_ - offset_; }

 private:
  const uint8_t *data_;
  size_t size_;
  size_t offset_ = 0;
};

struct PictRect {  // the library's order: left, top, right, bottom
  int16_t left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return int(right) - left; }
  int Height() const { return int(bottom) - top; }
  bool operator==(const PictRect &o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

struct PictPoint {
  int16_t h = 0, v = 0;
};

class PictStream {
 public:
  // consumedBefore: bytes of the picture already read elsewhere (picSize and picFrame), so
  // the version-2 padding rule counts from the start of the picture.
  PictStream(PictSource &source, size_t consumedBefore)
      : source_(source), consumed_(consumedBefore) {}

  bool Failed() const { return failed_; }
  size_t Consumed() const { return consumed_; }

  bool Bytes(void *dst, size_t n);
  uint8_t U8();
  int8_t S8() { return static_cast<int8_t>(U8()); }
  uint16_t U16();
  int16_t S16() { return static_cast<int16_t>(U16()); }
  uint32_t U32();
  int32_t S32() { return static_cast<int32_t>(U32()); }
  PictPoint Point();  // stored v, h
  PictRect Rect();    // stored top, left, bottom, right
  // Skips n bytes in pieces, so that a reading hook sees every byte.
  bool Skip(size_t n);

 private:
  PictSource &source_;
  size_t consumed_;
  bool failed_ = false;
};

}  // namespace tstools::pict
