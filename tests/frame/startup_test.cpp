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
  EXPECT_EQ(result.exitCode, 0u) << result.output;
  auto report = ParseReport(result.output);
  EXPECT_EQ(report["set_resource_instance"], "1");
  EXPECT_EQ(report["codeset"], std::to_string(VIUWinCharSetToCodeSet(GetDefaultSystemCharSet())));
  EXPECT_EQ(report["debugger_break"], "1") << "Debugger() raises a breakpoint the host can catch";
  EXPECT_EQ(report["classes_after_unload"], "0") << "unloading removes the popup classes";
  EXPECT_EQ(report["reloaded"], "1") << "the library loads again after FreeLibrary";
  EXPECT_EQ(InitPopupMenus(GetModuleHandleA("TSTOOLS.DLL")), 0) << "a second registration replaces the first";
}

// Wine reports the version set for a program name under AppDefaults; a fresh host's flags follow
// it (the rules are the portable PlatformFlags table's): Win32s, with its start-up check, and 98.
TEST(Startup, PlatformFlagsFollowTheReportedWindowsVersion) {
  // platform version win32s win9x win98family nt newshell nt5 secondary, as the host prints them
  const std::pair<const char *, const char *> rows[] = {{"win31", "0 3.10 1 0 0 0 0 0 0"},
                                                        {"win98", "1 4.10 0 1 1 0 1 0 0"}};
  for (const auto &row : rows) {
    SCOPED_TRACE(row.first);
    std::string name = std::string("frame_probe_") + row.first + ".exe";
    ASSERT_TRUE(tstools::test::SetWineAppDefault(name, "Version", row.first));
    std::string probe = tstools::test::CopyProgramAs(ProgramDirectory() + "frame_dynamic_host.exe", name);
    ASSERT_FALSE(probe.empty());
    auto result = RunProgram(probe);
    DeleteFileA(probe.c_str());
    EXPECT_EQ(result.exitCode, 0u) << result.output;
    auto report = ParseReport(result.output);
    EXPECT_EQ(report["flags"], row.second);
    if (report["win32s"] == "1") {
      EXPECT_EQ(report["set_beside_running_host"], "0") << "under Win32s a running host's window blocks a second copy";
    }
  }
}

}  // namespace
