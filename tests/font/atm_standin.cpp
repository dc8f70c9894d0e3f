// Stand-in for the Type 1 bridge module, built for the tests: the library finds it by its
// decorated entry point names. Which faces it accepts comes from the environment variable
// TSATM_STANDIN_FACES ("Face A;Face B"); TSATM_STANDIN_NOT_RUNNING=1 reports the rasteriser
// as stopped. StandInCalls reports how it was called.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

LONG availableCalls = 0, badArguments = 0, loadedCalls = 0, forceCalls = 0, clearCalls = 0;

bool Listed(const char *face) {
  const char *faces = std::getenv("TSATM_STANDIN_FACES");
  if (!faces || !face) return false;
  std::string list = std::string(";") + faces + ";";
  return list.find(std::string(";") + face + ";") != std::string::npos;
}

}  // namespace

extern "C" {

int WINAPI StandInFontAvailable(LPCSTR face, int weight, int a, int b, int c) {
  ++availableCalls;
  if (weight != 400 || a || b || c) ++badArguments;
  return Listed(face) ? 1 : 0;
}

int WINAPI StandInProperlyLoaded() {
  ++loadedCalls;
  const char *off = std::getenv("TSATM_STANDIN_NOT_RUNNING");
  return off && *off == '1' ? 0 : 1;
}

int WINAPI StandInForceExactWidth() { return ++forceCalls; }
int WINAPI StandInClearAllForce() { return ++clearCalls; }

// Counters in this order: FontAvailable calls, calls with unexpected arguments,
// ProperlyLoaded, ForceExactWidth, ClearAllForce.
__declspec(dllexport) void StandInCalls(LONG counts[5]) {
  counts[0] = availableCalls;
  counts[1] = badArguments;
  counts[2] = loadedCalls;
  counts[3] = forceCalls;
  counts[4] = clearCalls;
}

}  // extern "C"
