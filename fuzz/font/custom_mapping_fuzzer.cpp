// Custom mapping tables come from a file the installation names: whatever they hold, the
// loader either refuses them or yields a pair that round-trips every byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "font/charset.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  tstools::MappingPair pair = tstools::BuiltInMapping(0);
  if (tstools::ParseCustomMapping(reinterpret_cast<const char *>(data), size, pair) == tstools::TableLoadError::kNone) {
    for (int b = 0; b < 256; ++b) {
      if (pair.winToMac[pair.macToWin[b]] != b) std::abort();
      if (b < 0x80 && pair.macToWin[b] != b) std::abort();
    }
  } else {
    if (pair.macToWin != tstools::BuiltInMapping(0).macToWin) std::abort();
  }
  return 0;
}
