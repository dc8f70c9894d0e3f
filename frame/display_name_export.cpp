// File names for menus: the portable shortening with the system's file titles and lead bytes.
#include <windows.h>
#include <commdlg.h>

#include <cstring>

#include "frame/display_name.h"
#include "tstools/utilities.h"

using namespace tstools;

namespace {

size_t SystemFileTitle(const char *name, char *title, size_t capacity) {
  if (GetFileTitleA(name, title, static_cast<WORD>(capacity)) != 0) return 0;
  return strnlen(title, capacity - 1);
}

bool IsLeadByte(uint8_t byte) { return IsDBCSLeadByte(byte) != FALSE; }

}  // namespace

short WINAPI GetDisplayName(char *path, short maxLength, const char *homeDir, short homeDirLength,
                            Boolean keepName) {
  DisplayNameRequest request;
  request.maxLength = maxLength;
  request.homeDir = homeDir;
  request.homeDirLength = homeDirLength;
  request.keepName = keepName != 0;
  request.fileTitle = SystemFileTitle;
  request.isLeadByte = IsLeadByte;
  return static_cast<short>(ShortenDisplayNameInPlace(path, request));
}

short WINAPI DoubleUpAmpersands(char *text) { return static_cast<short>(DoubleUpAmpersandsInPlace(text)); }
