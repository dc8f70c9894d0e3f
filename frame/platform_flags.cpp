#include "frame/platform_flags.h"

namespace tstools {

PlatformFlags ComputePlatformFlags(unsigned platformId, unsigned major, unsigned minor) {
  PlatformFlags flags;
  switch (platformId) {
    case 0:
      flags.isWin32s = true;
      break;
    case 1:
      flags.isWin9x = true;
      flags.hasNewShell = true;
      flags.isWin98Family = !(major == 4 && minor == 0);
      break;
    case 2:
      flags.isNT = true;
      flags.hasNewShell = major >= 4;
      flags.isNT5 = major >= 5;
      break;
    default:  // an unknown future platform: nothing special assumed
      break;
  }
  return flags;
}

}  // namespace tstools
