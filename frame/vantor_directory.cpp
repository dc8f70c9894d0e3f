// VANTOR.INI, the Vantor directory and the small path helpers around them.
#include <windows.h>

#include <cstring>
#include <string>

#include "frame/export_guard.h"
#include "frame/library_globals.h"
#include "frame/profile_paths.h"
#include "frame/settings_profile.h"
#include "frame/vantor_directory.h"
#include "tstools/host_resource_ids.h"
#include "tstools/settings.h"

namespace tstools {
namespace {

bool IsLead(uint8_t byte) { return IsDBCSLeadByte(byte) != 0; }

std::string WindowsDirectory() {
  char dir[MAX_PATH] = {};
  UINT n = GetWindowsDirectoryA(dir, sizeof dir);
  return n > 0 && n < sizeof dir ? std::string(dir, n) : std::string();
}

std::string HostExecutable() {
  char path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(frameState.hostModule, path, sizeof path);
  return n > 0 && n < sizeof path ? std::string(path, n) : std::string();
}

// The profile file's text for a new installation: the host's "TEMPLATE" resource, cut at its
// first zero and never read past the resource's end.
std::string TemplateText() {
  if (!frameState.resourceInstance) return std::string();
  HRSRC info = FindResourceA(frameState.resourceInstance, MAKEINTRESOURCEA(TSRES_TEMPLATE_PROFILE), TSRES_TYPE_TEMPLATE);
  if (!info) return std::string();
  DWORD size = SizeofResource(frameState.resourceInstance, info);
  HGLOBAL loaded = LoadResource(frameState.resourceInstance, info);
  const char *data = loaded ? static_cast<const char *>(LockResource(loaded)) : nullptr;
  return data ? std::string(data, strnlen(data, size)) : std::string();
}

bool CreateProfileFromTemplate(const std::string &path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  if (frameState.resourceInstance) {
    std::string text = TemplateText();
    DWORD written = 0;
    ok = text.empty() || (WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr) && written == text.size());
    CreateDirectoryA(JoinPath(WindowsDirectory(), kVantorSection, IsLead).c_str(), nullptr);
  }
  CloseHandle(file);
  return ok;
}

std::string ReadProfileFile(const char *key) {
  char value[kPathCapacity] = {};
  GetPrivateProfileStringA(kVantorSection, key, "", value, sizeof value, ProfileFilePath().c_str());
  return value;
}

// Prepares the profile file and finds the Vantor directory; runs once per process. The
// result is recorded only when the discovery has run to its end: a failure on the way
// (running out of memory) leaves it to be tried again.
const ProfileState &Discover() {
  ProfileState &state = profileState;
  if (state.discovered) return state;
  if (!PrepareProfileFile()) {
    state.discovered = true;
    return state;
  }

  VantorDiscoveryInput in;
  in.windowsDirectory = WindowsDirectory();
  in.hostExecutable = HostExecutable();
  in.profileValue = ReadProfileFile(kVantorDirectoryKey);
  if (in.profileValue.empty()) in.legacyValue = ReadProfileFile(kLegacyVantorDirectoryKey);
  in.directoryExists = [](const std::string &dir) { return DirectoryExists(dir.c_str()); };
  in.isLeadByte = IsLead;
  VantorDiscovery found = DiscoverVantorDirectory(in);
  if (found.storeLegacyValue) ML_WriteVantorProfileString(kVantorSection, kVantorDirectoryKey, in.legacyValue.c_str());
  if (found.storeDirectory) ML_WriteVantorProfileString(kVantorSection, kVantorDirectoryKey, found.directory.c_str());
  std::memcpy(state.directory, found.directory.c_str(), found.directory.size() + 1);
  state.directoryFound = true;
  state.discovered = true;
  return state;
}

}  // namespace

ProfileState profileState;

const std::string &ProfileFilePath() {
  std::string &path = profileState.profilePath;
  if (path.empty()) path = JoinPath(WindowsDirectory(), kProfileFileName, IsLead);
  return path;
}

bool PrepareProfileFile() {
  if (!frameState.platform.isWin32s) return true;
  int &state = profileState.profileFile;
  if (state == 0) {
    const std::string &path = ProfileFilePath();
    state = FileExists(path.c_str()) || CreateProfileFromTemplate(path) ? 1 : -1;
  }
  return state == 1;
}

bool DirectoryExists(const char *path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const char *path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool EndsWithByte(const char *text, char c) { return EndsWithSingleByte(text, c, IsLead); }

bool GetVantorDirectory(char *dst, size_t capacity) {
  if (!dst || capacity == 0) return false;
  if (capacity > kPathCapacity) capacity = kPathCapacity;
  if (!frameState.platform.isWin32s) {
    char configured[kPathCapacity] = {};
    if (ProfileRead(kVantorSection, kVantorDirectoryKey, "", configured, sizeof configured, false) > 0) {
      size_t n = strnlen(configured, capacity - 1);
      std::memcpy(dst, configured, n);
      dst[n] = '\0';
      return true;
    }
  }
  const ProfileState &state = Discover();
  if (!state.directoryFound) {
    dst[0] = '\0';
    return false;
  }
  size_t n = strnlen(state.directory, capacity - 1);
  std::memcpy(dst, state.directory, n);
  dst[n] = '\0';
  return true;
}

}  // namespace tstools

using namespace tstools;

Boolean WINAPI GetVantorDir(char *dst) {
  return Guarded(FALSE, [&] { return GetVantorDirectory(dst, kPathCapacity) ? TRUE : FALSE; });
}

void WINAPI StripFileName(char *path) { StripFileNameInPlace(path, IsLead); }
