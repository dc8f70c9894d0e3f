// PICT files on disk: a 512-byte header (usually) before the picture block.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace tstools::pict::test {

inline std::vector<uint8_t> ReadFile(const std::string &path) {
  std::ifstream f(path, std::ios::binary | std::ios::ate);
  std::vector<uint8_t> data(f ? size_t(f.tellg()) : 0);
  f.seekg(0);
  f.read(reinterpret_cast<char *>(data.data()), std::streamsize(data.size()));
  return data;
}

// The picture block of a file, without the 512-byte header when it has one.
inline std::vector<uint8_t> PictureBlock(const std::string &path) {
  std::vector<uint8_t> data = ReadFile(path);
  auto versionAt = [&](size_t at) {  // 0x11 0x01, or 0x00 0x11 0x02 0xFF
    return data.size() > at + 3 && ((data[at] == 0x11 && data[at + 1] == 0x01) ||
                                     (data[at] == 0 && data[at + 1] == 0x11 && data[at + 2] == 2));
  };
  if (versionAt(522) && !versionAt(10)) data.erase(data.begin(), data.begin() + 512);
  return data;
}

}  // namespace tstools::pict::test
