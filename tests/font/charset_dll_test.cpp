// The character-set exports through TSTOOLS.DLL, and InitCharset's settings in fresh hosts.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "font/charset_tables.h"
#include "font/region_codes.h"
#include "tests/font/pascal_string.h"
#include "support/child_process.h"
#include "tstools/tstools.h"

namespace {

using tstools::test::ProgramDirectory;
using tstools::test::RunProgram;

using tstools::test::P255;

// The comparison rules are the portable model test's; these are the exports and what only
// they add (the locale's upper-casing, the international calls, Str255 bounds).
TEST(CharsetExports, ToolboxStringCalls) {
  char text[] = "caf\x8E \xB0";
  MapText(text, 6, 0, 0);
  EXPECT_EQ(std::string(text), "caf\xE9 \x81") << "mapping 0 before InitCharset";
  P255 s("\x92mac");
  UpperString(s.bytes, FALSE);
  EXPECT_EQ(std::string(reinterpret_cast<char *>(s.bytes + 1), 4), "IMAC");
  P255 abc("abc"), ABC("ABC"), abcd("abcd");
  EXPECT_TRUE(EqualString(abc.bytes, ABC.bytes, FALSE, TRUE));
  EXPECT_EQ(RelString(abc.bytes, abcd.bytes, TRUE, TRUE), -1);
  EXPECT_EQ(RelString(P255("\x8E").bytes, P255("\x83").bytes, FALSE, TRUE), 0)
      << "the locale's upper-casing gives e acute its capital";
  EXPECT_EQ(IUEqualString(P255("Abc").bytes, P255("aBC").bytes), 0);
  EXPECT_NE(IUCompString(P255("Abc").bytes, P255("aBC").bytes), 0);
  EXPECT_EQ(IUMagIDString("ABCx", "abcy", 3, 3), 0);
  EXPECT_LT(IUMagString("abc", "abd", 3, 3), 0);
  std::string longA(400, 'a'), longB = std::string(255, 'a') + "b";
  EXPECT_EQ(IUMagString(longA.data(), longB.data(), 400, 256), 0) << "operands are cut to 255 bytes";

  unsigned char n[256];
  std::memset(n, 0xCC, sizeof n);
  NumToString(LONG_MIN, n);
  EXPECT_EQ(std::string(reinterpret_cast<char *>(n), 13), "\x0B-2147483648\xCC") << "nothing written past the digits";
  long back = 12345;
  EXPECT_TRUE(StringToNum(n, &back) == LONG_MIN && back == LONG_MIN);
  EXPECT_EQ(GetMacCountryCodeFromWin(), tstools::MacRegionFromLocales(GetUserDefaultLCID(), GetSystemDefaultLCID()));
}

// The high half of a mapping in the table notation.
std::string TableOf(const tstools::MappingPair &pair) {
  std::string table;
  char line[16];
  for (int b = 0x80; b < 0x100; ++b) table += std::string(line, std::snprintf(line, sizeof line, "%02X %02X\n", b, pair.macToWin[b]));
  return table;
}

// The mapping number and a custom table come from the preferences (host string 2075 of
// TSHOSTRES.DLL is "Preferences"), read once per process: each run is a fresh host.
TEST(InitCharset, ReadsTheMappingAndACustomTable) {
  const char kPreferences[] = "Software\\Vantor Corp.\\Tessaly Pro\\Preferences";
  char dir[MAX_PATH];
  GetTempPathA(sizeof dir, dir);
  std::string path = std::string(dir) + "tstools_custom_mapping.txt", table = TableOf(tstools::BuiltInMapping(2));
  RegSetKeyValueA(HKEY_CURRENT_USER, kPreferences, "Character Mapping", REG_SZ, "1", 2);
  RegSetKeyValueA(HKEY_CURRENT_USER, kPreferences, "Character Mapping Table", REG_SZ, path.c_str(), DWORD(path.size() + 1));
  for (const std::string &text : {table, std::string("8E E9\n")}) {
    FILE *f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    auto result = RunProgram(ProgramDirectory() + "font_charset_host.exe");
    EXPECT_EQ(result.exitCode, 0u) << result.output;
    std::string out = result.output;
    out.erase(std::remove(out.begin(), out.end(), '\r'), out.end());
    // A table that is not a permutation is refused; the configured mapping stays.
    EXPECT_EQ(out.substr(std::min(out.size(), out.find("mapped=\n") + 8), table.size()),
              text == table ? table : TableOf(tstools::BuiltInMapping(1)));
  }
  RegDeleteKeyValueA(HKEY_CURRENT_USER, kPreferences, "Character Mapping");
  RegDeleteKeyValueA(HKEY_CURRENT_USER, kPreferences, "Character Mapping Table");
  DeleteFileA(path.c_str());
}

}  // namespace
