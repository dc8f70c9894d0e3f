// The mapping tables against Python's codecs, the Toolbox string rules against simple models.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "font/charset.h"
#include "font/charset_tables.h"
#include "font/region_codes.h"
#include "tests/font/pascal_string.h"

#include "codec_tables.inc"  // generated at build time from Python's codecs

namespace tstools {
namespace {

std::string Str(const uint8_t *s) { return std::string(reinterpret_cast<const char *>(s + 1), s[0]); }

using tstools::test::P255;

TEST(CharsetTables, EveryBuiltInMappingIsAPermutationWithItsExactInverse) {
  for (int m = 0; m < kBuiltInMappingCount; ++m) {
    SCOPED_TRACE(m);
    const MappingPair &p = BuiltInMapping(m);
    bool seen[256] = {};
    for (int b = 0; b < 256; ++b) {
      if (b < 0x80) {
        EXPECT_EQ(p.macToWin[b], b) << "ASCII is never changed";
      }
      EXPECT_FALSE(seen[p.macToWin[b]]) << "two Mac bytes share Windows byte " << int(p.macToWin[b]);
      seen[p.macToWin[b]] = true;
      EXPECT_EQ(p.winToMac[p.macToWin[b]], b);
      EXPECT_EQ(p.macToWin[p.winToMac[b]], b);
    }
  }
  EXPECT_EQ(&BuiltInMapping(8), &BuiltInMapping(0)) << "unknown numbers select mapping 0";
  EXPECT_EQ(&BuiltInMapping(-1), &BuiltInMapping(0));
}

// Where Python's codecs follow a later revision of the Mac encoding (the euro sign took over a
// code) or pair a character differently, the tables keep the older pairing.
struct KnownDifference {
  int mapping;
  int macByte;
  const char *reason;
};
const KnownDifference kKnownDifferences[] = {
    {2, 0xFF, "Python's mac_cyrillic has the euro at 0xFF; the table keeps the currency sign (1251 0xA4)"},
    {3, 0x9C, "Python's mac_greek has the euro at 0x9C; the table keeps the soft hyphen (1253 0xAD)"},
    {3, 0xD1, "0xD1 is the dash paired with 1253's em dash 0x97; Python reads it as the horizontal bar"},
    {3, 0xFF, "Python reads 0xFF as the soft hyphen; the table leaves 0xFF on 1253's unused 0xFF"},
    {7, 0xDB, "Python's mac_iceland has the euro at 0xDB; the table keeps the currency sign (1252 0xA4)"},
};

bool IsKnownDifference(int mapping, int macByte) {
  for (const auto &d : kKnownDifferences)
    if (d.mapping == mapping && d.macByte == macByte) return true;
  return false;
}

TEST(CharsetTables, AgreeWithPythonCodecsWhereBothDefineTheCharacter) {
  int compared = 0;
  for (const CodecExpectation &e : kCodecExpectations) {
    SCOPED_TRACE(std::string(e.mac) + "/" + e.win);
    const MappingPair &p = BuiltInMapping(e.mapping);
    for (int b = 0; b < 256; ++b) {
      if (e.winByte[b] < 0) continue;
      ++compared;
      if (IsKnownDifference(e.mapping, b)) {
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
  const struct {
    long length;
    int direction, codeSet;
  } ignored[] = {{3, 2, 0}, {3, -1, 0}, {3, 0, 1}, {3, 1, 4}, {0, 0, 0}, {-5, 0, 0}};
  for (const auto &c : ignored) {
    MapTextInPlace(text, c.length, c.direction, c.codeSet, BuiltInMapping(0));
    EXPECT_EQ(std::string(reinterpret_cast<char *>(text), 3), "a\x8E\xB0") << c.length << " " << c.direction << " " << c.codeSet;
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
  P255 s("\x92" "abc\x8D");
  UpperStr255(s.get(), false);
  EXPECT_EQ(Str(s.get()), "IABC\x82");
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

  for (int i = 0; i < 20000; ++i) {
    std::string a = RandomText(rng), b = RandomText(rng);
    bool caseSensitive = rng() & 1, markSensitive = rng() & 1;
    P255 pa(a), pb(b);
    bool modelEqual = caseSensitive ? a == b
                                    : fold(a, markSensitive ? withMarks : withoutMarks) ==
                                          fold(b, markSensitive ? withMarks : withoutMarks);
    ASSERT_EQ(EqualStr255(pa.get(), pb.get(), caseSensitive, markSensitive), modelEqual)
        << a << " | " << b << " " << caseSensitive << markSensitive;

    std::string wa = a, wb = b;
    for (char &c : wa) c = char(roman.macToWin[uint8_t(c)]);
    for (char &c : wb) c = char(roman.macToWin[uint8_t(c)]);
    if (!caseSensitive) {
      AsciiUpper(reinterpret_cast<uint8_t *>(&wa[0]), wa.size());
      AsciiUpper(reinterpret_cast<uint8_t *>(&wb[0]), wb.size());
    }
    int c = wa.compare(wb);  // char_traits<char>::compare orders bytes as unsigned
    int model = c < 0 ? -1 : c > 0 ? 1 : 0;
    // Ordered by Windows byte values: Mac 0xB0 (infinity, Windows 0x81) sorts before Mac 0x80
    // (A umlaut, Windows 0xC4) although its Mac byte is larger.
    ASSERT_EQ(RelStr255(pa.get(), pb.get(), caseSensitive, AsciiUpper, roman), model) << a << " | " << b;
    ASSERT_EQ(Str(pa.get()), a) << "operands are not modified";
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
  std::mt19937 rng(11);
  const int32_t edges[] = {std::numeric_limits<int32_t>::min(), -10, -9, 0, 9, std::numeric_limits<int32_t>::max()};
  for (int i = 0; i < 2000; ++i) {
    int32_t v = i < 6 ? edges[i] : int32_t(rng());
    ASSERT_EQ(FormatDecimal(v), std::to_string(v));
    ASSERT_EQ(ParseDecimal(FormatDecimal(v)), v);
  }
  const std::pair<std::string, int32_t> cases[] = {
      {"  \t+42abc", 42}, {" -17 3", -17}, {"x12", 0}, {"", 0}, {"-", 0}, {"--1", 0}, {std::string("12\0" "34", 5), 12},
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
  EXPECT_EQ(out.macToWin, BuiltInMapping(4).macToWin);
  EXPECT_EQ(out.winToMac, BuiltInMapping(4).winToMac);
  EXPECT_EQ(ParseCustomMapping("41 41\n", 6, out), TableLoadError::kNone) << "ASCII listed as itself is fine";

  const MappingPair before = BuiltInMapping(2);
  const std::pair<std::string, TableLoadError> cases[] = {
      {"8E E9\n", TableLoadError::kNotPermutation},  // 0xE9 also keeps itself
      {TableText(0x85), TableLoadError::kNotPermutation},
      {"8E E9\n8E E9\n", TableLoadError::kDuplicate},
      {"41 61\n", TableLoadError::kAsciiChanged},
  };
  for (const auto &c : cases) {
    out = before;
    EXPECT_EQ(ParseCustomMapping(c.first.data(), c.first.size(), out), c.second) << c.first.substr(0, 40);
    EXPECT_EQ(out.macToWin, before.macToWin) << "a refused table leaves the pair alone";
  }
  for (const char *syntax : {"8E\n", "8EE9\n", "8E E9 77\n", "100 E9\n", "0x 12\n", "zz yy\n"})
    EXPECT_EQ(ParseCustomMapping(syntax, std::strlen(syntax), out), TableLoadError::kSyntax) << syntax;
}

TEST(RegionCodes, FollowTheUserThenLanguageThenSystemLocale) {
  EXPECT_EQ(MacRegionFromLocales(0x0C07, 0x0409), 3) << "German (Austria)";
  EXPECT_EQ(MacRegionFromLocales(0x0409, 0x0407), 0);
  EXPECT_EQ(MacRegionFromLocales(0x3C01, 0x0409), 16) << "Arabic (Bahrain)";
  EXPECT_EQ(MacRegionFromLocales(0x1C0C, 0x0409), 1) << "unlisted French locale falls back to French (France)";
  EXPECT_EQ(MacRegionFromLocales(0x0456, 0x0411), 14) << "unlisted language: the system locale";
  EXPECT_EQ(MacRegionFromLocales(0x0456, 0x0457), 0) << "nothing listed";
  int16_t region = -1;
  EXPECT_FALSE(MacRegionForLocale(0x10409, region)) << "sort identifiers are not locales";
}

}  // namespace
}  // namespace tstools
