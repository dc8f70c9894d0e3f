// ML_DrawPicture on a DC port over a 32-bit DIB section: what GDI adds to playback (verbs and
// images of every depth drawn, clips, hooks through the port, the port put back byte for
// byte, GDI objects). The player's own rules are checked by pict_player_test.cpp.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "pict_builder.h"
#include "picture_surface.h"
#include "support/gdi_objects.h"
#include "tstools/tstools.h"

namespace tstools::pict::test {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kBlack = 0, kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;
const Rect kAll{0, 0, 100, 100};

class PictureDraw : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    MemInitZone();
    QDrawCacheInit();
  }
  static void TearDownTestSuite() { QDrawCacheClose(); }
};

PictBuilder Clipped(int size = 100) { return std::move(PictBuilder(0, 0, size, size).ClipRect(0, 0, size, size)); }

std::vector<uint8_t> PortBytes(const GrafPort &port) {
  auto *p = reinterpret_cast<const uint8_t *>(&port);
  return std::vector<uint8_t>(p, p + sizeof port);
}

// The player maps and scales; here each verb and pattern lands on the pixels it covers.
TEST_F(PictureDraw, VerbsAndPatternsAtTheirPlace) {
  const std::vector<uint8_t> checker = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
  auto pict = Clipped()
                  .Op(0x31).Rect(10, 10, 20, 30)                    // paint rect: h 10-29, v 10-19
                  .Op(0x20).Word(50).Word(0).Word(50).Word(40)      // line v 50, h 0-40
                  .Op(0x0A).Bytes(checker).Op(0x34).Rect(60, 0, 76, 16)   // fill with the checker
                  .Op(0x09).Bytes(checker).Op(0x31).Rect(60, 20, 76, 36)  // paint with the pen pattern
                  .Op(0x02).Bytes(checker).Op(0x1B).Word(0).Word(0).Word(0xFFFF).Op(0x32).Rect(80, 0, 96, 16)  // erase
                  .Op(0x09).Bytes(std::vector<uint8_t>(8, 0xFF)).Op(0x1A).Word(0xFFFF).Word(0).Word(0)  // red
                  .Op(0x51).Rect(60, 60, 80, 90)                    // paint oval
                  .Op(0x71).Word(10 + 4 * 4).Rect(0, 60, 30, 90)    // paint triangle
                  .Word(0).Word(60).Word(30).Word(90).Word(30).Word(60).Word(0).Word(60)
                  .End();
  Surface s(100, 100);
  s.Draw(pict, kAll);
  EXPECT_EQ(s.Count(kBlack, 10, 10, 30, 20), 200);
  EXPECT_EQ(s.At(9, 10), kPaper);
  EXPECT_EQ(s.At(30, 10), kPaper);
  EXPECT_EQ(s.Count(kBlack, 0, 50, 41, 51), 41) << "line end pixel included";
  EXPECT_EQ(s.Count(kBlack, 0, 60, 16, 76), 128);
  EXPECT_EQ(s.Count(kWhite, 0, 60, 16, 76), 128);
  EXPECT_EQ(s.Count(kBlack, 20, 60, 36, 76), 128);
  EXPECT_EQ(s.Count(kBlue, 0, 80, 16, 96), 128) << "the background pattern's clear bits in the back colour";
  EXPECT_EQ(s.At(75, 70), kRed);
  EXPECT_EQ(s.At(65, 25), kRed) << "inside the triangle";
  EXPECT_EQ(s.At(80, 5), kPaper) << "outside the triangle";
}

uint32_t PaletteColour(int index) {
  return uint32_t((index * 37) & 0xFF) << 16 | uint32_t((255 - index * 11) & 0xFF) << 8 | uint32_t((index * 73) & 0xFF);
}

