// The JPEG exports through the DLL: handles in and out, and the 8-bit import's palette resource.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>

#include "picture/clut256.h"
#include "picture/jpeg_export.h"
#include "picture/jpeg_import.h"
#include "tstools/tstools.h"

namespace {

using namespace tstools::pict;

std::vector<uint8_t> Take(Handle h) {
  Size size = 0;
  EXPECT_EQ(MemGetHandleSize(h, &size), noErr);
  std::vector<uint8_t> bytes(*h, *h + size);
  MemDisposeHandle(h);
  return bytes;
}

TEST(JpegExports, Clut256HoldsTheStaticColoursAndFeedsTheImport) {
  HMODULE dll = GetModuleHandleA("TSTOOLS.DLL");
  HRSRC found = FindResourceA(dll, "CLUT256", MAKEINTRESOURCEA(10));
  ASSERT_TRUE(found && SizeofResource(dll, found) == 4 + 256 * 4);
  const auto *res = static_cast<const uint8_t *>(LockResource(LoadResource(dll, found)));
  EXPECT_TRUE(res[0] == 0 && res[1] == 3 && res[2] == 0 && res[3] == 1);  // 0x300, 256 entries
#define TSTOOLS_CLUT256_ENTRY(r, g, b) PictRgb{r, g, b},
  const PictRgb clut[256] = {TSTOOLS_CLUT256(TSTOOLS_CLUT256_ENTRY)};
  PALETTEENTRY statics[20];
  ASSERT_EQ(GetPaletteEntries(HPALETTE(GetStockObject(DEFAULT_PALETTE)), 0, 20, statics), 20u);
  for (int i = 0; i < 256; ++i) {
    const uint8_t *e = res + 4 + 4 * i;
    EXPECT_TRUE(e[0] == clut[i].red && e[1] == clut[i].green && e[2] == clut[i].blue) << i;
    const PALETTEENTRY &s = statics[i < 10 ? i : i - 236];
    if (i < 10 || i >= 246) {
      EXPECT_TRUE(e[0] == s.peRed && e[1] == s.peGreen && e[2] == s.peBlue) << i;
    }
  }

  std::ifstream in(TSTOOLS_JPEG_REFS "/c420.jpg", std::ios::binary);
  std::vector<uint8_t> jpeg{std::istreambuf_iterator<char>(in), {}};
  Handle h = nullptr;
  ASSERT_EQ(PtrToHand(jpeg.data(), &h, Size(jpeg.size())), noErr);
  JpegImportOptions options;
  options.depth = 8, options.fixedMap = clut;
  short depth = 8;
  EXPECT_EQ(Take(JPEGtoPICT(h, nullptr, &depth)), JpegToPict(jpeg.data(), jpeg.size(), options));
  Rect frame{1, 2, 3, 4};
  JPEGRect(h, &frame);
  EXPECT_TRUE(frame.left == 0 && frame.top == 0 && frame.right == 61 && frame.bottom == 47);
  MemDisposeHandle(h);

  uint8_t pixels[2][8] = {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}};
  BitmapDesc bitmap{pixels[1], nullptr, -8, 24, 2, 2};
  EXPECT_EQ(Take(BitmapToJPEG(&bitmap)), BitmapToJpeg({pixels[1], nullptr, -8, 24, 2, 2}));
}

}  // namespace
