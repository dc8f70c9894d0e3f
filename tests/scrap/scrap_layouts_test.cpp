// The scrap's clipboard layouts and type names, with blocks other programs may write.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "font/charset_tables.h"
#include "scrap/scrap_layouts.h"
#include "scrap/scrap_types.h"

namespace tstools::scrap {
namespace {

using Bytes = std::vector<uint8_t>;
Bytes B(const std::string &s) { return Bytes(s.begin(), s.end()); }

TEST(ScrapLayouts, LengthPrefixIsBelievedOnlyAsFarAsTheBlock) {
  struct Case { Bytes block; int16_t err; std::string data; } cases[] = {
      {B(std::string("\3\0\0\0abc", 7)), 0, "abc"},
      {B(std::string("\2\0\0\0abc", 7)), 0, "ab"},
      {B(std::string("\x10\0\0\0abc", 7)), 0, "abc"},       // lies: cut at the block
      {B(std::string("\xff\xff\xff\xff" "abc", 7)), -50, ""},  // negative
      {B(std::string("\3\0\0", 3)), 0, ""},                  // no room for the count
  };
  for (const Case &c : cases) {
    PrefixedData d = ReadPrefixed(c.block.data(), c.block.size());
    EXPECT_EQ(d.err, c.err);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(d.data), d.length), c.data);
  }
}

TEST(ScrapLayouts, MacPictComesBackExactAtEverySize) {
  // Block slack stands for GlobalSize rounding a block up.
  for (size_t size : {size_t(12), size_t(0xFFF9), size_t(0x10000), size_t(70000), size_t(0x2FFFF)}) {
    for (size_t slack : {0, 5}) {
      Bytes pict(size);
      for (size_t i = 0; i < size; ++i) pict[i] = uint8_t(i * 7 + 3);
      Bytes block(size + kPictTrailerBytes + slack, 0);
      WriteMacPict(pict.data(), size, block.data());
      EXPECT_EQ(block[0] << 8 | block[1], int(size & 0xFFFF));
      MacPict read = ReadMacPict(block.data(), block.size());
      ASSERT_TRUE(read.restore) << size;
      EXPECT_EQ(read.length, size);
      EXPECT_EQ(read.sizeWord[0], pict[0]);
      EXPECT_EQ(read.sizeWord[1], pict[1]);
    }
  }
  // Another program's bare PICT is taken whole, whatever its size word says.
  Bytes bare(300, 'x');
  bare[0] = 0, bare[1] = 100;
  EXPECT_FALSE(ReadMacPict(bare.data(), bare.size()).restore);
  EXPECT_EQ(ReadMacPict(bare.data(), bare.size()).length, 300u);
  bare[1] = 0xFF;  // past the block
  EXPECT_EQ(ReadMacPict(bare.data(), bare.size()).length, 300u);
}

TEST(ScrapLayouts, TextLineEndsAndTheEndOfTheBlock) {
  const MappingPair &roman = BuiltInMapping(0);
  std::string mac = "a\rb\r\r\x8e";  // 0x8E is e-acute, 0xE9 in 1252
  Bytes win(MacToWinCapacity(mac.size()), 0xAA);
  size_t n = MacToWinText(reinterpret_cast<const uint8_t *>(mac.data()), mac.size(), roman.macToWin, win.data());
  EXPECT_EQ(std::string(win.begin(), win.begin() + n + 1), std::string("a\r\nb\r\n\r\n\xe9", 10));

  struct Case { std::string win, mac; } cases[] = {
      {std::string("a\r\nb\0zz", 7), "a\rb"},   // stops at the NUL
      {"a\r\n\r\nb", "a\r\rb"},
      {"a\rb\nc", "a\rb\nc"},                   // lone CR and LF stay
      {"ab\r", "ab\r"},                          // no NUL: the block's end
      {"\xe9\r\n", "\x8e\r"},
  };
  for (const Case &c : cases) {
    Bytes text = B(c.win);
    EXPECT_EQ(WinToMacText(text.data(), text.size(), roman.winToMac, nullptr), c.mac.size());
    size_t m = WinToMacText(text.data(), text.size(), roman.winToMac, text.data());  // in place
    EXPECT_EQ(std::string(text.begin(), text.begin() + m), c.mac);
  }
}

TEST(ScrapTypes, MapBothWays) {
  struct Case { const char *type; unsigned standard; std::string name; bool prefixed; } cases[] = {
      {"WTXT", 1, "", false}, {"WAVE", 12, "", false},          {"TEXT", 0, "Mac-TEXT", true},
      {"PICT", 0, "Mac-PICT", false}, {"OFN ", 0, "FileName", false}, {"styl", 0, "Mac-styl", true}};
  for (const Case &c : cases) {
    MacType type = {c.type[0], c.type[1], c.type[2], c.type[3]};
    FormatChoice f = FormatForType(type);
    EXPECT_EQ(f.standard, c.standard) << c.type;
    EXPECT_EQ(f.name, c.name);
    EXPECT_EQ(f.lengthPrefixed, c.prefixed);
    uint32_t back = f.standard ? TypeForStandardFormat(f.standard) : TypeForFormatName(f.name).osType;
    EXPECT_EQ(back, ToOSType(type)) << c.type;
  }
  struct Name { const char *name; const char *type; bool prefixed; } names[] = {
      {"Mac-ab", "ab  ", true}, {"Mac-", "    ", true}, {"Mac-abcdefgh", "abcd", true},
      {"Embedded Object", "EMBO", false}, {"Mac", nullptr, true}, {"Rich Text Format", nullptr, true}};
  for (const Name &n : names) {
    TypeChoice t = TypeForFormatName(n.name);
    EXPECT_EQ(t.osType, n.type ? ToOSType({n.type[0], n.type[1], n.type[2], n.type[3]}) : 0u) << n.name;
    EXPECT_EQ(t.lengthPrefixed, n.prefixed) << n.name;
  }
}

}  // namespace
}  // namespace tstools::scrap
