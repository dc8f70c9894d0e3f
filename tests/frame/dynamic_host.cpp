// A host that loads TSTOOLS.DLL at run time and reaches its exports only by their exported
// names, as one built with another compiler would; prints key=value lines, exits 0 if all worked.
#include <windows.h>

#include <cstdio>

#include "tstools/frame.h"

#ifdef _WIN64
#define EXPORT_NAME(name, bytes) #name
#else
#define EXPORT_NAME(name, bytes) "_" #name "@" #bytes
#endif

namespace {

int failures = 0;

void Report(const char *key, long value) { std::printf("%s=%ld\n", key, value); }

void Require(bool ok, const char *what) {
  if (!ok) std::printf("FAILED: %s\n", what), ++failures;
}

// Debugger() raises a breakpoint; step over it so the host goes on.
LONG CALLBACK SkipBreakpoint(EXCEPTION_POINTERS *info) {
  if (info->ExceptionRecord->ExceptionCode != EXCEPTION_BREAKPOINT) return EXCEPTION_CONTINUE_SEARCH;
  Report("debugger_break", 1);
  auto next = reinterpret_cast<DWORD_PTR>(info->ExceptionRecord->ExceptionAddress) + 1;
#ifdef _WIN64
  info->ContextRecord->Rip = next;
#else
  info->ContextRecord->Eip = next;
#endif
  return EXCEPTION_CONTINUE_EXECUTION;
}

// Registered for every module of the process, with room for the popup's pointer-sized slots.
bool PopupClassesRegistered(HINSTANCE library) {
  WNDCLASSA popup, item;
  return GetClassInfoA(library, "TSAPP3POPUP", &popup) && GetClassInfoA(library, "TSAPP3POPUPITEM", &item) &&
         (popup.style & item.style & CS_GLOBALCLASS) && (popup.style & CS_SAVEBITS) && (item.style & CS_CLASSDC) &&
         popup.cbWndExtra == 7 * int(sizeof(LONG_PTR)) && item.cbWndExtra == 5 * int(sizeof(LONG_PTR));
}

void *Resolve(HMODULE library, const char *name) {
  void *fn = reinterpret_cast<void *>(GetProcAddress(library, name));
  Require(fn != nullptr, name);
  return fn;
}

}  // namespace

int main() {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  HMODULE library = LoadLibraryA("TSTOOLS.DLL");
  if (!library) return std::printf("FAILED: LoadLibrary TSTOOLS.DLL (error %lu)\n", GetLastError()), 2;
  auto getState = reinterpret_cast<Boolean(WINAPI *)(TSToolsStartupState *)>(
      Resolve(library, EXPORT_NAME(TSToolsGetStartupState, 4)));
  auto setResources = reinterpret_cast<Boolean(WINAPI *)(HINSTANCE)>(
      Resolve(library, EXPORT_NAME(SetTSToolsResourceInstance, 4)));
  auto initToolUtil = reinterpret_cast<void(WINAPI *)()>(Resolve(library, EXPORT_NAME(InitToolUtil, 0)));
  auto debugger = reinterpret_cast<void(WINAPI *)()>(Resolve(library, EXPORT_NAME(Debugger, 0)));
  if (failures) return 2;

  initToolUtil();
  TSToolsStartupState state = {};
  state.size = sizeof state - 1;
  Require(!getState(nullptr) && !getState(&state), "a missing or too small record is refused");
  state.size = sizeof state;
  Require(getState(&state), "TSToolsGetStartupState");
  // platform version win32s win9x win98family nt newshell nt5 secondary
  std::printf("flags=%ld %lu.%lu %d %d %d %d %d %d %d\n", static_cast<long>(state.platformId), state.majorVersion,
              state.minorVersion, state.isWin32s, state.isWin9x, state.isWin98Family, state.isNT, state.hasNewShell,
              state.isNT5, state.isSecondaryInstance);
  Report("codeset", state.defaultCodeSet);
  Require(state.libraryInstance == library && state.hostModule == GetModuleHandleA(nullptr), "module handles");
  Require(state.resourceInstance == nullptr, "no resource module before the host sets one");
  Require(PopupClassesRegistered(library), "popup classes registered at attach");
  Require(GlobalFindAtomA("thePort") != 0, "the thePort atom exists");

  HMODULE resources = LoadLibraryExA("TSHOSTRES.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (state.isWin32s) {
    // A window of a running host's class makes the library refuse a second copy.
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TSAPP3MAIN";
    RegisterClassA(&wc);
    HWND other = CreateWindowA("TSAPP3MAIN", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    Report("set_beside_running_host", setResources(resources));
    DestroyWindow(other);
  }
  Report("set_resource_instance", resources && setResources(resources));
  Require(getState(&state) && state.resourceInstance == resources, "resource instance stored");

  PVOID handler = AddVectoredExceptionHandler(1, SkipBreakpoint);
  debugger();
  RemoveVectoredExceptionHandler(handler);

  // The library must unload cleanly and load again in the same process.
  FreeLibrary(library);
  Report("classes_after_unload", PopupClassesRegistered(library));
  library = LoadLibraryA("TSTOOLS.DLL");
  Report("reloaded", library != nullptr && PopupClassesRegistered(library));
  if (library) FreeLibrary(library);
  if (resources) FreeLibrary(resources);
  Report("failures", failures);
  return failures ? 1 : 0;
}
