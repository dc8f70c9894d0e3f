// PackBits decoding against a byte-at-a-time model: the same row, the same verdict, and no
// access outside the row (ASan sees the row as an exact allocation).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "frame/byte_reader.h"
#include "picture/packbits.h"

namespace {

// unit: 1, or 2 for the 16-bit variant, whose runs count words.
bool Model(tstools::ByteReader in, size_t unit, std::vector<uint8_t> *row, size_t size) {
  row->clear();
  while (row->size() < size && !in.AtEnd()) {
    int n = in.S8();
    size_t count = size_t(n >= 0 ? n + 1 : 1 - n) * unit;
    const uint8_t *data = in.Span(n >= 0 ? count : unit);
    if (!data) break;
    for (size_t i = 0; i < count && row->size() < size; ++i)
      row->push_back(data[n >= 0 ? i : i % unit]);
  }
  bool complete = row->size() == size;
  row->resize(size, 0);
  return complete;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 2) return 0;
  size_t rowSize = size_t(data[0] << 8 | data[1]) % 8192;
  for (size_t unit : {1, 2}) {
    std::vector<uint8_t> row(rowSize), model;
    bool ok = (unit == 1 ? tstools::pict::UnpackBits : tstools::pict::UnpackBits16)(data + 2, size - 2, row.data(), rowSize);
    if (ok != Model(tstools::ByteReader(data + 2, size - 2), unit, &model, rowSize) || row != model) abort();
  }
  return 0;
}
