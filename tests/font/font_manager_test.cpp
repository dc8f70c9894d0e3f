// The font table through TSTOOLS.DLL on the fonts installed in the Wine prefix (the set-up
// installs DejaVu and Liberation), and the Type 1 bridge stand-in in Windows 98 hosts.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
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
  EXPECT_EQ(Name(0), "");
  EXPECT_EQ(GetCharSet(0), -1);
  unsigned short type = 9;
  GetFontType(0, &type);
  EXPECT_EQ(type, 0);
  EXPECT_EQ(GetMinBoldSize(0), 0);
  BYTE pf = 9, cs = 9;
  GetWinFontInfo(0, &pf, &cs);
  EXPECT_EQ(pf, 0);
  EXPECT_EQ(cs, 0);
  EXPECT_EQ(FNum("System"), 0);
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

  EXPECT_EQ(FNum("System"), 0) << "fixed entries are not looked up";
  EXPECT_EQ(FNum(""), 0);
  EXPECT_EQ(FNum("No Such Face"), 0);
  EXPECT_EQ(FNum("dejavu sans"), 0) << "names compare case-sensitively";
  EXPECT_EQ(FNum(std::string("DejaVu Sans\0junk", 16)), FNum("DejaVu Sans")) << "a NUL ends the name";
  EXPECT_EQ(FNum("DejaVu Sans" + std::string(40, ' ')), 0);

  BYTE pf = 0, cs = 0;
  short dejavu = FNum("DejaVu Sans");
  GetWinFontInfo(dejavu, &pf, &cs);
  EXPECT_NE(pf, 0) << "the enumerated pitch and family byte";
  EXPECT_EQ(GetCharSet(count), -1);
  EXPECT_EQ(GetCharSet(-1), -1);
  EXPECT_EQ(Name(count), "");
  EXPECT_EQ(Name(-5), "");
  EXPECT_EQ(GetModuleHandleA("TSATM32.DLL"), nullptr) << "the bridge is not loaded on NT";
}

TEST_F(FontManager, RebuildingGivesTheSameTable) {
  InitFonts();
  short count = Count();
  std::vector<std::string> before;
  for (short n = 0; n < count; ++n) before.push_back(Name(n));
  InitFonts();
  ASSERT_EQ(Count(), count);
  for (short n = 0; n < count; ++n) EXPECT_EQ(Name(n), before[size_t(n)]);
  ASSERT_NE(FindAtomA("DejaVu Sans"), 0);
  tstools::fontState.Reset();
  EXPECT_EQ(FindAtomA("DejaVu Sans"), 0) << "each table's name atoms go with it";
  EXPECT_EQ(Count(), 0);
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

  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Vantor Corp.\\Tessaly Pro\\Bold Sizes", 0, KEY_ALL_ACCESS, &key),
            ERROR_SUCCESS);
  RegDeleteValueA(key, "Default Size");
  InitFonts();
  EXPECT_EQ(GetMinBoldSize(FNum("Liberation Sans")), 0) << "neither key: 0";
  EXPECT_EQ(GetMinBoldSize(FNum("DejaVu Sans")), 12);
  RegDeleteValueA(key, "DejaVu Sans");
  RegCloseKey(key);
  SetTSToolsResourceInstance(nullptr);
  FreeLibrary(resources);
  InitFonts();
}

// Runs the font host as a Windows 98 program under name with the given environment.
std::map<std::string, std::string> RunAsWin98(const std::string &name, const char *faces, const char *notRunning) {
  EXPECT_TRUE(tstools::test::SetWineAppDefault(name, "Version", "win98"));
  std::string copy = tstools::test::CopyProgramAs(ProgramDirectory() + "font_atm_host.exe", name);
  EXPECT_FALSE(copy.empty());
  SetEnvironmentVariableA("TSATM_STANDIN_FACES", faces);
  SetEnvironmentVariableA("TSATM_STANDIN_NOT_RUNNING", notRunning);
  auto result = RunProgram(copy);
  SetEnvironmentVariableA("TSATM_STANDIN_FACES", nullptr);
  SetEnvironmentVariableA("TSATM_STANDIN_NOT_RUNNING", nullptr);
  DeleteFileA(copy.c_str());
  EXPECT_EQ(result.exitCode, 0u) << result.output;
  return tstools::test::ParseReport(result.output);
}

// The prefix holds only TrueType faces (Wine's own bitmap faces are not installed here), so the
// bridge sees the rasteriser query and no face queries; which kind a non-TrueType face gets
// from it is covered by the portable FontKinds test.
TEST_F(FontManager, TypeOneBridgeStandInIsBoundByItsDecoratedNames_ManyProcesses) {
  auto report = RunAsWin98("font_atm_probe.exe", "DejaVu Sans;Liberation Mono", "0");
  ASSERT_EQ(report["bridge"], "1") << "loaded on Windows 98 from beside the host";
  EXPECT_EQ(report["type:DejaVu Sans"], "2") << "TrueType wins over ATM";
  EXPECT_EQ(report["type:Liberation Mono"], "2");
  EXPECT_EQ(report["type:System"], "0");
  long available = -1, bad = -1, loaded = -1;
  std::sscanf(report["calls"].c_str(), "%ld,%ld,%ld", &available, &bad, &loaded);
  EXPECT_EQ(loaded, 1) << "asked once, for the screen (no printer here): " << report["calls"];
  EXPECT_EQ(available, 0) << "TrueType faces are never offered to the bridge";
  EXPECT_EQ(bad, 0);

  auto stopped = RunAsWin98("font_atm_stopped.exe", "DejaVu Sans", "1");
  ASSERT_EQ(stopped["bridge"], "1");
  EXPECT_EQ(stopped["type:DejaVu Sans"], "2");
  EXPECT_EQ(stopped["calls"].substr(0, 2), "0,");
}

TEST_F(FontManager, WorksWithoutTheBridgeModule_ManyProcesses) {
  // A host directory without TSATM32.DLL.
  std::string dir = ProgramDirectory() + "no_bridge\\";
  CreateDirectoryA(dir.c_str(), nullptr);
  for (const char *file : {"TSTOOLS.DLL", "TSHOSTRES.DLL"})
    ASSERT_TRUE(CopyFileA((ProgramDirectory() + file).c_str(), (dir + file).c_str(), FALSE));
  const std::string name = "font_no_bridge.exe";
  ASSERT_TRUE(tstools::test::SetWineAppDefault(name, "Version", "win98"));
  ASSERT_TRUE(CopyFileA((ProgramDirectory() + "font_atm_host.exe").c_str(), (dir + name).c_str(), FALSE));
  // The child starts in the directory too, so neither the file check nor the loader can find
  // the stand-in beside the test programs.
  char previous[MAX_PATH];
  GetCurrentDirectoryA(sizeof previous, previous);
  SetCurrentDirectoryA(dir.c_str());
  auto result = RunProgram(dir + name);
  SetCurrentDirectoryA(previous);
  EXPECT_EQ(result.exitCode, 0u) << result.output;
  auto report = tstools::test::ParseReport(result.output);
  EXPECT_EQ(report["bridge"], "0") << result.output;
  EXPECT_EQ(report["type:DejaVu Sans"], "2") << result.output;
  for (const char *file : {"TSTOOLS.DLL", "TSHOSTRES.DLL", "font_no_bridge.exe"}) DeleteFileA((dir + file).c_str());
  RemoveDirectoryA(dir.c_str());
}

}  // namespace
