// The profile file (VANTOR.INI) and the shared data directory, both found once per process.
#pragma once

#include <string>

#include "frame/profile_paths.h"

namespace tstools {

// What the profile has found out once per process. It owns no system object: Reset only
// forgets, so that the next call looks again.
struct ProfileState {
  int profileFile = 0;      // Win32s: 0 not tried, 1 VANTOR.INI ready, -1 cannot be created
  std::string profilePath;  // VANTOR.INI in the Windows directory, once built
  bool discovered = false;  // the directory discovery has run (directoryFound: and succeeded)
  bool directoryFound = false;
  char directory[kPathCapacity] = {};

  void Reset() { *this = ProfileState(); }
};

extern ProfileState profileState;

// VANTOR.INI in the Windows directory.
const std::string &ProfileFilePath();

// Under Win32s creates VANTOR.INI from the host's "TEMPLATE" text (and the "Vantor"
// directory) when it is missing; false when it cannot be created. Elsewhere always true.
bool PrepareProfileFile();

}  // namespace tstools
