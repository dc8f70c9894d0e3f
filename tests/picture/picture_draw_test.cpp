// ML_DrawPicture on a DC port over a 32-bit DIB section: pixels of hand-built pictures, the
// port record afterwards, pictures that lie about a length, hooks and GDI objects.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "pict_builder.h"
#include "support/dib_canvas.h"
#include "tstools/tstools.h"

namespace tstools::pict::test {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kBlack = 0, kPaper = 0x123456;

// A surface of w x h pixels with a DC port open on it.
class Surface : public ::tstools::test::DibCanvas {
 public:
  Surface(int w, int h) : DibCanvas(w, h, kPaper) { OpenPort(&port); }
  ~Surface() { ClosePort(&port); }
  // Pixels of colour within the rectangle [l, r) x [t, b).
  int Count(uint32_t colour, int l = 0, int t = 0, int r = -1, int b = -1) {
    const uint32_t *p = pixels();
    int n = 0;
    for (int y = t; y < (b < 0 ? height() : b); ++y)
      for (int x = l; x < (r < 0 ? width() : r); ++x) n += (p[y * width() + x] & 0xFFFFFF) == colour;
    return n;
  }
  std::vector<uint32_t> Pixels() {
    const uint32_t *p = pixels();
    return std::vector<uint32_t>(p, p + size_t(width()) * height());
  }
  void Draw(const std::vector<uint8_t> &pict, Rect dst) {
    Handle h = nullptr;
    ASSERT_EQ(MemNewHandle(&h, Size(pict.size()), 0), noErr);
    std::memcpy(*h, pict.data(), pict.size());
    ML_DrawPicture(&port, h, &dst);
    MemDisposeHandle(h);
  }
  GrafPort port;
};

class PictureDraw : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    MemInitZone();
    QDrawCacheInit();
  }
  static void TearDownTestSuite() { QDrawCacheClose(); }
};

PictBuilder Clipped(int size = 100) { return std::move(PictBuilder(0, 0, size, size).ClipRect(0, 0, size, size)); }
// A picture one row high and 16 wide.
PictBuilder Strip() { return std::move(PictBuilder(0, 0, 1, 16).ClipRect(0, 0, 1, 16)); }

TEST_F(PictureDraw, VectorOpcodesAtTheirPlaceAndScaled) {
  auto pict = Clipped()
                  .Op(0x31).Rect(10, 10, 20, 30)                    // paint rect: h 10-29, v 10-19
                  .Op(0x20).Word(50).Word(0).Word(50).Word(40)      // line v 50, h 0-40
                  .Op(0x1A).Word(0xFFFF).Word(0).Word(0)            // red
                  .Op(0x51).Rect(60, 60, 80, 90)                    // paint oval
                  .Op(0x71).Word(10 + 4 * 4).Rect(0, 60, 30, 90)    // paint triangle
                  .Word(0).Word(60).Word(30).Word(90).Word(30).Word(60).Word(0).Word(60)
                  .End();
  Surface s(200, 200);
  s.Draw(pict, Rect{0, 0, 100, 100});
  EXPECT_EQ(s.Count(kBlack, 10, 10, 30, 20), 200);
  EXPECT_EQ(s.At(9, 10), kPaper);
  EXPECT_EQ(s.At(30, 10), kPaper);
  EXPECT_EQ(s.Count(kBlack, 0, 50, 41, 51), 41) << "line end pixel included";
  EXPECT_EQ(s.At(75, 70), 0xFF0000u);
  EXPECT_EQ(s.At(65, 25), 0xFF0000u) << "inside the triangle";
  EXPECT_EQ(s.At(80, 5), kPaper) << "outside the triangle";

  Surface twice(200, 200);
  twice.Draw(pict, Rect{0, 0, 200, 200});
  EXPECT_EQ(twice.Count(kBlack, 20, 20, 60, 40), 800);
  EXPECT_EQ(twice.At(19, 20), kPaper);
  EXPECT_EQ(twice.At(150, 140), 0xFF0000u);
}

