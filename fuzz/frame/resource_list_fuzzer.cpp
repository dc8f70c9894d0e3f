// Both list walkers over arbitrary bytes: a string found is a whole Str255 within the data.
#include <cstdlib>
#include <vector>

#include "frame/resource_lists.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  uint8_t pattern[8];
  for (long index = 0; index <= 300; ++index) {
    std::string_view s;
    if (tstools::FindListString(data, size, index, s) && (s.empty() || uint8_t(s[0]) + 1u != s.size())) std::abort();
    tstools::FindListPattern(data, size, index, pattern);
  }
  // Converting the strings in place keeps every length byte, so the same strings are found.
  std::vector<uint8_t> copy(data, data + size);
  uint8_t table[256];
  for (int i = 0; i < 256; ++i) table[i] = uint8_t(255 - i);
  tstools::MapListStrings(copy.data(), copy.size(), table);
  for (long index = 1; index <= 300; ++index) {
    std::string_view a, b;
    if (tstools::FindListString(data, size, index, a) != tstools::FindListString(copy.data(), copy.size(), index, b) ||
        a.size() != b.size())
      std::abort();
  }
  return 0;
}
