// The movie bridge in fresh processes beside our stand-in modules (movie_standin.cpp), which
// log every call they get; and XOpenURL.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "tstools/movies.h"

namespace {

using tstools::test::ProgramDirectory;

struct HostRun {
  std::map<std::string, std::string> report;
  std::vector<std::string> calls;  // the stand-ins' log lines
  bool Logged(const std::string &line) const { return std::count(calls.begin(), calls.end(), line) == 1; }
};

// standins: "" (none), "full" or "noentry", directories beside the test program.
HostRun RunHost(const std::string &scenario, const std::string &standins, bool componentsFail = false) {
  std::string log = ProgramDirectory() + "movie_calls_" + scenario + ".log";
  DeleteFileA(log.c_str());
  SetEnvironmentVariableA("TSTOOLS_MOVIE_LOG", log.c_str());
  SetEnvironmentVariableA("TSTOOLS_MOVIE_CMGR_FAILS", componentsFail ? "1" : "0");
  std::string arguments = scenario;
  if (!standins.empty()) arguments += " " + ProgramDirectory() + "movie_standins\\" + standins;
  auto result = tstools::test::RunProgram(ProgramDirectory() + "movie_host.exe", arguments, 30000);
  EXPECT_EQ(result.exitCode, 0u) << result.output;
  HostRun run{tstools::test::ParseReport(result.output), {}};
  std::ifstream in(log);
  for (std::string line; std::getline(in, line);) run.calls.push_back(line);
  return run;
}

const std::string kMissing = std::to_string(kMovieLibraryMissing);

TEST(MovieBridge, WithoutTheModulesEverythingFailsCleanly) {
  HostRun run = RunHost("absent", "");
  EXPECT_EQ(run.report["init"], "1");
  EXPECT_EQ(run.report["version"], "-1");  // untouched on failure
  EXPECT_EQ(run.report["error_mode"], "1");
  EXPECT_EQ(run.report["after"], kMissing + " pict_after=0");
}

TEST(MovieBridge, BrokenModulesAreGivenBack) {
  HostRun noEntry = RunHost("noentry", "noentry");
  EXPECT_EQ(noEntry.report["init"], "2");
  EXPECT_EQ(noEntry.report["loaded"], "0,0");  // a module without its entry is not kept
  EXPECT_EQ(noEntry.report["after"], kMissing + " pict_after=0");

  HostRun failing = RunHost("failing", "full", true);
  EXPECT_EQ(failing.report["init"], "2");
  EXPECT_EQ(failing.report["loaded"], "0,0");
  EXPECT_EQ(failing.calls, std::vector<std::string>{"CMGR32 init mode 32768"});  // no 57, no 58
  EXPECT_EQ(failing.report["error_mode"], "1");
}

TEST(MovieBridge, CallsReachTheModulesConverted) {
  HostRun run = RunHost("present", "full");
  EXPECT_EQ(run.report["init"], "0");
  EXPECT_EQ(run.report["version"], "21769");  // product version 2.5.3.9
  EXPECT_EQ(run.report["error_mode"], "1");
  EXPECT_EQ(run.report["loaded"], "1,1");
  ASSERT_GE(run.calls.size(), 3u);
  EXPECT_EQ(run.calls[0], "CMGR32 init mode 32768");
  EXPECT_EQ(run.calls[1], "QTIM32 00000039 0");
  // Rectangles keep their field order both ways; what does not fit 16 bits saturates.
  const std::string &box = run.calls[2];
  EXPECT_EQ(box.rfind("QTIM32 0000000f 2 17 ", 0), 0u) << box;
  EXPECT_EQ(box.substr(box.find(" rect")), " rect -10 20 300 400");
  EXPECT_EQ(run.report["box"], "-11,18,32767,-32768");
  EXPECT_TRUE(run.Logged("QTIM32 00000030 3 18 -3 7"));  // a point as signed halves
  EXPECT_EQ(run.report["ptin"], "1048");
  EXPECT_EQ(run.report["volume"], "-2");
  EXPECT_EQ(run.report["newmovie"], "77,1");
  EXPECT_EQ(run.report["newmovie_noflag"], "77");
  EXPECT_TRUE(run.Logged("CMGR32 00010013 5 33 34 0 -5 -6"));
  EXPECT_EQ(run.report["error"], "1094 visible=2020");
  EXPECT_EQ(run.report["pict"], "1020");
  // Two XQTTerminate calls release once; afterwards nothing is called.
  EXPECT_TRUE(run.Logged("CMGR32 terminate"));
  EXPECT_TRUE(run.Logged("QTIM32 0000003a 0"));
  EXPECT_EQ(run.calls.back(), "QTIM32 0000003a 0");
  EXPECT_EQ(run.report["after_terminate"], "0,0");
  EXPECT_EQ(run.report["after"], kMissing + " pict_after=0");
  int fromFile = 0;
  for (const std::string &call : run.calls) fromFile += call.find(" resid ") != std::string::npos;
  EXPECT_EQ(fromFile, 3);
}

TEST(MovieBridge, AWrapperLoadsTheLibraryOnce) {
  HostRun run = RunHost("lazy", "full");
  EXPECT_EQ(run.report["duration"], "1018");
  EXPECT_EQ(run.report["init"], "0");
  EXPECT_EQ(run.report["after_terminate"], "1,1");  // the wrapper's reference is still held
  EXPECT_EQ(run.calls, (std::vector<std::string>{"CMGR32 init mode 32768", "QTIM32 00000039 0", "QTIM32 00000012 1 0"}));
}

TEST(OpenURL, OpensWhatExistsAndRefusesBadArguments) {
  std::string program = ProgramDirectory() + "movie_host.exe";
  std::string padded = program + "trailing";
  EXPECT_TRUE(XOpenURL(padded.c_str(), long(program.size())));  // counted, not terminated
  std::string missing = ProgramDirectory() + "no_such_file.exe";
  EXPECT_FALSE(XOpenURL(missing.c_str(), long(missing.size())));
  EXPECT_FALSE(XOpenURL(nullptr, 10));
  EXPECT_FALSE(XOpenURL(program.c_str(), -1));
  EXPECT_FALSE(XOpenURL(program.c_str(), 0));
}

}  // namespace
