// A deliberately plain reference for MemMunger on a std::vector, for the munger fuzz target:
// each case spelled out with vector operations, so byte shuffling or bounds errors differ.
#pragma once

#include <algorithm>
#include <vector>

namespace tstools::memory::model {

inline long Munger(std::vector<char> &v, long offset, const char *p1, long len1, const char *p2,
                   long len2, long maxSize) {
  const long size = static_cast<long>(v.size());
  if (offset < 0) return -1;
  if (len1 < 0 && !p1 && p2 && len2 >= 1) {  // replace the tail
    if (static_cast<long long>(offset) + len2 > maxSize) return -1;
    v.resize(static_cast<size_t>(offset), 0);
    v.insert(v.end(), p2, p2 + len2);
    return offset + len2;
  }
  if (len1 == 0 && p2 && len2 >= 1) {  // insert
    if (static_cast<long long>(std::max(size, offset)) + len2 > maxSize) return -1;
    if (offset > size) v.resize(static_cast<size_t>(offset), 0);
    v.insert(v.begin() + offset, p2, p2 + len2);
    return offset + len2;
  }
  if (size < 1 || offset > size) return -1;
  long pos = -1, target = 0;
  if (p1) {
    target = len1;
    for (long q = offset; len1 > 0 && q + len1 <= size; ++q)
      if (std::equal(p1, p1 + len1, v.begin() + q)) {
        pos = q;
        break;
      }
  } else {
    pos = offset;
    target = len1 < 0 ? size - offset : std::min(len1, size - offset);
  }
  if (!p2) return pos;
  if (pos < 0 || len2 < 0) return -1;
  if (static_cast<long long>(size) - target + len2 > maxSize) return -1;
  std::vector<char> replacement(p2, p2 + len2);  // p2 may point into v
  v.erase(v.begin() + pos, v.begin() + pos + target);
  v.insert(v.begin() + pos, replacement.begin(), replacement.end());
  return pos + len2;
}

}  // namespace tstools::memory::model
