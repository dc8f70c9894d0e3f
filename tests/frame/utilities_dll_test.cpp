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

// OutputDebugString raises DBG_PRINTEXCEPTION_C (length with terminator, text) for a debugger
// to see; a vectored handler sees it first and leaves it to the system's own handler.
class DebugWatch {
 public:
  DebugWatch() : handler_(AddVectoredExceptionHandler(1, Watch)) { output.clear(), breaks = 0; }
  ~DebugWatch() { RemoveVectoredExceptionHandler(handler_); }
  static std::vector<std::string> output;
  static int breaks;

 private:
  static LONG CALLBACK Watch(EXCEPTION_POINTERS *info) {
    const EXCEPTION_RECORD &r = *info->ExceptionRecord;
    if (r.ExceptionCode == DBG_PRINTEXCEPTION_C && r.NumberParameters >= 2 && r.ExceptionInformation[0] > 0) {
      output.emplace_back(reinterpret_cast<const char *>(r.ExceptionInformation[1]), r.ExceptionInformation[0] - 1);
      return EXCEPTION_CONTINUE_SEARCH;
    }
    if (r.ExceptionCode != EXCEPTION_BREAKPOINT) return EXCEPTION_CONTINUE_SEARCH;
    ++breaks;  // step over the int3; systems differ on whether the context is already past it
#ifdef _WIN64
    DWORD64 &next = info->ContextRecord->Rip;
#else
    DWORD &next = info->ContextRecord->Eip;
#endif
    if (*reinterpret_cast<const unsigned char *>(next) == 0xCC) ++next;
    return EXCEPTION_CONTINUE_EXECUTION;
  }
  PVOID handler_;
};
std::vector<std::string> DebugWatch::output;
int DebugWatch::breaks;

TEST(Utilities, StubsWriteTheirMessagesAndReturn) {
  DebugWatch watch;
  EXPECT_EQ(KeyTrans(nullptr, 0xBEEF, nullptr), 0xBEEF);
  EXPECT_EQ(DTInstall(nullptr), -1);
  SetTrapAddress(0, 0);
  NSetTrapAddress(0, 0, 0);
  Enqueue(nullptr, nullptr);
  EXPECT_EQ(Dequeue(nullptr, nullptr), -1);
  EXPECT_EQ(SetCurrentA5(), -1);
  EXPECT_EQ(SetA5(0), -1);
  SetUpA5();
  RestoreA5();
  Restart();
  const std::vector<std::string> expected = {
      "KeyTrans not finished.\n",     "DTInstall not finished.\n", "SetTrapAddress not finished.\n",
      "NSetTrapAddress not finished\n", "Enqueue not finished.\n",  "Dequeue not finished.\n",
      "SetCurrentA5 not finished.\n", "SetA5 not finished",        "SetUpA5 not finished",
      "RestoreA5 not finished",       "Restart not finished"};
  EXPECT_EQ(watch.output, expected);
}

// The longest string ends at a page that cannot be read: nothing past the length may be.
TEST(Utilities, DebugStrWritesItsStringThenBreaks) {
  DebugWatch watch;
  auto *pages = static_cast<unsigned char *>(VirtualAlloc(nullptr, 8192, MEM_COMMIT, PAGE_READWRITE));
  ASSERT_NE(pages, nullptr);
  DWORD old = 0;
  ASSERT_TRUE(VirtualProtect(pages + 4096, 4096, PAGE_NOACCESS, &old));
  unsigned char *message = pages + 4096 - 256;
  message[0] = 255;
  std::memset(message + 1, 'x', 255);
  DebugStr(message);
  DebugStr(nullptr);
  VirtualFree(pages, 0, MEM_RELEASE);
  EXPECT_EQ(watch.output, (std::vector<std::string>{std::string(255, 'x') + "\n", "\n"}));
  EXPECT_EQ(watch.breaks, 2);
}

TEST(Utilities, DelayAndTickCountFollowTheClock) {
  long stored = -1;
  unsigned long ticksBefore = TickCount();
  DWORD start = GetTickCount();
  long returned = Delay(60, &stored);
  DWORD waited = GetTickCount() - start;
  unsigned long ticksGrown = TickCount() - ticksBefore;
  std::printf("Delay(60): %lu ms, %ld ticks stored; TickCount grew %lu\n", waited, stored, ticksGrown);
  EXPECT_EQ(returned, stored);
  EXPECT_GE(waited, 990u);
  EXPECT_GE(stored, 60);  // loose upper bounds: a busy machine only makes the wait longer
  EXPECT_LT(stored, 600);
  EXPECT_GE(ticksGrown, 59u);
  EXPECT_LT(ticksGrown, 600u);
}

TEST(Utilities, DisplayNameThroughTheSystemFileTitle) {
  char path[261] = "C:\\Reports\\2026\\Q4\\Tom & Jerry.txt";
  EXPECT_EQ(GetDisplayName(path, 30, "c:\\reports\\", 11, false), 31);
  EXPECT_STREQ(path, "C:\\Reports\\...\\Tom && Jerry.txt");
}

}  // namespace
