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

// An RGB image from a binary PPM with maxval 255.
struct RgbImage {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  const uint8_t *At(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};

bool ReadPpm(const std::string &path, RgbImage *image) {
  std::ifstream f(path, std::ios::binary);
  std::string magic;
  int maxval = 0;
  f >> magic >> image->width >> image->height >> maxval;
  f.get();  // the one whitespace byte before the pixels
  image->rgb.resize(size_t(image->width) * image->height * 3);
  f.read(reinterpret_cast<char *>(image->rgb.data()), std::streamsize(image->rgb.size()));
  return f && magic == "P6" && maxval == 255;
}

// Pixels of dst that match no pixel of the reference's frame within one source pixel of
// where nearest-neighbour sampling takes them from (StretchDIBits and the band edges may round
// a row or column either way). Unscaled, only the very pixel counts. *first: where the first is.
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
      bool found = false;
      for (int ny = std::max(fy - reach, 0); !found && ny <= std::min(fy + reach, fh - 1); ++ny)
        for (int nx = std::max(fx - reach, 0); !found && nx <= std::min(fx + reach, fw - 1); ++nx) {
          const uint8_t *w = want.At(frame.left + nx, frame.top + ny);
          found = std::abs(w[0] - int(p >> 16 & 0xFF)) <= tolerance && std::abs(w[1] - int(p >> 8 & 0xFF)) <= tolerance &&
                  std::abs(w[2] - int(p & 0xFF)) <= tolerance;
        }
      if (!found && bad++ == 0) *first = std::to_string(x) + "," + std::to_string(y);
    }
  }
  return bad;
}

TEST(PictureReferenceDraw, OwnSizeExactlyAndScaledToTheNearestPixel) {
  MemInitZone();
  QDrawCacheInit();
  std::ifstream manifest(std::string(TSTOOLS_PICT_REFS) + "/manifest.tsv");
  int listed = 0, compared = 0;
  // name, picture, reference PPM, tolerance per component, frame on the reference or "-"
  for (std::string line, name, pict, ppm, tolerance, frameText; std::getline(manifest, line); ++listed) {
    std::istringstream fields(line);
    std::getline(fields, name, '\t'), std::getline(fields, pict, '\t'), std::getline(fields, ppm, '\t');
    std::getline(fields, tolerance, '\t'), std::getline(fields, frameText, '\t');
    SCOPED_TRACE(name);
    RgbImage want;
    ASSERT_TRUE(ReadPpm(ppm, &want));
    Rect frame{0, 0, short(want.width), short(want.height)};
    ASSERT_TRUE(frameText == "-" || std::sscanf(frameText.c_str(), "%hd,%hd,%hd,%hd", &frame.left, &frame.top,
                                                &frame.right, &frame.bottom) == 4);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
#ifdef TSTOOLS_REFERENCE_MAX_PIXELS
    if (w * h > TSTOOLS_REFERENCE_MAX_PIXELS) continue;
#endif
    std::vector<uint8_t> block = PictureBlock(pict);
    for (const Rect &dst : {frame, Rect{0, 0, short(std::max(w * 2 / 3, 1)), short(h * 3 / 2)}}) {
      Surface s(dst.right, dst.bottom);
      ASSERT_TRUE(s.ok());
      s.Draw(block, dst);
      std::string first;
      EXPECT_EQ(Mismatches(s, dst, want, frame, std::atoi(tolerance.c_str()), &first), 0)
          << dst.right - dst.left << "x" << dst.bottom - dst.top << ", first at " << first;
    }
    ++compared;
  }
  std::printf("%d of %d reference pictures compared\n", compared, listed);
  EXPECT_GT(compared, 0) << "no manifest in " << TSTOOLS_PICT_REFS;
  QDrawCacheClose();
}

}  // namespace
}  // namespace tstools::pict::test
