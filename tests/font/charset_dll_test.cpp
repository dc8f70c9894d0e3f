// The character-set exports through TSTOOLS.DLL, and InitCharset's settings in fresh hosts.
#include <gtest/gtest.h>
#include <windows.h>

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

TEST(CharsetExports, MapTextConvertsInPlaceWithMappingZeroBeforeInitCharset) {
  char text[] = "caf\x8E \xB0";
  MapText(text, 6, 0, 0);
  EXPECT_EQ(std::string(text), "caf\xE9 \x81");
  MapText(text, 6, 1, 0);
  EXPECT_EQ(std::string(text), "caf\x8E \xB0");
  MapText(text, 6, 0, 1);
  EXPECT_EQ(std::string(text), "caf\x8E \xB0") << "double-byte code sets are left alone";
  MapText(text, -1, 0, 0);
  MapText(text, 6, 7, 0);
  EXPECT_EQ(std::string(text), "caf\x8E \xB0");
}

// The comparison rules are the portable model test's; these are the exports and what only
// they add (the locale's upper-casing, the international calls).
TEST(CharsetExports, ToolboxStringCalls) {
  P255 s("\x92mac");
  UpperString(s.bytes, FALSE);
  EXPECT_EQ(std::string(reinterpret_cast<char *>(s.bytes + 1), 4), "IMAC");
  P255 abc("abc"), ABC("ABC"), abcd("abcd");
  EXPECT_FALSE(EqualString(abc.bytes, ABC.bytes, TRUE, TRUE));
  EXPECT_TRUE(EqualString(abc.bytes, ABC.bytes, FALSE, TRUE));
  EXPECT_EQ(RelString(abc.bytes, abcd.bytes, TRUE, TRUE), -1);
  EXPECT_EQ(RelString(ABC.bytes, abc.bytes, FALSE, FALSE), 0) << "mark flag only logs";
  EXPECT_EQ(RelString(P255("\x8E").bytes, P255("\x83").bytes, FALSE, TRUE), 0)
      << "the locale's upper-casing gives e acute its capital";

  P255 mixed("Abc"), other("aBC");
  EXPECT_EQ(IUEqualString(mixed.bytes, other.bytes), 0);
  EXPECT_NE(IUCompString(mixed.bytes, other.bytes), 0);
  EXPECT_EQ(IUCompString(mixed.bytes, mixed.bytes), 0);
  EXPECT_EQ(IUMagIDString("ABCx", "abcy", 3, 3), 0);
  EXPECT_EQ(IUMagIDString("ABCx", "abcy", 4, 4), 1);
  EXPECT_LT(IUMagString("abc", "abd", 3, 3), 0);
  EXPECT_EQ(IUMagString("abc", "xyz", -4, 0), 0) << "negative lengths count as empty";
  std::string longA(400, 'a'), longB = std::string(255, 'a') + "b";
  EXPECT_EQ(IUMagString(longA.data(), longB.data(), 400, 256), 0) << "operands are cut to 255 bytes";
}

TEST(CharsetExports, NumbersAsText) {
  unsigned char s[256];
  std::memset(s, 0xCC, sizeof s);
  NumToString(-5, s);
  EXPECT_EQ(std::string(reinterpret_cast<char *>(s), 4), "\x02-5\xCC") << "nothing written past the digits";
  for (long v : {LONG_MIN, 0L, LONG_MAX}) {
    NumToString(v, s);
    long back = 12345;
    EXPECT_EQ(StringToNum(s, &back), v);
    EXPECT_EQ(back, v);
  }
  EXPECT_EQ(StringToNum(P255("  +12z").bytes, nullptr), 12);
}

TEST(CharsetExports, RegionCodeOfTheUserLocale) {
  EXPECT_EQ(GetMacCountryCodeFromWin(),
            tstools::MacRegionFromLocales(GetUserDefaultLCID(), GetSystemDefaultLCID()));
}

// The preferences section (host string 2075 of TSHOSTRES.DLL is "Preferences").
const char kPreferencesKey[] = "Software\\Vantor Corp.\\Tessaly Pro\\Preferences";

class PreferenceValue {
 public:
  PreferenceValue(const char *name, const std::string &value) : name_(name) {
    RegCreateKeyExA(HKEY_CURRENT_USER, kPreferencesKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    DWORD size = sizeof saved_;
    had_ = RegQueryValueExA(key_, name, nullptr, nullptr, reinterpret_cast<BYTE *>(saved_), &size) == ERROR_SUCCESS;
    RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()), DWORD(value.size() + 1));
  }
  ~PreferenceValue() {
    if (had_) {
      RegSetValueExA(key_, name_, 0, REG_SZ, reinterpret_cast<const BYTE *>(saved_), DWORD(std::strlen(saved_) + 1));
    } else {
      RegDeleteValueA(key_, name_);
    }
    RegCloseKey(key_);
  }

 private:
  const char *name_;
  HKEY key_ = nullptr;
  bool had_ = false;
  char saved_[512] = {};
};

std::string ExpectedHighHalf(const tstools::MappingPair &pair) {
  std::string hex;
  char b[3];
  for (int i = 0x80; i < 0x100; ++i) {
    std::snprintf(b, sizeof b, "%02X", pair.macToWin[i]);
    hex += b;
  }
  return hex;
}

std::string MappedByHost() {
  auto result = RunProgram(ProgramDirectory() + "font_charset_host.exe");
  EXPECT_EQ(result.exitCode, 0u) << result.output;
  size_t at = result.output.find("mapped=");
  return at == std::string::npos ? std::string() : result.output.substr(at + 7, 256);
}

TEST(InitCharset, ReadsTheMappingAndACustomTable_ManyProcesses) {
  {
    PreferenceValue mapping("Character Mapping", "4");
    EXPECT_EQ(MappedByHost(), ExpectedHighHalf(tstools::BuiltInMapping(4))) << "Turkish";
  }
  {
    PreferenceValue mapping("Character Mapping", "9");
    EXPECT_EQ(MappedByHost(), ExpectedHighHalf(tstools::BuiltInMapping(0))) << "out of range";
  }

  char dir[MAX_PATH];
  GetTempPathA(sizeof dir, dir);
  std::string path = std::string(dir) + "tstools_custom_mapping.txt";
  auto writeTable = [&](const std::string &text) {
    FILE *f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  };
  std::string table;
  const tstools::MappingPair &cyrillic = tstools::BuiltInMapping(2);
  for (int b = 0x80; b < 0x100; ++b) {
    char line[16];
    std::snprintf(line, sizeof line, "%02X %02X\n", b, cyrillic.macToWin[b]);
    table += line;
  }
  {
    PreferenceValue mapping("Character Mapping", "1");
    PreferenceValue file("Character Mapping Table", path);
    writeTable(table);
    EXPECT_EQ(MappedByHost(), ExpectedHighHalf(cyrillic)) << "a sound custom table replaces mapping 1";
    writeTable("8E E9\n");
    EXPECT_EQ(MappedByHost(), ExpectedHighHalf(tstools::BuiltInMapping(1)))
        << "a table that is not a permutation is refused; the configured mapping stays";
  }
  DeleteFileA(path.c_str());
}

}  // namespace
