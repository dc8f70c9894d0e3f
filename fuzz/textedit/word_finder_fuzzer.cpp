// The word finder over any bytes, offsets and modes, with case tables made of the input too:
// results stay inside the text and no byte outside it is read (the text sits in a buffer of
// exactly its size). A flag repeats the text past 65,535 bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "frame/byte_reader.h"
#include "textedit/word_finder.h"

using namespace tstools::text;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  tstools::ByteReader in(data, size);
  const int32_t offset = in.S32LE();
  const uint8_t flags = in.U8();
  const uint16_t typeSize = in.U16LE();
  if (in.Failed()) return 0;
  CaseTables cases;
  size_t at = in.Position();
  if (flags & 8 && size - at >= 512u + typeSize) {
    std::vector<uint8_t> tables(data + at, data + at + 512 + typeSize);  // exactly sized
    cases.Load(tables.data(), 256, tables.data() + 256, 256, tables.data() + 512, typeSize);
    at += 512u + typeSize;
  }
  std::vector<uint8_t> piece(data + at, data + size);
  std::vector<uint8_t> text = piece;
  if (flags & 16 && !piece.empty()) {
    text.resize(70000 + piece.size() - 70000 % piece.size());
    for (size_t i = piece.size(); i < text.size(); ++i) text[i] = piece[i % piece.size()];
  }
  auto length = static_cast<int32_t>(text.size());
  uint8_t *bytes = text.empty() ? nullptr : new uint8_t[text.size()];
  if (bytes) std::memcpy(bytes, text.data(), text.size());

  int32_t inside = length ? static_cast<int32_t>(static_cast<uint32_t>(offset) % static_cast<uint32_t>(length + 1)) : 0;
  for (int32_t where : {offset, inside}) {
    WordRange r = FindWord(bytes, length, where, flags & 1, flags & 2 ? WordSet::B : WordSet::A);
    if (r.start < 0 || r.start > r.end || r.end > length) std::abort();
    r = FindWordEx(bytes, length, where, flags >> 2 & 3, cases);
    if (r.start < 0 || r.start > r.end || r.end > length) std::abort();
  }
  delete[] bytes;
  return 0;
}
