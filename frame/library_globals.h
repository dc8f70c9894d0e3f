// Process-wide state written at process attach (or by the host's UI thread) and read by
// the rest of the library.
#pragma once

#include <windows.h>

#include "frame/platform_flags.h"

namespace tstools {

struct FrameState {
  HMODULE hostModule = nullptr;          // the process image that loaded the library
  HINSTANCE libraryInstance = nullptr;   // our own module: our pattern lists, cursors, bitmaps
  HINSTANCE resourceInstance = nullptr;  // the host's resource module; 0 until the host sets it
  PlatformFlags platform;
  OSVERSIONINFOA platformVersion = {};
  bool isSecondaryInstance = false;      // a second process attached to shared data (Win32s)
  short defaultCodeSet = 0;
  HRGN scratchRegion = nullptr;          // empty region: the initial printer clip of every port
  short hiddenCursorCount = 0;           // times ML_ObscureCursor has hidden the cursor
  ATOM thePortAtom = 0;                  // window property "thePort" names a window's port

  // Deletes the region and the atom made at attach and forgets the rest (the modules are
  // the process's and the host's, not ours to free). Process detach calls it.
  void Reset();
};

extern FrameState frameState;

// The names the drawing code uses, bound to frameState's fields.
extern PlatformFlags &platform;
extern HRGN &scratchRegion;
extern short &hiddenCursorCount;
extern ATOM &thePortAtom;

}  // namespace tstools
