#include <gtest/gtest.h>

#include <algorithm>

#include "picture/packbits.h"
#include "picture/pict_player.h"
#include "pict_builder.h"
#include "recording_sink.h"

namespace tstools::pict::test {
namespace {

PlayResult Play(const std::vector<uint8_t> &pict, RecordingSink &sink, PictRect destination = {0, 0, 100, 100}) {
  return PlayPicture(pict.data(), pict.size(), nullptr, sink, destination);
}
PictBuilder Frame() { return PictBuilder(0, 0, 100, 100); }
PictBuilder Clipped() { return std::move(Frame().ClipRect(0, 0, 100, 100)); }

// packbits_fuzz checks decoding against a model; these are edges a short run may not reach.
TEST(PackBits, RunsStopAtTheRowEndAndShortDataFails) {
  struct Case {
    bool words;
    std::vector<uint8_t> packed, want;  // want: the row, or empty when decoding fails
  };
  const Case cases[] = {
      {false, {2, 'a', 'b', 'c', 0xFE, 'x'}, {'a', 'b', 'c', 'x', 'x', 'x'}},
      {false, {0xF0, 'z'}, {'z', 'z', 'z', 'z'}},  // 17 repeats into a 4-byte row
      {true, {0xFF, 0x12, 0x34, 0x00, 0xAB, 0xCD}, {0x12, 0x34, 0x12, 0x34, 0xAB, 0xCD}},
      {true, {1, 'a', 'b', 'c', 'd', 1, 'e', 'f'}, {}},  // the second literal's words are not there
  };
  for (const Case &c : cases) {
    size_t size = c.want.empty() ? 8 : c.want.size();
    std::vector<uint8_t> row(size + 4, 0xEE);  // 4 bytes that must stay untouched
    bool ok = (c.words ? UnpackBits16 : UnpackBits)(c.packed.data(), c.packed.size(), row.data(), size);
    EXPECT_EQ(ok, !c.want.empty()) << int(c.packed[0]);
    EXPECT_TRUE(!ok || std::equal(c.want.begin(), c.want.end(), row.begin()));
    EXPECT_EQ(std::vector<uint8_t>(row.begin() + size, row.end()), std::vector<uint8_t>(4, 0xEE));
  }
}

// The player's calls for each picture, as runs in RecordingSink::Joined(); a run with a
// leading '!' must not occur. Every playback ends where it started (the port restored).
TEST(PictPlayback, CallsOfEachPicture) {
  PictBuilder origins = Frame();
  for (int i = 0; i < 66000; ++i) origins.Op(0x0C).Word(32767).Word(-32768);
  PictBuilder wide(0, 0, 3, 11000);  // 33,000-byte DIB rows: one a band
  wide.ClipRect(0, 0, 3, 11000).Op(0x9A).Long(0xFF).PixMap(12000, 0, 0, 3, 11000, 32, 2)
      .Rect(0, 0, 3, 11000).Rect(0, 0, 3, 11000).Word(0);
  for (int y = 0; y < 3; ++y) wide.Bytes(std::vector<uint8_t>(9000, 0x40));
  // A region of more spans than the player honours (1,000 a band over 300 bands).
  std::vector<uint8_t> spans;
  auto word = [&](int v) { spans.insert(spans.end(), {uint8_t(v >> 8), uint8_t(v)}); };
  word(0);
  for (int h = 0; h < 2000; ++h) word(h * 4);
  word(0x7FFF);
  for (int v = 1; v < 300; ++v) word(v), word(0x7FFF);
  word(0x7FFF);
  auto complex = [&](uint16_t op) {
    PictBuilder b = Clipped();
    b.Op(op);
    if (op == 0x91) b.Word(2).Rect(0, 0, 1, 16).Rect(0, 0, 1, 16).Rect(0, 0, 1, 16).Word(0);
    b.Word(int(10 + spans.size())).Rect(0, 0, 300, 8000).Bytes(spans);
    if (op == 0x91) b.Bytes({0xFF, 0xFF});  // the image's one row
    return b.Op(0x31).Rect(0, 0, 10, 10).End();
  };
  struct Case {
    const char *name;
    std::vector<uint8_t> pict;
    PlayOutcome outcome;
    std::vector<std::string> runs;
    PictRect destination{0, 0, 100, 100}, clipBox{-32768, -32768, 32767, 32767};
  };
  const Case cases[] = {
      {"before a clip region nothing draws, the pen moves", Frame().Op(0x30).Rect(10, 10, 20, 30).End(),
       PlayOutcome::kEnded, {"!|rect", "|pen 30,20|"}},
      {"a clip region lets shapes draw", Clipped().Op(0x30).Rect(10, 10, 20, 30).End(), PlayOutcome::kEnded,
       {"|rect 0 10,10,30,20|"}},
      {"an empty clip rectangle suppresses", Frame().ClipRect(5, 5, 5, 5).Op(0x31).Rect(1, 1, 9, 9).End(),
       PlayOutcome::kEnded, {"!|rect"}},
      {"a clip outside the device's suppresses until the next",
       Frame().ClipRect(60, 60, 90, 90).Op(0x31).Rect(1, 1, 9, 9).ClipRect(0, 0, 40, 40).Op(0x31).Rect(2, 2, 8, 8).End(),
       PlayOutcome::kEnded, {"!|rect 1 1,1,9,9|", "|clip 0,0,40,40|", "|rect 1 2,2,8,8|end|"}, {0, 0, 100, 100}, {0, 0, 50, 50}},
      {"an L-shaped region becomes spans",
       Clipped().Op(0x81).Word(10 + 2 * 13).Rect(0, 0, 20, 20).Word(0).Word(0).Word(20).Word(0x7FFF)
           .Word(10).Word(10).Word(20).Word(0x7FFF).Word(20).Word(0).Word(10).Word(0x7FFF).Word(0x7FFF).End(),
       PlayOutcome::kEnded, {"|rgn 1 0,0,20,20 [0,0,20,10] [0,10,10,20]|"}},
      {"version 2 pads after odd data", Frame().Op(0x04).Byte(1).Op(0x04).Byte(2).End(), PlayOutcome::kEnded,
       {"|face 1|face 2|"}},
      {"version 1 never pads", PictBuilder(0, 0, 100, 100, true).Op(0x04).Byte(1).Op(0x04).Byte(2).End(),
       PlayOutcome::kEnded, {"|face 1|face 2|"}},
      {"the extended header's source rectangle scales",
       Frame().Op(0x0C00).Word(-2).Word(0).Long(72 << 16).Long(72 << 16).Rect(0, 0, 50, 50).Long(0)
           .ClipRect(0, 0, 50, 50).Op(0x30).Rect(10, 10, 20, 20).End(),
       PlayOutcome::kEnded, {"|rect 0 20,20,40,40|"}},
      // 66,000 Origin opcodes overflowed an int before; the mapping saturates.
      {"origin offsets saturate", origins.Op(0x20).Rect(0, 0, 0, 0).End(), PlayOutcome::kEnded,
       {"|pen -32768,32767|end|"}},
      {"a round rect without an oval size is a rect",
       Clipped().Op(0x40).Rect(1, 2, 3, 4).Op(0x0B).Word(6).Word(8).Op(0x48).End(), PlayOutcome::kEnded,
       {"|rect 0 2,1,4,3|", "|rrect 0 2,1,4,3 8,6|"}},
      {"pen mode 23 only moves the pen; leaving it moves to the pen",
       Clipped().Op(0x08).Word(23).Op(0x20).Word(1).Word(2).Word(3).Word(4).Op(0x08).Word(8).Op(0x21).Word(5).Word(6).End(),
       PlayOutcome::kEnded, {"!|line 4,3|", "|pen 4,3|", "|penmode 8|move 4,3|", "|line 6,5|"}},
      {"text at mapped places, DHText's dh unsigned, the pen restored",
       Clipped().Op(0x28).Word(20).Word(10).Byte(2).Bytes({'h', 'i'}).Op(0x29).Byte(200).Byte(1).Byte('!').End(),
       PlayOutcome::kEnded, {"|move 5,10|text hi|", "|move 105,10|text !|", "|move 0,0|end|"}, {0, 0, 50, 50}},
      {"rows wider than the band buffer, one band each", wide.End(), PlayOutcome::kEnded,
       {"|image 0,0,11000,1 -> 0,0,11000,1|image 0,0,11000,1 -> 0,1,11000,2|image 0,0,11000,1 -> 0,2,11000,3|"},
       {0, 0, 11000, 3}},
      // Found by the fuzzer: 65,535 zero-byte rows 32,767 pixels wide were as many bands.
      {"zero-byte rows are one blank band",
       PictBuilder(0, 0, 10, 10).ClipRect(0, 0, 10, 10).Op(0x9A).Long(0).PixMap(0, -32768, 0, 32767, 32767, 32)
           .Rect(-32768, 0, 32767, 32767).Rect(0, 0, 10, 10).Word(0).End(),
       PlayOutcome::kEnded, {"|image 0,0,32767,1 -> 0,0,100,100|end|"}},
      // Lengths that lie end playback where they are found.
      {"text count past the end", Clipped().Op(0x28).Word(1).Word(1).Byte(200).Byte('a').Truncated(),
       PlayOutcome::kTruncated, {"!|text"}},
      {"FontName length below 2", Frame().Op(0x2C).Word(1).Word(5).End(), PlayOutcome::kMalformed, {}},
      {"clip region past the end", Frame().Op(0x01).Word(4000).Rect(0, 0, 5, 5).Truncated(),
       PlayOutcome::kTruncated, {"!|clip"}},
      {"clip region below its header", Frame().Op(0x01).Word(4).Rect(0, 0, 5, 5).End(), PlayOutcome::kMalformed, {}},
      // Found by the fuzzer: the failed read of an empty region body cleared nothing at null.
      {"clip rectangle cut short", {0, 0, 0, 0, 0, 0, 0, 10, 0, 10, 0x01, 0, 10, 0}, PlayOutcome::kTruncated, {}},
      {"polygon below its header", Frame().Op(0x70).Word(3).End(), PlayOutcome::kMalformed, {}},
      {"unknown version", Frame().Op(0x11).Byte(3).Op(0x30).Rect(0, 0, 1, 1).End(), PlayOutcome::kMalformed, {"!|rect"}},
      {"pixel size 3", Frame().Op(0x98).PixMap(8, 0, 0, 1, 1, 3).End(), PlayOutcome::kMalformed, {}},
      {"colour table past the end", Clipped().Op(0x98).PixMap(8, 0, 0, 1, 8, 8).Long(0).Word(0).Word(0x7FFF).Truncated(),
       PlayOutcome::kTruncated, {"!|image"}},
      {"packed row past the end",
       Clipped().Op(0x98).Word(8).Rect(0, 0, 2, 64).Rect(0, 0, 2, 64).Rect(0, 0, 2, 64).Word(0).Byte(50).Bytes({1, 2}).Truncated(),
       PlayOutcome::kTruncated, {"!|image"}},
      // As a clip, a region too complex was applied in part: later shapes painted outside it.
      {"too complex a clip region", complex(0x01), PlayOutcome::kMalformed, {"!|rect", "!|clipspans"}},
      {"too complex a region", complex(0x81), PlayOutcome::kMalformed, {"!|rect", "!|rgn"}},
      {"too complex a mask region", complex(0x91), PlayOutcome::kMalformed, {"!|rect", "!|image"}},
      {"a frame without width", PictBuilder(0, 0, 10, 0).ClipRect(0, 0, 10, 10).Op(0x30).Rect(0, 0, 5, 5).End(),
       PlayOutcome::kEmpty, {}},
      {"a frame without height", PictBuilder(0, 0, 0, 10).ClipRect(0, 0, 10, 10).Op(0x30).Rect(0, 0, 5, 5).End(),
       PlayOutcome::kEmpty, {}},
      {"shorter than a header", {0, 1, 2}, PlayOutcome::kEmpty, {}},
      {"an extended header's frame without area",
       Frame().Op(0x0C00).Word(-2).Word(0).Long(0).Long(0).Rect(5, 5, 5, 9).Long(0).ClipRect(0, 0, 10, 10)
           .Op(0x30).Rect(0, 0, 5, 5).End(),
       PlayOutcome::kMalformed, {"!|rect"}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    RecordingSink sink;
    sink.clipBox = c.clipBox;
    PlayResult r = Play(c.pict, sink, c.destination);
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_LE(r.bytesRead, c.pict.size());
    std::string log = sink.Joined();
    if (c.outcome == PlayOutcome::kEmpty) {
      EXPECT_EQ(log, "|") << "nothing saved, nothing drawn";
    } else {
      EXPECT_EQ(log.rfind("|begin|", 0), 0u);
      EXPECT_EQ(log.substr(log.size() - 5), "|end|");
    }
    for (const std::string &run : c.runs) {
      if (run[0] == '!') EXPECT_EQ(log.find(run.substr(1)), std::string::npos) << run << " in " << log.substr(0, 400);
      else EXPECT_NE(log.find(run), std::string::npos) << run << " not in " << log.substr(0, 400);
    }
  }
}

TEST(PictPlayback, FontNumbersThroughTheFontMap) {
  RecordingSink sink;
  sink.fonts = {{"Arial", 7}, {"Geneva", 9}};
  PictBuilder b = Frame();
  b.Op(0x03).Word(3).Op(0x03).Word(99).Op(0x03).Word(0);
  b.Op(0x2C).Word(2 + 7).Word(99).Byte(6).Bytes({'G', 'e', 'n', 'e', 'v', 'a'}).Op(0x03).Word(99);
  // 32 more pairs push out every older one, the preloaded Arial (3) included.
  for (int i = 0; i < 32; ++i) b.Op(0x2C).Word(2 + 2).Word(200 + i).Byte(1).Byte('Z');
  Play(b.Op(0x03).Word(3).End(), sink);
  // Arial preloaded, unknown numbers in font 1, 0 stays 0, the FontName pair, Arial gone.
  EXPECT_EQ(sink.Joined(), "|begin|font 7|font 1|font 0|font 9|font 1|end|");
}

// Pixels of images as DIB rows. 1- to 32-bit images are drawn and checked by picture_draw_test.cpp;
// banding by the reference pictures (picture_reference_test.cpp) and pict_fuzz.
TEST(PictImages, SixteenBitWhiteAndZeroByteRows) {
  // 16-bit white widens to 0xFF in every component.
  PictBuilder white(0, 0, 2, 3);
  white.ClipRect(0, 0, 2, 3).Op(0x9A).Long(0xFF).PixMap(6, 0, 0, 2, 3, 16, 1).Rect(0, 0, 2, 3).Rect(0, 0, 2, 3).Word(0);
  for (int i = 0; i < 6; ++i) white.Word(0x7FFF);
  RecordingSink sink;
  EXPECT_EQ(Play(white.End(), sink, {0, 0, 3, 2}).outcome, PlayOutcome::kEnded);
  ASSERT_EQ(sink.images.size(), 1u);
  EXPECT_EQ(sink.images[0].depth, 24);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(sink.imageBits[0][i], 0xFF) << i;

  // A bitmap of zero-byte rows is blank.
  RecordingSink blank;
  Play(Clipped().Op(0x90).Word(0).Rect(0, 0, 2, 16).Rect(0, 0, 2, 16).Rect(0, 0, 2, 16).Word(0).End(), blank);
  ASSERT_EQ(blank.imageBits.size(), 1u);
  EXPECT_EQ(blank.imageBits[0], std::vector<uint8_t>(blank.imageBits[0].size(), 0));
}

}  // namespace
}  // namespace tstools::pict::test
