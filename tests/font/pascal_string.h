// A Str255 built from text, for the calls that take Pascal strings.
#pragma once

#include <cstring>
#include <string>

namespace tstools::test {

struct P255 {
  unsigned char bytes[256] = {};
  explicit P255(const std::string &text) {
    bytes[0] = static_cast<unsigned char>(text.size());
    std::memcpy(bytes + 1, text.data(), text.size());
  }
};

}  // namespace tstools::test
