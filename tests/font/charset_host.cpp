// A fresh host process for the once-per-process InitCharset: sets the host's resource
// module, chooses the mapping and prints what Mac bytes 0x80-0xFF become, as a mapping table.
#include <windows.h>

#include <cstdio>

#include "tstools/tstools.h"

int main() {
  HMODULE resources = LoadLibraryExA("TSHOSTRES.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!resources || !SetTSToolsResourceInstance(resources)) return 2;
  InitCharset();
  unsigned char text[128];
  for (int i = 0; i < 128; ++i) text[i] = static_cast<unsigned char>(0x80 + i);
  MapText(reinterpret_cast<Ptr>(text), 128, 0, 0);
  std::printf("mapped=\n");
  for (int i = 0; i < 128; ++i) std::printf("%02X %02X\n", 0x80 + i, text[i]);
  return 0;
}
