// The demo host: loads TSTOOLS.DLL with our host resource module and reports what the
// library detected about the platform.
#include <windows.h>

#include <cstdio>

#include "tstools/tstools.h"

namespace {

const char *PlatformName(const TSToolsStartupState &s) {
  if (s.isWin32s) return "Win32s";
  if (s.isWin9x) return s.isWin98Family ? "Windows 98 family" : "Windows 95";
  if (s.isNT) return s.isNT5 ? "Windows NT 5 or later" : "Windows NT";
  return "unknown";
}

}  // namespace

int main() {
  HMODULE resources = LoadLibraryExA("TSHOSTRES.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!resources) {
    std::printf("TSHOSTRES.DLL not found beside the host\n");
    return 1;
  }
  if (!SetTSToolsResourceInstance(resources)) {
    std::printf("another copy of the host is running\n");
    return 1;
  }
  InitToolUtil();

  TSToolsStartupState state = {};
  state.size = sizeof state;
  TSToolsGetStartupState(&state);
  char name[64] = {};
  LoadStringA(resources, 10000, name, sizeof name);
  std::printf("TSTOOLS.DLL loaded (%d-bit)\n", static_cast<int>(sizeof(void *) * 8));
  std::printf("platform:        %s (id %lu, version %lu.%lu)\n", PlatformName(state),
              state.platformId, state.majorVersion, state.minorVersion);
  std::printf("flags:           win32s=%d win9x=%d win98family=%d nt=%d newshell=%d nt5=%d\n",
              state.isWin32s, state.isWin9x, state.isWin98Family, state.isNT, state.hasNewShell,
              state.isNT5);
  std::printf("character set:   %u (code set %d)\n", GetDefaultSystemCharSet(),
              state.defaultCodeSet);
  std::printf("resource module: %s (settings section \"%s\")\n",
              state.resourceInstance == resources ? "TSHOSTRES.DLL" : "not set", name);
  FreeLibrary(resources);
  return 0;
}
