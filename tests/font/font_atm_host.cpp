// A fresh host for the font table: prints every entry's type by name ("type:<face>=<type>")
// and, when the Type 1 bridge stand-in was loaded, its call counters.
#include <windows.h>

#include <cstdio>

#include "tstools/tstools.h"

int main() {
  HMODULE resources = LoadLibraryExA("TSHOSTRES.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!resources || !SetTSToolsResourceInstance(resources)) return 2;
  InitFonts();
  for (short n = 0; GetCharSet(n) != -1 || n < 2; ++n) {
    unsigned char name[256];
    unsigned short type = 0;
    GetFontName(n, name);
    GetFontType(n, &type);
    std::printf("type:%.*s=%u\n", name[0], name + 1, type);
  }
  HMODULE bridge = GetModuleHandleA("TSATM32.DLL");
  std::printf("bridge=%d\n", bridge ? 1 : 0);
  if (bridge) {
    auto calls = reinterpret_cast<void(__cdecl *)(LONG *)>(reinterpret_cast<void *>(GetProcAddress(bridge, "StandInCalls")));
    LONG counts[2] = {};
    if (calls) calls(counts);
    std::printf("calls=%ld,%ld\n", counts[0], counts[1]);
  }
  return 0;
}
