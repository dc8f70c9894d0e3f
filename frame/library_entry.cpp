// The library's entry point. Attach runs under the loader lock, so it only creates the few
// globals that ports need before the host's own initialisation calls.
#include <windows.h>

#include "frame/fault_plan.h"
#include "frame/library_globals.h"
#include "tstools/codeset.h"
#include "tstools/font.h"
#include "menu/popup_classes.h"
#include "quickdraw/themed_drawer.h"
#include "picture/recording_state.h"
#include "tstools/popup_menu.h"

namespace tstools {
namespace {

BOOL ProcessAttach(HINSTANCE instance) {
  FrameState &state = frameState;
  // Under Win32s the library's data is shared by every process that loads it: a second
  // process finds it already set up and must not reinitialise it.
  if (state.platform.isWin32s) {
    state.isSecondaryInstance = true;
    return TRUE;
  }
  AttachFaultPlan();
  state.hostModule = GetModuleHandleA(nullptr);
  state.libraryInstance = instance;

  state.scratchRegion = CreateRectRgn(0, 0, 0, 0);
  state.hiddenCursorCount = 0;
  state.thePortAtom = GlobalAddAtomA("thePort");
  if (!state.scratchRegion || !state.thePortAtom || InitPopupMenus(instance) != 0) {
    state.Reset();
    DetachFaultPlan();
    return FALSE;
  }

  state.platformVersion = {};
  state.platformVersion.dwOSVersionInfoSize = sizeof state.platformVersion;
  GetVersionExA(&state.platformVersion);
  state.platform = ComputePlatformFlags(state.platformVersion.dwPlatformId, state.platformVersion.dwMajorVersion,
                                        state.platformVersion.dwMinorVersion);
  state.defaultCodeSet = VIUWinCharSetToCodeSet(GetDefaultSystemCharSet());
  pict::InstallRecording();  // ports opened without a surface record pictures
  return TRUE;
}

void ProcessDetach(bool processExiting) {
  if (frameState.isSecondaryInstance) return;
  frameState.Reset();
  DetachFaultPlan();
  // On FreeLibrary the classes must go with the code of their window procedures, or a
  // later load of the library could not register them again. At process exit USER
  // cleans up by itself and must not be called.
  if (!processExiting) ShutdownPopupMenus();
  // The themed drawer's bitmaps and brushes go with the library on FreeLibrary.
  if (!processExiting) qd::themeState.Reset();
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
