// Reading a PICT's opcode stream: big-endian values straight from the picture's block through
// the bounded reader, or through the host's reading hook. Either way every read is bounded
// and the first failure latches, after which reads yield zeros, so the player can treat
// missing data as the end of the picture without checking each read.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/byte_reader.h"

namespace tstools::pict {

// The host's reading hook: where picture bytes come from instead of the block.
class PictSource {
 public:
  virtual ~PictSource() = default;
  // Fills n bytes (n > 0) at dst; false when it has no more to give.
  virtual bool Read(void *dst, size_t n) = 0;
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
  // The picture block itself, read from offset start (picSize and picFrame come before).
  PictStream(const uint8_t *block, size_t size, size_t start) : block_(block, size) {
    block_.Skip(start);
  }
  // Through a hook, after start bytes read elsewhere; at most limit more bytes are asked
  // of it, so a length that lies fails at once instead of calling the hook for gigabytes.
  PictStream(PictSource &hook, size_t start, size_t limit)
      : hook_(&hook), consumed_(start), hookLeft_(limit) {}

  bool Failed() const { return hook_ ? hookFailed_ : block_.Failed(); }
  // Bytes of the picture read so far: the version-2 padding rule counts them from its start.
  size_t Consumed() const { return hook_ ? consumed_ : block_.Position(); }

  bool Bytes(void *dst, size_t n) { return hook_ ? HookBytes(dst, n) : block_.Bytes(dst, n); }
  // n bytes borrowed from the block, or read through the hook into scratch (room for n).
  // Null on failure.
  const uint8_t *Take(size_t n, uint8_t *scratch) {
    if (!hook_) return block_.Span(n);
    return HookBytes(scratch, n) ? scratch : nullptr;
  }
  uint8_t U8() {
    if (!hook_) return block_.U8();
    uint8_t b[1];
    HookBytes(b, 1);
    return b[0];
  }
  int8_t S8() { return static_cast<int8_t>(U8()); }
  uint16_t U16() {
    if (!hook_) return block_.U16BE();
    uint8_t b[2];
    HookBytes(b, 2);
    return LoadU16BE(b);
  }
  int16_t S16() { return static_cast<int16_t>(U16()); }
  uint32_t U32() {
    if (!hook_) return block_.U32BE();
    uint8_t b[4];
    HookBytes(b, 4);
    return LoadU32BE(b);
  }
  int32_t S32() { return static_cast<int32_t>(U32()); }
  PictPoint Point() {  // stored v, h
    PictPoint p;
    p.v = S16();
    p.h = S16();
    return p;
  }
  PictRect Rect() {  // stored top, left, bottom, right
    PictRect r;
    r.top = S16();
    r.left = S16();
    r.bottom = S16();
    r.right = S16();
    return r;
  }
  // Skips n bytes; through a hook in pieces of at most 16,383 bytes, so it sees every byte.
  bool Skip(size_t n) { return hook_ ? HookSkip(n) : block_.Skip(n); }

 private:
  bool HookBytes(void *dst, size_t n);
  bool HookSkip(size_t n);

  ByteReader block_;
  PictSource *hook_ = nullptr;
  size_t consumed_ = 0;
  size_t hookLeft_ = 0;
  bool hookFailed_ = false;
};

}  // namespace tstools::pict
