// Display names of arbitrary paths in exactly the host's 261 bytes, with an exact-size home directory
// that may claim more: nothing read or written outside them, the result short enough for a menu.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "frame/display_name.h"

using namespace tstools;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 4) return 0;
  size_t homeSize = std::min<size_t>(data[3], size - 4);
  std::vector<char> home(data + 4, data + 4 + homeSize), path(kDisplayPathCapacity);
  home.push_back('\0');
  FileTitleFunction dropFirst = [](const char *name, char *title, size_t) { return std::strlen(std::strcpy(title, name + 1)); };
  LeadBytePredicate oddLead = [](uint8_t b) { return bool(b & 1); };
  DisplayNameRequest request{int8_t(data[0]) * 3, data[1] & 8 ? nullptr : home.data(), data[2] - 16L, bool(data[1] & 1),
                             data[1] & 2 ? dropFirst : nullptr, data[1] & 4 ? oddLead : nullptr};
  std::memcpy(path.data(), data + 4 + homeSize, std::min(size - 4 - homeSize, path.size()));  // maybe unterminated
  size_t length = ShortenDisplayNameInPlace(path.data(), request);
  if (length >= kMenuTextCapacity || std::strlen(path.data()) != length) std::abort();
  return 0;
}
