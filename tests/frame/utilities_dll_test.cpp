// The utility exports through TSTOOLS.DLL: Delay and TickCount against the system clock, and
// the debugging output and breaks of the stubs and DebugStr, seen by a vectored handler.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tstools/tstools.h"

namespace {

#ifdef _WIN64  // the 32-bit suite does not run this program
std::vector<std::string> debugOutput;  // messages, and "(break)" for each breakpoint

// OutputDebugString raises DBG_PRINTEXCEPTION_C (length with terminator, text) for a debugger;
// noted, then left to the system's own handler. Breakpoints are noted and stepped over.
LONG CALLBACK WatchDebugEvents(EXCEPTION_POINTERS *info) {
  const EXCEPTION_RECORD &r = *info->ExceptionRecord;
  if (r.ExceptionCode == DBG_PRINTEXCEPTION_C && r.NumberParameters >= 2 && r.ExceptionInformation[0] > 0)
    debugOutput.emplace_back(reinterpret_cast<const char *>(r.ExceptionInformation[1]), r.ExceptionInformation[0] - 1);
  if (r.ExceptionCode != EXCEPTION_BREAKPOINT) return EXCEPTION_CONTINUE_SEARCH;
  DWORD64 &next = info->ContextRecord->Rip;  // systems differ on whether it is past the int3
  if (debugOutput.emplace_back("(break)"), *reinterpret_cast<const unsigned char *>(next) == 0xCC) ++next;
  return EXCEPTION_CONTINUE_EXECUTION;
}

// The longest DebugStr string ends at a page that cannot be read: nothing past its length may be.
TEST(Utilities, StubsAndDebugStrWriteTheirMessages) {
  PVOID watch = AddVectoredExceptionHandler(1, WatchDebugEvents);
  EXPECT_EQ(KeyTrans(nullptr, 0xBEEF, nullptr), 0xBEEF);
  for (long result : {long(DTInstall(nullptr)), long(Dequeue(nullptr, nullptr)), SetCurrentA5(), SetA5(0)})
    EXPECT_EQ(result, -1);
  SetTrapAddress(0, 0), NSetTrapAddress(0, 0, 0), Enqueue(nullptr, nullptr), SetUpA5(), RestoreA5(), Restart();
  void *pages = VirtualAlloc(VirtualAlloc(nullptr, 8192, MEM_RESERVE, PAGE_NOACCESS), 4096, MEM_COMMIT, PAGE_READWRITE);
  DebugStr(static_cast<unsigned char *>(std::memset(static_cast<char *>(pages) + 4096 - 256, 255, 256)));
  DebugStr(nullptr);
  RemoveVectoredExceptionHandler(watch);
  const std::vector<std::string> expected = {
      "KeyTrans not finished.\n", "DTInstall not finished.\n", "Dequeue not finished.\n", "SetCurrentA5 not finished.\n",
      "SetA5 not finished", "SetTrapAddress not finished.\n", "NSetTrapAddress not finished\n", "Enqueue not finished.\n",
      "SetUpA5 not finished", "RestoreA5 not finished", "Restart not finished", std::string(255, '\xFF') + "\n", "(break)",
      "\n", "(break)"};
  EXPECT_EQ(debugOutput, expected);
}
#endif

TEST(Utilities, DelayAndTickCountFollowTheClock) {
  long stored = -1;
  unsigned long ticksBefore = TickCount();
  DWORD start = GetTickCount();
  long returned = Delay(60, &stored);
  DWORD waited = GetTickCount() - start;
  unsigned long grown = TickCount() - ticksBefore;
  std::printf("Delay(60): %lu ms, %ld ticks stored; TickCount grew %lu\n", waited, stored, grown);
  EXPECT_TRUE(returned == stored && waited >= 990 && stored >= 60 && stored < 600 && grown >= 59 && grown < 600);
}

}  // namespace
