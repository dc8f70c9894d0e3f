// Word finding and the case calls against Python's mac_roman and unicodedata (generated
// tables) and the host module's "CONV" tables.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "textedit/case_calls.h"
#include "textedit/word_finder.h"

#include "intl_tables.inc"  // generated at build time by gen_intl_tables.py

namespace tstools::text {
namespace {

CaseTables HostTables() {
  CaseTables t;
  EXPECT_TRUE(t.Load(kHostLower, 256, kHostUpper, 256, kHostTypes, sizeof kHostTypes));
  return t;
}

WordRange Find(const std::string &s, int offset, bool leading, WordSet set = WordSet::A) {
  return FindWord(reinterpret_cast<const uint8_t *>(s.data()), static_cast<int32_t>(s.size()), offset, leading, set);
}

TEST(WordClasses, LettersDigitsAndBlanksAgreeWithUnicodedata) {
  // Spacing accents count as letters; the micro sign, pi, Omega, the ordinals and the florin
  // as symbols; the no-break space has a class of its own.
  const std::set<int> kLetterExceptions = {0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE,
                                           0xB5, 0xB9, 0xBB, 0xBC, 0xBD, 0xC4};
  for (int c = 0; c < 256; ++c) {
    SCOPED_TRACE(c);
    uint8_t a = WordClass(WordSet::A, static_cast<uint8_t>(c));
    bool letter = kPyKind[c] == 'L';
    EXPECT_EQ(a == 2, letter != (kLetterExceptions.count(c) > 0));
    EXPECT_EQ(a == 3, kPyKind[c] == 'N');
    if (kPyKind[c] == 'Z') EXPECT_EQ(a, c == 0xCA ? 1 : 10);
    if (letter || kPyKind[c] == 'N') EXPECT_EQ(WordClass(WordSet::B, static_cast<uint8_t>(c)), 4);
  }
  EXPECT_EQ(WordClass(WordSet::A, 0xDF), 2) << "the fl ligature is a letter";
  EXPECT_EQ(WordClass(WordSet::A, 0xDD), 0) << "the single guillemet is not";
}

TEST(FindWord, ExamplesAndEdges) {
  for (int at = 1; at < 5; ++at) {
    WordRange r = Find("don't", at, true);
    EXPECT_EQ(r.start, 0); EXPECT_EQ(r.end, 5);
    r = Find("3.14", at, false);
    EXPECT_EQ(r.start, 0); EXPECT_EQ(r.end, 4);
  }
  WordRange r = Find("ab cd", 0, false);  // offset 0 without the leading edge: the first byte
  EXPECT_EQ(r.start, 0); EXPECT_EQ(r.end, 2);
  r = Find("don'!", 1, true);  // an apostrophe not followed by a letter ends the word
  EXPECT_EQ(r.end, 3);
  r = Find("abc", 3, true);
  EXPECT_EQ(r.start, 3); EXPECT_EQ(r.end, 3);
  r = Find("abc", 99, false);
  EXPECT_EQ(r.start, 0); EXPECT_EQ(r.end, 3);
  r = FindWord(nullptr, 10, 5, false, WordSet::A);
  EXPECT_EQ(r.start, 0); EXPECT_EQ(r.end, 0);
  r = Find("ab+cd", 3, true, WordSet::B);  // set B: an operator ends the word before it
  EXPECT_EQ(r.start, 3); EXPECT_EQ(r.end, 5);
}

// On texts of letters, digits and blanks the word is the maximal run of word characters or
// of blanks around the examined byte.
TEST(FindWord, MaximalRunsOnRandomTexts) {
  std::vector<uint8_t> word, blank = {0x20};
  for (int c = 0; c < 256; ++c)
    if ((kPyKind[c] == 'L' && WordClass(WordSet::A, static_cast<uint8_t>(c)) == 2) || kPyKind[c] == 'N')
      word.push_back(static_cast<uint8_t>(c));
  std::mt19937 rng(18);
  for (int round = 0; round < 3000; ++round) {
    int n = 1 + static_cast<int>(rng() % 40);
    std::string s;
    for (int i = 0; i < n; ++i) {
      const auto &pool = rng() % 3 == 0 ? blank : word;
      s.push_back(static_cast<char>(pool[rng() % pool.size()]));
    }
    int offset = static_cast<int>(rng() % (n + 1));
    bool leading = rng() & 1;
    if (leading && offset == n) continue;
    int p = !leading && offset > 0 ? offset - 1 : offset;
    auto isBlank = [&](int i) { return s[static_cast<size_t>(i)] == ' '; };
    int a = p, b = p + 1;
    while (a > 0 && isBlank(a - 1) == isBlank(p)) --a;
    while (b < n && isBlank(b) == isBlank(p)) ++b;
    for (WordSet set : {WordSet::A, WordSet::B}) {
      WordRange r = Find(s, offset, leading, set);
      ASSERT_EQ(r.start, a) << s << " at " << offset << " leading " << leading;
      ASSERT_EQ(r.end, b) << s << " at " << offset << " leading " << leading;
    }
  }
}

TEST(FindWordEx, SeparatorsAndLongTexts) {
  CaseTables cases = HostTables();
  auto ex = [&](const std::string &s, int offset, int mode) {
    return FindWordEx(reinterpret_cast<const uint8_t *>(s.data()), static_cast<int32_t>(s.size()), offset, mode, cases);
  };
  WordRange r = ex("ab, cd", 2, 3);  // forward over ", " then the word after
  EXPECT_EQ(r.start, 4); EXPECT_EQ(r.end, 6);
  r = ex("ab, cd", 4, 1);  // backward over ", " then the word before
  EXPECT_EQ(r.start, 0); EXPECT_EQ(r.end, 2);
  r = ex("a1, b", 2, 1);  // digits are not separators
  EXPECT_EQ(r.start, 0); EXPECT_EQ(r.end, 2);

  // A word across byte 32767 and offsets past 65535 keep their 32-bit values.
  for (int32_t wordAt : {32760, 70000}) {
    std::string s(100000, ' ');
    std::memset(&s[static_cast<size_t>(wordAt)], 'w', 20);
    for (int32_t at : {wordAt, wordAt + 7, wordAt + 19}) {
      r = ex(s, at, 2);
      EXPECT_EQ(r.start, wordAt); EXPECT_EQ(r.end, wordAt + 20);
    }
  }
  CaseTables none;
  r = FindWordEx(reinterpret_cast<const uint8_t *>(", ab"), 4, 0, 3, none);  // nothing loaded: no separators
  EXPECT_EQ(r.start, 0); EXPECT_EQ(r.end, 1);
}

TEST(CaseCalls, AgreeWithPythonAndStayInBounds) {
  CaseTables cases = HostTables();
  for (int c = 0; c < 256; ++c) {
    SCOPED_TRACE(c);
    if (c != 0xF5) EXPECT_EQ(ToCase(cases, static_cast<uint16_t>(c), 0, 0), kPyUpper[c]);  // dotless i keeps its form
    EXPECT_EQ(ToCase(cases, static_cast<uint16_t>(c), 0, 1), kPyLower[c]);
    bool greek = c == 0xB5 || c == 0xB9 || c == 0xBD;  // the host tables take them as symbols
    EXPECT_EQ(IsCase(cases, static_cast<uint16_t>(c), 0), kPyCase[c] == 'U' && !greek);
    bool ordinal = c == 0xBB || c == 0xBC;  // category Lo, yet lower case by str.islower
    EXPECT_EQ(IsCase(cases, static_cast<uint16_t>(c), 1), (kPyCase[c] == 'l' || ordinal) && !greek);
  }
  EXPECT_EQ(ToCase(cases, 0x161, 0, 0), 0x161);
  EXPECT_FALSE(IsCase(cases, 0x141, 0));
  EXPECT_EQ(ToCase(cases, 'A', 'x', 2), 'a');
  EXPECT_EQ(ToCase(cases, 'a', 0xCA, 2), 'A');

  uint8_t text[] = "hello world";
  ChangeCase(cases, text, 11, ' ', 2);
  EXPECT_STREQ(reinterpret_cast<char *>(text), "Hello World");
  ChangeCase(cases, text, -5, ' ', 0);
  EXPECT_STREQ(reinterpret_cast<char *>(text), "Hello World");
  ChangeCase(cases, text, 11, ' ', 0);
  EXPECT_STREQ(reinterpret_cast<char *>(text), "HELLO WORLD");

  CaseTables none;  // before start-up: every byte is its own form
  EXPECT_EQ(ToCase(none, 'a', 0, 0), 'a');
  EXPECT_FALSE(IsCase(none, 'A', 0));
}

TEST(CaseTables, ShortResourcesAndIndexesPastTheEnd) {
  CaseTables t;
  std::vector<uint8_t> table(256, 0), types(256, 3);
  EXPECT_FALSE(t.Load(table.data(), 255, table.data(), 256, types.data(), 256));
  EXPECT_FALSE(t.Load(table.data(), 256, table.data(), 256, types.data(), 255));
  EXPECT_FALSE(t.loaded);
  ASSERT_TRUE(t.Load(table.data(), 256, table.data(), 256, types.data(), 256));
  EXPECT_EQ(t.TypeOf('a'), 0) << "index 3 has no type byte";
  types.insert(types.end(), {0x00, 0x00, 0x00, 0xB7});
  ASSERT_TRUE(t.Load(table.data(), 256, table.data(), 256, types.data(), types.size()));
  EXPECT_EQ(t.TypeOf('a'), 0x4307) << "class 7, subclass 3, flag";
  const uint8_t shortQuotes[5] = {1, 2, 3, 4, 5};
  t.LoadQuotes(shortQuotes, 5);
  EXPECT_EQ(t.quotes[1], 0xD4);
}

}  // namespace
}  // namespace tstools::text
