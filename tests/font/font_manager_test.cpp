// The font table through TSTOOLS.DLL on the fonts installed in the Wine prefix (the set-up
// installs DejaVu and Liberation), and the Type 1 bridge stand-in in Windows 98 hosts.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

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

TEST_F(FontManager, EveryNumberIsInvalidWithoutATable) {
  unsigned short type = 9;
  BYTE pf = 9, cs = 9;
  GetFontType(0, &type);
  GetWinFontInfo(0, &pf, &cs);
  EXPECT_TRUE(Name(0).empty() && GetCharSet(0) == -1 && GetMinBoldSize(0) == 0 && FNum("System") == 0);
  EXPECT_TRUE(type == 0 && pf == 0 && cs == 0);
}

// The screen's families as Windows enumerates them, with their TrueType flag.
int CALLBACK Collect(const LOGFONTA *lf, const TEXTMETRICA *, DWORD type, LPARAM param) {
  auto &faces = *reinterpret_cast<std::map<std::string, bool> *>(param);
  faces.emplace(lf->lfFaceName, (type & TRUETYPE_FONTTYPE) != 0);
  return 1;
}

std::map<std::string, bool> ScreenFamilies() {
  std::map<std::string, bool> faces;
  HDC dc = GetDC(GetDesktopWindow());
  EnumFontFamiliesA(dc, nullptr, reinterpret_cast<FONTENUMPROCA>(Collect), reinterpret_cast<LPARAM>(&faces));
  ReleaseDC(GetDesktopWindow(), dc);
  return faces;
}

TEST_F(FontManager, TableHoldsTheFixedEntriesThenEachScreenFamilyOnce) {
  InitFonts();
  BYTE systemCharSet = GetDefaultSystemCharSet();
  EXPECT_EQ(Name(0), "System");
  EXPECT_EQ(Name(1), "MS Sans Serif");
  for (short n : {0, 1}) {
    EXPECT_EQ(GetCharSet(n), static_cast<signed char>(systemCharSet));
    unsigned short type = 9;
    GetFontType(n, &type);
    EXPECT_EQ(type, 0);
  }
  auto faces = ScreenFamilies();
  ASSERT_TRUE(faces.count("DejaVu Sans")) << "the set-up installs fonts-dejavu-core";
  ASSERT_TRUE(faces.count("Liberation Sans")) << "the set-up installs fonts-liberation";

  short count = Count();
  std::set<std::string> seen;
  for (short n = 2; n < count; ++n) {
    std::string name = Name(n);
    EXPECT_TRUE(seen.insert(name).second) << "listed twice: " << name;
    ASSERT_TRUE(faces.count(name)) << "not a screen family: " << name;
    unsigned short type = 9;
    GetFontType(n, &type);
    EXPECT_EQ(type, faces[name] ? 2 : 0) << name;
    EXPECT_EQ(FNum(name), n);
    if (!faces[name]) {
      EXPECT_EQ(GetMinBoldSize(n), 0) << "only TrueType faces have a bold size";
    }
  }
  EXPECT_EQ(seen.size(), faces.size()) << "every family gets a number (no printer under Wine)";

  // Fixed entries are not looked up, names compare case-sensitively and a NUL ends them.
  for (std::string other : {"System", "", "No Such Face", "dejavu sans", "DejaVu Sans                 x"})
    EXPECT_EQ(FNum(other), 0) << other;
  EXPECT_EQ(FNum(std::string("DejaVu Sans\0junk", 16)), FNum("DejaVu Sans"));

  BYTE pf = 0, cs = 0;
  short dejavu = FNum("DejaVu Sans");
  GetWinFontInfo(dejavu, &pf, &cs);
  EXPECT_NE(pf, 0) << "the enumerated pitch and family byte";
  for (short past : {count, short(-1)}) EXPECT_TRUE(GetCharSet(past) == -1 && Name(past).empty()) << past;
  EXPECT_EQ(GetModuleHandleA("TSATM32.DLL"), nullptr) << "the bridge is not loaded on NT";
}

TEST_F(FontManager, RebuildingGivesTheSameTableAndResetFreesItsAtoms) {
  InitFonts();
  std::vector<std::string> before;
  for (short n = 0; n < Count(); ++n) before.push_back(Name(n));
  InitFonts();
  ASSERT_EQ(size_t(Count()), before.size());
  for (short n = 0; n < Count(); ++n) EXPECT_EQ(Name(n), before[size_t(n)]);
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
  EXPECT_EQ(GetMinBoldSize(0), 0);
  // Which key wins otherwise is the portable MinBoldSize test's.
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vantor Corp.\\Tessaly Pro\\Bold Sizes");
  SetTSToolsResourceInstance(nullptr);
  FreeLibrary(resources);
  InitFonts();
}

// Runs the font host as a Windows 98 program from dir (its working directory too, so that
// only what dir holds can be found) and returns its report.
std::map<std::string, std::string> RunAsWin98(const std::string &dir, const std::string &name) {
  EXPECT_TRUE(tstools::test::SetWineAppDefault(name, "Version", "win98"));
  EXPECT_TRUE(CopyFileA((ProgramDirectory() + "font_atm_host.exe").c_str(), (dir + name).c_str(), FALSE));
  char previous[MAX_PATH];
  GetCurrentDirectoryA(sizeof previous, previous);
  SetCurrentDirectoryA(dir.c_str());
  auto result = RunProgram(dir + name);
  SetCurrentDirectoryA(previous);
  DeleteFileA((dir + name).c_str());
  EXPECT_EQ(result.exitCode, 0u) << result.output;
  return tstools::test::ParseReport(result.output);
}

// The prefix holds only TrueType faces (Wine's own bitmap faces are not installed here), so the
// bridge sees the rasteriser query and no face queries; which kind a non-TrueType face gets
// from it is covered by the portable FontKinds test.
TEST_F(FontManager, TypeOneBridgeIsBoundByItsDecoratedNamesOrDoneWithout_ManyProcesses) {
  auto report = RunAsWin98(ProgramDirectory(), "font_atm_probe.exe");
  ASSERT_EQ(report["bridge"], "1") << "loaded on Windows 98 from beside the host";
  EXPECT_EQ(report["type:DejaVu Sans"], "2") << "TrueType wins over the bridge";
  EXPECT_EQ(report["type:System"], "0");
  EXPECT_EQ(report["calls"], "0,1") << "asked once whether it runs, for the screen; never offered TrueType faces";

  // A host directory without TSATM32.DLL.
  std::string dir = ProgramDirectory() + "no_bridge\\";
  CreateDirectoryA(dir.c_str(), nullptr);
  for (const char *file : {"TSTOOLS.DLL", "TSHOSTRES.DLL"})
    ASSERT_TRUE(CopyFileA((ProgramDirectory() + file).c_str(), (dir + file).c_str(), FALSE));
  report = RunAsWin98(dir, "font_no_bridge.exe");
  EXPECT_EQ(report["bridge"], "0");
  EXPECT_EQ(report["type:DejaVu Sans"], "2");
  for (const char *file : {"TSTOOLS.DLL", "TSHOSTRES.DLL"}) DeleteFileA((dir + file).c_str());
  RemoveDirectoryA(dir.c_str());
}

}  // namespace
