// The processor's rounding control, the only home of the SANE rounding direction. The 32-bit
// build computes in x87 and the 64-bit build in SSE, and a host may use either, so a change is
// written to both the x87 control word and MXCSR; it is read back from the unit this build's
// own double arithmetic uses.
#pragma once

namespace tstools::numerics {

// Sets both units to SANE direction 0..3 (to nearest, upward, downward, toward zero).
void SetRoundingDirection(int direction);

// The SANE direction of the unit that governs this build's double arithmetic.
int GetRoundingDirection();

// Restores round-to-nearest for a conversion that must not depend on the host's direction,
// and puts the host's direction back afterwards.
class ScopedNearestRounding {
 public:
  ScopedNearestRounding();
  ~ScopedNearestRounding();
  ScopedNearestRounding(const ScopedNearestRounding &) = delete;
  ScopedNearestRounding &operator=(const ScopedNearestRounding &) = delete;

 private:
  int saved_;
};

}  // namespace tstools::numerics
