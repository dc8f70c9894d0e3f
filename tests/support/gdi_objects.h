// Counting the process's live GDI objects, for leak checks around drawing calls.
//
// GetGuiResources answers 0 under Wine. Wine's GDI handles carry the table index in their low
// word and a generation in the high word, and a handle whose high word is zero matches any
// generation, so asking GetObjectType of every index counts the live objects exactly.
// On Windows the documented counter is used.
#pragma once

#include <windows.h>

namespace tstools::test {

inline bool RunningUnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

inline long LiveGdiObjects() {
  if (!RunningUnderWine()) return static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
  long live = 0;
  for (ULONG_PTR index = 1; index < 0x10000; ++index) {
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(index))) ++live;
  }
  return live;
}

}  // namespace tstools::test
