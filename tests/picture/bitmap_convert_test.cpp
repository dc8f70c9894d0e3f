// Bitmaps and packed DIBs written as PICT and played back: the pixels must come back.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "picture_surface.h"
#include "support/gdi_objects.h"
#include "tstools/tstools.h"

namespace tstools::pict::test {
namespace {

struct DibSection {
  HBITMAP bitmap = nullptr;
  uint8_t *bits = nullptr;
  int stride = 0;
};

// A bottom-up DIB section of the given depth and colour table.
DibSection MakeSection(int width, int height, int depth, const std::vector<uint32_t> &table) {
  std::vector<uint8_t> block(sizeof(BITMAPINFOHEADER) + 256 * 4);
  auto *info = reinterpret_cast<BITMAPINFO *>(block.data());
  info->bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, WORD(depth), BI_RGB, 0, 0, 0, 0, 0};
  for (size_t i = 0; i < table.size(); ++i) std::memcpy(&info->bmiColors[i], &table[i], 4);
  DibSection s;
  void *bits = nullptr;
  s.bitmap = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
  s.bits = static_cast<uint8_t *>(bits);
  s.stride = (width * depth + 31) / 32 * 4;
  return s;
}

void SetIndex(DibSection &s, int height, int depth, int x, int y, unsigned index) {
  uint8_t *row = s.bits + size_t(height - 1 - y) * s.stride;
  int bit = x * depth;
  int shift = 8 - depth - bit % 8;
  row[bit / 8] = uint8_t((row[bit / 8] & ~(((1 << depth) - 1) << shift)) | index << shift);
}

std::vector<uint8_t> Bytes(Handle h) {
  Size size = 0;
  MemGetHandleSize(h, &size);
  return std::vector<uint8_t>(reinterpret_cast<uint8_t *>(*h), reinterpret_cast<uint8_t *>(*h) + size);
}

class BitmapConvertTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(MemNewHandle(&picture_, 0, 0), noErr); }
  void TearDown() override { MemDisposeHandle(picture_); }
  Handle picture_ = nullptr;
};

// Each depth with white and black away from QuickDraw's places (and absent), widths around
// the packing and count-size limits: every pixel comes back in its colour.
TEST_F(BitmapConvertTest, IndexedAndDirectBitmapsPlayBackTheirPixels) {
  const std::vector<std::vector<uint32_t>> tables = {
      {0x000000, 0xFFFFFF},                        // device order: black first
      {0xFFFFFF, 0x000000},                        // white first: stored bits are already black
      {0x00FF00, 0x0000FF, 0xFFFFFF, 0x123456, 0x000000, 0xFF0000, 0x00FFFF, 0x808080,
       0x400000, 0x004000, 0x000040, 0x404000, 0x004040, 0x400040, 0xC0C0C0, 0x202020},
      {0x0000FF, 0x00FF00, 0xFF0000, 0x222222, 0x777777, 0x999999, 0x00FFFF, 0xEEEEEE},  // no white, no black
  };
  struct Case { int depth; size_t table; };
  for (Case c : {Case{1, 0}, Case{1, 1}, Case{4, 2}, Case{4, 3}, Case{8, 2}, Case{8, 3}, Case{24, 0}}) {
    for (int width : {1, 7, 17, 48, 49, 200, 250, 251, 252}) {
      SCOPED_TRACE(testing::Message() << "depth " << c.depth << " table " << c.table << " width " << width);
      const int height = 3;
      std::vector<uint32_t> table = c.depth == 24 ? std::vector<uint32_t>{} : tables[c.table];
      table.resize(c.depth == 24 ? 0 : size_t(1) << c.depth, 0x5A5A5A);
      DibSection s = MakeSection(width, height, c.depth, table);
      ASSERT_NE(s.bitmap, nullptr);
      std::vector<uint32_t> expected;
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
          unsigned v = unsigned(x * 7 + y * 3 + (x >> 3));
          if (c.depth == 24) {
            uint32_t rgb = (v * 2654435761u) & 0xFFFFFF;
            uint8_t *p = s.bits + size_t(height - 1 - y) * s.stride + 3 * x;
            p[0] = uint8_t(rgb), p[1] = uint8_t(rgb >> 8), p[2] = uint8_t(rgb >> 16);
            expected.push_back(rgb);
          } else {
            unsigned index = v % (c.depth == 1 ? 2 : tables[c.table].size());
            SetIndex(s, height, c.depth, x, y, index);
            expected.push_back(table[index]);
          }
        }
      ASSERT_EQ(ML_BitmapToPict(nullptr, s.bitmap, nullptr, picture_), noErr);
      std::vector<uint8_t> pict = Bytes(picture_);
      ASSERT_GT(pict.size(), 40u);
      EXPECT_EQ(pict[2] << 8 | pict[3], 0);  // frame top, left, bottom, right at 72 dpi
      EXPECT_EQ(pict[6] << 8 | pict[7], height);
      EXPECT_EQ(pict[8] << 8 | pict[9], width);
      if (c.depth == 1) {
        EXPECT_EQ(pict[23], width < 49 ? 0x90 : 0x98);  // BitsRect below 8 row bytes
      }
      Surface surface(width, height);
      surface.Draw(pict, Rect{0, 0, short(width), short(height)});
      int wrong = 0;
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) wrong += surface.At(x, y) != expected[size_t(y) * width + x];
      EXPECT_EQ(wrong, 0);
      DeleteObject(s.bitmap);
    }
  }
}

