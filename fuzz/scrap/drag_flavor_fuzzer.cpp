// Drag flavours come from any program: what the reader finds lies inside the block, and a
// flavour it accepts survives being written and read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "scrap/drag_core.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace tstools::drag;
  std::vector<uint8_t> block(data, data + size);  // exact size: a read past it is caught
  for (FlavorLayout layout : {FlavorLayout::kRaw, FlavorLayout::kLengthPrefixed, FlavorLayout::kMacPict}) {
    FlavorView view = ReadFlavorBlock(layout, block.data(), size);
    if (!view.present) continue;
    if (view.offset > size || view.length > size - view.offset) std::abort();
    if (view.restoreSizeWord && view.length < 2) std::abort();
    std::vector<uint8_t> flavour(block.begin() + view.offset, block.begin() + view.offset + view.length);
    if (view.restoreSizeWord) flavour[0] = view.sizeWord[0], flavour[1] = view.sizeWord[1];
    if (layout == FlavorLayout::kMacPict && flavour.size() < 2) continue;
    std::vector<uint8_t> again(FlavorBlockSize(layout, flavour.size()));
    WriteFlavorBlock(layout, flavour.data(), flavour.size(), again.data());
    FlavorView back = ReadFlavorBlock(layout, again.data(), again.size());
    if (!back.present || back.length != flavour.size()) std::abort();
  }
  return 0;
}