TEST_F(PictureDraw, ClipRegionsGateAndShape) {
  auto paint = [](PictBuilder b) { return b.Op(0x31).Rect(0, 0, 100, 100).End(); };
  Surface none(100, 100);
  none.Draw(paint(PictBuilder(0, 0, 100, 100)), Rect{0, 0, 100, 100});
  EXPECT_EQ(none.Count(kPaper), 100 * 100) << "nothing before a clip region";

  Surface outside(100, 100);
  Rect half{0, 0, 50, 50};
  ML_ClipRect(&outside.port, &half);
  outside.Draw(paint(PictBuilder(0, 0, 100, 100).ClipRect(60, 60, 90, 90)), Rect{0, 0, 100, 100});
  EXPECT_EQ(outside.Count(kPaper), 100 * 100) << "a clip outside the device clip suppresses";

  // An L: rows 0-10 cover h 0-20, rows 10-20 cover h 0-10; painted everywhere.
  Surface shaped(100, 100);
  shaped.Draw(paint(PictBuilder(0, 0, 100, 100)
                        .Op(0x01).Word(10 + 2 * 13).Rect(0, 0, 20, 20)
                        .Word(0).Word(0).Word(20).Word(0x7FFF)
                        .Word(10).Word(10).Word(20).Word(0x7FFF)
                        .Word(20).Word(0).Word(10).Word(0x7FFF)
                        .Word(0x7FFF)),
              Rect{0, 0, 100, 100});
  EXPECT_EQ(shaped.Count(kBlack), 20 * 10 + 10 * 10);
  EXPECT_EQ(shaped.At(15, 15), kPaper);
  EXPECT_EQ(shaped.At(15, 5), kBlack);
}

TEST_F(PictureDraw, PenMode23AndPatterns) {
  const uint8_t checker[] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
  auto pattern = [&](PictBuilder &b) {
    for (uint8_t row : checker) b.Byte(row);
  };
  PictBuilder b = Clipped();
  b.Op(0x08).Word(23).Op(0x31).Rect(0, 0, 50, 50).Op(0x08).Word(8);  // mode 23: not drawn
  b.Op(0x0A); pattern(b); b.Op(0x34).Rect(0, 50, 16, 66);            // fill with the checker
  b.Op(0x09); pattern(b); b.Op(0x31).Rect(20, 50, 36, 66);           // paint with the pen pattern
  b.Op(0x02); pattern(b);
  b.Op(0x1B).Word(0).Word(0).Word(0xFFFF).Op(0x32).Rect(40, 50, 56, 66);  // erase: blue/black checker
  Surface s(100, 100);
  s.Draw(b.End(), Rect{0, 0, 100, 100});
  EXPECT_EQ(s.Count(kPaper, 0, 0, 50, 50), 50 * 50) << "pen mode 23 draws nothing";
  EXPECT_EQ(s.Count(kBlack, 50, 0, 66, 16), 128);
  EXPECT_EQ(s.Count(kWhite, 50, 0, 66, 16), 128);
  EXPECT_EQ(s.Count(kBlack, 50, 20, 66, 36), 128);
  EXPECT_EQ(s.Count(0x0000FF, 50, 40, 66, 56), 128) << "the background pattern's clear bits in the back colour";
}

// Bit images: an 8 x 2 image whose pixel i (row-major) has the colour Expected(i).
struct ImageCase {
  const char *name;
  int pixelSize;
  bool packed;
};

uint32_t PaletteColour(int index) {
  return uint32_t((index * 37) & 0xFF) << 16 | uint32_t((255 - index * 11) & 0xFF) << 8 | uint32_t((index * 73) & 0xFF);
}

// Appends PackBits literal runs for data (words when unit is 2).
void PackLiteral(std::vector<uint8_t> &out, const std::vector<uint8_t> &data, size_t unit) {
  for (size_t at = 0; at < data.size();) {
    size_t n = std::min<size_t>(128 * unit, data.size() - at);
    out.push_back(uint8_t(n / unit - 1));
    out.insert(out.end(), data.begin() + at, data.begin() + at + n);
    at += n;
  }
}

