// The engine's character tables, built from the host's "CONV" and "SMQT" resources.
#include "textedit/case_tables.h"

#include <cstring>

namespace tstools::text {

bool CaseTables::Load(const uint8_t *lowerData, size_t lowerSize, const uint8_t *upperData,
                      size_t upperSize, const uint8_t *typeData, size_t typeSize) {
  if (!lowerData || !upperData || !typeData || lowerSize < 256 || upperSize < 256 ||
      typeSize < 256)
    return false;
  std::vector<uint8_t> typeCopy(typeData, typeData + typeSize);  // may throw: before any change
  std::memcpy(lower, lowerData, 256);
  std::memcpy(upper, upperData, 256);
  types.swap(typeCopy);
  loaded = true;
  return true;
}

void CaseTables::LoadQuotes(const uint8_t *data, size_t size) {
  if (data && size >= sizeof quotes) std::memcpy(quotes, data, sizeof quotes);
}

uint16_t CaseTables::TypeOf(uint8_t c) const {
  if (types.size() < 256) return 0;
  size_t at = 256 + size_t{types[c]};
  if (at >= types.size()) return 0;  // an index past the type bytes
  unsigned t = types[at];
  return static_cast<uint16_t>((t & 0x0F) | (t & 0x70) << 4 | (t & 0x80) << 7);
}

}  // namespace tstools::text
