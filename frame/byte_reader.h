// The one reader of outside data (resources, pictures, sounds, clipboard and drag data,
// cache files): a cursor over bytes that knows where they end. The first read past the end
// latches failure; from then on every read yields zeros and touches nothing, so a parser can
// read a whole record and check Failed() once. Portable and header-only: every call inlines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace tstools {

// Loads from bytes whose bounds the caller has already checked.
inline uint16_t LoadU16BE(const uint8_t *p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
inline uint16_t LoadU16LE(const uint8_t *p) { return static_cast<uint16_t>(p[1] << 8 | p[0]); }
inline uint32_t LoadU32BE(const uint8_t *p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}
inline uint32_t LoadU32LE(const uint8_t *p) {
  return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

// The writers' counterparts, into bytes the caller has sized.
inline void StoreU16LE(uint8_t *p, uint32_t v) { p[0] = uint8_t(v), p[1] = uint8_t(v >> 8); }
inline void StoreU16BE(uint8_t *p, uint32_t v) { p[0] = uint8_t(v >> 8), p[1] = uint8_t(v); }
inline void StoreU32LE(uint8_t *p, uint32_t v) { StoreU16LE(p, v), StoreU16LE(p + 2, v >> 16); }
inline void StoreU32BE(uint8_t *p, uint32_t v) { StoreU16BE(p, v >> 16), StoreU16BE(p + 2, v); }

class ByteReader {
 public:
  ByteReader() = default;
  // A null data pointer is an empty span, whatever size says.
  ByteReader(const void *data, size_t size)
      : data_(data ? static_cast<const uint8_t *>(data) : &kNothing), size_(data ? size : 0) {}

  bool Failed() const { return failed_; }
  size_t Position() const { return pos_; }
  size_t Size() const { return size_; }
  size_t Remaining() const { return size_ - pos_; }
  bool AtEnd() const { return pos_ == size_; }

  uint8_t U8() { return Take(1) ? data_[pos_ - 1] : 0; }
  int8_t S8() { return static_cast<int8_t>(U8()); }
  uint16_t U16BE() { const uint8_t *p = Take(2); return p ? LoadU16BE(p) : 0; }
  uint16_t U16LE() { const uint8_t *p = Take(2); return p ? LoadU16LE(p) : 0; }
  int16_t S16BE() { return static_cast<int16_t>(U16BE()); }
  int16_t S16LE() { return static_cast<int16_t>(U16LE()); }
  uint32_t U32BE() { const uint8_t *p = Take(4); return p ? LoadU32BE(p) : 0; }
  uint32_t U32LE() { const uint8_t *p = Take(4); return p ? LoadU32LE(p) : 0; }
  int32_t S32BE() { return static_cast<int32_t>(U32BE()); }
  int32_t S32LE() { return static_cast<int32_t>(U32LE()); }

  // Copies n bytes to dst; on failure dst gets n zeros instead.
  bool Bytes(void *dst, size_t n) {
    const uint8_t *p = Take(n);
    if (n == 0) return !failed_;
    if (p) {
      std::memcpy(dst, p, n);
      return true;
    }
    std::memset(dst, 0, n);
    return false;
  }
  // The next n bytes where they lie (valid as long as the data); null on failure.
  const uint8_t *Span(size_t n) { return Take(n); }
  bool Skip(size_t n) { return Take(n) != nullptr; }
  // A reader over the next n bytes (a length-prefixed block), which this one steps over.
  // Reading past the sub-range fails the sub-range only; a sub-range longer than what is
  // left fails both.
  ByteReader Sub(size_t n) {
    const uint8_t *p = Take(n);
    if (p) return ByteReader(p, n);
    ByteReader failed;
    failed.failed_ = true;
    return failed;
  }
  // A length byte, then that many bytes (a Str255), borrowed; empty on failure.
  std::string_view PascalString() {
    size_t n = U8();
    const uint8_t *p = Take(n);
    return p ? std::string_view(reinterpret_cast<const char *>(p), n) : std::string_view();
  }

 private:
  // The next n bytes, or null once fewer than n are left (latching failure). Never null
  // on success, even for n == 0.
  const uint8_t *Take(size_t n) {
    if (failed_ || n > size_ - pos_) {
      failed_ = true;
      return nullptr;
    }
    const uint8_t *p = data_ + pos_;
    pos_ += n;
    return p;
  }

  static constexpr uint8_t kNothing = 0;
  const uint8_t *data_ = &kNothing;
  size_t size_ = 0;
  size_t pos_ = 0;
  bool failed_ = false;
};

}  // namespace tstools
