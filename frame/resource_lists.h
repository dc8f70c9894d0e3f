// String lists and pattern lists as resources hold them, read within the resource's real
// size (a count or a length byte that claims more than is there finds nothing), and the
// one-entry caches that keep the last list of each kind. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tstools {

// String list: a 16-bit little-endian count, then that many strings, each a length byte and
// its characters. The index-th string (from 1), length byte included, as it lies in data.
// False when index is below 1 or above the count, or the string does not lie wholly within
// size bytes.
bool FindListString(const uint8_t *data, size_t size, long index, std::string_view &out);

// Converts the characters of every string that lies wholly within size bytes through table
// (256 entries), leaving the count and the length bytes alone.
void MapListStrings(uint8_t *data, size_t size, const uint8_t *table);

// Pattern list: a 16-bit little-endian count, then 8-byte patterns. Copies pattern index
// (from 1) to dst; false, dst untouched, when index is out of range or the pattern lies past
// size bytes.
bool FindListPattern(const uint8_t *data, size_t size, long index, uint8_t dst[8]);

// A copy of one loaded list and what it was loaded as. A copy, not the module's memory:
// the host may free the module while the list is cached.
struct CachedList {
  uintptr_t module = 0;
  long id = 0;
  std::string type;
  std::vector<uint8_t> bytes;
  bool loaded = false;
  int mapping = -1;  // string lists: the character mapping their characters were converted by

  // Type names are a few characters: compared here, without a library call, since a cached
  // lookup is meant to cost a fraction of a LoadString.
  bool Holds(uintptr_t m, long i, const char *t) const {
    if (!loaded || module != m || id != i) return false;
    size_t k = 0;
    for (; k < type.size(); ++k)
      if (type[k] != t[k]) return false;
    return t[k] == 0;
  }
};

struct ResourceState {
  CachedList strings;   // ML_GetIndString's last list
  CachedList patterns;  // ML_GetIndPattern's last list

  void Reset() { *this = ResourceState(); }
};
ResourceState &Resources();

}  // namespace tstools
