#include <windows.h>

#include <cstring>

#include "frame/library_globals.h"
#include "tstools/frame.h"

namespace tstools {
namespace {

// Top-level windows of a running copy of the host have a class name starting "TSAPP3".
BOOL CALLBACK FindHostWindow(HWND window, LPARAM found) {
  char className[16] = {};
  if (GetClassNameA(window, className, sizeof className) >= 6 &&
      std::strncmp(className, "TSAPP3", 6) == 0) {
    *reinterpret_cast<bool *>(found) = true;
    return FALSE;
  }
  return TRUE;
}

}  // namespace
}  // namespace tstools

using namespace tstools;

Boolean WINAPI SetTSToolsResourceInstance(HINSTANCE instance) {
  if (isSecondaryInstance) return FALSE;
  if (platform.isWin32s) {
    bool found = false;
    EnumWindows(FindHostWindow, reinterpret_cast<LPARAM>(&found));
    if (found) return FALSE;
  }
  resourceInstance = instance;
  return TRUE;
}

Boolean WINAPI TSToolsGetStartupState(TSToolsStartupState *state) {
  if (!state || state->size < sizeof(TSToolsStartupState)) return FALSE;
  state->platformId = platformVersion.dwPlatformId;
  state->majorVersion = platformVersion.dwMajorVersion;
  state->minorVersion = platformVersion.dwMinorVersion;
  state->isWin32s = platform.isWin32s;
  state->isWin9x = platform.isWin9x;
  state->isWin98Family = platform.isWin98Family;
  state->isNT = platform.isNT;
  state->hasNewShell = platform.hasNewShell;
  state->isNT5 = platform.isNT5;
  state->isSecondaryInstance = isSecondaryInstance;
  state->reserved = 0;
  state->defaultCodeSet = defaultCodeSet;
  state->hostModule = hostModule;
  state->libraryInstance = libraryInstance;
  state->resourceInstance = resourceInstance;
  return TRUE;
}
