// The font table through TSTOOLS.DLL on the fonts installed in the Wine prefix (the set-up
// installs DejaVu and Liberation), and the Type 1 bridge stand-in in Windows 98 hosts.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <set>
#include <string>

#include "font/font_manager.h"
#include "font/font_table_rules.h"
#include "tests/font/pascal_string.h"
#include "support/child_process.h"
#include "tstools/tstools.h"

namespace {

using tstools::test::ProgramDirectory;
using tstools::test::RunProgram;

std::string Name(short n) {
  unsigned char s[256];
  std::memset(s, 0xCC, sizeof s);
  GetFontName(n, s);
  EXPECT_LE(s[0], 31) << "face names are at most 31 characters";
  return std::string(reinterpret_cast<char *>(s + 1), s[0]);
}

short Count() {
  short n = 0;
  while (GetCharSet(n) != -1) ++n;
  return n;
}

using tstools::test::P255;

short FNum(const std::string &name) {
  short n = -99;
  GetFNum(P255(name).bytes, &n);
  return n;
}

// The font manager's glue is compiled into this program, so each test can start from a
// process that has no font table yet.
class FontManager : public testing::Test {
 protected:
  void SetUp() override { tstools::fontState.Reset(); }
  void TearDown() override { tstools::fontState.Reset(); }
};

TEST_F(FontManager, TableHoldsTheFixedEntriesThenEachFaceOnceAndRebuilds) {
  unsigned short type = 9;
  BYTE pf = 9, cs = 9;
  GetFontType(0, &type);
  GetWinFontInfo(0, &pf, &cs);
  EXPECT_TRUE(Name(0).empty() && GetCharSet(0) == -1 && type == 0 && pf == 0 && cs == 0) << "no table yet";
  InitFonts();
  BYTE systemCharSet = GetDefaultSystemCharSet();
  EXPECT_EQ(Name(0), "System");
  EXPECT_EQ(Name(1), "MS Sans Serif");
  EXPECT_TRUE(GetCharSet(0) == static_cast<signed char>(systemCharSet) && GetCharSet(1) == GetCharSet(0));
  // DejaVu and Liberation from the set-up are TrueType; the base-35 Type 1 and CFF faces it
  // also installs are not.
  short count = Count();
  std::set<std::string> seen;
  for (short n = 2; n < count; ++n) {
    std::string name = Name(n);
    EXPECT_TRUE(seen.insert(name).second) << "listed twice: " << name;
    GetFontType(n, &type);
    if (name.rfind("DejaVu", 0) == 0 || name.rfind("Liberation", 0) == 0) EXPECT_EQ(type, 2) << name;
    EXPECT_EQ(FNum(name), n);
  }
  ASSERT_TRUE(seen.count("DejaVu Sans") && seen.count("Liberation Sans"));

  // Fixed entries are not looked up, names compare case-sensitively and a NUL ends them.
  for (std::string other : {"System", "dejavu sans"}) EXPECT_EQ(FNum(other), 0) << other;
  EXPECT_EQ(FNum(std::string("DejaVu Sans\0junk", 16)), FNum("DejaVu Sans"));

  GetWinFontInfo(FNum("DejaVu Sans"), &pf, &cs);
  EXPECT_NE(pf, 0) << "the enumerated pitch and family byte";
  for (short past : {count, short(-1)}) EXPECT_TRUE(GetCharSet(past) == -1 && Name(past).empty()) << past;
  EXPECT_EQ(GetModuleHandleA("TSATM32.DLL"), nullptr) << "the bridge is not loaded on NT";

  InitFonts();
  EXPECT_EQ(Count(), count) << "a rebuild gives the same table";
  ASSERT_NE(FindAtomA("DejaVu Sans"), 0);
  tstools::fontState.Reset();
  EXPECT_EQ(FindAtomA("DejaVu Sans"), 0) << "each table's name atoms go with it";
}

// Section "Bold Sizes" and key "Default Size" are host strings 2071 and 2079 of TSHOSTRES.DLL.
TEST_F(FontManager, MinimumBoldSizesComeFromTheSettings) {
  HMODULE resources = LoadLibraryExA("TSHOSTRES.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(SetTSToolsResourceInstance(resources));
  ML_WriteVantorProfileString("Bold Sizes", "DejaVu Sans", "12");
  ML_WriteVantorProfileString("Bold Sizes", "Default Size", " 9pt");
  InitFonts();
  EXPECT_EQ(GetMinBoldSize(FNum("DejaVu Sans")), 12);
  EXPECT_EQ(GetMinBoldSize(FNum("Liberation Sans")), 9) << "no key of its own: the default key";
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vantor Corp.\\Tessaly Pro\\Bold Sizes");
  SetTSToolsResourceInstance(nullptr);
  FreeLibrary(resources);
}

// The font host run as a Windows 98 program from beside the library and TSATM32.DLL. The
// bridge sees the rasteriser query and a face query for each face that is not TrueType (the
// base-35 faces of the set-up), none for the TrueType ones; which kind a non-TrueType face
// gets from it is covered by the portable FontKinds test.
TEST_F(FontManager, TypeOneBridgeIsBoundByItsDecoratedNames) {
  const std::string name = "font_atm_probe.exe", probe = ProgramDirectory() + name;
  ASSERT_TRUE(tstools::test::SetWineAppDefault(name, "Version", "win98"));
  ASSERT_TRUE(CopyFileA((ProgramDirectory() + "font_atm_host.exe").c_str(), probe.c_str(), FALSE));
  auto result = RunProgram(probe);
  DeleteFileA(probe.c_str());
  EXPECT_EQ(result.exitCode, 0u) << result.output;
  auto report = tstools::test::ParseReport(result.output);
  ASSERT_EQ(report["bridge"], "1") << "loaded on Windows 98 from beside the host";
  EXPECT_EQ(report["type:DejaVu Sans"], "2") << "TrueType wins over the bridge";
  EXPECT_EQ(report["type:System"], "0");
  int notTrueType = 0;
  for (const auto &[key, value] : report)
    notTrueType += key.rfind("type:", 0) == 0 && key != "type:System" && key != "type:MS Sans Serif" && value != "2";
  EXPECT_EQ(report["calls"], std::to_string(notTrueType) + ",1")
      << "asked once whether it runs, for the screen; offered only the faces that are not TrueType";
}

}  // namespace
