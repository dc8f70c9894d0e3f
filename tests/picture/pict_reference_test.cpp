// Pictures written by other programs play to the same pixels as those programs' own
// decoding. The build writes the pictures and the references (make_reference_picts.py) and
// lists them in manifest.tsv.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "picture/pict_player.h"
#include "pict_files.h"
#include "raster_sink.h"

namespace tstools::pict::test {
namespace {

struct Reference {
  std::string name, pict, ppm;
  int tolerance = 0;
  // "left,top,right,bottom"; "-" for the reference's own size; "images" for that size, with
  // only the pixels under the picture's images compared.
  std::string destination;
};

std::vector<Reference> Manifest() {
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

// A binary PPM with maxval 255; false if it is anything else.
bool ReadPpm(const std::string &path, int *width, int *height, std::vector<uint8_t> *rgb) {
  std::vector<uint8_t> data = ReadFile(path);
  std::string text(data.begin(), data.begin() + std::min<size_t>(data.size(), 64));
  int maxval = 0, consumed = 0;
  if (std::sscanf(text.c_str(), "P6 %d %d %d%n", width, height, &maxval, &consumed) != 3 ||
      maxval != 255)
    return false;
  size_t start = size_t(consumed) + 1, size = size_t(*width) * *height * 3;
  if (data.size() < start + size) return false;
  rgb->assign(data.begin() + start, data.begin() + start + size);
  return true;
}

TEST(PictReference, PlaysAsTheWritersOwnDecoding) {
  std::vector<Reference> refs = Manifest();
  ASSERT_FALSE(refs.empty()) << "no manifest in " << TSTOOLS_PICT_REFS;
  for (const Reference &ref : refs) {
    SCOPED_TRACE(ref.name);
    int width = 0, height = 0;
    std::vector<uint8_t> want;
    ASSERT_TRUE(ReadPpm(ref.ppm, &width, &height, &want));
    PictRect destination{0, 0, int16_t(width), int16_t(height)};
    if (ref.destination != "-" && ref.destination != "images") {
      int l, t, r, b;
      ASSERT_EQ(std::sscanf(ref.destination.c_str(), "%d,%d,%d,%d", &l, &t, &r, &b), 4);
      destination = {int16_t(l), int16_t(t), int16_t(r), int16_t(b)};
    }
    std::vector<uint8_t> block = PictureBlock(ref.pict);
    RasterSink sink(width, height);
    PlayResult result = PlayPicture(block.data(), block.size(), nullptr, sink, destination);
    EXPECT_EQ(result.outcome, PlayOutcome::kEnded);
    // Only the picture's own frame: the reference's canvas may be larger.
    PictRect compared = destination;
    if (ref.destination == "images") {
      compared = sink.Painted();
      EXPECT_GT(compared.Width(), 0) << "no image drawn";
    }
    size_t differing = 0, first = 0;
    for (int y = std::max<int>(compared.top, 0); y < std::min<int>(compared.bottom, height); ++y)
      for (int x = std::max<int>(compared.left, 0); x < std::min<int>(compared.right, width); ++x)
        for (size_t i = (size_t(y) * width + x) * 3, c = 0; c < 3; ++c, ++i)
          if (std::abs(int(want[i]) - int(sink.Rgb()[i])) > ref.tolerance && differing++ == 0)
            first = i;
    size_t px = first / 3;
    EXPECT_EQ(differing, 0u) << "first at " << px % width << "," << px / width << ": "
                             << int(sink.Rgb()[px * 3]) << " " << int(sink.Rgb()[px * 3 + 1])
                             << " " << int(sink.Rgb()[px * 3 + 2]) << " instead of "
                             << int(want[px * 3]) << " " << int(want[px * 3 + 1]) << " "
                             << int(want[px * 3 + 2]);
  }
}

}  // namespace
}  // namespace tstools::pict::test
