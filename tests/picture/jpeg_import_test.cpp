// JPEG import and export through libjpeg, checked against Debian's djpeg and cjpeg: the
// pictures play back (our player) as djpeg's float decoding of the same file.
#include <gtest/gtest.h>

#include <cstdio>
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

// A PGM or PPM as 0xRRGGBB pixels.
Canvas ReadPnm(const std::string &name) {
  std::vector<uint8_t> file = ReadFile(name);
  std::istringstream header(std::string(file.begin(), file.begin() + std::min<size_t>(file.size(), 40)));
  std::string magic;
  int w = 0, h = 0, max = 0;
  header >> magic >> w >> h >> max;
  Canvas c(w, h);
  size_t at = size_t(header.tellg()) + 1, n = magic == "P6" ? 3 : 1;
  for (size_t i = 0; i < c.rgb.size() && at + n * i + n <= file.size(); ++i) {
    const uint8_t *p = &file[at + n * i];
    c.rgb[i] = n == 3 ? uint32_t(p[0]) << 16 | p[1] << 8 | p[2] : uint32_t(p[0]) * 0x010101u;
  }
  return c;
}

struct Played {
  RecordingSink sink;
  PictRect frame;
  Canvas canvas{0, 0};
};

// Plays a picture onto its frame; the image lands unscaled on a canvas of its bounds.
std::unique_ptr<Played> Play(const std::vector<uint8_t> &pict) {
  auto p = std::make_unique<Played>();
  EXPECT_GE(pict.size(), 10u);
  const uint8_t *f = pict.data() + 2;  // top, left, bottom, right
  p->frame = {int16_t(f[2] << 8 | f[3]), int16_t(f[0] << 8 | f[1]), int16_t(f[6] << 8 | f[7]),
              int16_t(f[4] << 8 | f[5])};
  PlayResult r = PlayPicture(pict.data(), pict.size(), nullptr, p->sink, p->frame);
  EXPECT_EQ(r.outcome, PlayOutcome::kEnded);
  EXPECT_EQ(r.bytesRead, pict.size());
  int w = 0, h = 0;
  for (auto &b : p->sink.images) w = b.width, h += b.rows;
  p->canvas = Canvas(w, h);
  for (size_t i = 0; i < p->sink.images.size(); ++i) p->canvas.Draw(p->sink.images[i], p->sink.imageBits[i]);
  return p;
}

// The largest difference of any channel; -1 when the sizes differ.
int Difference(const Canvas &a, const Canvas &b) {
  if (a.width != b.width || a.height != b.height) return -1;
  int worst = 0;
  for (size_t i = 0; i < a.rgb.size(); ++i)
    for (int s = 0; s < 24; s += 8) worst = std::max(worst, std::abs(int(a.rgb[i] >> s & 255) - int(b.rgb[i] >> s & 255)));
  return worst;
}

// Float IDCT rounding varies by build: the 32-bit one may differ by 1 before quantising.
#ifdef __i386__
constexpr int kUnquantisedTolerance = 1;
#else
constexpr int kUnquantisedTolerance = 0;
#endif

TEST(JpegImport, PlaysAsDjpegDecodesScaledAndQuantised) {
  std::vector<uint8_t> list = ReadFile("manifest.tsv");
  std::istringstream manifest(std::string(list.begin(), list.end()));
  std::string jpeg, expected;
  int denominator, depth, rows = 0;
  while (manifest >> jpeg >> denominator >> depth >> expected) {
    ++rows;
    std::vector<uint8_t> data = ReadFile(jpeg);
    Canvas want = ReadPnm(expected);
    JpegImportOptions options;
    options.depth = depth;
    options.fixedMap = kClut256;
    // A rectangle the importer reduces by exactly this denominator.
    options.limitSize = denominator > 1;
    int w = want.width * denominator, h = want.height * denominator, n = 2 * denominator;
    options.maxRect = denominator == 8 ? PictRect{0, 0, 1, 1} : PictRect{0, 0, int16_t((w + n - 1) / n), int16_t((h + n - 1) / n)};
    std::vector<uint8_t> pict = JpegToPict(data.data(), data.size(), options);
    auto played = Play(pict);
    SCOPED_TRACE(expected);
    ASSERT_FALSE(played->sink.images.empty());
    const ImageBand &band = played->sink.images[0];
    EXPECT_EQ(band.depth, depth < 16 || jpeg == "grey.jpg" ? 8 : 24);
    EXPECT_EQ(band.hRes, 72 / denominator);
    if (jpeg == "grey.jpg" && depth == 8) EXPECT_EQ(pict[106] << 8 | pict[107], 15);  // ctSize: 16 levels
    EXPECT_LE(Difference(played->canvas, want), depth < 16 ? 0 : kUnquantisedTolerance);
    PictRect frame;
    EXPECT_TRUE(JpegFrame(data.data(), data.size(), &frame));
    EXPECT_EQ(frame, played->frame);
  }
  EXPECT_EQ(rows, 24);
}

// c420.jpg (61x47, JFIF) with its density and size fields changed.
std::vector<uint8_t> Variant(int unit, int xDensity, int yDensity, int width = 61, int height = 47) {
  std::vector<uint8_t> d = ReadFile("c420.jpg");
  d[13] = uint8_t(unit), d[14] = uint8_t(xDensity >> 8), d[15] = uint8_t(xDensity);
  d[16] = uint8_t(yDensity >> 8), d[17] = uint8_t(yDensity);
  for (size_t i = 2; i + 9 < d.size(); ++i)
    if (d[i] == 0xFF && d[i + 1] == 0xC0) {  // SOF0: length, precision, height, width
      d[i + 5] = uint8_t(height >> 8), d[i + 6] = uint8_t(height), d[i + 7] = uint8_t(width >> 8), d[i + 8] = uint8_t(width);
      break;
    }
  return d;
}

