// Menus made by other test programs bring a sample cache up to date beside the programs, where
// it is found before the folder a cache test points the Vantor directory at.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

inline void RemoveCachesBesideProgram() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (char *slash = std::strrchr(path, '\\')) *slash = 0;
  for (const char *name : {"Demo Host Font Samples.dat", "DHFONTS.DAT"})
    DeleteFileA((std::string(path) + "\\" + name).c_str());
}