// An 8 x 2 image of pixelSize bits, rows stored unpacked (the reference pictures are packed);
// *want gets the colour of each pixel, row after row.
std::vector<uint8_t> ImagePicture(int ps, std::vector<uint32_t> *want) {
  const int width = 8, height = 2;
  const bool direct = ps > 8;
  const int rowBytes = std::max(width * ps / 8, 2);
  PictBuilder b(0, 0, height, width);
  b.ClipRect(0, 0, height, width).Op(direct ? 0x9A : 0x90);
  if (direct) b.Long(0);
  b.PixMap(rowBytes, 0, 0, height, width, ps, direct ? 1 : 0);
  if (!direct) {
    b.Long(0).Word(0).Word((1 << ps) - 1);
    for (int i = 0; i < 1 << ps; ++i) {
      uint32_t rgb = PaletteColour(i);
      b.Word(i).Word(int(rgb >> 16) * 0x101).Word(int(rgb >> 8 & 0xFF) * 0x101).Word(int(rgb & 0xFF) * 0x101);
    }
  }
  b.Rect(0, 0, height, width).Rect(0, 0, height, width).Word(0);
  want->clear();
  for (int y = 0; y < height; ++y) {
    std::vector<uint8_t> row(rowBytes);
    for (int x = 0; x < width; ++x) {
      int i = y * width + x;
      if (!direct) {
        int index = (i * 5 + 3) % (1 << ps);
        row[x * ps / 8] |= uint8_t(index << (8 - ps - x * ps % 8));
        want->push_back(PaletteColour(index));
      } else if (ps == 16) {
        int r = (i * 3) & 31, g = (31 - i) & 31, bl = (i * 7) & 31, px = r << 10 | g << 5 | bl;
        row[2 * x] = uint8_t(px >> 8), row[2 * x + 1] = uint8_t(px);
        auto widen = [](int v) { return uint32_t(v << 3 | v >> 2); };
        want->push_back(widen(r) << 16 | widen(g) << 8 | widen(bl));
      } else {
        uint8_t r = uint8_t(i * 29), g = uint8_t(200 - i * 9), bl = uint8_t(i * 61);
        row[4 * x + 1] = r, row[4 * x + 2] = g, row[4 * x + 3] = bl;
        want->push_back(uint32_t(r) << 16 | uint32_t(g) << 8 | bl);
      }
    }
    b.Bytes(row);
  }
  return b.End();
}

