#include "frame/resource_lists.h"

#include <cstring>

#include "frame/byte_reader.h"

namespace tstools {

ResourceState &Resources() {
  static ResourceState state;
  return state;
}

bool FindListString(const uint8_t *data, size_t size, long index, std::string_view &out) {
  ByteReader list(data, size);
  uint16_t count = list.U16LE();
  if (list.Failed() || index < 1 || index > count) return false;
  for (long i = 1; i < index && !list.Failed(); ++i) list.Skip(list.U8());
  size_t start = list.Position();
  list.Skip(list.U8());
  if (list.Failed()) return false;
  out = std::string_view(reinterpret_cast<const char *>(data) + start, list.Position() - start);
  return true;
}

void MapListStrings(uint8_t *data, size_t size, const uint8_t *table) {
  ByteReader list(data, size);
  uint16_t count = list.U16LE();
  for (uint16_t i = 0; i < count && !list.Failed(); ++i) {
    size_t length = list.U8(), start = list.Position();
    if (!list.Span(length)) break;
    for (size_t k = start; k < start + length; ++k) data[k] = table[data[k]];
  }
}

bool FindListPattern(const uint8_t *data, size_t size, long index, uint8_t dst[8]) {
  ByteReader list(data, size);
  uint16_t count = list.U16LE();
  if (list.Failed() || index < 1 || index > count) return false;
  list.Skip(size_t(index - 1) * 8);
  const uint8_t *pattern = list.Span(8);
  if (!pattern) return false;
  std::memcpy(dst, pattern, 8);
  return true;
}

}  // namespace tstools
