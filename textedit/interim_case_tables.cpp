// INTERIM (removed when the character tables are merged): copies the tables when they are
// long enough, else fails.
#include <cstring>

#include "textedit/case_tables.h"

namespace tstools::text {

bool CaseTables::Load(const uint8_t *l, size_t ls, const uint8_t *u, size_t us, const uint8_t *t,
                      size_t ts) {
  if (!l || !u || !t || ls < 256 || us < 256 || ts < 256) return false;
  std::memcpy(lower, l, 256);
  std::memcpy(upper, u, 256);
  types.assign(t, t + ts);
  loaded = true;
  return true;
}

void CaseTables::LoadQuotes(const uint8_t *data, size_t size) {
  if (data && size >= 6) std::memcpy(quotes, data, 6);
}

uint16_t CaseTables::TypeOf(uint8_t) const { return 0; }

}  // namespace tstools::text
