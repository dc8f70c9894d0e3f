// PICT files on disk: a 512-byte header (usually) before the picture block.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tstools::pict::test {

// The picture block of a file, without the 512-byte header when it has one.
inline std::vector<uint8_t> PictureBlock(const std::string &path) {
  std::ifstream f(path, std::ios::binary);
  std::vector<uint8_t> data{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
  auto versionAt = [&](size_t at) {  // 0x11 0x01, or 0x00 0x11 0x02 0xFF
    return data.size() > at + 3 && ((data[at] == 0x11 && data[at + 1] == 0x01) ||
                                     (data[at] == 0 && data[at + 1] == 0x11 && data[at + 2] == 2));
  };
  if (versionAt(522) && !versionAt(10)) data.erase(data.begin(), data.begin() + 512);
  return data;
}

}  // namespace tstools::pict::test
