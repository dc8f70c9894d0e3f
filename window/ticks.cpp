// Mac ticks from the system's millisecond counts. GetTickCount, not GetTickCount64: the library
// loads on systems that lack the latter, and TickState extends the 32-bit count itself.
#include <windows.h>

#include "frame/tick_math.h"
#include "tstools/ticks.h"

namespace tstools {
TickState tickState;
}  // namespace tstools

using namespace tstools;

unsigned long WINAPI TickCount(void) {
  return static_cast<unsigned long>(MillisecondsToTicks(tickState.Extend(GetTickCount())));
}

unsigned long WINAPI GetCaretTime(void) {
  return static_cast<unsigned long>(MillisecondsToTicks(GetCaretBlinkTime()));
}

unsigned long WINAPI GetDblTime(void) {
  return static_cast<unsigned long>(MillisecondsToTicks(GetDoubleClickTime()));
}

long WINAPI Delay(long ticks, long *finalTicks) {
  DWORD start = GetTickCount(), now = start;
  while (!DelayIsDue(start, now, ticks)) {
    Sleep(0);  // the rest of the time slice to any other ready thread; the wait stays busy
    now = GetTickCount();
  }
  long elapsed = DelayTicksElapsed(start, now);
  if (finalTicks) *finalTicks = elapsed;
  return elapsed;
}
