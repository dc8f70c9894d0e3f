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
  if (frameState.isSecondaryInstance) return FALSE;
  if (frameState.platform.isWin32s) {
    bool found = false;
    EnumWindows(FindHostWindow, reinterpret_cast<LPARAM>(&found));
    if (found) return FALSE;
  }
  frameState.resourceInstance = instance;
  return TRUE;
}

Boolean WINAPI TSToolsGetStartupState(TSToolsStartupState *state) {
  if (!state || state->size < sizeof(TSToolsStartupState)) return FALSE;
  state->platformId = frameState.platformVersion.dwPlatformId;
  state->majorVersion = frameState.platformVersion.dwMajorVersion;
  state->minorVersion = frameState.platformVersion.dwMinorVersion;
  state->isWin32s = frameState.platform.isWin32s;
  state->isWin9x = frameState.platform.isWin9x;
  state->isWin98Family = frameState.platform.isWin98Family;
  state->isNT = frameState.platform.isNT;
  state->hasNewShell = platform.hasNewShell;
  state->isNT5 = frameState.platform.isNT5;
  state->isSecondaryInstance = frameState.isSecondaryInstance;
  state->reserved = 0;
  state->defaultCodeSet = frameState.defaultCodeSet;
  state->hostModule = frameState.hostModule;
  state->libraryInstance = frameState.libraryInstance;
  state->resourceInstance = frameState.resourceInstance;
  return TRUE;
}
