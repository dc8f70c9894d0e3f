// Process-wide state written at process attach (or by the host's UI thread) and read by
// the rest of the library.
#pragma once

#include <windows.h>

#include "frame/platform_flags.h"

namespace tstools {

extern HMODULE hostModule;          // the process image that loaded the library
extern HINSTANCE libraryInstance;   // our own module: our pattern lists, cursors, bitmaps
extern HINSTANCE resourceInstance;  // the host's resource module; 0 until the host sets it
extern PlatformFlags platform;
extern OSVERSIONINFOA platformVersion;
extern bool isSecondaryInstance;    // a second process attached to shared data (Win32s)
extern short defaultCodeSet;
extern HRGN scratchRegion;          // empty region: the initial printer clip of every port
extern short hiddenCursorCount;     // times ML_ObscureCursor has hidden the cursor
extern ATOM thePortAtom;            // window property "thePort" names a window's port

}  // namespace tstools