// The picture (frame 0,0,2,8 - the image's bounds), and the expected pixel colours.
std::vector<uint8_t> ImagePicture(const ImageCase &c, std::vector<uint32_t> *expected, int width = 8) {
  const int height = 2, n = width * height;
  PictBuilder b(0, 0, height, width);
  b.ClipRect(0, 0, height, width);
  int ps = c.pixelSize;
  int rowBytes = ps == 32 ? width * 4 : (width * ps + 7) / 8;
  if (rowBytes & 1) ++rowBytes;
  bool direct = ps > 8;
  b.Op(direct ? 0x9A : c.packed ? 0x98 : 0x90);
  if (direct) b.Long(0);
  b.Word(0x8000 | rowBytes).Rect(0, 0, height, width);
  int packType = ps == 32 ? (c.packed ? 4 : 1) : ps == 16 ? (c.packed ? 3 : 1) : 0;
  b.Word(0).Word(packType).Long(0).Long(72 << 16).Long(72 << 16);
  b.Word(direct ? 16 : 0).Word(ps).Word(direct ? 3 : 1).Word(ps == 32 ? 8 : ps == 16 ? 5 : ps);
  b.Long(0).Long(0).Long(0);
  expected->clear();
  if (!direct) {
    int colours = 1 << ps;
    b.Long(0).Word(0).Word(colours - 1);
    for (int i = 0; i < colours; ++i) {
      uint32_t rgb = PaletteColour(i);
      b.Word(i).Word(int(rgb >> 16) * 0x101).Word(int(rgb >> 8 & 0xFF) * 0x101).Word(int(rgb & 0xFF) * 0x101);
    }
  }
  b.Rect(0, 0, height, width).Rect(0, 0, height, width).Word(0);
  for (int y = 0; y < height; ++y) {
    std::vector<uint8_t> row(rowBytes);
    for (int x = 0; x < width; ++x) {
      int i = y * width + x;
      if (!direct) {
        int index = (i * 5 + 3) % (1 << ps);
        row[x * ps / 8] |= uint8_t(index << (8 - ps - x * ps % 8));
        expected->push_back(PaletteColour(index));
      } else if (ps == 16) {
        int r = (i * 3) & 31, g = (31 - i) & 31, bl = (i * 7) & 31;
        int px = r << 10 | g << 5 | bl;
        row[2 * x] = uint8_t(px >> 8), row[2 * x + 1] = uint8_t(px);
        auto widen = [](int v) { return uint32_t(v << 3 | v >> 2); };
        expected->push_back(widen(r) << 16 | widen(g) << 8 | widen(bl));
      } else {
        uint8_t r = uint8_t(i * 29), g = uint8_t(200 - i * 9), bl = uint8_t(i * 61);
        if (c.packed) {  // planes: red, green, blue
          row[x] = r, row[width + x] = g, row[2 * width + x] = bl;
        } else {
          row[4 * x + 1] = r, row[4 * x + 2] = g, row[4 * x + 3] = bl;
        }
        expected->push_back(uint32_t(r) << 16 | uint32_t(g) << 8 | bl);
      }
    }
    bool packed = c.packed && rowBytes >= 8;
    if (ps == 32 && c.packed) row.resize(size_t(width) * 3);
    if (!packed) {
      b.Raw(row);
      continue;
    }
    std::vector<uint8_t> run;
    PackLiteral(run, row, ps == 16 ? 2 : 1);
    if (rowBytes < 251) b.Byte(uint8_t(run.size())); else b.Word(int(run.size()));
    b.Raw(run);
  }
  (void)n;
  return b.End();
}

TEST_F(PictureDraw, BitImagesOfEveryDepthUnscaledAndScaled) {
  const ImageCase cases[] = {{"1-bit pixmap", 1, false}, {"2-bit", 2, false},  {"4-bit", 4, false},
                             {"8-bit", 8, false},       {"8-bit packed", 8, true}, {"16-bit", 16, false},
                             {"16-bit packed", 16, true}, {"32-bit", 32, false}, {"32-bit planar", 32, true}};
  for (const ImageCase &c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint32_t> want;
    auto pict = ImagePicture(c, &want);
    Surface s(64, 16);
    s.Draw(pict, Rect{0, 0, 8, 2});
    s.Draw(pict, Rect{16, 4, 16 + 24, 4 + 6});  // three times larger
    for (int i = 0; i < 16; ++i) {
      int x = i % 8, y = i / 8;
      EXPECT_EQ(s.At(x, y), want[i]) << "pixel " << i;
      EXPECT_EQ(s.At(16 + 3 * x + 1, 4 + 3 * y + 1), want[i]) << "scaled pixel " << i;
    }
  }
}

