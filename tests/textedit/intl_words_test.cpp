// Word finding and the case calls against Python's mac_roman and unicodedata (generated
// tables, gen_intl_tables.py) and the host module's "CONV" tables.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>
#include <string>

#include "textedit/case_calls.h"
#include "textedit/word_finder.h"

#include "intl_tables.inc"

namespace tstools::text {
namespace {

WordRange Find(const std::string &s, int offset, bool leading, WordSet set = WordSet::A) {
  return FindWord(reinterpret_cast<const uint8_t *>(s.data()), int32_t(s.size()), offset, leading, set);
}
#define EXPECT_RANGE(r, a, b) EXPECT_EQ(std::make_pair((r).start, (r).end), std::make_pair(a, b))

TEST(WordClasses, LettersDigitsAndBlanksAgreeWithUnicodedata) {
  // Spacing accents count as letters (the fl ligature 0xDF too, not the guillemet 0xDD); the
  // micro sign, pi, Omega, the ordinals and the florin as symbols; the no-break space apart.
  const std::set<int> exceptions = {0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xB5, 0xB9, 0xBB, 0xBC, 0xBD, 0xC4};
  for (int c = 0; c < 256; ++c) {
    uint8_t a = WordClass(WordSet::A, uint8_t(c));
    EXPECT_EQ(a == 2, (kPyKind[c] == 'L') != (exceptions.count(c) > 0)) << c;
    EXPECT_EQ(a == 3, kPyKind[c] == 'N') << c;
    if (kPyKind[c] == 'Z') EXPECT_EQ(a, c == 0xCA ? 1 : 10) << c;
    if (kPyKind[c] == 'L' || kPyKind[c] == 'N') EXPECT_EQ(WordClass(WordSet::B, uint8_t(c)), 4) << c;
  }
}

TEST(FindWord, ExamplesAndEdges) {
  for (int at = 1; at < 5; ++at) {
    EXPECT_RANGE(Find("don't", at, true), 0, 5);
    EXPECT_RANGE(Find("3.14", at, false), 0, 4);
  }
  EXPECT_RANGE(Find("ab cd", 0, false), 0, 2);  // offset 0 without the leading edge: the first byte
  EXPECT_RANGE(Find("don'!", 1, true), 0, 3);
  EXPECT_RANGE(Find("abc", 3, true), 3, 3);
  EXPECT_RANGE(FindWord(nullptr, 10, 5, false, WordSet::A), 0, 0);
  EXPECT_RANGE(Find("ab+cd", 3, true, WordSet::B), 3, 5);
}

// On texts of letters, digits and blanks the word is the maximal run of word characters or
// of blanks around the examined byte, in both sets.
TEST(FindWord, MaximalRunsOnRandomTexts) {
  std::string word;
  for (int c = 0; c < 256; ++c)
    if ((kPyKind[c] == 'L' && WordClass(WordSet::A, uint8_t(c)) == 2) || kPyKind[c] == 'N') word += char(c);
  std::mt19937 rng(18);
  for (int round = 0; round < 3000; ++round) {
    int n = 1 + int(rng() % 40), offset = int(rng() % (n + 1));
    bool leading = rng() & 1;
    std::string s;
    for (int i = 0; i < n; ++i) s += rng() % 3 ? word[rng() % word.size()] : ' ';
    if (leading && offset == n) continue;
    int p = !leading && offset > 0 ? offset - 1 : offset, a = p, b = p + 1;
    while (a > 0 && (s[a - 1] == ' ') == (s[p] == ' ')) --a;
    while (b < n && (s[b] == ' ') == (s[p] == ' ')) ++b;
    WordRange ra = Find(s, offset, leading, WordSet::A), rb = Find(s, offset, leading, WordSet::B);
    ASSERT_EQ(std::make_pair(ra.start, ra.end), std::make_pair(a, b)) << s << " at " << offset << " leading " << leading;
    ASSERT_EQ(std::make_pair(rb.start, rb.end), std::make_pair(a, b)) << s << " at " << offset << " leading " << leading;
  }
}

TEST(FindWordEx, SeparatorsAndLongTexts) {
  CaseTables cases, none;
  ASSERT_TRUE(cases.Load(kHostLower, 256, kHostUpper, 256, kHostTypes, sizeof kHostTypes));
  auto ex = [&](const std::string &s, int offset, int mode, const CaseTables &t) {
    return FindWordEx(reinterpret_cast<const uint8_t *>(s.data()), int32_t(s.size()), offset, mode, t);
  };
  EXPECT_RANGE(ex("ab, cd", 2, 3, cases), 4, 6);  // forward over ", ", then the word after
  EXPECT_RANGE(ex("ab, cd", 4, 1, cases), 0, 2);  // backward over ", ", then the word before
  EXPECT_RANGE(ex("a1, b", 2, 1, cases), 0, 2);   // digits are no separators
  EXPECT_RANGE(ex(", ab", 0, 3, none), 0, 1);     // nothing loaded: no separators
  // A word across byte 32767 and offsets past 65535 keep their 32-bit values.
  for (int32_t wordAt : {32760, 70000}) {
    std::string s(100000, ' ');
    std::memset(&s[size_t(wordAt)], 'w', 20);
    for (int32_t at : {wordAt, wordAt + 7, wordAt + 19}) EXPECT_RANGE(ex(s, at, 2, cases), wordAt, wordAt + 20);
  }
}

TEST(CaseCalls, AgreeWithPythonAndStayDefined) {
  CaseTables cases, none;
  ASSERT_TRUE(cases.Load(kHostLower, 256, kHostUpper, 256, kHostTypes, sizeof kHostTypes));
  for (int c = 0; c < 256; ++c) {
    bool greek = c == 0xB5 || c == 0xB9 || c == 0xBD;  // the host tables take them as symbols
    bool ordinal = c == 0xBB || c == 0xBC;              // category Lo, yet lower case by str.islower
    if (c != 0xF5) EXPECT_EQ(ToCase(cases, uint16_t(c), 0, 0), kPyUpper[c]) << c;  // dotless i stays
    EXPECT_EQ(ToCase(cases, uint16_t(c), 0, 1), kPyLower[c]) << c;
    EXPECT_EQ(IsCase(cases, uint16_t(c), 0), kPyCase[c] == 'U' && !greek) << c;
    EXPECT_EQ(IsCase(cases, uint16_t(c), 1), (kPyCase[c] == 'l' || ordinal) && !greek) << c;
  }
  EXPECT_EQ(ToCase(cases, 0x161, 0, 0) + IsCase(cases, 0x141, 0), 0x161) << "above 255: no case";
  EXPECT_EQ(ToCase(cases, 'A', 'x', 2) + ToCase(cases, 'a', 0xCA, 2), 'a' + 'A');
  EXPECT_EQ(ToCase(none, 'a', 0, 0), 'a');  // before start-up every byte is its own form
  char text[] = "hello world";
  ChangeCase(cases, reinterpret_cast<uint8_t *>(text), 11, ' ', 2);
  ChangeCase(cases, reinterpret_cast<uint8_t *>(text), -5, ' ', 0);
  EXPECT_STREQ(text, "Hello World");
}

TEST(CaseTables, ShortResourcesAndIndexesPastTheEnd) {
  CaseTables t;
  std::vector<uint8_t> table(256), types(256, 3);
  EXPECT_FALSE(t.Load(table.data(), 255, table.data(), 256, types.data(), 256) ||
               t.Load(table.data(), 256, table.data(), 256, types.data(), 255) || t.loaded);
  ASSERT_TRUE(t.Load(table.data(), 256, table.data(), 256, types.data(), 256));
  EXPECT_EQ(t.TypeOf('a'), 0) << "index 3 has no type byte";
  types.insert(types.end(), {0, 0, 0, 0xB7});
  ASSERT_TRUE(t.Load(table.data(), 256, table.data(), 256, types.data(), types.size()));
  EXPECT_EQ(t.TypeOf('a'), 0x4307) << "class 7, subclass 3, flag";
  t.LoadQuotes(types.data(), 5);
  EXPECT_EQ(t.quotes[1], 0xD4) << "a short SMQT keeps the defaults";
}

}  // namespace
}  // namespace tstools::text
