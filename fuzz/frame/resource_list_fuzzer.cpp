// Both list walkers over arbitrary bytes: every entry found lies within the data.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "frame/resource_lists.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  for (long index = 0; index <= 300; ++index) {
    std::string_view s;
    if (tstools::FindListString(data, size, index, s) &&
        (s.empty() || uint8_t(s[0]) + 1u != s.size() || s.data() + s.size() > reinterpret_cast<const char *>(data) + size))
      std::abort();
    uint8_t pattern[8];
    if (tstools::FindListPattern(data, size, index, pattern) && size < 2 + size_t(index) * 8) std::abort();
  }
  return 0;
}