short seenMode;
void CALLBACK GreenOnBlue(RGBColor *fg, RGBColor *bg, short *mode) {
  seenMode = *mode;
  *fg = RGBColor{0, 0xFFFF, 0};
  *bg = RGBColor{0, 0, 0xFFFF};
  *mode = 0;
}

TEST_F(PictureDraw, OneBitImagesColoursBrushTrickAndHook) {
  // A 16 x 1 bitmap (not a pixmap): bits 1010... in the port's colours.
  auto bitmap = [](int mode, uint8_t bits = 0xAA) {
    return Strip().Op(0x90).Word(2).Rect(0, 0, 1, 16).Rect(0, 0, 1, 16).Rect(0, 0, 1, 16).Word(mode)
        .Bytes({bits, bits}).End();
  };
  Surface copy(16, 1);
  copy.Draw(bitmap(0), Rect{0, 0, 16, 1});
  EXPECT_EQ(copy.At(0, 0), kBlack);
  EXPECT_EQ(copy.At(1, 0), kWhite);

  // Shrunk to half, every pair of pixels keeps its black one.
  Surface shrunk(8, 1);
  shrunk.Draw(bitmap(0, 0x55), Rect{0, 0, 8, 1});
  EXPECT_EQ(shrunk.Count(kBlack), 8);

  // srcOr in red: set bits red through the brush, clear bits leave the paper.
  auto red = Strip().Op(0x1A).Word(0xFFFF).Word(0).Word(0)
                 .Op(0x90).Word(2).Rect(0, 0, 1, 16).Rect(0, 0, 1, 16).Rect(0, 0, 1, 16).Word(1)
                 .Bytes({0xAA, 0xAA}).End();
  Surface orRed(16, 1);
  orRed.Draw(red, Rect{0, 0, 16, 1});
  EXPECT_EQ(orRed.Count(0xFF0000), 8);
  EXPECT_EQ(orRed.Count(kPaper), 8);
  // Black on white srcOr: an AND of the image and the paper.
  Surface orBlack(16, 1);
  orBlack.Draw(bitmap(1), Rect{0, 0, 16, 1});
  EXPECT_EQ(orBlack.Count(kBlack), 8);
  EXPECT_EQ(orBlack.Count(kPaper), 8);

  // The colour hook recolours and changes the mode: transparent becomes copy on the way in.
  QDProcs procs{};
  procs.colorProc = GreenOnBlue;
  Surface hooked(16, 1);
  hooked.port.grafProcs = &procs;
  hooked.Draw(bitmap(36), Rect{0, 0, 16, 1});
  EXPECT_EQ(seenMode, 0);
  EXPECT_EQ(hooked.Count(0x00FF00), 8);
  EXPECT_EQ(hooked.Count(0x0000FF), 8);
  hooked.port.grafProcs = nullptr;
}

TEST_F(PictureDraw, RowsWiderThanTheBandBufferStillDraw) {
  // Bounds 11000 pixels wide: a 33,000-byte DIB row, more than half the band buffer. The
  // stored rows hold 4095 pixels; the rest of each row is black.
  const int width = 11000, rows = 3, rowBytes = 4095 * 4;
  PictBuilder b(0, 0, rows, width);
  b.ClipRect(0, 0, rows, width);
  b.Op(0x9A).Long(0).Word(0x8000 | rowBytes).Rect(0, 0, rows, width);
  b.Word(0).Word(1).Long(0).Long(72 << 16).Long(72 << 16).Word(16).Word(32).Word(3).Word(8).Long(0).Long(0).Long(0);
  b.Rect(0, 0, rows, width).Rect(0, 0, rows, width).Word(0);
  for (int y = 0; y < rows; ++y) {
    std::vector<uint8_t> row(rowBytes);
    for (int x = 0; x < 4095; ++x) row[4 * x + 1 + y] = 0xFF;  // rows red, green, blue
    b.Raw(row);
  }
  Surface s(200, 3);
  s.Draw(b.End(), Rect{0, 0, 11000, 3});
  EXPECT_EQ(s.At(5, 0), 0xFF0000u);
  EXPECT_EQ(s.At(150, 1), 0x00FF00u);
  EXPECT_EQ(s.At(199, 2), 0x0000FFu);
}

