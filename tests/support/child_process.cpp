#include "support/child_process.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace tstools::test {

std::string ProgramDirectory() {
  char path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path, length);
  size_t slash = dir.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : dir.substr(0, slash + 1);
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
  si.hStdOutput = out;
  si.hStdError = out;
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
  std::ifstream file(tempFile, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  result.output = text.str();
  file.close();
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
  size_t slash = program.find_last_of("\\/");
  std::string copy = (slash == std::string::npos ? std::string() : program.substr(0, slash + 1)) +
                     copyName;
  return CopyFileA(program.c_str(), copy.c_str(), FALSE) ? copy : std::string();
}

bool SetWineAppDefault(const std::string &programName, const std::string &value,
                       const std::string &data) {
  std::string keyName = "Software\\Wine\\AppDefaults\\" + programName;
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, keyName.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS)
    return false;
  LONG status = RegSetValueExA(key, value.c_str(), 0, REG_SZ,
                               reinterpret_cast<const BYTE *>(data.c_str()),
                               static_cast<DWORD>(data.size() + 1));
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

}  // namespace tstools::test
