// A small version-2 picture, 20 x 20, on which playback allocates at every kind of step: a
// non-rectangular clip, a font name too long to sit inside a string, text, a polygon, a
// region, and a packed 8-bit pixel map with a colour table and a mask region.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace tstools::test {

inline std::vector<uint8_t> FaultPicture() {
  std::vector<uint8_t> p;
  auto words = [&p](std::initializer_list<int> values) {
    for (int v : values) p.insert(p.end(), {uint8_t(v >> 8), uint8_t(v)});
  };
  // An L: 10 x 10 at the top left over the whole width of the lower half.
  auto region = [&] { words({36, 0, 0, 20, 20, 0, 0, 10, 0x7FFF, 10, 10, 20, 0x7FFF, 20, 0, 20, 0x7FFF, 0x7FFF}); };
  words({0, 0, 0, 20, 20, 0x0011, 0x02FF, 0x0001});  // size (set last), frame, version 2, clip
  region();
  const char face[] = "A Face Named At Length";  // font 7
  words({0x002C, int(2 + sizeof face), 7});
  p.push_back(uint8_t(sizeof face - 1));
  p.insert(p.end(), face, face + sizeof face - 1 + (sizeof face % 2));  // and a pad byte
  words({0x0028, 15, 5});  // text at (5, 15), and a pad byte
  p.insert(p.end(), {2, 'H', 'i', 0});
  words({0x0070, 22, 0, 0, 20, 20, 0, 0, 0, 19, 19, 0, 0x0081});  // frame a triangle, paint the L
  region();
  words({0x0099, 0x8008, 0, 0, 4, 8, 0, 0, 0, 0, 0x48, 0, 0x48, 0, 0, 8, 1, 8, 0, 0, 0, 0, 0, 0,  // pixel map
         0, 0, 0, 1, 0, 0xFFFF, 0xFFFF, 0xFFFF, 1, 0xFFFF, 0, 0,                           // white, red
         0, 0, 4, 8, 2, 2, 6, 10, 0});                                                     // rects, copy
  region();
  for (int row = 0; row < 4; ++row) p.insert(p.end(), {2, 0xF9, 1});  // eight red pixels a row
  words({0x00FF});
  p[0] = uint8_t(p.size() >> 8), p[1] = uint8_t(p.size());
  return p;
}

}  // namespace tstools::test
