// The profile file (VANTOR.INI) and the shared data directory, both found once per process.
#pragma once

#include <string>

namespace tstools {

// VANTOR.INI in the Windows directory.
const std::string &ProfileFilePath();

// Under Win32s creates VANTOR.INI from the host's "TEMPLATE" text (and the "Vantor"
// directory) when it is missing; false when it cannot be created. Elsewhere always true.
bool PrepareProfileFile();

}  // namespace tstools
