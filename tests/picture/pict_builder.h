// Writes small PICTs for tests: big-endian values, version-2 opcode padding.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace tstools::pict::test {

class PictBuilder {
 public:
  // A version-2 picture (unless version1) with frame top, left, bottom, right.
  explicit PictBuilder(int16_t top, int16_t left, int16_t bottom, int16_t right,
                       bool version1 = false)
      : version2_(!version1) {
    Word(0);
    Word(top), Word(left), Word(bottom), Word(right);
    if (version2_) {
      Bytes({0x00, 0x11, 0x02, 0xFF});
    } else {
      Bytes({0x11, 0x01});
    }
  }
  PictBuilder &Op(uint16_t op) {
    Pad();
    if (version2_) Word(op); else Byte(uint8_t(op));
    return *this;
  }
  PictBuilder &Byte(uint8_t b) { data_.push_back(b); return *this; }
  PictBuilder &Word(int v) { Byte(uint8_t(v >> 8)); return Byte(uint8_t(v)); }
  PictBuilder &Long(int64_t v) { Word(int(v >> 16)); return Word(int(v)); }
  PictBuilder &Bytes(std::initializer_list<uint8_t> bytes) {
    data_.insert(data_.end(), bytes);
    return *this;
  }
  PictBuilder &Raw(const std::vector<uint8_t> &bytes) {
    data_.insert(data_.end(), bytes.begin(), bytes.end());
    return *this;
  }
  PictBuilder &Rect(int top, int left, int bottom, int right) {
    return Word(top).Word(left).Word(bottom).Word(right);
  }
  PictBuilder &ClipRect(int top, int left, int bottom, int right) {
    return Op(0x01).Word(10).Rect(top, left, bottom, right);
  }
  // The end opcode; the result is the picture block, with its size word.
  std::vector<uint8_t> End() {
    Op(0xFF);
    return Truncated();
  }
  std::vector<uint8_t> Truncated() {
    data_[0] = uint8_t(data_.size() >> 8), data_[1] = uint8_t(data_.size());
    return data_;
  }

 private:
  void Pad() {
    if (version2_ && data_.size() > 14 && data_.size() % 2) data_.push_back(0);
  }
  bool version2_;
  std::vector<uint8_t> data_;
};

}  // namespace tstools::pict::test
