// Menu display names of arbitrary paths: the path exactly fills the host's 261-byte buffer (so
// any write past it is caught), the home directory is a separate exact-size copy whose
// claimed length may exceed it, and the result must be a doubled, short enough string.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "frame/display_name.h"

using namespace tstools;

namespace {

size_t DropFirstCharacter(const char *name, char *title, size_t capacity) {
  size_t length = strnlen(name + 1, capacity - 1);
  std::memcpy(title, name + 1, length);
  title[length] = '\0';
  return length;
}

bool OddLead(uint8_t b) { return b & 1; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 4) return 0;
  DisplayNameRequest request;
  request.maxLength = int8_t(data[0]) * 3;
  request.keepName = data[1] & 1;
  request.fileTitle = data[1] & 2 ? DropFirstCharacter : nullptr;
  request.isLeadByte = data[1] & 4 ? OddLead : nullptr;
  request.homeDirLength = data[2] - 16;
  size_t homeSize = std::min<size_t>(data[3], size - 4);
  std::vector<char> home(data + 4, data + 4 + homeSize);
  home.push_back('\0');
  request.homeDir = data[1] & 8 ? nullptr : home.data();
  data += 4 + homeSize, size -= 4 + homeSize;

  std::vector<char> path(kDisplayPathCapacity);
  std::memcpy(path.data(), data, std::min(size, path.size()));  // not always terminated
  size_t length = ShortenDisplayNameInPlace(path.data(), request);
  if (length >= kMenuTextCapacity || std::strlen(path.data()) != length) std::abort();
  return 0;
}
