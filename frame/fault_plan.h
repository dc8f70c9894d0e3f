// Test-only allocation failures. A test arms a plan, "refuse the Nth allocation from now",
// and the allocator asks the plan before each allocation (the native tests replace operator
// new in their own program).
#pragma once

namespace tstools {

struct FaultPlan {
  long countdown;  // allocations until the refused one; 0 refuses nothing
  long counted;    // allocations asked for while armed
  long refused;    // allocations refused while armed

  void Arm(long n) {
    countdown = n;
    counted = refused = 0;
  }
  // True when this allocation is the one to refuse.
  bool Refuse() {
    if (countdown <= 0) return false;
    ++counted;
    if (--countdown != 0) return false;
    ++refused;
    return true;
  }
};

}  // namespace tstools
