// Clipboard blocks come from any program: the readers stay inside them, and what they find
// fits the block.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "font/charset_tables.h"
#include "scrap/scrap_layouts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace tstools::scrap;
  // An exact-size copy, so that a read past the block is a heap overflow.
  std::vector<uint8_t> block(data, data + size);
  PrefixedData prefixed = ReadPrefixed(block.data(), size);
  if (prefixed.length && (prefixed.data < block.data() || prefixed.data + prefixed.length > block.data() + size))
    std::abort();
  MacPict pict = ReadMacPict(block.data(), size);
  if (pict.length > size || (pict.restore && pict.length + kPictTrailerBytes > size)) std::abort();
  const tstools::MappingPair &roman = tstools::BuiltInMapping(0);
  size_t counted = WinToMacText(block.data(), size, roman.winToMac, nullptr);
  if (WinToMacText(block.data(), size, roman.winToMac, block.data()) != counted || counted > size) std::abort();
  return 0;
}
