#include <gtest/gtest.h>

#include <tuple>

#include "font/system_charset.h"
#include "frame/platform_flags.h"
#include "textedit/code_sets.h"

namespace tstools {
namespace {

struct FlagRow {
  unsigned platformId, major, minor;
  bool win32s, win9x, win98Family, nt, newShell, nt5;
};

// Every platform the library meets, with the flags each must produce.
const FlagRow kRows[] = {
    {0, 3, 10, true, false, false, false, false, false},  // Win32s on Windows 3.1
    {1, 4, 0, false, true, false, false, true, false},    // Windows 95
    {1, 4, 10, false, true, true, false, true, false},    // Windows 98
    {1, 4, 90, false, true, true, false, true, false},    // Windows Me
    {2, 3, 51, false, false, false, true, false, false},  // NT 3.51
    {2, 4, 0, false, false, false, true, true, false},    // NT 4.0
    {2, 5, 0, false, false, false, true, true, true},     // Windows 2000
    {3, 10, 0, false, false, false, false, false, false}, // unknown platform: nothing assumed
};

TEST(PlatformFlags, EveryPlatformRow) {
  for (const FlagRow &row : kRows) {
    PlatformFlags f = ComputePlatformFlags(row.platformId, row.major, row.minor);
    EXPECT_EQ(std::make_tuple(f.isWin32s, f.isWin9x, f.isWin98Family, f.isNT, f.hasNewShell, f.isNT5),
              std::make_tuple(row.win32s, row.win9x, row.win98Family, row.nt, row.newShell, row.nt5))
        << "platform " << row.platformId << " version " << row.major << "." << row.minor;
  }
}

TEST(DefaultCodeSet, AnsiCodePagesThroughCharSetsToCodeSets) {
  struct {
    unsigned codePage;
    unsigned char charSet;
    short codeSet;
  } const rows[] = {{932, 128, 1}, {936, 134, 4}, {949, 129, 3}, {950, 136, 2}, {1252, 0, 0}};
  for (const auto &row : rows) {
    EXPECT_EQ(CharSetForAnsiCodePage(row.codePage, false), row.charSet) << row.codePage;
    EXPECT_EQ(CodeSetForWinCharSet(CharSetForAnsiCodePage(row.codePage, false)), row.codeSet);
    EXPECT_EQ(CharSetForAnsiCodePage(row.codePage, true), 0) << "Win32s is always ANSI";
  }
  EXPECT_EQ(CodeSetForWinCharSet(130), 0) << "Johab is not one of the four code sets";
}

TEST(DefaultCodeSet, OnlyTheFourEastAsianSetsAreDoubleByte) {
  int doubleByte = 0;
  for (int cs = 0; cs < 256; ++cs) doubleByte += IsDoubleByteCharSet(static_cast<unsigned char>(cs));
  EXPECT_EQ(doubleByte, 4);
}

TEST(DefaultCodeSet, LanguageIndexes) {
  const int rows[][2] = {{14, 1}, {51, 3}, {52, 4}, {53, 2}, {0, 0}, {-1, 0}};
  for (const auto &row : rows) EXPECT_EQ(CodeSetForLanguageIndex(row[0]), row[1]) << row[0];
}

}  // namespace
}  // namespace tstools
