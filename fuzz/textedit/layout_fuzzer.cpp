// Random text, paragraph formats, tabs and edits from the fuzzer's bytes: every incremental
// relayout must equal a fresh layout.
#include <cstdio>
#include <cstdlib>

#include "tests/textedit/layout_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  size_t at = 0;
  auto rand = [&](uint32_t n) -> uint32_t {
    if (!n) return 0;
    uint32_t v = 0;
    for (int i = 0; i < 3 && at < size; ++i) v = v << 8 | data[at++];
    return v % n;
  };
  tstools::text::testing::LayoutModel model(rand);
  while (at < size) {
    std::string why = model.Step();
    if (!why.empty()) {
      std::fprintf(stderr, "relayout differs: %s\n", why.c_str());
      std::abort();
    }
  }
  return 0;
}
