// Running helper programs from a test: a fresh process for once-per-process state, and
// copies of a program under other names (Wine's per-program settings key on the name).
#pragma once

#include <windows.h>

#include <map>
#include <string>

namespace tstools::test {

struct ProgramResult {
  DWORD exitCode = 0;
  bool timedOut = false, started = false;
  std::string output;  // stdout and stderr together
};

// The directory of the running test program, with a trailing backslash. TSTOOLS.DLL, the
// host resource module and the helper programs are all built there.
std::string ProgramDirectory();

// Runs "<program> <arguments>" and collects its output; kills it after timeoutMs.
ProgramResult RunProgram(const std::string &program, const std::string &arguments = "",
                         DWORD timeoutMs = 120000);

// The "key=value" lines of a helper program's output, by key.
std::map<std::string, std::string> ParseReport(const std::string &output);

// Copies program to copyName in the same directory; returns the copy's path ("" on failure).
std::string CopyProgramAs(const std::string &program, const std::string &copyName);

// Sets HKCU\Software\Wine\AppDefaults\<programName>\<value> for programs started later.
bool SetWineAppDefault(const std::string &programName, const std::string &value,
                       const std::string &data);

}  // namespace tstools::test
