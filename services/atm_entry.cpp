#include "services/atm_entry.h"

namespace tstools::services {

std::string_view OutlinePathFromAtmEntry(const char *value, size_t length, size_t bufferBytes) {
  // The profile reader returns bufferBytes - 1 (or - 2 for lists) when it had to cut.
  if (!value || bufferBytes < 2 || length >= bufferBytes - 2) return {};
  std::string_view entry(value, length);
  entry = entry.substr(0, entry.find('\0'));
  const size_t comma = entry.find(',');
  if (comma == std::string_view::npos) return {};
  const std::string_view path = entry.substr(comma + 1);
  if (path.size() >= 260) return {};
  return path;
}

}  // namespace tstools::services
