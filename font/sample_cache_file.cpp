// The font sample cache file on disk: where it is looked for and made, and the Windows file
// behind the portable codec.
#include <windows.h>

#include "font/font_samples.h"
#include "frame/library_globals.h"
#include "frame/profile_paths.h"
#include "frame/settings_profile.h"
#include "tstools/host_resource_ids.h"

namespace tstools {
namespace {

bool IsLead(uint8_t byte) { return IsDBCSLeadByte(byte) != 0; }

std::string HostFolder() {
  char path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(frameState.hostModule, path, sizeof path);
  if (n == 0 || n >= sizeof path) return std::string();
  StripFileNameInPlace(path, IsLead);
  return path;
}

std::string VantorFolder() {
  char dir[kPathCapacity] = {};
  return GetVantorDirectory(dir, sizeof dir) ? std::string(dir) : std::string();
}

std::string TempFolder() {
  char dir[MAX_PATH] = {};
  DWORD n = GetTempPathA(sizeof dir, dir);
  return n > 0 && n < sizeof dir ? std::string(dir, n) : std::string();
}

// A bare drive ("C:") stands for its root.
std::string WindowsFolder() {
  char dir[MAX_PATH] = {};
  UINT n = GetWindowsDirectoryA(dir, sizeof dir);
  if (n == 0 || n >= sizeof dir) return std::string();
  std::string folder(dir, n);
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';
  return folder;
}

std::vector<std::string> Names(const CacheFilePlaces &places) {
  std::vector<std::string> names;
  for (const std::string *name : {&places.longName, &places.shortName})
    if (!name->empty()) names.push_back(*name);
  return names;
}

// Creation failures that say the place is taken or locked rather than unsuitable: trying
// further places would only scatter cache files.
bool StopsTheSearch(DWORD error) {
  switch (error) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_DRIVE_LOCKED:
      return true;
    default:
      return false;
  }
}

// Takes ownership of an open handle, closing it should the wrapper not be made.
std::unique_ptr<WindowsCacheFile> Adopt(HANDLE file, const std::string &path) {
  try {
    return std::make_unique<WindowsCacheFile>(file, path);
  } catch (...) {
    CloseHandle(file);
    throw;
  }
}

}  // namespace

int CompareFaceNames(const char *a, const char *b) {
  int order = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, -1, b, -1);
  return order == 0 ? fontcache::FoldedCompare(a, b) : order - CSTR_EQUAL;
}

WindowsCacheFile::~WindowsCacheFile() { CloseHandle(handle_); }

bool WindowsCacheFile::Seek(uint32_t offset) {
  LONG high = 0;
  DWORD low = SetFilePointer(handle_, LONG(offset), &high, FILE_BEGIN);
  return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

bool WindowsCacheFile::ReadAt(uint32_t offset, void *dst, size_t bytes) {
  DWORD got = 0;
  return bytes <= 0xFFFFFFFFu && Seek(offset) && ReadFile(handle_, dst, DWORD(bytes), &got, nullptr) && got == bytes;
}

bool WindowsCacheFile::WriteAt(uint32_t offset, const void *src, size_t bytes) {
  DWORD put = 0;
  return bytes <= 0xFFFFFFFFu && Seek(offset) && WriteFile(handle_, src, DWORD(bytes), &put, nullptr) && put == bytes;
}

bool WindowsCacheFile::Size(uint64_t &bytes) {
  DWORD high = 0;
  DWORD low = GetFileSize(handle_, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return false;
  bytes = uint64_t(high) << 32 | low;
  return true;
}

bool WindowsCacheFile::Truncate(uint32_t bytes) { return Seek(bytes) && SetEndOfFile(handle_); }

bool WindowsCacheFile::Flush() { return FlushFileBuffers(handle_) != 0; }

CacheFilePlaces FindCacheFilePlaces() {
  CacheFilePlaces places;
  places.longName = LoadHostString(TSRES_STR_FONT_CACHE_LONG_NAME);
  places.shortName = LoadHostString(TSRES_STR_FONT_CACHE_SHORT_NAME, 12);
  if (places.longName.empty() && places.shortName.empty()) return places;
  std::string vantor = VantorFolder(), host = HostFolder(), temp = TempFolder();
  places.openIn = {vantor, host, temp};
  places.createIn = {vantor, host, WindowsFolder(), temp};
  return places;
}

std::unique_ptr<WindowsCacheFile> OpenCacheFile(const CacheFilePlaces &places, bool &writable, bool &exists) {
  writable = exists = false;
  for (const std::string &folder : places.openIn) {
    if (folder.empty()) continue;
    for (const std::string &name : Names(places)) {
      std::string path = JoinPath(folder, name, IsLead);
      DWORD attributes = GetFileAttributesA(path.c_str());
      if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
      exists = true;
      // The attribute is asked first: an administrator's open for writing succeeds on a
      // read-only file, which must stay as it is all the same.
      HANDLE file = INVALID_HANDLE_VALUE;
      if (!(attributes & FILE_ATTRIBUTE_READONLY))
        file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
      writable = file != INVALID_HANDLE_VALUE;
      if (!writable)
        file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file == INVALID_HANDLE_VALUE) return nullptr;
      return Adopt(file, path);
    }
  }
  return nullptr;
}

std::unique_ptr<WindowsCacheFile> CreateCacheFile(const CacheFilePlaces &places) {
  for (const std::string &folder : places.createIn) {
    if (folder.empty()) continue;
    for (const std::string &name : Names(places)) {
      std::string path = JoinPath(folder, name, IsLead);
      HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file != INVALID_HANDLE_VALUE) return Adopt(file, path);
      if (StopsTheSearch(GetLastError())) return nullptr;
    }
  }
  return nullptr;
}

}  // namespace tstools
