// The styled scrap reader over arbitrary bytes: "styl", "TSST", ParaScrap reads, in-place zoom,
// swap and extended-style clearing stay inside the data; a ParaScrap read writes back, reads the
// same and swaps there and back unchanged.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "textedit/styled_scrap.h"

using namespace tstools::text;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  // Exactly sized copies, so a read past the end is seen.
  std::vector<uint8_t> buf(data, data + size);
  int32_t inserted = size ? data[0] : 0;
  auto styl = ReadStyl(buf.data(), buf.size(), inserted, size > 1 && data[1] & 1);
  for (size_t i = 0; i < styl.size(); ++i)
    if ((i == 0 && styl[i].start != 0) || (i > 0 && (styl[i].start <= styl[i - 1].start || styl[i].start >= inserted)))
      abort();
  TsstMode(buf.data(), buf.size());
  auto paras = ReadParaScrap(buf.data(), buf.size(), inserted);
  for (const ParaEntry &e : paras)
    if (e.format.tabCount < 0 || e.format.tabCount > kMaxTabs) abort();
  auto all = ReadParaScrap(buf.data(), buf.size(), -1);
  auto written = WriteParaScrap(all);
  if (ReadParaScrap(written.data(), written.size(), -1).size() != all.size()) abort();
  ParaFormat first;
  FirstParaEntry(buf.data(), buf.size(), &first);
  std::vector<uint8_t> b1 = buf;
  SwapParaScrap(b1.data(), b1.size(), size && (data[size - 1] & 1));
  ZoomParaScrap(b1.data(), b1.size(), [](void *, Fixed f) { return f / 2; }, nullptr);
  ClearExtendedStyles(b1.data(), b1.size());
  // Swapping a well-formed scrap there and back is the identity.
  std::vector<uint8_t> s = written;
  SwapParaScrap(s.data(), s.size(), false);
  SwapParaScrap(s.data(), s.size(), true);
  if (s != written) abort();
  return 0;
}