TEST(JpegImport, FrameFollowsDensityAndTakes72WhereItCannotDivide) {
  const struct {
    std::vector<uint8_t> data;
    PictRect frame;
    int hRes;
  } cases[] = {
      {Variant(2, 28, 28), {0, 0, 61, 47}, 71},       // dots per centimetre
      {Variant(1, 144, 36), {0, 0, 30, 94}, 144},
      {Variant(3, 144, 144), {0, 0, 61, 47}, 72},     // unknown unit
      {Variant(1, 0, 0), {0, 0, 61, 47}, 72},         // zero density
      {Variant(1, 65535, 72), {0, 0, 61, 47}, 72},    // a frame of no width
      {Variant(1, 1, 1, 1000, 47), {0, 0, 1000, 3384}, 72},  // 72,000 points wide: 72 per inch
  };
  for (auto &c : cases) {
    PictRect frame;
    EXPECT_TRUE(JpegFrame(c.data.data(), c.data.size(), &frame));
    EXPECT_EQ(frame, c.frame) << Str(frame);
    auto played = Play(JpegToPict(c.data.data(), c.data.size(), {}));
    EXPECT_EQ(played->frame, c.frame);
    ASSERT_FALSE(played->sink.images.empty());
    EXPECT_EQ(played->sink.images[0].hRes, c.hRes);
  }
}

TEST(JpegImport, MaxRectReducesByQuartersAndEighths) {
  JpegImportOptions options;
  options.limitSize = true;
  options.maxRect = {0, 0, 300, 200};
  for (auto [width, height, denominator] : {std::tuple{2000, 1500, 4}, {4000, 3000, 8}}) {
    std::vector<uint8_t> data = Variant(0, 1, 1, width, height);  // the data runs out: grey
    auto played = Play(JpegToPict(data.data(), data.size(), options));
    ASSERT_FALSE(played->sink.images.empty());
    EXPECT_EQ(played->canvas.width, width / denominator);
    EXPECT_EQ(played->canvas.height, height / denominator);
    EXPECT_EQ(played->sink.images[0].hRes, 72 / denominator);
    EXPECT_EQ(played->frame, (PictRect{0, 0, int16_t(width), int16_t(height)}));
  }
}

TEST(JpegImport, FailuresGiveTheErrorPicture) {
  std::vector<uint8_t> scans = ReadFile("prog.jpg");
  size_t sos = scans.size() - 2;  // the last scan, repeated past the cap
  while (!(scans[sos] == 0xFF && scans[sos + 1] == 0xDA)) --sos;
  std::vector<uint8_t> last(scans.begin() + long(sos), scans.end() - 2);
  scans.resize(scans.size() - 2);
  for (int i = 0; i < kJpegMaxScans; ++i) scans.insert(scans.end(), last.begin(), last.end());
  scans.insert(scans.end(), {0xFF, 0xD9});
  const struct {
    std::vector<uint8_t> data;
    int code;
  } cases[] = {
      {{'G', 'I', 'F', '8', '9', 'a'}, JERR_NO_SOI},
      {{}, JERR_INPUT_EMPTY},
      {Variant(0, 1, 1, 40000, 8), JERR_IMAGE_TOO_BIG},  // a frame beyond 16 bits
      {Variant(0, 1, 1, 4000, 3000), kJpegOutOfMemoryCode},  // more than a handle holds
      {Variant(0, 1, 1, 8192, 2), kJpegOutOfMemoryCode},     // rowBytes beyond 15 bits
      {scans, JERR_BAD_PROGRESSION},
  };
  for (auto &c : cases) {
    std::vector<uint8_t> pict = JpegToPict(c.data.data(), c.data.size(), {});
    auto played = Play(pict);
    EXPECT_EQ(played->frame, (PictRect{0, 0, 200, 16}));
    std::string text = "|text JPEG error #" + std::to_string(c.code) + "|";
    EXPECT_NE(played->sink.Joined().find(text), std::string::npos) << text << played->sink.Joined();
    EXPECT_TRUE(played->sink.images.empty());
  }
}

// A bitmap of a PPM's pixels at 8, 16 (5-5-5) or 24 bits, rows bottom-up.
TEST(JpegExport, DecodesAsCjpegFloatOutputDoes) {
  for (int bits : {8, 16, 24}) {
    Canvas source = ReadPnm(bits == 8 ? "61x47-indexed.ppm" : bits == 16 ? "61x47-555.ppm" : "61x47.ppm");
    std::vector<uint8_t> pixels, colours;
    for (int i = 0; i < 256; ++i) colours.insert(colours.end(), {uint8_t(i / 2), uint8_t(255 - i), uint8_t(i), 0});
    int stride = (source.width * bits / 8 + 3) & ~3;
    pixels.resize(size_t(stride) * source.height);
    for (int y = 0; y < source.height; ++y) {
      uint8_t *row = &pixels[size_t(source.height - 1 - y) * stride];
      for (int x = 0; x < source.width; ++x) {
        uint32_t p = source.At(x, y);
        if (bits == 8) row[x] = uint8_t(p >> 16);  // red: the index (green 255 - i, blue i / 2)
        if (bits == 16) {
          unsigned v = (p >> 19 & 31) << 10 | (p >> 11 & 31) << 5 | (p >> 3 & 31);
          row[2 * x] = uint8_t(v), row[2 * x + 1] = uint8_t(v >> 8);
        }
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
