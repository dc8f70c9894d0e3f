// The mapping tables against Python's codecs, the Toolbox string rules against simple models.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "font/charset.h"
#include "font/charset_tables.h"
#include "font/region_codes.h"
#include "tests/font/pascal_string.h"

#include "codec_tables.inc"  // generated at build time from Python's codecs

namespace tstools {
namespace {

using tstools::test::P255;

TEST(CharsetTables, EveryBuiltInMappingIsAPermutationWithItsExactInverse) {
  for (int m = 0; m < kBuiltInMappingCount; ++m) {
    SCOPED_TRACE(m);
    const MappingPair &p = BuiltInMapping(m);
    bool seen[256] = {};
    for (int b = 0; b < 256; ++b) {
      EXPECT_TRUE(b >= 0x80 || p.macToWin[b] == b) << "ASCII is never changed: " << b;
      EXPECT_FALSE(seen[p.macToWin[b]]) << "two Mac bytes share Windows byte " << int(p.macToWin[b]);
      seen[p.macToWin[b]] = true;
      EXPECT_EQ(p.winToMac[p.macToWin[b]], b);
    }
  }
  EXPECT_EQ(&BuiltInMapping(-1), &BuiltInMapping(0)) << "unknown numbers select mapping 0";
}

// Where Python's codecs follow a later revision of the Mac encoding (the euro sign took over a
// code) or pair a character differently, the tables keep the older pairing: mapping, Mac byte.
const std::set<std::pair<int, int>> kKnownDifferences = {
    {2, 0xFF},  // Python's mac_cyrillic has the euro; the table keeps the currency sign (1251 0xA4)
    {3, 0x9C},  // Python's mac_greek has the euro; the table keeps the soft hyphen (1253 0xAD)
    {3, 0xD1},  // the dash paired with 1253's em dash 0x97; Python reads it as the horizontal bar
    {3, 0xFF},  // Python reads it as the soft hyphen; the table leaves it on 1253's unused 0xFF
    {7, 0xDB},  // Python's mac_iceland has the euro; the table keeps the currency sign (1252 0xA4)
};

TEST(CharsetTables, AgreeWithPythonCodecsWhereBothDefineTheCharacter) {
  int compared = 0;
  for (const CodecExpectation &e : kCodecExpectations) {
    SCOPED_TRACE(std::string(e.mac) + "/" + e.win);
    const MappingPair &p = BuiltInMapping(e.mapping);
    for (int b = 0; b < 256; ++b) {
      if (e.winByte[b] < 0) continue;
      ++compared;
      if (kKnownDifferences.count({e.mapping, b})) {
        EXPECT_NE(p.macToWin[b], e.winByte[b]) << "listed difference no longer differs: " << b;
        continue;
      }
      EXPECT_EQ(p.macToWin[b], e.winByte[b]) << "Mac byte 0x" << std::hex << b;
      EXPECT_EQ(p.winToMac[e.winByte[b]], b) << "Windows byte 0x" << std::hex << e.winByte[b];
    }
  }
  EXPECT_GT(compared, 6 * 200);
}

// The tables are checked above; this is the direction each call converts in, and what it leaves.
TEST(MapText, ConvertsInPlaceInTheRequestedDirectionOnly) {
  uint8_t text[] = {'a', 0x8E, 0xB0};
  MapTextInPlace(text, 3, 0, 0, BuiltInMapping(0));
  EXPECT_EQ(std::string(reinterpret_cast<char *>(text), 3), "a\xE9\x81") << "e acute; infinity on a leftover code";
  MapTextInPlace(text, 3, 1, 0, BuiltInMapping(0));
  const int ignored[][3] = {{3, 2, 0}, {3, 0, 1}, {-5, 0, 0}};  // length, direction, code set
  for (const auto &c : ignored) {
    MapTextInPlace(text, c[0], c[1], c[2], BuiltInMapping(0));
    EXPECT_EQ(std::string(reinterpret_cast<char *>(text), 3), "a\x8E\xB0") << c[0] << " " << c[1] << " " << c[2];
  }
  MapTextInPlace(nullptr, 10, 0, 0, BuiltInMapping(0));  // nothing to touch
}

// The Toolbox's upper-casing: Unicode's capitals, except that the oe ligature and dotless i
// keep their form, and c cedilla keeps its cedilla even without marks.
std::vector<short> ToolboxUpper(bool withMarks) {
  const auto &unicode = withMarks ? kUnicodeUpperWithMarks : kUnicodeUpperWithoutMarks;
  std::vector<short> table(unicode, unicode + 256);
  table[0xCF] = 0xCF;
  table[0xF5] = 0xF5;
  if (!withMarks) table[0x82] = table[0x8D] = 0x82;
  return table;
}

TEST(UpperString, TablesFollowUnicodeCapitalsWithTheToolboxExceptions) {
  const std::vector<short> withMarks = ToolboxUpper(true), withoutMarks = ToolboxUpper(false);
  for (int b = 0; b < 256; ++b) {
    EXPECT_EQ(UpperWithMarks()[b], withMarks[b]) << b;
    EXPECT_EQ(UpperWithoutMarks()[b], withoutMarks[b]) << b;
  }
}

void AsciiUpper(uint8_t *text, size_t length) {
  for (size_t i = 0; i < length; ++i)
    if (text[i] >= 'a' && text[i] <= 'z') text[i] = uint8_t(text[i] - 32);
}

// Random strings over a small alphabet that exercises case, marks and prefixes.
std::string RandomText(std::mt19937 &rng) {
  static const char alphabet[] = "aAbBeE\x8E\x83\x92I\x8D\x82\xCF\xCE\xB0\x80";
  std::uniform_int_distribution<int> length(0, 4), pick(0, sizeof alphabet - 2);
  std::string s;
  for (int n = length(rng); n > 0; --n) s.push_back(alphabet[pick(rng)]);
  return s;
}

TEST(StringComparison, MatchesAReferenceModelOverRandomStrings) {
  std::mt19937 rng(7);
  const MappingPair &roman = BuiltInMapping(0);
  const std::vector<short> withMarks = ToolboxUpper(true), withoutMarks = ToolboxUpper(false);
  auto fold = [](std::string s, const std::vector<short> &table) {
    for (char &c : s) c = char(table[uint8_t(c)]);
    return s;
  };
  auto windows = [&](std::string s, bool upper) {  // Mac Roman text as Windows bytes
    for (char &c : s) c = char(roman.macToWin[uint8_t(c)]);
    if (upper) AsciiUpper(reinterpret_cast<uint8_t *>(&s[0]), s.size());
    return s;
  };

  for (int i = 0; i < 20000; ++i) {
    std::string a = RandomText(rng), b = RandomText(rng);
    bool caseSensitive = rng() & 1, markSensitive = rng() & 1;
    P255 pa(a), pb(b);
    bool modelEqual = caseSensitive ? a == b
                                    : fold(a, markSensitive ? withMarks : withoutMarks) ==
                                          fold(b, markSensitive ? withMarks : withoutMarks);
    ASSERT_EQ(EqualStr255(pa.bytes, pb.bytes, caseSensitive, markSensitive), modelEqual)
        << a << " | " << b << " " << caseSensitive << markSensitive;

    int c = windows(a, !caseSensitive).compare(windows(b, !caseSensitive));  // bytes compare as unsigned
    int model = c < 0 ? -1 : c > 0 ? 1 : 0;
    // Ordered by Windows byte values: Mac 0xB0 (infinity, Windows 0x81) sorts before Mac 0x80
    // (A umlaut, Windows 0xC4) although its Mac byte is larger.
    ASSERT_EQ(RelStr255(pa.bytes, pb.bytes, caseSensitive, AsciiUpper, roman), model) << a << " | " << b;
    ASSERT_EQ(std::memcmp(pa.bytes, P255(a).bytes, 256), 0) << "operands are not modified";
  }
}

TEST(ComparisonOperand, IsCutTo255ConvertedAndTerminated) {
  std::string longText(300, '\x8E');
  ComparisonOperand op;
  PrepareComparisonOperand(reinterpret_cast<const uint8_t *>(longText.data()), 300, op, BuiltInMapping(0));
  EXPECT_EQ(std::strlen(op.text), 255u);
  EXPECT_EQ(uint8_t(op.text[0]), 0xE9);
  PrepareComparisonOperand(reinterpret_cast<const uint8_t *>("ab\0cd"), 5, op, BuiltInMapping(0));
  EXPECT_STREQ(op.text, "ab") << "an embedded NUL ends the operand";
  PrepareComparisonOperand(reinterpret_cast<const uint8_t *>("abc"), -3, op, BuiltInMapping(0));
  EXPECT_STREQ(op.text, "");
}

TEST(DecimalText, RoundTripsAndReadsLikeTheCLibrary) {
  for (int32_t v : {std::numeric_limits<int32_t>::min(), -10, 0, 9, std::numeric_limits<int32_t>::max()}) {
    EXPECT_EQ(FormatDecimal(v), std::to_string(v));
    EXPECT_EQ(ParseDecimal(FormatDecimal(v)), v);
  }
  const std::pair<std::string, int32_t> cases[] = {
      {"  \t+42abc", 42}, {"x12", 0}, {"--1", 0}, {std::string("12\0" "34", 5), 12},
      // Beyond 32 bits the value wraps rather than being undefined.
      {"2147483648", std::numeric_limits<int32_t>::min()}, {"99999999999999999999", 1661992959},  // 10^20 mod 2^32
  };
  for (const auto &c : cases) EXPECT_EQ(ParseDecimal(c.first), c.second) << c.first;
}

TEST(MappingSetting, ChoosesTheMappingNumber) {
  const std::pair<const char *, int> cases[] = {{"", 0}, {"-1", 0}, {" 3", 3}, {"7 Icelandic", 7}, {"12", 12}};
  for (const auto &c : cases) EXPECT_EQ(MappingNumberFromSetting(c.first), c.second) << c.first;
  EXPECT_EQ(&BuiltInMapping(12), &BuiltInMapping(0)) << "12 selects mapping 0 when the table is copied";
}

// Mapping 4's high half in the accepted notations; skipMacByte leaves one line out.
std::string TableText(int skipMacByte = -1) {
  std::string text = "# Mac byte, Windows byte\n";
  char line[32];
  for (int b = 0x80; b < 256; ++b) {
    std::snprintf(line, sizeof line, b % 2 ? "0x%02X 0x%02x\r\n" : "%02x\t%02X  # comment\n", b, BuiltInMapping(4).macToWin[b]);
    if (b != skipMacByte) text += line;
  }
  return text;
}

TEST(CustomMapping, AcceptsACompletePermutationAndRefusesWhatWouldNotRoundTrip) {
  MappingPair out = BuiltInMapping(0);
  std::string text = TableText();
  ASSERT_EQ(ParseCustomMapping(text.data(), text.size(), out), TableLoadError::kNone);
  EXPECT_EQ(out.winToMac, BuiltInMapping(4).winToMac);

  const MappingPair before = BuiltInMapping(2);
  const std::pair<std::string, TableLoadError> cases[] = {
      {TableText(0x85), TableLoadError::kNotPermutation}, {"8E E9\n8E E9\n", TableLoadError::kDuplicate},
      {"41 61\n", TableLoadError::kAsciiChanged},       {"8E E9 77\n", TableLoadError::kSyntax},
  };
  for (const auto &c : cases) {
    out = before;
    EXPECT_EQ(ParseCustomMapping(c.first.data(), c.first.size(), out), c.second) << c.first.substr(0, 40);
    EXPECT_EQ(out.macToWin, before.macToWin) << "a refused table leaves the pair alone";
  }
  for (const char *syntax : {"8E\n", "8EE9\n", "100 E9\n", "0x 12\n"})
    EXPECT_EQ(ParseCustomMapping(syntax, std::strlen(syntax), out), TableLoadError::kSyntax) << syntax;
}

TEST(RegionCodes, FollowTheUserThenLanguageThenSystemLocale) {
  EXPECT_EQ(MacRegionFromLocales(0x0C07, 0x0409), 3) << "German (Austria)";
  EXPECT_EQ(MacRegionFromLocales(0x1C0C, 0x0409), 1) << "unlisted French locale falls back to French (France)";
  EXPECT_EQ(MacRegionFromLocales(0x0456, 0x0411), 14) << "unlisted language: the system locale";
  int16_t region = -1;
  EXPECT_FALSE(MacRegionForLocale(0x10409, region)) << "sort identifiers are not locales";
}

}  // namespace
}  // namespace tstools