TEST_F(PictureDraw, BitImagesOfEveryDepthUnscaledAndScaled) {
  for (int depth : {1, 2, 4, 8, 16, 32}) {
    SCOPED_TRACE(testing::Message() << depth << "-bit");
    std::vector<uint32_t> want;
    auto pict = ImagePicture(depth, &want);
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

// A 16 x 1 bitmap (not a pixel map) of bits 1010... in the port's colours.
TEST_F(PictureDraw, OneBitImagesInThePortsColoursModesAndHook) {
  struct Case {
    const char *name;
    uint32_t fore, back;
    int mode, width;  // drawn 16 or 8 pixels wide
    bool hook;
    uint32_t set, clear;  // the colours where the bits are set and clear
  };
  const Case cases[] = {
      {"srcCopy", kBlack, kWhite, 0, 16, false, kBlack, kWhite},
      {"shrunk, each pair keeps its black", kBlack, kWhite, 0, 8, false, kBlack, kBlack},
      {"srcOr black on white: an AND", kBlack, kWhite, 1, 16, false, kBlack, kPaper},
      {"srcOr in red: through the brush", kRed, kWhite, 1, 16, false, kRed, kPaper},
      {"srcBic on blue: through the brush", kBlack, kBlue, 3, 16, false, kBlue, kPaper},
      {"the colour hook recolours, transparent becomes copy", kBlack, kWhite, 36, 16, true, kGreen, kBlue},
  };
  auto rgb = [](PictBuilder &b, int op, uint32_t c) {
    b.Op(op).Word(int(c >> 16 & 0xFF) * 0x101).Word(int(c >> 8 & 0xFF) * 0x101).Word(int(c & 0xFF) * 0x101);
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    PictBuilder b(0, 0, 1, 16);
    b.ClipRect(0, 0, 1, 16);
    rgb(b, 0x1A, c.fore), rgb(b, 0x1B, c.back);
    b.Op(0x90).Word(2).Rect(0, 0, 1, 16).Rect(0, 0, 1, 16).Rect(0, 0, 1, 16).Word(c.mode).Bytes({0xAA, 0xAA});
    QDProcs procs{};
    procs.colorProc = GreenOnBlue;
    Surface s(16, 1);
    s.port.grafProcs = c.hook ? &procs : nullptr;
    seenMode = -1;
    s.Draw(b.End(), Rect{0, 0, short(c.width), 1});
    s.port.grafProcs = nullptr;
    for (int x = 0; x < c.width; ++x) EXPECT_EQ(s.At(x, 0), x % 2 ? c.clear : c.set) << x;
    EXPECT_EQ(seenMode, c.hook ? 0 : -1);
  }
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
  b.Op(0x2C).Word(2 + 1 + face[0]).Word(300).Bytes(std::vector<uint8_t>(face, face + 1 + face[0]));
  b.Op(0x03).Word(300).Op(0x0D).Word(20).Op(0x04).Byte(1);
  b.Op(0x28).Word(40).Word(10).Byte(3).Bytes({'H', 'i', 'g'}).Op(0x29).Byte(40).Byte(3).Bytes({'H', 'i', 'g'});
  Surface s(100, 100);
  auto before = PortBytes(s.port);
  s.Draw(b.End(), kAll);
  EXPECT_EQ(PortBytes(s.port), before) << "the font the text selected is gone again";

  Surface want(100, 100);
  ML_TextFont(&want.port, 2);
  ML_TextSize(&want.port, 20);
  ML_TextFace(&want.port, 1);
  char text[] = "Hig";
  for (short h : {10, 50}) ML_MoveTo(&want.port, h, 40), ML_DrawText(&want.port, text, 0, 3);
  EXPECT_GT(want.Count(kBlack), 50);
  EXPECT_EQ(std::memcmp(s.pixels(), want.pixels(), 100 * 100 * 4), 0);
}

// Every play puts the port back byte for byte (its pen, clip and DC state too) and every GDI
// object it made goes: after drawing all of a picture, after faults, or with nothing to draw.
TEST_F(PictureDraw, PlaysLeaveThePortAndGdiAsTheyWere) {
  PictBuilder state = Clipped();
  state.Op(0x20).Word(80).Word(80).Word(80).Word(89);  // in the default state: a black 1-pixel line
  state.Op(0x07).Word(3).Word(4).Op(0x02).Bytes({8, 7, 6, 5, 4, 3, 2, 1}).Op(0x03).Word(3).Op(0x04).Byte(3);
  state.Op(0x05).Word(2).Op(0x0D).Word(24).Op(0x06).Long(0x20000).Op(0x0E).Long(205);  // red
  state.Op(0x1B).Word(0).Word(0x8000).Word(0).Op(0x0C).Word(5).Word(5).Op(0x31).Rect(10, 10, 40, 40);
  state.Op(0x20).Word(1).Word(1).Word(60).Word(60).Op(0x08).Word(10).Op(0x09).Bytes({1, 2, 3, 4, 5, 6, 7, 8});
  // A clip region, a region and a coloured one-bit image: GDI objects made and deleted. The
  // L-shaped clip (rows 0-10 cover h 0-20, rows 10-20 h 0-10) leaves 5 of the image's pixels.
  auto objects = Clipped()
                     .Op(0x01).Word(10 + 2 * 13).Rect(0, 0, 20, 20)
                     .Word(0).Word(0).Word(20).Word(0x7FFF).Word(10).Word(10).Word(20).Word(0x7FFF)
                     .Word(20).Word(0).Word(10).Word(0x7FFF).Word(0x7FFF)
                     .Op(0x1A).Word(0xFFFF).Word(0).Word(0).Op(0x81).Word(10).Rect(0, 0, 10, 10)
                     .Op(0x90).Word(2).Rect(0, 0, 1, 16).Rect(0, 0, 1, 16).Rect(10, 0, 11, 16).Word(1)
                     .Bytes({0xFF, 0xFF}).End();
  struct Case {
    const char *name;
    std::vector<uint8_t> pict;
    uint32_t colour;
    int count;  // pixels of colour drawn
    Rect destination;
  };
  const Case cases[] = {
      {"every state opcode", state.End(), kBlack, 10, kAll},
      {"regions and a coloured image", objects, kRed, 25 + 5, kAll},
      // A 10 x 10 paint, a length that lies, then a paint inside the data it claims.
      {"region size", Clipped().Op(0x31).Rect(0, 0, 10, 10).Op(0x81).Word(4000).Rect(0, 0, 100, 100)
           .Op(0x31).Rect(50, 50, 100, 100).End(), kBlack, 25, kAll},
      {"packed row length", Clipped().Op(0x31).Rect(0, 0, 10, 10).Op(0x98).PixMap(8, 0, 0, 1, 8, 8).Long(0).Word(0)
           .Word(0).Word(0).Word(0).Word(0).Word(0).Rect(0, 0, 1, 8).Rect(0, 0, 1, 8).Word(0).Byte(200).Byte(7)
           .Op(0x31).Rect(50, 50, 100, 100).End(), kBlack, 25, kAll},
      {"frame without width", PictBuilder(10, 10, 10, 40).ClipRect(0, 0, 50, 50).Op(0x31).Rect(0, 0, 50, 50).End(),
       kBlack, 0, kAll},
      {"destination without width", Clipped().Op(0x31).Rect(0, 0, 50, 50).End(), kBlack, 0, Rect{0, 0, 0, 50}},
      {"shorter than a header", {0, 0, 0}, kBlack, 0, kAll},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    Surface s(100, 100);
    Rect clip{5, 5, 95, 95};
    ML_ClipRect(&s.port, &clip);
    RGBColor green{0, 0xFFFF, 0};
    ML_RGBForeColor(&s.port, &green);
    ML_PenSize(&s.port, 5, 5);
    ML_MoveTo(&s.port, 7, 9);
    auto before = PortBytes(s.port);
    s.Draw(c.pict, c.destination);
    EXPECT_EQ(PortBytes(s.port), before);
    EXPECT_EQ(s.Count(c.colour), c.count);
    long live = ::tstools::test::LiveGdiObjects();
    s.Draw(c.pict, c.destination);
    EXPECT_EQ(::tstools::test::LiveGdiObjects(), live) << "GDI objects leaked";
    POINT pen{};
    GetCurrentPositionEx(s.port.dc, &pen);
    EXPECT_EQ(pen.x * 100 + pen.y, 7 * 100 + 9);
    s.Fill(kPaper);
    ML_PaintRect(&s.port, &kAll);
    EXPECT_EQ(s.Count(kGreen), 90 * 90) << "the port draws in its own state and clip";
  }
}

// Hooks: picture data through the get-picture procedure in pieces the 16-bit count can
// carry, and a playback started from a hook is refused.
std::vector<uint8_t> hookData, nestedPicture;
size_t hookAt;
int largestRead;
Surface *nested;

void CALLBACK ReadHook(void *dst, short count) {
  largestRead = std::max<int>(largestRead, count);
  size_t n = std::min<size_t>(size_t(count), hookData.size() - hookAt);
  std::memcpy(dst, hookData.data() + hookAt, n);
  hookAt += n;
  if (Surface *other = std::exchange(nested, nullptr)) other->Draw(nestedPicture, Rect{0, 0, 20, 20});
}

TEST_F(PictureDraw, ReadingHookAndReentrancy) {
  std::vector<uint8_t> pict = Clipped().Op(0xA1).Word(100).Word(40000).Bytes(std::vector<uint8_t>(40000, 0x31))
                                  .Op(0x31).Rect(0, 0, 10, 10).End();
  // The handle holds the header, size word included; the hook delivers what follows.
  hookData.assign(pict.begin() + 10, pict.end());
  pict.resize(10);
  Surface inner(20, 20);
  nested = &inner;
  nestedPicture = Clipped(20).Op(0x31).Rect(0, 0, 20, 20).End();
  QDProcs procs{};
  procs.getPicProc = ReadHook;
  Surface s(100, 100);
  s.port.grafProcs = &procs;
  s.Draw(pict, kAll);
  s.port.grafProcs = nullptr;
  EXPECT_EQ(s.Count(kBlack), 100);
  EXPECT_EQ(hookAt, hookData.size());
  EXPECT_LE(largestRead, 16383);
  EXPECT_EQ(inner.Count(kPaper), 20 * 20) << "the nested playback was refused";
  inner.Draw(nestedPicture, Rect{0, 0, 20, 20});
  EXPECT_EQ(inner.Count(kBlack), 20 * 20) << "and the next one outside a playback draws";
}

}  // namespace
}  // namespace tstools::pict::test
