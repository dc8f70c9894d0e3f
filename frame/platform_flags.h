// Which Windows the library runs on, as the rest of the library asks it.
#pragma once

namespace tstools {

struct PlatformFlags {
  bool isWin32s = false;      // platform 0
  bool isWin9x = false;       // platform 1
  bool isWin98Family = false; // platform 1 other than exactly 4.0
  bool isNT = false;          // platform 2
  bool hasNewShell = false;   // platform 1, or platform 2 from major version 4
  bool isNT5 = false;         // platform 2 from major version 5
};

// The flags for a version record's platform identifier and version numbers.
PlatformFlags ComputePlatformFlags(unsigned platformId, unsigned major, unsigned minor);

}  // namespace tstools
