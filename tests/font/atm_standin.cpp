// Stand-in for the Type 1 bridge module, built for the tests: the library finds it by its
// decorated entry point names. It accepts no face and reports its rasteriser running;
// StandInCalls tells how it was called.
#include <windows.h>

namespace {
LONG availableCalls = 0, loadedCalls = 0;
}  // namespace

extern "C" {

int WINAPI StandInFontAvailable(LPCSTR, int, int, int, int) { return ++availableCalls, 0; }
int WINAPI StandInProperlyLoaded() { return ++loadedCalls, 1; }
int WINAPI StandInForceExactWidth() { return 0; }
int WINAPI StandInClearAllForce() { return 0; }

// FontAvailable calls, then ProperlyLoaded calls.
__declspec(dllexport) void StandInCalls(LONG counts[2]) {
  counts[0] = availableCalls;
  counts[1] = loadedCalls;
}

}  // extern "C"
