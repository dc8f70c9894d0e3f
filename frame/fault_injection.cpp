// The DLL's operator new, with a test-only fault injection point.
//
// The library links its own C++ runtime, so a test program cannot replace the operator new
// that the library's containers use. Instead this one asks a FaultPlan, when there is one.
// A test creates a named file mapping holding the plan and starts a child process with the
// mapping's name in TSTOOLS_FAULT_PLAN; at process attach the library maps it, and the child
// arms the plan through its own view before each call. In a host the variable is absent, the
// plan pointer stays null and each allocation pays one well-predicted test. Nothing is
// exported, and the worst a stray variable can do is make allocations fail, which every
// export reports as its documented failure.
#include <windows.h>

#include <cstdlib>
#include <new>

#include "frame/fault_plan.h"

namespace tstools {
namespace {

FaultPlan *faultPlan = nullptr;

}  // namespace

void AttachFaultPlan() {
  char name[MAX_PATH];
  DWORD n = GetEnvironmentVariableA(kFaultPlanVariable, name, sizeof name);
  if (n == 0 || n >= sizeof name) return;
  HANDLE mapping = OpenFileMappingA(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, name);
  if (!mapping) return;
  faultPlan = static_cast<FaultPlan *>(MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(FaultPlan)));
  CloseHandle(mapping);  // the view keeps the mapping alive
}

void DetachFaultPlan() {
  if (faultPlan) UnmapViewOfFile(faultPlan);
  faultPlan = nullptr;
}

}  // namespace tstools

// What the runtime's own operator new does (malloc, the new-handler, bad_alloc), after the
// plan has had its say. The runtime's operator delete (free) matches it; the nothrow and
// array forms call this one.
void *operator new(std::size_t size) {
  if (tstools::faultPlan && tstools::faultPlan->Refuse()) throw std::bad_alloc();
  if (size == 0) size = 1;
  for (;;) {
    if (void *p = std::malloc(size)) return p;
    std::new_handler handler = std::get_new_handler();
    if (!handler) throw std::bad_alloc();
    handler();
  }
}
