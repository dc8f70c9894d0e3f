// JPEG import and export through libjpeg, checked against Debian's djpeg and cjpeg: the
// pictures play back (our player) as djpeg's float decoding of the same file.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "band_canvas.h"
#include "picture/clut256.h"
#include "picture/jpeg_error.h"
#include "picture/jpeg_export.h"
#include "picture/jpeg_import.h"
#include "picture/pict_player.h"
#include "recording_sink.h"

namespace tstools::pict::test {
namespace {

#define TSTOOLS_CLUT256_ENTRY(r, g, b) PictRgb{r, g, b},
const PictRgb kClut256[256] = {TSTOOLS_CLUT256(TSTOOLS_CLUT256_ENTRY)};

std::vector<uint8_t> ReadFile(const std::string &name) {
  std::ifstream in(std::string(TSTOOLS_JPEG_REFS) + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

Canvas ReadPnm(const std::string &name) {  // PGM or PPM
  std::vector<uint8_t> file = ReadFile(name);
  std::istringstream header(std::string(file.begin(), file.begin() + std::min<size_t>(file.size(), 40)));
  std::string magic;
  int w = 0, h = 0, max = 0;
  header >> magic >> w >> h >> max;
  Canvas c(w, h);
  size_t at = size_t(header.tellg()) + 1, n = magic == "P6" ? 3 : 1;
  for (size_t i = 0; i < c.rgb.size() && at + n * i + n <= file.size(); ++i) {
    const uint8_t *p = &file[at + n * i];
    c.rgb[i] = n == 3 ? uint32_t(p[0]) << 16 | p[1] << 8 | p[2] : p[0] * 0x010101u;
  }
  return c;
}

// A picture played onto its frame; its image lands unscaled on a canvas of the image's size.
struct Played {
  RecordingSink sink;
  PictRect frame;
  Canvas canvas{0, 0};
  int hRes = 0;
};

std::unique_ptr<Played> Play(const std::vector<uint8_t> &pict) {
  auto p = std::make_unique<Played>();
  auto at = [&](int i) { return int16_t(pict.at(size_t(i)) << 8 | pict.at(size_t(i) + 1)); };
  p->frame = {at(4), at(2), at(8), at(6)};
  PlayResult r = PlayPicture(pict.data(), pict.size(), nullptr, p->sink, p->frame);
  EXPECT_TRUE(r.outcome == PlayOutcome::kEnded && r.bytesRead == pict.size());
  int w = 0, h = 0;
  for (auto &b : p->sink.images) w = b.width, h += b.rows, p->hRes = b.hRes;
  p->canvas = Canvas(w, h);
  for (size_t i = 0; i < p->sink.images.size(); ++i) p->canvas.Draw(p->sink.images[i], p->sink.imageBits[i]);
  return p;
}

int Difference(const Canvas &a, const Canvas &b) {  // of any channel; 256: other sizes
  int worst = a.width != b.width || a.height != b.height ? 256 : 0;
  for (size_t i = 0; i < a.rgb.size() && !worst; ++i)
    for (int s = 0; s < 24; s += 8) worst = std::max(worst, std::abs(int(a.rgb[i] >> s & 255) - int(b.rgb[i] >> s & 255)));
  return worst;
}

// Float IDCT rounding varies by build: the 32-bit one may differ by 1 before quantising.
constexpr int kUnquantisedTolerance = sizeof(void *) == 4 ? 1 : 0;

TEST(JpegImport, PlaysAsDjpegDecodesScaledAndQuantised) {
  std::ifstream manifest(TSTOOLS_JPEG_REFS "/manifest.tsv");
  std::string jpeg, expected;
  int denominator, depth, rows = 0;
  for (; manifest >> jpeg >> denominator >> depth >> expected; ++rows) {
    SCOPED_TRACE(expected);
    std::vector<uint8_t> data = ReadFile(jpeg);
    Canvas want = ReadPnm(expected);
    JpegImportOptions options;
    options.depth = depth, options.fixedMap = kClut256, options.limitSize = denominator > 1;
    // A rectangle the importer reduces by exactly this denominator.
    int n = 2 * denominator, w = (want.width * denominator + n - 1) / n, h = (want.height * denominator + n - 1) / n;
    options.maxRect = denominator == 8 ? PictRect{0, 0, 1, 1} : PictRect{0, 0, int16_t(w), int16_t(h)};
    std::vector<uint8_t> pict = JpegToPict(data.data(), data.size(), options);
    auto played = Play(pict);
    ASSERT_EQ(played->sink.images.at(0).depth, depth < 16 || jpeg == "grey.jpg" ? 8 : 24);
    EXPECT_EQ(played->hRes, 72 / denominator);
    if (jpeg == "grey.jpg" && depth == 8) {
      EXPECT_EQ(pict[106] << 8 | pict[107], 15);  // ctSize: 16 levels
    }
    EXPECT_LE(Difference(played->canvas, want), depth < 16 ? 0 : kUnquantisedTolerance);
    PictRect frame;
    EXPECT_TRUE(JpegFrame(data.data(), data.size(), &frame) && frame == played->frame);
  }
  EXPECT_EQ(rows, 24);
}

// c420.jpg (61x47, JFIF) with other density and size fields.
std::vector<uint8_t> Variant(int unit, int xDensity, int yDensity, int width = 61, int height = 47) {
  std::vector<uint8_t> d = ReadFile("c420.jpg");
  d[13] = uint8_t(unit), d[14] = uint8_t(xDensity >> 8), d[15] = uint8_t(xDensity);
  d[16] = uint8_t(yDensity >> 8), d[17] = uint8_t(yDensity);
  size_t sof = 2;  // SOF0: length, precision, height, width
  while (!(d[sof] == 0xFF && d[sof + 1] == 0xC0)) ++sof;
  d[sof + 5] = uint8_t(height >> 8), d[sof + 6] = uint8_t(height), d[sof + 7] = uint8_t(width >> 8), d[sof + 8] = uint8_t(width);
  return d;
}

TEST(JpegImport, FrameFollowsDensityAndTakes72WhereItCannotDivideMaxRectReduces) {
  const PictRect none{}, max{0, 0, 300, 200};
  const struct {
    std::vector<uint8_t> data;
    PictRect maxRect, frame;
    int hRes, width, height;
  } cases[] = {
      {Variant(2, 28, 28), none, {0, 0, 61, 47}, 71, 61, 47},  // dots per centimetre
      {Variant(1, 144, 36), none, {0, 0, 30, 94}, 144, 61, 47},
      {Variant(3, 144, 144), none, {0, 0, 61, 47}, 72, 61, 47},  // unknown unit
      {Variant(1, 0, 0), none, {0, 0, 61, 47}, 72, 61, 47},
      {Variant(1, 65535, 72), none, {0, 0, 61, 47}, 72, 61, 47},  // a frame of no width
      {Variant(1, 1, 1, 1000, 47), none, {0, 0, 1000, 3384}, 72, 1000, 47},  // 72,000 points wide
      // The data runs out (grey) in these.
      {Variant(0, 1, 1, 2000, 1500), max, {0, 0, 2000, 1500}, 18, 500, 375},
      {Variant(0, 1, 1, 4000, 3000), max, {0, 0, 4000, 3000}, 9, 500, 375},
  };
  for (auto &c : cases) {
    PictRect frame;
    EXPECT_TRUE(JpegFrame(c.data.data(), c.data.size(), &frame) && frame == c.frame) << Str(frame);
    JpegImportOptions options;
    options.limitSize = !(c.maxRect == none), options.maxRect = c.maxRect;
    auto played = Play(JpegToPict(c.data.data(), c.data.size(), options));
    EXPECT_TRUE(played->frame == c.frame && played->hRes == c.hRes) << Str(frame);
    EXPECT_TRUE(played->canvas.width == c.width && played->canvas.height == c.height) << Str(frame);
  }
}

TEST(JpegImport, FailuresGiveTheErrorPicture) {
  std::vector<uint8_t> file = ReadFile("prog.jpg"), scans(file.begin(), file.end() - 2);
  size_t sos = scans.size();  // the last scan, repeated past the cap
  while (!(scans[--sos] == 0xFF && scans[sos + 1] == 0xDA)) {}
  for (int i = 0; i < kJpegMaxScans; ++i) scans.insert(scans.end(), file.begin() + long(sos), file.end() - 2);
  scans.insert(scans.end(), {0xFF, 0xD9});
  const struct { std::vector<uint8_t> data; int code; } cases[] = {
      {{'G', 'I', 'F', '8', '9', 'a'}, JERR_NO_SOI},
      {{}, JERR_INPUT_EMPTY},
      {Variant(0, 1, 1, 40000, 8), JERR_IMAGE_TOO_BIG},  // a frame beyond 16 bits
      {Variant(0, 1, 1, 4000, 3000), kJpegOutOfMemoryCode},  // more than a handle holds
      {Variant(0, 1, 1, 8192, 2), kJpegOutOfMemoryCode},     // rowBytes beyond 15 bits
      {scans, JERR_BAD_PROGRESSION},
  };
  for (auto &c : cases) {
    auto played = Play(JpegToPict(c.data.data(), c.data.size(), {}));
    EXPECT_EQ(played->frame, (PictRect{0, 0, 200, 16}));
    std::string text = "|text JPEG error #" + std::to_string(c.code) + "|";
    EXPECT_NE(played->sink.Joined().find(text), std::string::npos) << text << played->sink.Joined();
  }
}

// Bitmaps of a PPM's pixels at 8 (index: red), 16 (5-5-5) and 24 bits, rows bottom-up.
TEST(JpegExport, DecodesAsCjpegFloatOutputDoes) {
  for (int bits : {8, 16, 24}) {
    Canvas source = ReadPnm(bits == 8 ? "61x47-indexed.ppm" : bits == 16 ? "61x47-555.ppm" : "61x47.ppm");
    int stride = (source.width * bits / 8 + 3) & ~3;
    std::vector<uint8_t> pixels(size_t(stride) * source.height), colours;
    for (int i = 0; i < 256; ++i) colours.insert(colours.end(), {uint8_t(i / 2), uint8_t(255 - i), uint8_t(i), 0});
    for (int y = 0; y < source.height; ++y) {
      uint8_t *row = &pixels[size_t(source.height - 1 - y) * stride];
      for (int x = 0; x < source.width; ++x) {
        uint32_t p = source.At(x, y), v = (p >> 19 & 31) << 10 | (p >> 11 & 31) << 5 | (p >> 3 & 31);
        if (bits == 8) row[x] = uint8_t(p >> 16);
        if (bits == 16) row[2 * x] = uint8_t(v), row[2 * x + 1] = uint8_t(v >> 8);
        if (bits == 24) row[3 * x] = uint8_t(p), row[3 * x + 1] = uint8_t(p >> 8), row[3 * x + 2] = uint8_t(p >> 16);
      }
    }
    JpegBitmap bitmap{&pixels[size_t(source.height - 1) * stride], colours.data(), -stride, bits,
                      source.width, source.height};
    std::vector<uint8_t> jpeg = BitmapToJpeg(bitmap);
    auto played = Play(JpegToPict(jpeg.data(), jpeg.size(), {}));
    EXPECT_EQ(Difference(played->canvas, ReadPnm("export-" + std::to_string(bits) + ".pnm")), 0) << bits;
    bitmap.bitsPerPixel = bits + 1;
    EXPECT_TRUE(BitmapToJpeg(bitmap).empty());
  }
}

}  // namespace
}  // namespace tstools::pict::test
