// Mac ticks (60ths of a second) from the system's 32-bit millisecond count, which wraps every
// 49.7 days. All arithmetic is 64-bit: a 32-bit ms x 6 product wraps after 8.3 days of uptime.
#pragma once

#include <cstdint>

namespace tstools {

constexpr uint64_t MillisecondsToTicks(uint64_t ms) { return ms * 6 / 100; }

// Delay waits 16.5 ms per tick, counted from the unsigned difference of two 32-bit readings so
// that a wrap of the counter between them changes nothing. A count of 0 or less is due at once.
bool DelayIsDue(uint32_t startMs, uint32_t nowMs, int32_t ticks);

// The time between two readings in Delay's ticks of 16.5 ms (what Delay reports).
int32_t DelayTicksElapsed(uint32_t startMs, uint32_t nowMs);

// Extends the 32-bit millisecond count to 64 bits, so tick counts run on across its wrap. Each
// reading must come within 49.7 days of the previous one, which any running host's calls give.
struct TickState {
  uint32_t lastMs = 0;
  uint64_t wrapsMs = 0;  // 2^32 for each wrap seen

  uint64_t Extend(uint32_t nowMs);
  void Reset() { *this = TickState(); }
};

}  // namespace tstools
