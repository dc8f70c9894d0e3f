// ML_DrawPicture plays pictures written by other programs (make_reference_picts.py, at build
// time) to the pixels of the writers' own decoding: at the picture's own size exactly, and
// scaled (wider shrunk, taller stretched) against a nearest-neighbour scaling of the reference.
// This covers the player, the GDI sink and GDI together; pict_corpus_test.cpp plays the same
// pictures under the sanitizers.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "pict_files.h"
#include "picture_surface.h"

namespace tstools::pict::test {
namespace {

// A line of manifest.tsv.
struct Reference {
  std::string name, pict, ppm;
  int tolerance = 0;        // per colour component
  std::string destination;  // "left,top,right,bottom" on the reference, or "-" for all of it
};

std::vector<Reference> References() {
  std::vector<Reference> refs;
  std::ifstream f(std::string(TSTOOLS_PICT_REFS) + "/manifest.tsv");
  for (std::string line; std::getline(f, line);) {
    std::istringstream fields(line);
    Reference r;
    std::string tolerance;
    std::getline(fields, r.name, '\t'), std::getline(fields, r.pict, '\t'), std::getline(fields, r.ppm, '\t');
    std::getline(fields, tolerance, '\t'), std::getline(fields, r.destination, '\t');
    r.tolerance = std::atoi(tolerance.c_str());
    refs.push_back(r);
  }
  return refs;
}

// An RGB image from a binary PPM with maxval 255.
struct RgbImage {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  const uint8_t *At(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};

bool ReadPpm(const std::string &path, RgbImage *image) {
  std::vector<uint8_t> data = ReadFile(path);
  std::string text(data.begin(), data.begin() + std::min<size_t>(data.size(), 64));
  int maxval = 0, consumed = 0;
  if (std::sscanf(text.c_str(), "P6 %d %d %d%n", &image->width, &image->height, &maxval, &consumed) != 3 ||
      maxval != 255)
    return false;
  size_t start = size_t(consumed) + 1, size = size_t(image->width) * image->height * 3;
  if (data.size() < start + size) return false;
  image->rgb.assign(data.begin() + start, data.begin() + start + size);
  return true;
}

// Pixels of dst that match no pixel of the reference's frame within one source pixel of
// where nearest-neighbour sampling takes them from (StretchDIBits and the band edges may round
// a row or column either way). Unscaled, only the very pixel counts.
int Mismatches(const Surface &s, const Rect &dst, const RgbImage &want, const Rect &frame, int tolerance,
               std::string *first) {
  const int dw = dst.right - dst.left, dh = dst.bottom - dst.top;
  const int fw = frame.right - frame.left, fh = frame.bottom - frame.top;
  const int reach = dw == fw && dh == fh ? 0 : 1;
  const uint32_t *pixels = s.pixels();
  int bad = 0;
  for (int y = 0; y < dh; ++y) {
    int fy = int((int64_t(2 * y + 1) * fh) / (2 * dh));
    for (int x = 0; x < dw; ++x) {
      int fx = int((int64_t(2 * x + 1) * fw) / (2 * dw));
      uint32_t p = pixels[size_t(dst.top + y) * s.width() + dst.left + x];
      const int got[3] = {int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF)};
      bool found = false;
      for (int ny = std::max(fy - reach, 0); !found && ny <= std::min(fy + reach, fh - 1); ++ny)
        for (int nx = std::max(fx - reach, 0); !found && nx <= std::min(fx + reach, fw - 1); ++nx) {
          const uint8_t *w = want.At(frame.left + nx, frame.top + ny);
          found = std::abs(w[0] - got[0]) <= tolerance && std::abs(w[1] - got[1]) <= tolerance &&
                  std::abs(w[2] - got[2]) <= tolerance;
        }
      if (!found && bad++ == 0) {
        const uint8_t *w = want.At(frame.left + fx, frame.top + fy);
        char text[96];
        std::snprintf(text, sizeof text, "at %d,%d: %d %d %d instead of %d %d %d", x, y, got[0], got[1], got[2],
                      w[0], w[1], w[2]);
        *first = text;
      }
    }
  }
  return bad;
}

TEST(PictureReferenceDraw, OwnSizeExactlyAndScaledToTheNearestPixel) {
  MemInitZone();
  QDrawCacheInit();
  std::vector<Reference> refs = References();
  ASSERT_FALSE(refs.empty()) << "no manifest in " << TSTOOLS_PICT_REFS;
  int compared = 0;
  for (const Reference &ref : refs) {
    SCOPED_TRACE(ref.name);
    RgbImage want;
    ASSERT_TRUE(ReadPpm(ref.ppm, &want));
    Rect frame{0, 0, short(want.width), short(want.height)};
    if (ref.destination != "-")
      ASSERT_EQ(std::sscanf(ref.destination.c_str(), "%hd,%hd,%hd,%hd", &frame.left, &frame.top, &frame.right,
                            &frame.bottom), 4);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
#ifdef TSTOOLS_REFERENCE_MAX_PIXELS
    if (w * h > TSTOOLS_REFERENCE_MAX_PIXELS) continue;
#endif
    std::vector<uint8_t> block = PictureBlock(ref.pict);
    for (const Rect &dst : {frame, Rect{0, 0, short(std::max(w * 2 / 3, 1)), short(h * 3 / 2)}}) {
      Surface s(dst.right, dst.bottom);
      ASSERT_TRUE(s.ok());
      s.Draw(block, dst);
      std::string first;
      EXPECT_EQ(Mismatches(s, dst, want, frame, ref.tolerance, &first), 0)
          << dst.right - dst.left << "x" << dst.bottom - dst.top << ", first " << first;
    }
    ++compared;
  }
  std::printf("%d of %zu reference pictures compared\n", compared, refs.size());
  EXPECT_GT(compared, 0);
  QDrawCacheClose();
}

}  // namespace
}  // namespace tstools::pict::test
