// Text opcodes: a count byte and characters at a location given whole (LongText) or as
// unsigned steps from the last one.
#include "picture/pict_opcodes.h"
#include "picture/pict_player_internal.h"

namespace tstools::pict {

Player::Step Player::TextOp(uint16_t code) {
  PictPoint location = textLocation_;
  if (code == op::kLongText) {
    location = in_.Point();
  } else {
    uint8_t dh = code == op::kDVText ? 0 : in_.U8();
    uint8_t dv = code == op::kDHText ? 0 : in_.U8();
    location = {int16_t(location.h + dh), int16_t(location.v + dv)};
  }
  uint8_t count = in_.U8();
  in_.Bytes(text_, count);
  if (Check()) return kEnd;
  textLocation_ = location;
  if (Drawing()) {
    PictPoint pen = sink_.PenLocation();
    sink_.MoveTo(map_.Map(location));
    sink_.Text(text_, count);
    sink_.MoveTo(pen);
  }
  return kContinue;
}

}  // namespace tstools::pict
