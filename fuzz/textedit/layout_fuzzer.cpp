// Random text, paragraph formats, tabs and edits from the fuzzer's bytes: every incremental
// relayout must equal a fresh layout.
#include <cstdlib>

#include "tests/textedit/layout_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  size_t at = 0;
  tstools::text::testing::LayoutModel model([&](uint32_t n) -> uint32_t {
    uint32_t v = 0;
    for (int i = 0; i < 3 && at < size; ++i) v = v << 8 | data[at++];
    return n ? v % n : 0;
  });
  while (at < size)
    if (!model.Step()) std::abort();
  return 0;
}
