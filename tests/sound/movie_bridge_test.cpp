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
  long Ending(const std::string &tail) const {  // calls logged ending with tail
    auto ends = [&](const std::string &c) { return c.size() >= tail.size() && !c.compare(c.size() - tail.size(), tail.size(), tail); };
    return std::count_if(calls.begin(), calls.end(), ends);
  }
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

// Both modules gone, and wrappers failing without calling anything.
const std::string kGone = "0,0 " + std::to_string(kMovieLibraryMissing) + " 0";

TEST(MovieBridge, MissingOrBrokenModulesFailCleanly) {
  HostRun absent = RunHost("absent", "");
  EXPECT_EQ(absent.report["start"], "1 -1 1 0,0");  // version untouched, error mode restored
  EXPECT_EQ(absent.report["end"], kGone);
  HostRun noEntry = RunHost("noentry", "noentry");
  EXPECT_EQ(noEntry.report["start"], "2 -1 1 0,0");  // a module without its entry is not kept
  EXPECT_EQ(noEntry.report["end"], kGone);
  HostRun failing = RunHost("failing", "full", true);
  EXPECT_EQ(failing.report["start"], "2 -1 1 0,0");
  EXPECT_EQ(failing.calls, std::vector<std::string>{"CMGR32 init mode 32768"});  // no 57, no 58
}

TEST(MovieBridge, CallsReachTheModulesConverted) {
  HostRun run = RunHost("present", "full");
  EXPECT_EQ(run.report["start"], "0 21769 1 1,1");  // product version 2.5.3.9
  ASSERT_GE(run.calls.size(), 3u);
  EXPECT_EQ(run.calls[0], "CMGR32 init mode 32768");
  EXPECT_EQ(run.calls[1], "QTIM32 00000039 0");
  EXPECT_EQ(run.calls[2].rfind("QTIM32 0000000f 2 17 ", 0), 0u) << run.calls[2];
  EXPECT_EQ(run.Ending(" rect -10 20 300 400"), 1);
  // Rectangles keep their field order both ways, saturating; a volume of -2 with noise above;
  // the resource id copied in and out, the flag out only when asked for.
  EXPECT_EQ(run.report["sample"],
            "box -11,18,32767,-32768 ptin 1048 volume -2 resid 77,1,77 error 1094 visible 2020 pict 1020");
  EXPECT_EQ(run.Ending(" resid 5 flag 0"), 1);
  EXPECT_EQ(run.Ending(" resid 0 flag 0"), 1);  // no resource id given: none written back
  EXPECT_EQ(run.Ending("QTIM32 00000030 3 18 -3 7"), 1);  // a point as signed halves
  EXPECT_EQ(run.Ending("CMGR32 00010013 5 33 34 0 -5 -6"), 1);
  // Two XQTTerminate calls release once, the component manager first; then nothing is called.
  EXPECT_EQ(std::vector<std::string>(run.calls.end() - 2, run.calls.end()),
            (std::vector<std::string>{"CMGR32 terminate", "QTIM32 0000003a 0"}));
  EXPECT_EQ(run.report["end"], kGone);
}

TEST(MovieBridge, AWrapperLoadsTheLibraryOnce) {
  HostRun run = RunHost("lazy", "full");
  EXPECT_EQ(run.report["duration"], "1018");
  EXPECT_EQ(run.report["init"], "0");
  EXPECT_EQ(run.report["end"], "1,1");  // the wrapper's reference is still held
  EXPECT_EQ(run.calls, (std::vector<std::string>{"CMGR32 init mode 32768", "QTIM32 00000039 0", "QTIM32 00000012 1 0"}));
}

TEST(OpenURL, OpensWhatExistsAndRefusesBadArguments) {
  std::string program = "file://" + ProgramDirectory() + "movie_host.exe";
  std::string padded = program + "trailing";
  EXPECT_TRUE(XOpenURL(padded.c_str(), long(program.size())));  // counted, not terminated
  std::string bare = ProgramDirectory() + "movie_host.exe";
  EXPECT_FALSE(XOpenURL(bare.c_str(), long(bare.size()))) << "a path without a scheme is not a URL";
  std::string missing = "file://" + ProgramDirectory() + "no_such_file.exe";
  EXPECT_FALSE(XOpenURL(missing.c_str(), long(missing.size())));
  EXPECT_FALSE(XOpenURL(nullptr, 10));
  EXPECT_FALSE(XOpenURL(program.c_str(), -1));
}

}  // namespace