std::vector<uint8_t> PortBytes(const GrafPort &port) {
  auto *p = reinterpret_cast<const uint8_t *>(&port);
  return std::vector<uint8_t>(p, p + sizeof port);
}

TEST_F(PictureDraw, TextInANamedFontAsTheTextCallsDrawIt) {
  InitFonts();
  Str255 face{};
  GetFontName(2, face);
  if (face[0] == 0) {  // not GTEST_SKIP, which ends emulated 32-bit test processes early
    std::printf("no fonts: picture text not checked\n");
    return;
  }
  PictBuilder b = Clipped();
  b.Op(0x2C).Word(2 + 1 + face[0]).Word(300).Byte(face[0]);
  for (int i = 1; i <= face[0]; ++i) b.Byte(face[i]);
  b.Op(0x03).Word(300).Op(0x0D).Word(20).Op(0x04).Byte(1);
  b.Op(0x28).Word(40).Word(10).Byte(3).Bytes({'H', 'i', 'g'}).Op(0x29).Byte(40).Byte(3).Bytes({'H', 'i', 'g'});
  Surface s(100, 100);
  auto before = PortBytes(s.port);
  s.Draw(b.End(), Rect{0, 0, 100, 100});
  EXPECT_EQ(PortBytes(s.port), before) << "the font the text selected is gone again";

  Surface want(100, 100);
  ML_TextFont(&want.port, 2);
  ML_TextSize(&want.port, 20);
  ML_TextFace(&want.port, 1);
  char text[] = "Hig";
  ML_MoveTo(&want.port, 10, 40);
  ML_DrawText(&want.port, text, 0, 3);
  ML_MoveTo(&want.port, 50, 40);
  ML_DrawText(&want.port, text, 0, 3);
  EXPECT_GT(want.Count(kBlack), 50);
  EXPECT_TRUE(s.Pixels() == want.Pixels());
}

TEST_F(PictureDraw, PortRecordIsTheSameAfterwards) {
  PictBuilder b = Clipped();
  b.Op(0x20).Word(80).Word(80).Word(80).Word(89);  // in the default state: a black 1-pixel line
  b.Op(0x07).Word(3).Word(4).Op(0x02).Bytes({8, 7, 6, 5, 4, 3, 2, 1}).Op(0x03).Word(3).Op(0x04).Byte(3).Op(0x05).Word(2);
  b.Op(0x0D).Word(24).Op(0x06).Long(0x20000).Op(0x0E).Long(205).Op(0x1B).Word(0).Word(0x8000).Word(0);
  b.Op(0x0C).Word(5).Word(5).Op(0x31).Rect(10, 10, 40, 40).Op(0x20).Word(1).Word(1).Word(60).Word(60);
  b.Op(0x08).Word(10).Op(0x09).Bytes({1, 2, 3, 4, 5, 6, 7, 8});
  auto pict = b.End();

  Surface s(100, 100);
  Rect clip{5, 5, 95, 95};
  ML_ClipRect(&s.port, &clip);
  RGBColor green{0, 0xFFFF, 0};
  ML_RGBForeColor(&s.port, &green);
  ML_PenSize(&s.port, 5, 5);
  ML_MoveTo(&s.port, 7, 9);
  auto before = PortBytes(s.port);
  s.Draw(pict, Rect{0, 0, 100, 100});
  EXPECT_EQ(PortBytes(s.port), before);
  EXPECT_GT(s.Count(0xFF0000), 0) << "the picture drew in red";
  EXPECT_EQ(s.Count(kBlack, 80, 79, 95, 82), 10) << "not in the port's green pen of 5 x 5";
  POINT cp{};
  GetCurrentPositionEx(s.port.dc, &cp);
  EXPECT_EQ(cp.x, 7);
  EXPECT_EQ(cp.y, 9);
  // The port still draws in its own state and clip.
  s.Fill(kPaper);
  Rect all{0, 0, 100, 100};
  ML_PaintRect(&s.port, &all);
  EXPECT_EQ(s.Count(0x00FF00), 90 * 90);
}

