// GIF import through our player: the pictures the generator wrote (make_test_gifs.py) play
// as ImageMagick renders the well-formed ones and as the importer defines the damaged ones.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "band_canvas.h"
#include "picture/gif_decoder.h"
#include "picture/pict_player.h"
#include "recording_sink.h"

namespace tstools::pict::test {
namespace {

std::vector<uint8_t> Load(const std::string &path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

// Paints rectangles in the current colour too, as the background is painted.
class PaintingSink : public RecordingSink {
 public:
  Canvas canvas;
  uint32_t colour = 0;
  PaintingSink(int w, int h) : canvas(w, h) {}
  void RGBForeColor(const RgbColor &c) override { colour = uint32_t(c.red >> 8) << 16 | (c.green & 0xFF00) | c.blue >> 8; }
  void Rect(ShapeVerb v, const PictRect &r, const Pattern8 &p) override {
    RecordingSink::Rect(v, r, p);
    for (int y = std::max<int>(r.top, 0); y < std::min<int>(r.bottom, canvas.height); ++y)
      for (int x = std::max<int>(r.left, 0); x < std::min<int>(r.right, canvas.width); ++x)
        canvas.rgb[size_t(y) * canvas.width + x] = colour;
  }
  void Image(const ImageBand &b) override {
    RecordingSink::Image(b);
    canvas.Draw(b, imageBits.back());
  }
};

TEST(GifImport, GeneratedFilesPlayAsExpected) {
  std::ifstream manifest(std::string(TSTOOLS_GIF_REFS) + "/manifest.tsv");
  std::string name, expected, background;
  int files = 0;
  while (manifest >> name >> expected >> background) {
    SCOPED_TRACE(name);
    ++files;
    std::vector<uint8_t> gif = Load(std::string(TSTOOLS_GIF_REFS) + "/" + name), pict;
    bool ok = GifToPict(gif.data(), gif.size(), &pict);
    PictRect frame;
    ASSERT_EQ(ok, expected != "none");
    ASSERT_EQ(GifFrame(gif.data(), gif.size(), &frame), name != "not-gif.gif" && name != "side-40000.gif");
    if (!ok) continue;
    // The expected picture: a binary PPM of 8-bit samples with a one-line header.
    std::vector<uint8_t> ppm = Load(std::string(TSTOOLS_GIF_REFS) + "/" + expected);
    std::istringstream head(std::string(ppm.begin(), ppm.begin() + std::min<size_t>(ppm.size(), 32)));
    std::string magic;
    int w = 0, h = 0, max = 0;
    head >> magic >> w >> h >> max;
    ASSERT_EQ(frame, (PictRect{0, 0, int16_t(w), int16_t(h)}));
    PaintingSink sink(w, h);
    ASSERT_EQ(PlayPicture(pict.data(), pict.size(), nullptr, sink, frame).outcome, PlayOutcome::kEnded);
    EXPECT_NE(sink.Joined().find("|rect 1 0,0," + std::to_string(w) + "," + std::to_string(h) + "|"), std::string::npos);
    const uint8_t *rgb = ppm.data() + ppm.size() - size_t(w) * h * 3;
    for (int i = 0; i < w * h; ++i)
      ASSERT_EQ(sink.canvas.rgb[i], uint32_t(rgb[3 * i]) << 16 | rgb[3 * i + 1] << 8 | rgb[3 * i + 2])
          << "pixel " << i % w << "," << i / w;
  }
  EXPECT_GT(files, 20);
}

}  // namespace
}  // namespace tstools::pict::test
