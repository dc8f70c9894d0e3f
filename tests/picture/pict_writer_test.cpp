// The PICT writer and PackBits packing, checked through our own player (and natively through
// ImageMagick): whatever is written plays back as the source pixels.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "picture/packbits.h"
#include "picture/pict_player.h"
#include "pixel_canvas.h"

namespace tstools::pict::test {
namespace {

// Rows that pack every way: literals (kind 0), runs (1), and pairs and singles (2), which
// grow to 4/3 of the row unless they fall back to literals.
std::vector<uint8_t> Row(std::mt19937 &rng, size_t n, int kind) {
  std::vector<uint8_t> row(n);
  for (size_t i = 0; i < n; ++i) row[i] = kind == 0 ? uint8_t(rng()) : kind == 1 ? uint8_t(i / 37) : uint8_t(i % 3 ? i / 3 : 0xAA);
  return row;
}

TEST(PackBits, PacksWithinTheBoundAndUnpacksToTheRow) {
  std::mt19937 rng(7);
  for (size_t n : {1, 2, 3, 126, 127, 128, 254, 255, 1000, 4095}) {
    for (int kind = 0; kind < 3; ++kind) {
      std::vector<uint8_t> row = Row(rng, n, kind), back(n), packed(PackBitsBound(n));  // ASan: the exact bound
      size_t size = PackBits(row.data(), n, packed.data());
      ASSERT_TRUE(UnpackBits(packed.data(), size, back.data(), n));
      EXPECT_EQ(back, row) << n << " " << kind;
      EXPECT_TRUE(kind != 2 || n <= 3 || size == PackBitsBound(n)) << n;  // fell back to literals
      EXPECT_TRUE(kind != 1 || n <= 100 || size < n / 4) << n;
    }
  }
}

TEST(PictWriter, BitmapsPlayBackAsTheirSourcePixels) {
  std::vector<int> widths = {48, 49, 200, 250, 251, 252, 1024};
  for (int w = 1; w <= 17; ++w) widths.push_back(w);
  // Where the colour table has white and black (-1: nowhere); the writer moves them to 0 and last.
  const int places[][2] = {{-1, -1}, {0, 255}, {255, 0}, {7, 3}, {3, 0}, {0, 7}, {15, 9}};
  std::mt19937 rng(16);
  std::string convert = TSTOOLS_CONVERT, dir = testing::TempDir();
  std::vector<SourceBitmap> forConvert;
  for (int depth : {1, 4, 8, 24}) {
    for (int width : widths) {
      for (auto &place : places) {
        if ((depth == 24 && width > 1000) || ((depth == 1 || depth == 24) && &place != places)) continue;
        SourceBitmap b{depth, width, 3, std::vector<PictRgb>(depth == 4 ? 16 : 256), {}};
        for (auto &c : b.colors) c = {uint8_t(rng() | 1), uint8_t(rng()), uint8_t(rng())};
        const int n = int(b.colors.size()), white = place[0] % n, black = place[1] % n;
        if (white >= 0) b.colors[size_t(white)] = {255, 255, 255}, b.colors[size_t(black)] = {0, 0, 0};
        for (int y = 0; y < 3; ++y) b.rows.push_back(Row(rng, depth == 24 ? 3 * size_t(width) : (size_t(width) * depth + 15) / 16 * 2, y));
        PictWriter writer;
        std::vector<uint8_t> pict = b.Write(writer);
        EXPECT_TRUE(white < 0 || depth == 24 || (writer.StoredIndex(uint8_t(white)) == 0 && (white == n - 1 || writer.StoredIndex(uint8_t(black)) == n - 1)));
        ASSERT_LE(pict.size(), WorstCaseBitmapPictSize(depth, width, -3));
        CanvasSink sink(width, 3);
        ASSERT_EQ(PlayPicture(pict.data(), pict.size(), nullptr, sink, {0, 0, int16_t(width), 3}).outcome, PlayOutcome::kEnded);
        for (int i = 0; i < width * 3; ++i) ASSERT_EQ(sink.rgb[size_t(i)], b.At(i % width, i / width)) << depth << " w" << width << " " << i;
        // ImageMagick draws version-1 bitmaps black, counts rows of 201-250 bytes and 24-bit rows
        // of 2 or 63-66 pixels its own way, and reads a one-pixel row (pad, red, green, blue, as
        // the player does) as planes; the rest it must read as we do: writer-i.pct to writer-i.rgb.
        if (depth == 1 || (&place != places && width != 17) || (depth == 8 && width > 200 && width <= 250) || (depth == 24 && width <= 2)) continue;
        std::ofstream(dir + "writer-" + std::to_string(forConvert.size()) + ".pct", std::ios::binary) << std::string(512, '\0') << std::string(pict.begin(), pict.end());
        convert += " " + dir + "writer-" + std::to_string(forConvert.size()) + ".pct";
        forConvert.push_back(std::move(b));
      }
    }
  }
#ifndef _WIN32
  ASSERT_EQ(std::system((convert + " -depth 8 " + dir + "writer-%d.rgb").c_str()), 0);
  for (size_t i = 0; i < forConvert.size(); ++i) {
    const SourceBitmap &b = forConvert[i];
    std::ifstream f(dir + "writer-" + std::to_string(i) + ".rgb", std::ios::binary);
    std::vector<uint8_t> raw{std::istreambuf_iterator<char>(f), {}};
    ASSERT_EQ(raw.size(), size_t(b.width) * b.height * 3) << i;
    for (int j = 0; j < b.width * b.height; ++j)
      ASSERT_EQ(uint32_t(raw[3 * j]) << 16 | raw[3 * j + 1] << 8 | raw[3 * j + 2], b.At(j % b.width, j / b.width)) << b.depth << " w" << b.width;
  }
#endif
}

// Sizes beyond a PICT's fields or the handle limit are refused, never wrapped.
TEST(PictWriter, RefusesWhatCannotBeStored) {
  EXPECT_EQ(WorstCaseBitmapPictSize(8, 100, -50), WorstCaseBitmapPictSize(8, 100, 50));  // y-up heights
  const int refused[][3] = {{8, 32767, 1}, {24, 8192, 1}, {1, 0, 5}, {4, 5, 32768}, {7, 10, 10}};
  for (auto &r : refused) EXPECT_EQ(WorstCaseBitmapPictSize(r[0], r[1], r[2]), UINT64_MAX) << r[0] << " " << r[1];
  EXPECT_GT(WorstCaseBitmapPictSize(24, 8191, 32767), kPictSizeLimit);
  const PictRect big{0, 0, 8191, 32767};
  PictWriter direct, wide, rows;
  direct.BeginVersion2(big);
  EXPECT_FALSE(direct.BeginDirect(DirectImage{big, big, big}));  // its rows cannot fit 16,777,213 bytes
  EXPECT_TRUE(direct.Failed() && !direct.Finish());
  IndexedImage sixteenBits;  // rowBytes of 16 bits
  sixteenBits.rowBytes = 0x8000, sixteenBits.colors.resize(2), wide.BeginVersion2(big);
  EXPECT_FALSE(wide.BeginIndexed(sixteenBits));
  rows.BeginVersion1(big);  // rows missing fail
  ASSERT_TRUE(rows.BeginBitmap1({0, 0, 8, 1}, {0, 0, 8, 1}, false));
  EXPECT_FALSE(rows.Finish());
}

}  // namespace
}  // namespace tstools::pict::test
