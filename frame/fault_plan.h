// Test-only allocation failures. A test arms a plan, "refuse the Nth allocation from now",
// and the allocator asks the plan before each allocation. The native tests replace operator
// new in their own program; the DLL's own operator new (frame/fault_injection.cpp) finds a
// plan only when a test program asked for one through the environment (see there), so a
// host's allocations cost one test of a null pointer.
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

// The environment variable naming the file mapping that holds a test's plan.
constexpr char kFaultPlanVariable[] = "TSTOOLS_FAULT_PLAN";

// Called at process attach and detach: maps and unmaps the plan, if a test asked for one.
void AttachFaultPlan();
void DetachFaultPlan();

}  // namespace tstools
