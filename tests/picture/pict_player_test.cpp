#include <gtest/gtest.h>

#include <cstring>

#include "picture/packbits.h"
#include "picture/pict_player.h"
#include "pict_builder.h"
#include "recording_sink.h"

namespace tstools::pict::test {
namespace {

PlayResult Play(const std::vector<uint8_t> &pict, RecordingSink &sink,
                PictRect destination = {0, 0, 100, 100}) {
  return PlayPicture(pict.data(), pict.size(), nullptr, sink, destination);
}

TEST(PackBits, LiteralsRepeatsAndMinus128) {
  const uint8_t packed[] = {2, 'a', 'b', 'c', 0xFE, 'x', 0x80, 'y'};
  uint8_t row[10];
  ASSERT_TRUE(UnpackBits(packed, sizeof packed, row, sizeof row));
  EXPECT_EQ(std::memcmp(row, "abcxxxyyyy", 6), 0);
}

TEST(PackBits, RunPastTheRowIsCutAndShortDataFails) {
  const uint8_t overshoot[] = {0xF0, 'z'};  // 17 repeats into a 4-byte row
  uint8_t row[4 + 4] = {};
  ASSERT_TRUE(UnpackBits(overshoot, sizeof overshoot, row, 4));
  EXPECT_EQ(std::memcmp(row, "zzzz\0\0\0\0", 8), 0) << "nothing written past the row";
  const uint8_t shortLiteral[] = {5, 'a', 'b'};
  uint8_t out[6];
  EXPECT_FALSE(UnpackBits(shortLiteral, sizeof shortLiteral, out, sizeof out));
  EXPECT_FALSE(UnpackBits(nullptr, 0, out, sizeof out));
  const uint8_t words[] = {0xFF, 0x12, 0x34, 0x00, 0xAB, 0xCD};  // repeat 2 words, 1 literal
  uint8_t w[6];
  ASSERT_TRUE(UnpackBits16(words, sizeof words, w, sizeof w));
  const uint8_t want[] = {0x12, 0x34, 0x12, 0x34, 0xAB, 0xCD};
  EXPECT_EQ(std::memcmp(w, want, 6), 0);
}

TEST(PictPlayback, NothingDrawsBeforeAClipRegion) {
  RecordingSink sink;
  auto pict = PictBuilder(0, 0, 100, 100).Op(0x30).Rect(10, 10, 20, 30).End();
  PlayResult r = Play(pict, sink);
  EXPECT_EQ(r.outcome, PlayOutcome::kEnded);
  EXPECT_EQ(sink.Count("rect"), 0u);
  EXPECT_TRUE(sink.Has("pen 30,20")) << "a suppressed shape still moves the pen";
  EXPECT_EQ(sink.began, 1);
  EXPECT_EQ(sink.ended, 1);

  RecordingSink drawn;
  Play(PictBuilder(0, 0, 100, 100).ClipRect(0, 0, 100, 100).Op(0x30).Rect(10, 10, 20, 30).End(), drawn);
  EXPECT_TRUE(drawn.Has("rect 0 10,10,30,20"));
}

TEST(PictPlayback, ClipRegionsGateDrawing) {
  RecordingSink empty;
  Play(PictBuilder(0, 0, 100, 100).ClipRect(5, 5, 5, 5).Op(0x31).Rect(1, 1, 9, 9).End(), empty);
  EXPECT_EQ(empty.Count("rect"), 0u) << "an empty rectangular clip suppresses";

  RecordingSink outside;
  outside.clipBox = {0, 0, 50, 50};
  auto pict = PictBuilder(0, 0, 100, 100)
                  .ClipRect(60, 60, 90, 90).Op(0x31).Rect(1, 1, 9, 9)
                  .ClipRect(0, 0, 40, 40).Op(0x31).Rect(2, 2, 8, 8).End();
  Play(pict, outside);
  EXPECT_EQ(outside.Count("rect"), 1u) << "a clip outside the device clip suppresses until the next one";
  EXPECT_TRUE(outside.Has("rect 1 2,2,8,8"));
  EXPECT_TRUE(outside.Has("clip 0,0,40,40"));
}

TEST(PictPlayback, ComplexRegionBecomesSpans) {
  // An L shape: rows 0-10 cover h 0-20, rows 10-20 cover h 0-10.
  RecordingSink sink;
  auto pict = PictBuilder(0, 0, 100, 100)
                  .ClipRect(0, 0, 100, 100)
                  .Op(0x81).Word(10 + 2 * 13).Rect(0, 0, 20, 20)
                  .Word(0).Word(0).Word(20).Word(0x7FFF)
                  .Word(10).Word(10).Word(20).Word(0x7FFF)
                  .Word(20).Word(0).Word(10).Word(0x7FFF)
                  .Word(0x7FFF)
                  .End();
  Play(pict, sink);
  EXPECT_TRUE(sink.Has("rgn 1 0,0,20,20 [0,0,20,10] [0,10,10,20]"));
}

TEST(PictPlayback, Version2PadsAfterOddDataVersion1Never) {
  RecordingSink v2;
  auto pict = PictBuilder(0, 0, 100, 100).Op(0x04).Byte(1).Op(0x04).Byte(2).End();
  EXPECT_EQ(Play(pict, v2).outcome, PlayOutcome::kEnded);
  EXPECT_TRUE(v2.Has("face 1"));
  EXPECT_TRUE(v2.Has("face 2"));

  RecordingSink v1;
  auto old = PictBuilder(0, 0, 100, 100, true).Op(0x04).Byte(1).Op(0x04).Byte(2).End();
  EXPECT_EQ(Play(old, v1).outcome, PlayOutcome::kEnded);
  EXPECT_TRUE(v1.Has("face 2"));
}

TEST(PictPlayback, ExtendedHeaderSourceRectangleScales) {
  RecordingSink sink;
  auto pict = PictBuilder(0, 0, 100, 100)
                  .Op(0x0C00).Word(-2).Word(0).Long(72 << 16).Long(72 << 16)
                  .Rect(0, 0, 50, 50).Long(0)
                  .ClipRect(0, 0, 50, 50).Op(0x30).Rect(10, 10, 20, 20).End();
  Play(pict, sink, {0, 0, 100, 100});
  EXPECT_TRUE(sink.Has("rect 0 20,20,40,40")) << "50-unit source onto 100 pixels";
}

// Each Origin opcode moves the source frame; 66,000 of them overflowed an int before. The
// mapping now saturates at the coordinate range.
TEST(PictPlayback, OriginOffsetsSaturateTheMapping) {
  PictBuilder b(0, 0, 100, 100);
  for (int i = 0; i < 66000; ++i) b.Op(0x0C).Word(32767).Word(-32768);
  RecordingSink sink;
  EXPECT_EQ(Play(b.Op(0x20).Rect(0, 0, 0, 0).End(), sink).outcome, PlayOutcome::kEnded);
  EXPECT_EQ(sink.calls.back(), "pen -32768,32767");
}

TEST(PictPlayback, RoundRectWithoutOvalIsARect) {
  RecordingSink sink;
  Play(PictBuilder(0, 0, 100, 100).ClipRect(0, 0, 100, 100)
           .Op(0x40).Rect(1, 2, 3, 4)
           .Op(0x0B).Word(6).Word(8).Op(0x48).End(), sink);
  EXPECT_TRUE(sink.Has("rect 0 2,1,4,3"));
  EXPECT_TRUE(sink.Has("rrect 0 2,1,4,3 8,6"));
}

TEST(PictPlayback, PenMode23SuppressesAndLeavingItResyncs) {
  RecordingSink sink;
  Play(PictBuilder(0, 0, 100, 100).ClipRect(0, 0, 100, 100)
           .Op(0x08).Word(23).Op(0x20).Word(1).Word(2).Word(3).Word(4)
           .Op(0x08).Word(8).Op(0x21).Word(5).Word(6).End(), sink);
  EXPECT_EQ(sink.Count("line"), 1u);
  EXPECT_TRUE(sink.Has("pen 4,3")) << "the suppressed line only moved the pen";
  auto it = std::find(sink.calls.begin(), sink.calls.end(), "penmode 8");
  ASSERT_NE(it, sink.calls.end());
  EXPECT_EQ(*(it + 1), "move 4,3") << "leaving mode 23 moves to the pen location";
}

TEST(PictPlayback, FontNumbersThroughTheFontMap) {
  RecordingSink sink;
  sink.fonts = {{"Arial", 7}, {"Geneva", 9}};
  PictBuilder b(0, 0, 100, 100);
  b.Op(0x03).Word(3).Op(0x03).Word(99).Op(0x03).Word(0);
  b.Op(0x2C).Word(2 + 7).Word(99).Byte(6).Bytes({'G', 'e', 'n', 'e', 'v', 'a'}).Op(0x03).Word(99);
  // 32 more pairs push out every older one, the preloaded Arial (3) included.
  for (int i = 0; i < 32; ++i) b.Op(0x2C).Word(2 + 2).Word(200 + i).Byte(1).Byte('Z');
  b.Op(0x03).Word(3);
  Play(b.End(), sink);
  std::vector<std::string> fonts;
  for (auto &c : sink.calls) if (c.rfind("font ", 0) == 0) fonts.push_back(c);
  ASSERT_EQ(fonts.size(), 5u);
  EXPECT_EQ(fonts[0], "font 7") << "preloaded Arial";
  EXPECT_EQ(fonts[1], "font 1") << "unknown numbers draw in font 1";
  EXPECT_EQ(fonts[2], "font 0") << "0 stays 0";
  EXPECT_EQ(fonts[3], "font 9") << "FontName pair";
  EXPECT_EQ(fonts[4], "font 1") << "the oldest pair was overwritten";
}

TEST(PictPlayback, TextAtMappedLocationsPenRestored) {
  RecordingSink sink;
  Play(PictBuilder(0, 0, 100, 100).ClipRect(0, 0, 100, 100)
           .Op(0x28).Word(20).Word(10).Byte(2).Bytes({'h', 'i'})
           .Op(0x29).Byte(200).Byte(1).Byte('!').End(), sink, {0, 0, 50, 50});
  EXPECT_TRUE(sink.Has("move 5,10"));
  EXPECT_TRUE(sink.Has("text hi"));
  EXPECT_TRUE(sink.Has("move 105,10")) << "DHText's dh byte is unsigned (10 + 200) / 2";
  EXPECT_EQ(sink.calls.back(), "move 0,0") << "back to the pen location";
}

std::vector<uint8_t> DirectImage16(int width, int height, uint16_t pixel) {
  PictBuilder b(0, 0, int16_t(height), int16_t(width));
  b.ClipRect(0, 0, height, width);
  int rowBytes = width * 2;
  b.Op(0x9A).Long(0xFF).Word(0x8000 | rowBytes).Rect(0, 0, height, width)
      .Word(0).Word(1).Long(0).Long(72 << 16).Long(72 << 16)
      .Word(16).Word(16).Word(3).Word(5).Long(0).Long(0).Long(0)
      .Rect(0, 0, height, width).Rect(0, 0, height, width).Word(0);
  for (int i = 0; i < width * height; ++i) b.Word(pixel);
  return b.End();
}

TEST(PictImages, SixteenBitWhiteWidensToFF) {
  RecordingSink sink;
  auto pict = DirectImage16(3, 2, 0x7FFF);
  EXPECT_EQ(Play(pict, sink, {0, 0, 3, 2}).outcome, PlayOutcome::kEnded);
  ASSERT_EQ(sink.images.size(), 1u);
  EXPECT_EQ(sink.images[0].depth, 24);
  const auto &bits = sink.imageBits[0];
  for (int i = 0; i < 9; ++i) EXPECT_EQ(bits[i], 0xFF) << i;
}

// A 32-bit unpacked image large enough for several bands must give the same rows as one
// band would: every source row appears once, in order, at proportional destinations.
TEST(PictImages, LargeImagesDrawInBandsThatTileTheDestination) {
  const int width = 100, height = 400;  // 1200 bytes per DIB row: 54 rows per band
  PictBuilder b(0, 0, height, width);
  b.ClipRect(0, 0, height, width);
  b.Op(0x9A).Long(0xFF).Word(0x8000 | (width * 4)).Rect(0, 0, height, width)
      .Word(0).Word(1).Long(0).Long(72 << 16).Long(72 << 16)
      .Word(16).Word(32).Word(3).Word(8).Long(0).Long(0).Long(0)
      .Rect(0, 0, height, width).Rect(0, 0, height, width).Word(0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) b.Byte(0).Byte(uint8_t(y)).Byte(uint8_t(x)).Byte(uint8_t(y >> 8));
  RecordingSink sink;
  EXPECT_EQ(Play(b.End(), sink, {0, 0, width, height * 2}).outcome, PlayOutcome::kEnded);
  ASSERT_GT(sink.images.size(), 1u);
  int expectRow = 0, expectDest = 0;
  for (size_t i = 0; i < sink.images.size(); ++i) {
    const ImageBand &band = sink.images[i];
    EXPECT_LE(band.dibRowBytes * size_t(band.rows), 65533u);
    EXPECT_EQ(band.destination.top, expectDest);
    expectDest = band.destination.bottom;
    for (int r = band.source.top; r < band.source.bottom; ++r, ++expectRow) {
      const uint8_t *row = sink.imageBits[i].data() + size_t(band.rows - 1 - r) * band.dibRowBytes;
      EXPECT_EQ(row[2], uint8_t(expectRow)) << "red holds the row number";
      EXPECT_EQ(row[0], uint8_t(expectRow >> 8));
    }
  }
  EXPECT_EQ(expectRow, height);
  EXPECT_EQ(expectDest, height * 2);
}

TEST(PictImages, RowsWiderThanTheBandBufferStillDraw) {
  const int width = 11000, height = 3;  // 33000-byte DIB rows: one row per band
  PictBuilder b(0, 0, height, width);
  b.ClipRect(0, 0, height, width);
  b.Op(0x9A).Long(0xFF).Word(0x8000 | 12000).Rect(0, 0, height, width)  // rowBytes masked to 0x3FFF
      .Word(0).Word(2).Long(0).Long(72 << 16).Long(72 << 16)
      .Word(16).Word(32).Word(3).Word(8).Long(0).Long(0).Long(0)
      .Rect(0, 0, height, width).Rect(0, 0, height, width).Word(0);
  std::vector<uint8_t> row(size_t(12000 / 4) * 3, 0x40);
  for (int y = 0; y < height; ++y) b.Raw(row);
  RecordingSink sink;
  EXPECT_EQ(Play(b.End(), sink, {0, 0, width, height}).outcome, PlayOutcome::kEnded);
  EXPECT_EQ(sink.images.size(), 3u);
}

TEST(PictMalformed, LengthsThatLieEndPlaybackCleanly) {
  struct Case {
    const char *name;
    std::vector<uint8_t> pict;
    PlayOutcome outcome;
  };
  std::vector<Case> cases = {
      {"text count past the end", PictBuilder(0, 0, 10, 10).ClipRect(0, 0, 10, 10).Op(0x28).Word(1).Word(1).Byte(200).Bytes({'a'}).Truncated(), PlayOutcome::kTruncated},
      {"region size past the end", PictBuilder(0, 0, 10, 10).Op(0x01).Word(4000).Rect(0, 0, 5, 5).Truncated(), PlayOutcome::kTruncated},
      {"region size below its header", PictBuilder(0, 0, 10, 10).Op(0x01).Word(4).Rect(0, 0, 5, 5).End(), PlayOutcome::kMalformed},
      {"polygon size below its header", PictBuilder(0, 0, 10, 10).Op(0x70).Word(3).End(), PlayOutcome::kMalformed},
      {"FontName length below 2", PictBuilder(0, 0, 10, 10).Op(0x2C).Word(1).Word(5).End(), PlayOutcome::kMalformed},
      {"unknown version", PictBuilder(0, 0, 10, 10).Op(0x11).Byte(3).Op(0x30).Rect(0, 0, 1, 1).End(), PlayOutcome::kMalformed},
      {"long comment past the end", PictBuilder(0, 0, 10, 10).Op(0xA1).Word(100).Word(30000).Truncated(), PlayOutcome::kTruncated},
      {"pixel size 3", PictBuilder(0, 0, 10, 10).Op(0x98).Word(0x8000 | 8).Rect(0, 0, 1, 1).Word(0).Word(0).Long(0).Long(0).Long(0).Word(0).Word(3).Word(1).Word(3).Long(0).Long(0).Long(0).End(), PlayOutcome::kMalformed},
      // Found by the fuzzer: the failed read of an empty region body cleared nothing at null.
      {"clip rectangle cut short", {0, 0, 0, 0, 0, 0, 0, 10, 0, 10, 0x01, 0, 10, 0}, PlayOutcome::kTruncated},
      {"packed row past the end", PictBuilder(0, 0, 10, 10).ClipRect(0, 0, 10, 10).Op(0x98).Word(8).Rect(0, 0, 2, 64).Rect(0, 0, 2, 64).Rect(0, 0, 2, 64).Word(0).Byte(50).Bytes({1, 2}).Truncated(), PlayOutcome::kTruncated},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    RecordingSink sink;
    PlayResult r = Play(c.pict, sink);
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_LE(r.bytesRead, c.pict.size());
    EXPECT_EQ(sink.ended, 1) << "the port is restored";
    EXPECT_EQ(sink.Count("rect"), 0u);
    EXPECT_EQ(sink.Count("text"), 0u);
  }
}

// A reading hook cannot say where its data ends: it gives zeros here once the picture is
// over. Reads beyond what the picture can hold (its block, or its size word when the block
// is only the header) now fail without asking it, instead of millions of calls.
TEST(PictMalformed, HookLengthsThatLieStopWithinThePicture) {
  struct Hook final : PictSource {
    std::vector<uint8_t> data;
    size_t calls = 0, bytes = 0;
    bool Read(void *dst, size_t n) override {
      for (size_t i = 0; i < n; ++i, ++bytes)
        static_cast<uint8_t *>(dst)[i] = bytes < data.size() ? data[bytes] : 0;
      ++calls;
      return true;
    }
  };
  std::vector<std::vector<uint8_t>> lies = {
      PictBuilder(0, 0, 10, 10).Op(0xD0).Long(0xFFFFFFF0).Truncated(),
      PictBuilder(0, 0, 10, 10).ClipRect(0, 0, 10, 10).Op(0x9A).Long(0).Word(0x8000 | 16380).Rect(-32768, 0, 32767, 4095)
          .Word(0).Word(0).Long(0).Long(72 << 16).Long(72 << 16).Word(16).Word(32).Word(3).Word(8).Long(0).Long(0).Long(0)
          .Rect(-32768, 0, 32767, 4095).Rect(0, 0, 10, 10).Word(0).Truncated(),  // 65,535 rows of 16 KB
  };
  for (const std::vector<uint8_t> &pict : lies) {
    Hook hook;
    hook.data.assign(pict.begin() + 10, pict.end());
    RecordingSink sink;
    PlayResult r = PlayPicture(pict.data(), 10, &hook, sink, {0, 0, 10, 10});  // header-only block
    EXPECT_EQ(r.outcome, PlayOutcome::kTruncated);
    EXPECT_LE(hook.bytes, pict.size() - 10);
    EXPECT_LT(hook.calls, 200u);
  }
}

// Found by the fuzzer: a bitmap claiming rows of 0 bytes across a non-zero width. Such rows
// are blank; 65,535 of them, 32,767 pixels wide, were 65,535 bands (6 GB of rows) before.
TEST(PictMalformed, ZeroByteRowsDrawBlankRows) {
  RecordingSink sink;
  auto pict = PictBuilder(0, 0, 10, 10).ClipRect(0, 0, 10, 10)
                  .Op(0x90).Word(0).Rect(0, 0, 2, 16).Rect(0, 0, 2, 16).Rect(0, 0, 2, 16).Word(0).End();
  EXPECT_EQ(Play(pict, sink).outcome, PlayOutcome::kEnded);
  ASSERT_EQ(sink.imageBits.size(), 1u);
  for (uint8_t b : sink.imageBits[0]) EXPECT_EQ(b, 0);

  RecordingSink huge;
  pict = PictBuilder(0, 0, 10, 10).ClipRect(0, 0, 10, 10)
             .Op(0x9A).Long(0).Word(0x8000).Rect(-32768, 0, 32767, 32767)
             .Word(0).Word(0).Long(0).Long(72 << 16).Long(72 << 16).Word(16).Word(32).Word(3).Word(8).Long(0).Long(0).Long(0)
             .Rect(-32768, 0, 32767, 32767).Rect(0, 0, 10, 10).Word(0).End();
  EXPECT_EQ(Play(pict, huge).outcome, PlayOutcome::kEnded);
  ASSERT_EQ(huge.images.size(), 1u);
  EXPECT_EQ(Str(huge.images[0].destination), "0,0,100,100");
  EXPECT_EQ(huge.images[0].rows, 1);
}

// A region with more spans than the player honours (1,000 a band over 300 bands)
// ends playback as malformed wherever it appears. As a clip it used to be applied in part,
// so later shapes painted outside it.
TEST(PictMalformed, RegionsTooComplexToHonourEndPlayback) {
  std::vector<uint8_t> body;
  auto word = [&](int v) { body.insert(body.end(), {uint8_t(v >> 8), uint8_t(v)}); };
  word(0);
  for (int h = 0; h < 2000; ++h) word(h * 4);
  word(0x7FFF);
  for (int v = 1; v < 300; ++v) word(v), word(0x7FFF);
  word(0x7FFF);
  for (uint16_t op : {0x01, 0x91, 0x81}) {
    SCOPED_TRACE(op);
    PictBuilder b = PictBuilder(0, 0, 100, 100).ClipRect(0, 0, 100, 100);
    b.Op(op);
    if (op == 0x91) b.Word(2).Rect(0, 0, 1, 16).Rect(0, 0, 1, 16).Rect(0, 0, 1, 16).Word(0);
    b.Word(int(10 + body.size())).Rect(0, 0, 300, 8000).Raw(body);
    if (op == 0x91) b.Bytes({0xFF, 0xFF});  // the image's one row
    RecordingSink sink;
    EXPECT_EQ(Play(b.Op(0x31).Rect(0, 0, 10, 10).End(), sink).outcome, PlayOutcome::kMalformed);
    EXPECT_EQ(sink.Count("rect") + sink.Count("image") + sink.Count("rgn"), 0u);
  }
}

TEST(PictMalformed, DegenerateFramesDrawNothing) {
  for (auto frame : {PictRect{0, 0, 0, 10}, PictRect{0, 0, 10, 0}}) {
    RecordingSink sink;
    auto pict = PictBuilder(frame.top, frame.left, frame.bottom, frame.right).ClipRect(0, 0, 10, 10).Op(0x30).Rect(0, 0, 5, 5).End();
    EXPECT_EQ(Play(pict, sink).outcome, PlayOutcome::kEmpty);
    EXPECT_TRUE(sink.calls.empty());
    EXPECT_EQ(sink.began, 0) << "nothing saved, nothing to restore";
  }
  RecordingSink sink;
  auto pict = PictBuilder(0, 0, 10, 10).Op(0x0C00).Word(-2).Word(0).Long(0).Long(0).Rect(5, 5, 5, 9).Long(0)
                  .ClipRect(0, 0, 10, 10).Op(0x30).Rect(0, 0, 5, 5).End();
  EXPECT_EQ(Play(pict, sink).outcome, PlayOutcome::kMalformed);
  EXPECT_EQ(sink.Count("rect"), 0u);
  const uint8_t tiny[] = {0, 1, 2};
  EXPECT_EQ(PlayPicture(tiny, sizeof tiny, nullptr, sink, {0, 0, 1, 1}).outcome, PlayOutcome::kEmpty);
}

}  // namespace
}  // namespace tstools::pict::test
