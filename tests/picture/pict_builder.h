// Writes small PICTs for tests: big-endian values, version-2 opcode padding.
#pragma once

#include <cstdint>
#include <vector>

namespace tstools::pict::test {

class PictBuilder {
 public:
  // A version-2 picture (unless version1) with frame top, left, bottom, right.
  explicit PictBuilder(int16_t top, int16_t left, int16_t bottom, int16_t right,
                       bool version1 = false)
      : version2_(!version1) {
    Word(0).Rect(top, left, bottom, right);
    Bytes(version2_ ? std::vector<uint8_t>{0x00, 0x11, 0x02, 0xFF} : std::vector<uint8_t>{0x11, 0x01});
  }
  PictBuilder &Op(uint16_t op) {
    if (version2_ && data_.size() > 14 && data_.size() % 2) data_.push_back(0);
    return version2_ ? Word(op) : Byte(uint8_t(op));
  }
  PictBuilder &Byte(uint8_t b) { data_.push_back(b); return *this; }
  PictBuilder &Word(int v) { Byte(uint8_t(v >> 8)); return Byte(uint8_t(v)); }
  PictBuilder &Long(int64_t v) { Word(int(v >> 16)); return Word(int(v)); }
  PictBuilder &Bytes(const std::vector<uint8_t> &bytes) {
    data_.insert(data_.end(), bytes.begin(), bytes.end());
    return *this;
  }
  PictBuilder &Rect(int top, int left, int bottom, int right) {
    return Word(top).Word(left).Word(bottom).Word(right);
  }
  PictBuilder &ClipRect(int top, int left, int bottom, int right) {
    return Op(0x01).Word(10).Rect(top, left, bottom, right);
  }
  // A pixel map's header from its rowBytes word to its reserved longs, at 72 dpi: direct
  // pixels (16 or 32 bits) in three components, indexed ones in one.
  PictBuilder &PixMap(int rowBytes, int top, int left, int bottom, int right, int pixelSize,
                      int packType = 0) {
    const bool direct = pixelSize > 8;
    Word(0x8000 | rowBytes).Rect(top, left, bottom, right).Word(0).Word(packType).Long(0);
    Long(72 << 16).Long(72 << 16).Word(direct ? 16 : 0).Word(pixelSize).Word(direct ? 3 : 1);
    return Word(pixelSize == 32 ? 8 : pixelSize == 16 ? 5 : pixelSize).Long(0).Long(0).Long(0);
  }
  // The end opcode; the result is the picture block, with its size word.
  std::vector<uint8_t> End() { return Op(0xFF).Truncated(); }
  std::vector<uint8_t> Truncated() {
    data_[0] = uint8_t(data_.size() >> 8), data_[1] = uint8_t(data_.size());
    return data_;
  }

 private:
  bool version2_;
  std::vector<uint8_t> data_;
};

}  // namespace tstools::pict::test