TEST_F(PictureDraw, LyingLengthsEndCleanlyWithThePortRestored) {
  // Each picture paints a first rectangle, then an opcode whose length claims more than
  // there is; a second paint follows inside the claimed data.
  using Lie = std::function<void(PictBuilder &)>;
  const std::pair<const char *, Lie> lies[] = {
      {"text count", [](PictBuilder &b) { b.Op(0x28).Word(50).Word(50).Byte(250).Bytes({'a', 'b'}); }},
      {"FontName length", [](PictBuilder &b) { b.Op(0x2C).Word(3000).Word(7).Byte(4); }},
      {"long comment", [](PictBuilder &b) { b.Op(0xA1).Word(100).Word(5000); }},
      {"clip region size", [](PictBuilder &b) { b.Op(0x01).Word(4000).Rect(0, 0, 100, 100); }},
      {"region size", [](PictBuilder &b) { b.Op(0x81).Word(4000).Rect(0, 0, 100, 100); }},
      {"polygon size", [](PictBuilder &b) { b.Op(0x71).Word(4000).Rect(0, 0, 100, 100); }},
      {"reserved opcode length", [](PictBuilder &b) { b.Op(0x8200).Long(1 << 30); }},
      {"colour table size", [](PictBuilder &b) {
         b.Op(0x98).Word(0x8000 | 8).Rect(0, 0, 1, 8).Word(0).Word(0).Long(0).Long(72 << 16).Long(72 << 16)
             .Word(0).Word(8).Word(1).Word(8).Long(0).Long(0).Long(0).Long(0).Word(0).Word(0x7FFF);
       }},
      {"packed row length", [](PictBuilder &b) {
         b.Op(0x98).Word(0x8000 | 8).Rect(0, 0, 1, 8).Word(0).Word(0).Long(0).Long(72 << 16).Long(72 << 16)
             .Word(0).Word(8).Word(1).Word(8).Long(0).Long(0).Long(0).Long(0).Word(0).Word(0)
             .Word(0).Word(0).Word(0).Word(0).Rect(0, 0, 1, 8).Rect(0, 0, 1, 8).Word(0).Byte(200).Byte(7);
       }},
      {"extended header", [](PictBuilder &b) { b.Op(0x0C00).Word(-2).Word(0); }},
      {"zero-sized header frame", [](PictBuilder &b) {
         b.Op(0x0C00).Word(-2).Word(0).Long(0).Long(0).Rect(5, 5, 5, 5).Long(0);
       }},
  };
  for (const auto &[name, lie] : lies) {
    SCOPED_TRACE(name);
    PictBuilder b = Clipped();
    b.Op(0x07).Word(2).Word(2).Op(0x31).Rect(0, 0, 10, 10);
    lie(b);
    b.Op(0x31).Rect(50, 50, 100, 100);
    Surface s(100, 100);
    auto before = PortBytes(s.port);
    s.Draw(b.End(), Rect{0, 0, 100, 100});
    EXPECT_EQ(PortBytes(s.port), before);
    EXPECT_EQ(s.Count(kBlack), 100);
    EXPECT_EQ(s.Count(kBlack, 50, 50, 100, 100), 0) << "nothing drawn after the fault";
  }
}

TEST_F(PictureDraw, NothingToScaleDrawsNothing) {
  Surface s(50, 50);
  auto before = PortBytes(s.port);
  s.Draw(PictBuilder(10, 10, 10, 40).ClipRect(0, 0, 50, 50).Op(0x31).Rect(0, 0, 50, 50).End(), Rect{0, 0, 50, 50});
  s.Draw(Clipped(50).Op(0x31).Rect(0, 0, 50, 50).End(), Rect{0, 0, 0, 50});
  s.Draw(std::vector<uint8_t>{0, 0, 0}, Rect{0, 0, 50, 50});
  EXPECT_EQ(s.Count(kPaper), 50 * 50);
  EXPECT_EQ(PortBytes(s.port), before);
}

