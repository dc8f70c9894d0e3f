// The library's entry point. Attach runs under the loader lock, so it only creates the few
// globals that ports need before the host's own initialisation calls.
#include <windows.h>

#include "frame/fault_plan.h"
#include "frame/library_globals.h"
#include "tstools/codeset.h"
#include "tstools/font.h"
#include "menu/popup_classes.h"
#include "tstools/popup_menu.h"

namespace tstools {
namespace {

void ReleaseGraphicsGlobals() {
  if (scratchRegion) {
    DeleteObject(scratchRegion);
    scratchRegion = nullptr;
  }
  if (thePortAtom) {
    GlobalDeleteAtom(thePortAtom);
    thePortAtom = 0;
  }
}

BOOL ProcessAttach(HINSTANCE instance) {
  // Under Win32s the library's data is shared by every process that loads it: a second
  // process finds it already set up and must not reinitialise it.
  if (platform.isWin32s) {
    isSecondaryInstance = true;
    return TRUE;
  }
  AttachFaultPlan();
  hostModule = GetModuleHandleA(nullptr);
  libraryInstance = instance;

  scratchRegion = CreateRectRgn(0, 0, 0, 0);
  hiddenCursorCount = 0;
  thePortAtom = GlobalAddAtomA("thePort");
  if (!scratchRegion || !thePortAtom) {
    ReleaseGraphicsGlobals();
    DetachFaultPlan();
    return FALSE;
  }
  if (InitPopupMenus(libraryInstance) != 0) {
    ReleaseGraphicsGlobals();
    DetachFaultPlan();
    return FALSE;
  }

  platformVersion = {};
  platformVersion.dwOSVersionInfoSize = sizeof platformVersion;
  GetVersionExA(&platformVersion);
  platform = ComputePlatformFlags(platformVersion.dwPlatformId, platformVersion.dwMajorVersion,
                                  platformVersion.dwMinorVersion);
  defaultCodeSet = VIUWinCharSetToCodeSet(GetDefaultSystemCharSet());
  return TRUE;
}

void ProcessDetach(bool processExiting) {
  if (isSecondaryInstance) return;
  ReleaseGraphicsGlobals();
  DetachFaultPlan();
  // On FreeLibrary the classes must go with the code of their window procedures, or a
  // later load of the library could not register them again. At process exit USER
  // cleans up by itself and must not be called.
  if (!processExiting) ShutdownPopupMenus();
}

}  // namespace
}  // namespace tstools

static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record the platform flags come from");

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      return tstools::ProcessAttach(instance);
    case DLL_PROCESS_DETACH:
      tstools::ProcessDetach(reserved != nullptr);
      return TRUE;
    default:
      return TRUE;
  }
}
