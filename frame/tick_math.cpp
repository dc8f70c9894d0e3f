#include "frame/tick_math.h"

namespace tstools {

bool DelayIsDue(uint32_t startMs, uint32_t nowMs, int32_t ticks) {
  uint64_t elapsed = static_cast<uint32_t>(nowMs - startMs);
  return ticks <= 0 || 2 * elapsed >= 33 * static_cast<uint64_t>(ticks);
}

int32_t DelayTicksElapsed(uint32_t startMs, uint32_t nowMs) {
  uint64_t elapsed = static_cast<uint32_t>(nowMs - startMs);
  return static_cast<int32_t>(elapsed * 2 / 33);
}

uint64_t TickState::Extend(uint32_t nowMs) {
  if (nowMs < lastMs) wrapsMs += uint64_t(1) << 32;
  lastMs = nowMs;
  return wrapsMs + nowMs;
}

}  // namespace tstools
