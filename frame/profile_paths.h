// Portable rules of the settings profile: registry key names, path trimming, the bounded
// listing of a section's key names and the Vantor directory discovery order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace tstools {

constexpr size_t kPathCapacity = 260;          // bytes of a path buffer, terminator included
constexpr size_t kKeyListCapacity = 2048;      // bytes of a null-key listing, final zero included
constexpr const char kVantorSection[] = "Vantor";
constexpr const char kVantorDirectoryKey[] = "Vantor Directory";
constexpr const char kLegacyVantorDirectoryKey[] = "VantorDirectory";
constexpr const char kProfileFileName[] = "VANTOR.INI";

// Lead bytes of the active double-byte code page; a single-byte system has none.
using LeadBytePredicate = bool (*)(uint8_t byte);

// The registry key (under the current user) that holds a section: "Vantor" sits directly under
// the company key, everything else under the product key, and the host's own section (string
// 10000) carries the version suffix " 3.0". Sections compare case-sensitively.
std::string SectionRegistryKey(const std::string &section, const std::string &hostSection);

// Cuts a path at its last backslash; a trail byte equal to a backslash is not one. Without a
// backslash the path becomes empty.
void StripFileNameInPlace(char *path, LeadBytePredicate isLeadByte);

// True when the text's last character is the single-byte character c (a double-byte
// character whose trail byte equals c does not count).
bool EndsWithSingleByte(const char *text, char c, LeadBytePredicate isLeadByte);

// dir + "\" + name, without doubling a backslash dir already ends with.
std::string JoinPath(const std::string &dir, const std::string &name, LeadBytePredicate isLeadByte);

// The null-key listing: names appended each followed by a zero while enumeration succeeds and
// fewer than capacity - 1 bytes are used, then a final zero. nextName(index, dst, room)
// writes the index-th name (at most room - 1 bytes plus a zero) and returns its length, or
// -1 when enumeration ends or the name does not fit. capacity is the caller's buffer,
// at most kKeyListCapacity.
struct KeyNameList {
  size_t count = 0;   // names listed
  size_t length = 0;  // bytes used, final zero included
};
using NextKeyName = std::function<long(size_t index, char *dst, size_t room)>;
KeyNameList ListKeyNames(char *buffer, size_t capacity, const NextKeyName &nextName);

// What the directory discovery sees of the machine.
struct VantorDiscoveryInput {
  std::string windowsDirectory;
  std::string hostExecutable;   // full path of the host's program file, "" if unknown
  std::string profileValue;     // "Vantor Directory" in the profile file
  std::string legacyValue;      // "VantorDirectory" in the profile file
  std::function<bool(const std::string &)> directoryExists;
  LeadBytePredicate isLeadByte = nullptr;
};

struct VantorDiscovery {
  std::string directory;         // fits kPathCapacity with its terminator
  bool storeDirectory = false;   // save `directory` as "Vantor Directory"
  bool storeLegacyValue = false; // copy the legacy key's value to "Vantor Directory"
};

// The configured directory when it exists; else the first existing "Vantor" directory in
// the Windows directory, at the root of its drive, beside the host program; else (not
// stored) the host program's directory, the Windows drive's root or "C:\".
VantorDiscovery DiscoverVantorDirectory(const VantorDiscoveryInput &in);

}  // namespace tstools
