// A host run as a Win32s program: the profile then lives in VANTOR.INI in the Windows
// directory, made from the host's "TEMPLATE" text. Prints what each call returned.
#include <windows.h>

#include <cstdio>

#include "tstools/tstools.h"

int main() {
  HMODULE resources = LoadLibraryExA("TSHOSTRES.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!resources || !SetTSToolsResourceInstance(resources)) return 2;
  char buffer[260] = {};
  std::printf("write=%ld\n", ML_WriteVantorProfileString("Probe", "Name", "value"));
  std::printf("read=%ld:%s\n", ML_GetVantorProfileString("Probe", "Name", "d", buffer, sizeof buffer), buffer);
  std::printf("size=%ld\n", ML_GetVantorProfileStringSize("Probe", "Name"));
  std::printf("append=%d\n", ML_AppendVantorProfileString("Probe", "Name", "more") != 0);
  ML_GetVantorProfileString("Probe", "Name", "d", buffer, sizeof buffer);
  std::printf("appended=%s\n", buffer);
  std::printf("clear=%ld\n", ML_GetVantorProfileStringClear("Probe", "Name", "d", buffer, sizeof buffer));
  std::printf("int=%d\n", ML_WriteVantorProfileInt("Probe", "Number", -42) != 0);
  std::printf("intread=%ld\n", GetVantorProfileInt("Probe", "Number", 7));
  std::printf("dir=%d:%s\n", GetVantorDir(buffer), buffer);
  return 0;
}
