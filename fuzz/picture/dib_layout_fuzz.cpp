// The DIB locator on arbitrary blocks: whatever it accepts, the table and the bits it names
// are read whole (ASan sees the block as an exact allocation) and lie after the header.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "picture/dib_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::vector<uint8_t> block(data, data + size);
  tstools::pict::DibLayout dib;
  if (!tstools::pict::LocateDib(block.data(), block.size(), &dib)) return 0;
  size_t entry = dib.headerSize == 12 ? 3 : 4;
  if (dib.colorsOffset < dib.headerSize || dib.bitsOffset < dib.colorsOffset + dib.colorCount * entry)
    abort();
  unsigned sum = 0;
  for (size_t i = dib.colorsOffset; i < dib.bitsOffset + dib.bitsSize; ++i) sum += block[i];
  return int(sum & 0);
}
