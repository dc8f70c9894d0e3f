#include "frame/library_globals.h"

namespace tstools {

HMODULE hostModule = nullptr;
HINSTANCE libraryInstance = nullptr;
HINSTANCE resourceInstance = nullptr;
PlatformFlags platform;
OSVERSIONINFOA platformVersion = {};
bool isSecondaryInstance = false;
short defaultCodeSet = 0;
HRGN scratchRegion = nullptr;
short hiddenCursorCount = 0;
ATOM thePortAtom = 0;

}  // namespace tstools
