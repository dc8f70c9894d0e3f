#include "support/child_process.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace tstools::test {

std::string ProgramDirectory() {
  char path[MAX_PATH] = {};
  std::string file(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  return file.substr(0, file.find_last_of("\\/") + 1);  // "" when there is no slash
}

ProgramResult RunProgram(const std::string &program, const std::string &arguments,
                         DWORD timeoutMs) {
  ProgramResult result;
  // Output goes to a file rather than a pipe so a silent, hung child cannot block us.
  char tempDir[MAX_PATH], tempFile[MAX_PATH];
  GetTempPathA(MAX_PATH, tempDir);
  GetTempFileNameA(tempDir, "tst", 0, tempFile);
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileA(tempFile, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = si.hStdError = out;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi = {};
  std::string commandLine = "\"" + program + "\" " + arguments;
  result.started = CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0,
                                  nullptr, nullptr, &si, &pi) != 0;
  CloseHandle(out);
  if (result.started) {
    if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_TIMEOUT) {
      result.timedOut = true;
      TerminateProcess(pi.hProcess, 124);
      WaitForSingleObject(pi.hProcess, INFINITE);
    }
    GetExitCodeProcess(pi.hProcess, &result.exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  // The stream is closed by the end of the statement, before the file is deleted.
  result.output.assign(std::istreambuf_iterator<char>(std::ifstream(tempFile, std::ios::binary).rdbuf()), {});
  DeleteFileA(tempFile);
  return result;
}

std::map<std::string, std::string> ParseReport(const std::string &output) {
  std::map<std::string, std::string> values;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t eq = line.find('=');
    if (eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return values;
}

std::string CopyProgramAs(const std::string &program, const std::string &copyName) {
  std::string copy = program.substr(0, program.find_last_of("\\/") + 1) + copyName;
  return CopyFileA(program.c_str(), copy.c_str(), FALSE) ? copy : std::string();
}

bool SetWineAppDefault(const std::string &programName, const std::string &value,
                       const std::string &data) {
  std::string keyName = "Software\\Wine\\AppDefaults\\" + programName;
  return RegSetKeyValueA(HKEY_CURRENT_USER, keyName.c_str(), value.c_str(), REG_SZ, data.c_str(),
                         static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace tstools::test
