// The PICT writer and PackBits packing, checked through our own player: whatever is written
// plays back as the source pixels.
#include <gtest/gtest.h>

#include <random>

#include "band_canvas.h"
#include "picture/packbits.h"
#include "picture/pict_player.h"
#include "picture/pict_writer.h"
#include "recording_sink.h"

namespace tstools::pict::test {
namespace {

// Rows that pack every way: runs, literals, and the mixed pairs that grow a row.
std::vector<uint8_t> Row(std::mt19937 &rng, size_t n, int kind) {
  std::vector<uint8_t> row(n);
  for (size_t i = 0; i < n; ++i)
    row[i] = kind == 0 ? uint8_t(rng()) : kind == 1 ? uint8_t(i / 37) : uint8_t(i % 3 ? i / 3 : 0xAA);
  return row;
}

TEST(PackBits, PacksWithinTheBoundAndUnpacksToTheRow) {
  std::mt19937 rng(7);
  for (size_t n : {1, 2, 3, 126, 127, 128, 254, 255, 1000, 4095}) {
    for (int kind = 0; kind < 3; ++kind) {
      std::vector<uint8_t> row = Row(rng, n, kind), back(n);
      std::vector<uint8_t> packed(PackBitsBound(n));  // ASan: the exact bound
      size_t size = PackBits(row.data(), n, packed.data());
      ASSERT_LE(size, PackBitsBound(n)) << n << " " << kind;
      ASSERT_TRUE(UnpackBits(packed.data(), size, back.data(), n));
      EXPECT_EQ(back, row) << n << " " << kind;
      // Pairs and singles (kind 2) grow to 4/3 n packed: they fall back to literals.
      if (kind == 2 && n > 3) EXPECT_EQ(size, PackBitsBound(n)) << n;
      if (kind == 1 && n > 100) EXPECT_LT(size, n / 4) << n;
    }
  }
}

struct Picture {
  int depth, width, height;
  std::vector<PictRgb> colors;  // indexed depths
  std::vector<std::vector<uint8_t>> rows;
  std::vector<uint8_t> pict;
};

uint32_t Rgb(PictRgb c) { return uint32_t(c.red) << 16 | c.green << 8 | c.blue; }

// What the source pixel at x, y looks like.
uint32_t Source(const Picture &p, int x, int y) {
  const std::vector<uint8_t> &row = p.rows[y];
  switch (p.depth) {
    case 1: return row[x / 8] >> (7 - x % 8) & 1 ? 0xFFFFFF : 0;  // a set Windows bit is white
    case 4: return Rgb(p.colors[row[x / 2] >> (x % 2 ? 0 : 4) & 15]);
    case 8: return Rgb(p.colors[row[x]]);
    default: return uint32_t(row[3 * x]) << 16 | row[3 * x + 1] << 8 | row[3 * x + 2];
  }
}

// white/black: where the table has them (-1: absent).
Picture Write(int depth, int width, int height, int white, int black, uint32_t seed) {
  std::mt19937 rng(seed);
  Picture p{depth, width, height, {}, {}, {}};
  uint32_t rowBytes;
  size_t dataBytes;
  EXPECT_TRUE(BitmapRowBytes(depth, width, &rowBytes, &dataBytes));
  const int entries = depth == 4 ? 16 : 256;
  for (int i = 0; depth == 4 || depth == 8 ? i < entries : false; ++i)
    p.colors.push_back({uint8_t(rng() | 1), uint8_t(rng()), uint8_t(rng())});  // neither white nor black
  if (white >= 0) p.colors[white] = {255, 255, 255};
  if (black >= 0) p.colors[black] = {0, 0, 0};
  for (int y = 0; y < height; ++y) {
    std::vector<uint8_t> row = Row(rng, dataBytes, y % 3);
    if (depth == 8) for (auto &b : row) b = b % entries;
    p.rows.push_back(row);
  }
  PictWriter w;
  const PictRect frame{0, 0, int16_t(width), int16_t(height)};
  EXPECT_LT(WorstCaseBitmapPictSize(depth, width, -height), kPictSizeLimit);
  if (depth == 1) {
    w.BeginVersion1(frame);
    EXPECT_TRUE(w.BeginBitmap1(frame, frame, true));
  } else if (depth == 24) {
    w.BeginVersion2(frame);
    DirectImage image{frame, frame, frame};
    EXPECT_TRUE(w.BeginDirect(image));
  } else {
    w.BeginVersion2(frame);
    IndexedImage image;
    image.bounds = image.source = image.destination = frame;
    image.rowBytes = rowBytes, image.pixelSize = depth;
    image.colors = p.colors;
    image.moveWhiteFirstBlackLast = true;
    EXPECT_TRUE(w.BeginIndexed(image));
    if (white >= 0) EXPECT_EQ(w.StoredIndex(uint8_t(white)), 0);
    if (black >= 0 && white != entries - 1) EXPECT_EQ(w.StoredIndex(uint8_t(black)), entries - 1);
  }
  for (auto &row : p.rows) EXPECT_TRUE(w.AppendRow(row.data()));
  EXPECT_TRUE(w.Finish());
  EXPECT_LE(w.Bytes().size(), WorstCaseBitmapPictSize(depth, width, height));
  p.pict = w.TakeBytes();
  return p;
}

TEST(PictWriter, BitmapsPlayBackAsTheirSourcePixels) {
  std::vector<int> widths = {48, 49, 200, 250, 251, 252, 1024};
  for (int w = 1; w <= 17; ++w) widths.push_back(w);
  const int places[][2] = {{-1, -1}, {0, 255}, {255, 0}, {7, 3}, {3, 0}, {0, 7}, {15, 9}};
  uint32_t seed = 0;
  for (int depth : {1, 4, 8, 24}) {
    for (int width : widths) {
      if (depth == 24 && width > 1000) continue;
      for (auto &place : places) {
        if (depth != 8 && depth != 4 && &place != places) continue;
        int white = depth == 4 ? place[0] % 16 : place[0], black = depth == 4 ? place[1] % 16 : place[1];
        if (white == black && white >= 0) continue;
        Picture p = Write(depth, width, 3, white, black, ++seed);
        RecordingSink sink;
        PlayResult r = PlayPicture(p.pict.data(), p.pict.size(), nullptr, sink, {0, 0, int16_t(width), 3});
        ASSERT_EQ(r.outcome, PlayOutcome::kEnded) << depth << " " << width;
        ASSERT_EQ(r.bytesRead, p.pict.size());
        Canvas canvas(width, 3);
        for (size_t i = 0; i < sink.images.size(); ++i) canvas.Draw(sink.images[i], sink.imageBits[i]);
        for (int y = 0; y < 3; ++y)
          for (int x = 0; x < width; ++x)
            ASSERT_EQ(canvas.At(x, y), Source(p, x, y)) << depth << " w" << width << " " << x << "," << y
                                                       << " white " << white << " black " << black;
      }
    }
  }
}

}  // namespace
}  // namespace tstools::pict::test
