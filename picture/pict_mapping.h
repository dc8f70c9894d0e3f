// Mapping picture coordinates onto the destination rectangle.
#pragma once

#include <cstdint>

#include "picture/pict_stream.h"

namespace tstools::pict {

// round(a * b / c), half away from zero, as Windows' MulDiv: -1 when c is 0 or the result
// does not fit 32 bits.
int32_t MulDiv32(int32_t a, int32_t b, int32_t c);

class PictMapper {
 public:
  // Source frame and destination as left, top, width, height.
  void SetSource(const PictRect &frame) {
    sl_ = frame.left, st_ = frame.top, sw_ = frame.Width(), sh_ = frame.Height();
  }
  void SetDestination(const PictRect &dst) {
    dl_ = dst.left, dt_ = dst.top, dw_ = dst.Width(), dh_ = dst.Height();
  }
  // Origin opcodes add up without limit: 64 bits hold any picture's sum, and the mapped
  // coordinates saturate.
  void OffsetSource(int dh, int dv) { sl_ += dh, st_ += dv; }
  // A source of zero width or height cannot be scaled: nothing is drawn from it.
  bool Degenerate() const { return sw_ == 0 || sh_ == 0; }

  int16_t X(int x) const;
  int16_t Y(int y) const;
  PictPoint Map(PictPoint p) const { return {X(p.h), Y(p.v)}; }
  PictRect Map(const PictRect &r) const { return {X(r.left), Y(r.top), X(r.right), Y(r.bottom)}; }
  // X and Y with 32-bit results (polygon vertices), clamped the same way.
  int32_t Width(int n) const { return MulDiv32(n, dw_, sw_); }
  int32_t Height(int n) const { return MulDiv32(n, dh_, sh_); }

 private:
  int64_t sl_ = 0, st_ = 0;
  int sw_ = 1, sh_ = 1;
  int dl_ = 0, dt_ = 0, dw_ = 1, dh_ = 1;
};

}  // namespace tstools::pict
