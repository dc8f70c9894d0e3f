// Line and rectangle-based shape opcodes: lines, rectangles, rounded rectangles, ovals and
// arcs, each on a new rectangle or on the last one.
#include "picture/pict_opcodes.h"
#include "picture/pict_player_internal.h"

namespace tstools::pict {

Player::Step Player::LineOp(uint16_t code) {
  switch (code) {
    case op::kLine: {
      PictPoint a = in_.Point(), b = in_.Point();
      if (Check()) return kEnd;
      return Line(a, b);
    }
    case op::kLineFrom: {
      PictPoint b = in_.Point();
      if (Check()) return kEnd;
      return Line(lastLineEnd_, b);
    }
    case op::kShortLine: {
      PictPoint a = in_.Point();
      int8_t dh = in_.S8(), dv = in_.S8();
      if (Check()) return kEnd;
      return Line(a, {int16_t(a.h + dh), int16_t(a.v + dv)});
    }
    default: {  // ShortLineFrom
      int8_t dh = in_.S8(), dv = in_.S8();
      if (Check()) return kEnd;
      PictPoint a = lastLineEnd_;
      return Line(a, {int16_t(a.h + dh), int16_t(a.v + dv)});
    }
  }
}

Player::Step Player::Line(PictPoint from, PictPoint to) {
  lastLineEnd_ = to;
  PictPoint end = map_.Map(to);
  if (!Drawing()) {
    sink_.SetPenLocation(end);
    return kContinue;
  }
  sink_.MoveTo(map_.Map(from));
  sink_.LineTo(end);
  return kContinue;
}

// The five verbs of the rectangle, rounded-rectangle, oval and arc families, on a new
// rectangle or (the "same" opcodes) on the last one.
Player::Step Player::RectShape(uint16_t code) {
  uint16_t base = code & 0xF0;
  bool same = (code & 0x0F) >= op::kSameOffset;
  if (!same) lastRect_ = map_.Map(in_.Rect());
  int16_t startAngle = 0, arcAngle = 0;
  if (base == op::kArcBase) startAngle = in_.S16(), arcAngle = in_.S16();
  if (Check()) return kEnd;
  if (!Drawing()) {
    sink_.SetPenLocation({lastRect_.right, lastRect_.bottom});
    return kContinue;
  }
  ShapeVerb v = static_cast<ShapeVerb>(code & 7);
  switch (base) {
    case op::kRectBase: sink_.Rect(v, lastRect_, fill_); break;
    case op::kRRectBase:
      if (ovalWidth_ == 0 && ovalHeight_ == 0)
        sink_.Rect(v, lastRect_, fill_);
      else
        sink_.RoundRect(v, lastRect_, ovalWidth_, ovalHeight_, fill_);
      break;
    case op::kOvalBase: sink_.Oval(v, lastRect_, fill_); break;
    default: sink_.Arc(v, lastRect_, startAngle, arcAngle, fill_); break;
  }
  return kContinue;
}

}  // namespace tstools::pict