// Hooks: picture data through the get-picture procedure in pieces the 16-bit count can
// carry, and a playback started from a hook is refused.
struct HookState {
  std::vector<uint8_t> data;
  size_t at = 0;
  int largest = 0;
  Surface *other = nullptr;
  std::vector<uint8_t> otherPicture;
};
HookState *hookState = nullptr;

void CALLBACK ReadHook(void *dst, short count) {
  HookState &st = *hookState;
  st.largest = std::max<int>(st.largest, count);
  size_t n = std::min<size_t>(size_t(count), st.data.size() - st.at);
  std::memcpy(dst, st.data.data() + st.at, n);
  st.at += n;
  if (st.other) {  // a nested playback from inside the hook
    Surface *other = st.other;
    st.other = nullptr;
    other->Draw(st.otherPicture, Rect{0, 0, 20, 20});
  }
}

TEST_F(PictureDraw, ReadingHookAndReentrancy) {
  HookState state;
  hookState = &state;
  PictBuilder b = Clipped();
  b.Op(0xA1).Word(100).Word(40000).Raw(std::vector<uint8_t>(40000, 0x31));
  b.Op(0x31).Rect(0, 0, 10, 10);
  state.data = b.End();
  // The handle holds the header, size word included; the hook delivers what follows.
  std::vector<uint8_t> header(state.data.begin(), state.data.begin() + 10);
  state.data.erase(state.data.begin(), state.data.begin() + 10);
  Surface inner(20, 20);
  state.other = &inner;
  state.otherPicture = Clipped(20).Op(0x31).Rect(0, 0, 20, 20).End();

  QDProcs procs{};
  procs.getPicProc = ReadHook;
  Surface s(100, 100);
  s.port.grafProcs = &procs;
  s.Draw(header, Rect{0, 0, 100, 100});
  s.port.grafProcs = nullptr;
  hookState = nullptr;
  EXPECT_EQ(s.Count(kBlack), 100);
  EXPECT_EQ(state.at, state.data.size());
  EXPECT_LE(state.largest, 16383);
  EXPECT_EQ(inner.Count(kPaper), 20 * 20) << "the nested playback was refused";
  inner.Draw(state.otherPicture, Rect{0, 0, 20, 20});
  EXPECT_EQ(inner.Count(kBlack), 20 * 20) << "and the next one outside a playback draws";
}

bool UnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// Every play makes and deletes GDI objects: the start clip, a region, a complex clip, the
// brush of a coloured one-bit image. Windows counts the process's objects. Wine does not
// (and its count call fails on i686), but its handle table holds fewer than 65,536: with a
// leak of one object a play, the last play would draw nothing.
TEST_F(PictureDraw, ManyPlaysLeakNoGdiObjects) {
  bool wine = UnderWine();
  // Emulated 32-bit Wine is too slow to fill the table: there the plays only have to work.
  int plays = wine && sizeof(void *) == 8 ? 70000 : 300;
  auto pict = Clipped()
                  .Op(0x01).Word(10 + 2 * 13).Rect(0, 0, 20, 20)
                  .Word(0).Word(0).Word(20).Word(0x7FFF).Word(10).Word(10).Word(20).Word(0x7FFF)
                  .Word(20).Word(0).Word(10).Word(0x7FFF).Word(0x7FFF)
                  .Op(0x1A).Word(0xFFFF).Word(0).Word(0).Op(0x81).Word(10).Rect(0, 0, 10, 10)
                  .Op(0x90).Word(2).Rect(0, 0, 1, 16).Rect(0, 0, 1, 16).Rect(10, 0, 11, 16).Word(1)
                  .Bytes({0xFF, 0xFF}).End();
  Surface s(100, 100);
  s.Draw(pict, Rect{0, 0, 100, 100});
  DWORD before = wine ? 0 : GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  for (int i = 0; i < plays; ++i) s.Draw(pict, Rect{0, 0, 100, 100});
  if (!wine) {
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before);
  }
  s.Fill(kPaper);
  s.Draw(pict, Rect{0, 0, 100, 100});
  EXPECT_EQ(s.Count(0xFF0000, 0, 0, 20, 20), 100 + 10) << "the region and the image's row still draw";
}

}  // namespace
}  // namespace tstools::pict::test
