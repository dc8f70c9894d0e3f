// Both list walkers over arbitrary bytes: a string found is a whole Str255 within the data.
#include <cstdlib>

#include "frame/resource_lists.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  uint8_t pattern[8];
  for (long index = 0; index <= 300; ++index) {
    std::string_view s;
    if (tstools::FindListString(data, size, index, s) && (s.empty() || uint8_t(s[0]) + 1u != s.size())) std::abort();
    tstools::FindListPattern(data, size, index, pattern);
  }
  return 0;
}
