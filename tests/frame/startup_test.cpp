#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/child_process.h"
#include "tstools/tstools.h"

namespace {

using tstools::test::ParseReport;
using tstools::test::ProgramDirectory;
using tstools::test::RunProgram;

TEST(Startup, RuntimeLoadedHostReachesExportsByName) {
  auto result = RunProgram(ProgramDirectory() + "frame_dynamic_host.exe");
  ASSERT_TRUE(result.started);
  ASSERT_FALSE(result.timedOut) << result.output;
  EXPECT_EQ(result.exitCode, 0u) << result.output;
  auto report = ParseReport(result.output);
  EXPECT_EQ(report["set_resource_instance"], "1");
  EXPECT_EQ(report["debugger_break"], "1") << "Debugger() raises a breakpoint the host can catch";
  EXPECT_EQ(report["classes_after_unload"], "0") << "unloading removes the popup classes";
  EXPECT_EQ(report["reloaded"], "1") << "the library loads again after FreeLibrary";
}

// Wine reports the version set for a program name under AppDefaults; each platform's flags
// must follow, seen through a fresh host process.
TEST(Startup, PlatformFlagsFollowTheReportedWindowsVersion_ManyProcesses) {
  // platform version win32s win9x win98family nt newshell nt5 secondary
  const std::pair<const char *, const char *> rows[] = {
      {"win31", "0 3.10 1 0 0 0 0 0 0"}, {"win95", "1 4.0 0 1 0 0 1 0 0"},  {"win98", "1 4.10 0 1 1 0 1 0 0"},
      {"nt351", "2 3.51 0 0 0 1 0 0 0"}, {"nt40", "2 4.0 0 0 0 1 1 0 0"},   {"win2k", "2 5.0 0 0 0 1 1 1 0"},
      // Like Windows 8.1 and later, Wine reports 6.2 to a program without a manifest.
      {"win10", "2 6.2 0 0 0 1 1 1 0"},
  };
  const std::string host = ProgramDirectory() + "frame_dynamic_host.exe";
  for (const auto &row : rows) {
    SCOPED_TRACE(row.first);
    std::string name = std::string("frame_probe_") + row.first + ".exe";
    ASSERT_TRUE(tstools::test::SetWineAppDefault(name, "Version", row.first));
    std::string probe = tstools::test::CopyProgramAs(host, name);
    ASSERT_FALSE(probe.empty());
    auto result = RunProgram(probe);
    DeleteFileA(probe.c_str());
    EXPECT_EQ(result.exitCode, 0u) << result.output;
    auto report = ParseReport(result.output);
    std::string flags;
    for (const char *key : {"platform", "version", "win32s", "win9x", "win98family", "nt", "newshell", "nt5", "secondary"})
      flags += (flags.empty() ? "" : " ") + report[key];
    EXPECT_EQ(flags, row.second);
    if (report["win32s"] == "1") {
      EXPECT_EQ(report["set_beside_running_host"], "0") << "under Win32s a running host's window blocks a second copy";
    }
  }
}

TEST(Startup, StatePassedThroughTheImportLibrary) {
  EXPECT_FALSE(TSToolsGetStartupState(nullptr));
  TSToolsStartupState small = {};
  small.size = sizeof small - 1;
  EXPECT_FALSE(TSToolsGetStartupState(&small)) << "a record too small is refused";

  TSToolsStartupState state = {};
  state.size = sizeof state;
  ASSERT_TRUE(TSToolsGetStartupState(&state));
  EXPECT_EQ(state.hostModule, GetModuleHandleA(nullptr));
  EXPECT_EQ(state.libraryInstance, GetModuleHandleA("TSTOOLS.DLL"));
  EXPECT_EQ(state.defaultCodeSet, VIUWinCharSetToCodeSet(GetDefaultSystemCharSet()));

  HMODULE resources = LoadLibraryExA("TSHOSTRES.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(resources, nullptr);
  EXPECT_TRUE(SetTSToolsResourceInstance(resources));
  ASSERT_TRUE(TSToolsGetStartupState(&state));
  EXPECT_EQ(state.resourceInstance, resources);
  EXPECT_TRUE(SetTSToolsResourceInstance(nullptr));
  ASSERT_TRUE(TSToolsGetStartupState(&state));
  EXPECT_EQ(state.resourceInstance, nullptr);
  FreeLibrary(resources);
}

TEST(Startup, PopupClassesCanBeRegisteredAgain) {
  HINSTANCE library = GetModuleHandleA("TSTOOLS.DLL");
  EXPECT_EQ(InitPopupMenus(library), 0) << "a second registration replaces the first";
  WNDCLASSA wc;
  EXPECT_TRUE(GetClassInfoA(library, "TSAPP3POPUP", &wc));
  EXPECT_EQ(wc.style & (CS_GLOBALCLASS | CS_SAVEBITS), UINT(CS_GLOBALCLASS | CS_SAVEBITS));
  EXPECT_TRUE(GetClassInfoA(library, "TSAPP3POPUPITEM", &wc));
  EXPECT_EQ(wc.style & (CS_GLOBALCLASS | CS_CLASSDC), UINT(CS_GLOBALCLASS | CS_CLASSDC));
}

}  // namespace
