// The font table as the rest of the library uses it.
#pragma once

#include <windows.h>

namespace tstools {

// Called by InitFonts when it replaces a table: the graphics ports drop cached fonts that no
// port holds (their numbers may now name other faces), the text engine resets its metric
// cache. Set by those subsystems; null until then.
extern void (*onFontTableReplaced)();
extern void (*onFontTableBuilt)();

// The Type 1 bridge around the creation of a Windows font for an ATM face (type 3); both
// return 0 without the bridge.
int AtmForceExactWidth();
int AtmClearAllForce();

}  // namespace tstools