TEST_F(BitmapConvertTest, RefusalsLeaveAnEmptyPicture) {
  ASSERT_EQ(MemSetHandleSize(picture_, 10), noErr);
  EXPECT_EQ(ML_BitmapToPict(nullptr, nullptr, nullptr, picture_), memFullErr);
  Size size = -1;
  MemGetHandleSize(picture_, &size);
  EXPECT_EQ(size, 0);
  EXPECT_EQ(ML_BitmapToPict(nullptr, nullptr, nullptr, nullptr), paramErr);
  // 30,000 x 600 at 24 bits passes the handle limit however it packs.
  HBITMAP big = CreateBitmap(30000, 600, 1, 32, nullptr);
  ASSERT_NE(big, nullptr);
  ASSERT_EQ(MemSetHandleSize(picture_, 10), noErr);
  EXPECT_EQ(ML_BitmapToPict(nullptr, big, nullptr, picture_), memFullErr);
  MemGetHandleSize(picture_, &size);
  EXPECT_EQ(size, 0);
  DeleteObject(big);
}

HGLOBAL GlobalCopy(const std::vector<uint8_t> &bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  return block;
}

std::vector<uint8_t> ReadFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Binary PPM pixels as 0xRRGGBB (header: "P6", width, height, 255, one white space).
std::vector<uint32_t> ReadPpm(const std::string &path, int *width, int *height) {
  std::vector<uint8_t> file = ReadFile(path);
  size_t pos = 2;
  int fields[3] = {};
  for (int &f : fields) {
    while (pos < file.size() && isspace(file[pos])) ++pos;
    while (pos < file.size() && isdigit(file[pos])) f = f * 10 + (file[pos++] - '0');
  }
  ++pos;
  *width = fields[0], *height = fields[1];
  std::vector<uint32_t> pixels;
  for (; pos + 2 < file.size() + 0 && pixels.size() < size_t(*width) * *height; pos += 3)
    pixels.push_back(uint32_t(file[pos]) << 16 | file[pos + 1] << 8 | file[pos + 2]);
  return pixels;
}

