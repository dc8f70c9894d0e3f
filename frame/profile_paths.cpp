#include "frame/profile_paths.h"

#include <cstring>

namespace tstools {

std::string SectionRegistryKey(const std::string &section, const std::string &hostSection) {
  if (section == kVantorSection) return std::string("Software\\Vantor Corp.\\") + section;
  std::string key = std::string("Software\\Vantor Corp.\\Tessaly Pro\\") + section;
  if (!hostSection.empty() && section == hostSection) key += " 3.0";
  return key;
}

namespace {

// Offset of the last single-byte c in text, or -1.
long LastSingleByte(const char *text, char c, LeadBytePredicate isLeadByte) {
  long last = -1;
  for (long i = 0; text[i];) {
    if (isLeadByte && isLeadByte(uint8_t(text[i])) && text[i + 1]) {
      i += 2;
      continue;
    }
    if (text[i] == c) last = i;
    ++i;
  }
  return last;
}

}  // namespace

void StripFileNameInPlace(char *path, LeadBytePredicate isLeadByte) {
  if (!path) return;
  long cut = LastSingleByte(path, '\\', isLeadByte);
  path[cut < 0 ? 0 : cut] = '\0';
}

bool EndsWithSingleByte(const char *text, char c, LeadBytePredicate isLeadByte) {
  if (!text || !*text) return false;
  size_t length = std::strlen(text);
  return LastSingleByte(text, c, isLeadByte) == long(length) - 1;
}

std::string JoinPath(const std::string &dir, const std::string &name, LeadBytePredicate isLeadByte) {
  if (dir.empty() || EndsWithSingleByte(dir.c_str(), '\\', isLeadByte)) return dir + name;
  return dir + "\\" + name;
}

KeyNameList ListKeyNames(char *buffer, size_t capacity, const NextKeyName &nextName) {
  KeyNameList list;
  if (!buffer || capacity == 0) return list;
  if (capacity > kKeyListCapacity) capacity = kKeyListCapacity;
  size_t used = 0;
  while (used < capacity - 1) {
    size_t room = capacity - 1 - used;  // leaves the final zero's byte
    long n = nextName(list.count, buffer + used, room);
    if (n < 0 || size_t(n) >= room) break;
    buffer[used + size_t(n)] = '\0';
    used += size_t(n) + 1;
    ++list.count;
  }
  buffer[used] = '\0';
  list.length = used + 1;
  return list;
}

namespace {

bool FitsPath(const std::string &path) { return !path.empty() && path.size() < kPathCapacity; }

std::string DriveRoot(const std::string &windowsDirectory) {
  char drive = windowsDirectory.size() >= 2 && windowsDirectory[1] == ':' ? windowsDirectory[0] : 'C';
  return std::string(1, drive) + ":\\";
}

}  // namespace

VantorDiscovery DiscoverVantorDirectory(const VantorDiscoveryInput &in) {
  VantorDiscovery out;
  auto exists = [&](const std::string &dir) { return FitsPath(dir) && in.directoryExists && in.directoryExists(dir); };

  std::string configured = in.profileValue;
  if (configured.empty() && !in.legacyValue.empty()) {
    configured = in.legacyValue;
    out.storeLegacyValue = configured.size() < kPathCapacity;
  }
  if (exists(configured)) {
    out.directory = configured;
    return out;
  }

  std::string hostDirectory;
  if (in.hostExecutable.size() < kPathCapacity) {
    char buffer[kPathCapacity];
    std::memcpy(buffer, in.hostExecutable.c_str(), in.hostExecutable.size() + 1);
    StripFileNameInPlace(buffer, in.isLeadByte);
    hostDirectory = buffer;
  }

  const std::string candidates[] = {
      JoinPath(in.windowsDirectory, kVantorSection, in.isLeadByte),
      DriveRoot(in.windowsDirectory) + kVantorSection,
      hostDirectory.empty() ? std::string() : JoinPath(hostDirectory, kVantorSection, in.isLeadByte),
  };
  for (const std::string &candidate : candidates) {
    if (exists(candidate)) {
      out.directory = candidate;
      out.storeDirectory = true;
      return out;
    }
  }
  out.directory = FitsPath(hostDirectory) ? hostDirectory : DriveRoot(in.windowsDirectory);
  return out;
}

}  // namespace tstools
