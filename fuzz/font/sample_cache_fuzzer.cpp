// The font sample cache file: any bytes are opened without crashing or hanging, and a file
// the codec accepted is still accepted after stores, a removal and a close.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "font/sample_cache.h"

using namespace tstools::fontcache;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  MemoryFile file;
  file.bytes.assign(data, data + size);
  SampleCache cache(FoldedCompare);
  if (cache.Open(file, true) != OpenResult::kOk) return 0;

  std::vector<uint8_t> bits;
  for (const CacheEntry &entry : cache.Entries()) {
    bits.resize(entry.header.BitsBytes());
    if (!cache.ReadBits(entry, bits.data())) std::abort();
  }
  // A sample sized by the input, under a name the file may already hold.
  SampleHeader header;
  header.width = 1 + size % 300;
  header.height = 1 + size % 13;
  header.rowBytes = uint32_t(WordAlignedRowBytes(header.width));
  bits.assign(header.BitsBytes(), 0x5A);
  const char *name = cache.Entries().empty() ? "Face" : cache.Entries()[0].name;
  if (size % 3 == 0 && !cache.Entries().empty()) cache.Remove(int(size % cache.Entries().size()));
  cache.Store(name, kKindTrueType, header, bits.data(), nullptr);
  cache.Store("Another Face", kKindDevice, header, bits.data(), nullptr);
  size_t count = cache.Entries().size();
  if (!cache.Close()) std::abort();

  SampleCache again(FoldedCompare);
  if (again.Open(file, false) != OpenResult::kOk || again.Entries().size() != count) std::abort();
  for (const CacheEntry &entry : again.Entries()) {
    bits.resize(entry.header.BitsBytes());
    if (!again.ReadBits(entry, bits.data())) std::abort();
  }
  return 0;
}