// Other programs' BMPs (a version-5 header, 4 bits, RGB565 bit fields, RLE8, a 5-entry
// table, top-down rows, masks after a 40-byte header): ImageMagick's reading of each is what we must draw.
TEST_F(BitmapConvertTest, PackedDibsFromOtherProgramsMatchTheirReference) {
  for (const char *name : {"v5-24", "palette-4", "rgb565", "rle8", "short-table-8", "top-down-24", "masks-16"}) {
    SCOPED_TRACE(name);
    std::string base = std::string(TSTOOLS_BMP_REFS) + "/" + name;
    std::vector<uint8_t> file = ReadFile(base + ".bmp");
    ASSERT_GT(file.size(), 14u);
    int width = 0, height = 0;
    std::vector<uint32_t> reference = ReadPpm(base + ".ppm", &width, &height);
    ASSERT_EQ(reference.size(), size_t(width) * height);
    HGLOBAL dib = GlobalCopy(std::vector<uint8_t>(file.begin() + 14, file.end()));
    ASSERT_EQ(ML_DIBToPict(nullptr, dib, nullptr, picture_), noErr);
    GlobalFree(dib);
    Surface surface(width, height);
    surface.Draw(Bytes(picture_), Rect{0, 0, short(width), short(height)});
    int wrong = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) wrong += surface.At(x, y) != reference[size_t(y) * width + x];
    EXPECT_EQ(wrong, 0);
  }
}

// Blocks that lie about their parts are refused before GDI reads them.
TEST_F(BitmapConvertTest, DibsWhosePartsPassTheBlockAreRefused) {
  std::vector<uint8_t> good(sizeof(BITMAPINFOHEADER) + 4 * 4 + 8 * 2);  // rows of 8 bytes
  auto *header = reinterpret_cast<BITMAPINFOHEADER *>(good.data());
  *header = {sizeof(BITMAPINFOHEADER), 5, 2, 1, 8, BI_RGB, 0, 0, 0, 4, 0};
  HGLOBAL dib = GlobalCopy(good);
  EXPECT_EQ(ML_DIBToPict(nullptr, dib, nullptr, picture_), noErr);
  GlobalFree(dib);
  auto refused = [&](std::vector<uint8_t> block) {
    HGLOBAL h = GlobalCopy(block);
    OSErr result = ML_DIBToPict(nullptr, h, nullptr, picture_);
    GlobalFree(h);
    Size size = -1;
    MemGetHandleSize(picture_, &size);
    return result == -1 && size == 0;
  };
  std::vector<uint8_t> bad = good;
  bad.pop_back();  // the last row's padding is missing
  EXPECT_TRUE(refused(bad));
  bad = good;
  reinterpret_cast<BITMAPINFOHEADER *>(bad.data())->biClrUsed = 300;  // more than 8 bits index
  EXPECT_TRUE(refused(bad));
  bad = good;
  reinterpret_cast<BITMAPINFOHEADER *>(bad.data())->biClrUsed = 0;  // then 256 entries are due
  EXPECT_TRUE(refused(bad));
  EXPECT_TRUE(refused(std::vector<uint8_t>(good.begin(), good.begin() + 30)));
  EXPECT_EQ(ML_DIBToPict(nullptr, nullptr, nullptr, picture_), -1);
}

TEST_F(BitmapConvertTest, ConversionsLeaveNoGdiObjectsBehind) {
  DibSection s = MakeSection(64, 32, 8, {0xFFFFFF, 0});
  ML_BitmapToPict(nullptr, s.bitmap, nullptr, picture_);  // caches warmed
  long before = ::tstools::test::LiveGdiObjects();
  for (int i = 0; i < 300; ++i) {
    ASSERT_EQ(ML_BitmapToPict(nullptr, s.bitmap, nullptr, picture_), noErr);
    ML_BitmapToPict(nullptr, nullptr, nullptr, picture_);
  }
  EXPECT_EQ(::tstools::test::LiveGdiObjects(), before);
  DeleteObject(s.bitmap);
}

}  // namespace
}  // namespace tstools::pict::test
