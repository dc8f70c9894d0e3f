// Mac region codes of Windows locale identifiers.
#pragma once

#include <cstdint>

namespace tstools {

// The Mac region code of a locale identifier; false when the locale has none.
bool MacRegionForLocale(uint32_t localeId, int16_t &region);

// GetMacCountryCodeFromWin's search: the user locale, then its primary language with the
// default sublanguage (low 8 bits + 0x0400), then the system locale; 0 when none is listed.
int16_t MacRegionFromLocales(uint32_t userLocale, uint32_t systemLocale);

}  // namespace tstools
