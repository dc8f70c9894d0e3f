// The word finder over any bytes, offsets and modes, with case tables from the input too:
// results stay inside the text, read from a buffer of exactly its size. Flag 16 repeats the
// text past 65,535 bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "frame/byte_reader.h"
#include "textedit/word_finder.h"

using namespace tstools::text;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 7) return 0;
  const auto offset = static_cast<int32_t>(tstools::LoadU32LE(data));
  const uint8_t flags = data[4];
  const size_t typeSize = tstools::LoadU16LE(data + 5), tables = 512 + typeSize;
  size_t at = 7;
  CaseTables cases;
  if (flags & 8 && size - at >= tables) {
    std::unique_ptr<uint8_t[]> copy(new uint8_t[tables]);  // exactly sized
    std::memcpy(copy.get(), data + at, tables);
    cases.Load(copy.get(), 256, copy.get() + 256, 256, copy.get() + 512, typeSize);
    at += tables;
  }
  const size_t piece = size - at, length = flags & 16 && piece ? 70000 + piece - 70000 % piece : piece;
  std::unique_ptr<uint8_t[]> text(new uint8_t[length]);
  for (size_t i = 0; i < length; ++i) text[i] = data[at + i % piece];
  const auto n = static_cast<int32_t>(length);
  const int32_t inside = static_cast<int32_t>(static_cast<uint32_t>(offset) % static_cast<uint32_t>(n + 1));
  for (int32_t where : {offset, inside}) {
    WordRange a = FindWord(text.get(), n, where, flags & 1, flags & 2 ? WordSet::B : WordSet::A);
    WordRange b = FindWordEx(text.get(), n, where, flags >> 2 & 3, cases);
    for (WordRange r : {a, b})
      if (r.start < 0 || r.start > r.end || r.end > n) std::abort();
  }
  return 0;
}
