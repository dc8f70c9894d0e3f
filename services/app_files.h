// The document list a host reads at start-up: which documents the command line names, whether
// it asks to print them, and each one's directory and stored (long, correctly cased) name.
// Portable: the file system and the code page's lead-byte test are injected, so the Windows
// glue passes FindFirstFile/IsDBCSLeadByte and tests pass fakes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tstools::services {

// True for a byte that starts a double-byte character in the active code page; its trail
// byte may be 0x5C, which must never be taken for a backslash.
using LeadByteTest = std::function<bool(uint8_t)>;

// One directory lookup at a time: First() finds the entry a full path names, Close() ends
// that search. The resolver calls Close() exactly once after every First() that succeeded.
class FileLookup {
 public:
  virtual ~FileLookup() = default;
  // True when path names an existing entry; storedName gets its name as the file system
  // keeps it (the long name, in its stored case).
  virtual bool First(const std::string &path, std::string &storedName) = 0;
  virtual void Close() = 0;
};

// Paths that would reach this many characters are never resolved (the directory buffer of
// the record, terminator included, holds this many).
constexpr size_t kMaxPathChars = 260;

struct AppFileCount {
  bool print = false;  // the print switch is present
  int16_t count = 0;   // documents after the switch, saturated at the 16-bit range
};

// Counts the documents of a command line. NUL bytes in it are ignored.
AppFileCount CountAppFiles(std::string_view commandLine, const LeadByteTest &isLead);

// The index-th document (from 1) as typed, with its trailing blanks and quote dropped.
// Empty when there is no such document, when its start would lie before the scan start,
// or when it is longer than a path can be.
std::string TypedAppFile(std::string_view commandLine, int index, const LeadByteTest &isLead);

struct AppFile {
  bool resolved = false;
  std::string directory;  // ends in a backslash
  std::string name;       // in the Windows character set, at most 255 bytes
};

// Resolves a typed path against the file system: every component after the root takes the
// stored name. Anything not found, wildcards, relative or over-long paths stay unresolved.
AppFile ResolvePath(const std::string &typed, FileLookup &lookup, const LeadByteTest &isLead);

inline AppFile ResolveAppFile(std::string_view commandLine, int index, FileLookup &lookup,
                              const LeadByteTest &isLead) {
  return ResolvePath(TypedAppFile(commandLine, index, isLead), lookup, isLead);
}

// The host's application file record: a Str255 name at 0, flags at 256 and 264..265, the
// NUL-terminated directory from 266.
constexpr size_t kAppFileRecordSize = 266 + kMaxPathChars;

// Converts a name in place from the Windows to the Mac character set.
using ToMacText = std::function<void(uint8_t *text, size_t length)>;

// Fills a record of kAppFileRecordSize bytes; bytes 1..255 past the name and 257..263 are
// left as they were.
void WriteAppFileRecord(uint8_t *record, const AppFile &file, const ToMacText &toMac);

}  // namespace tstools::services
