// The pictures written by other programs at build time (make_reference_picts.py) and the
// writers' own decoding of each, as listed in manifest.tsv.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "pict_files.h"
#include "picture/pict_stream.h"

namespace tstools::pict::test {

struct Reference {
  std::string name, pict, ppm;
  int tolerance = 0;  // per colour component
  // "left,top,right,bottom"; "-" for the reference's own size; "images" for that size, with
  // only the pixels under the picture's images compared.
  std::string destination;
};

inline std::vector<Reference> References() {
  std::vector<Reference> refs;
  std::ifstream f(std::string(TSTOOLS_PICT_REFS) + "/manifest.tsv");
  std::string line;
  while (std::getline(f, line)) {
    std::istringstream fields(line);
    Reference r;
    std::string tolerance;
    std::getline(fields, r.name, '\t'), std::getline(fields, r.pict, '\t');
    std::getline(fields, r.ppm, '\t'), std::getline(fields, tolerance, '\t');
    std::getline(fields, r.destination, '\t');
    r.tolerance = std::atoi(tolerance.c_str());
    refs.push_back(r);
  }
  return refs;
}

// Where a reference's picture is played on a canvas of the reference's size.
inline bool ReferenceDestination(const Reference &ref, int width, int height, PictRect *dst) {
  *dst = {0, 0, int16_t(width), int16_t(height)};
  if (ref.destination == "-" || ref.destination == "images") return true;
  int l, t, r, b;
  if (std::sscanf(ref.destination.c_str(), "%d,%d,%d,%d", &l, &t, &r, &b) != 4) return false;
  *dst = {int16_t(l), int16_t(t), int16_t(r), int16_t(b)};
  return true;
}

// An RGB image read from a binary PPM with maxval 255.
struct RgbImage {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  const uint8_t *At(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};

inline bool ReadPpm(const std::string &path, RgbImage *image) {
  std::vector<uint8_t> data = ReadFile(path);
  std::string text(data.begin(), data.begin() + std::min<size_t>(data.size(), 64));
  int maxval = 0, consumed = 0;
  if (std::sscanf(text.c_str(), "P6 %d %d %d%n", &image->width, &image->height, &maxval,
                  &consumed) != 3 ||
      maxval != 255)
    return false;
  size_t start = size_t(consumed) + 1, size = size_t(image->width) * image->height * 3;
  if (data.size() < start + size) return false;
  image->rgb.assign(data.begin() + start, data.begin() + start + size);
  return true;
}

inline bool Near(const uint8_t *a, const uint8_t *b, int tolerance) {
  for (int c = 0; c < 3; ++c)
    if (std::abs(int(a[c]) - int(b[c])) > tolerance) return false;
  return true;
}

}  // namespace tstools::pict::test
