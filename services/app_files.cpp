// Command-line documents: "/p" marks printing; each document begins at a drive letter and
// colon or at a double backslash, and runs until the next one begins.
#include "services/app_files.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace tstools::services {
namespace {

// The line the scanner sees: NULs carry no meaning in it and are dropped.
std::string WithoutNuls(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  for (char c : line)
    if (c != '\0') out.push_back(c);
  return out;
}

bool IsLead(const LeadByteTest &isLead, char c) { return isLead && isLead(static_cast<uint8_t>(c)); }

// The position after the character at i: a lead byte takes its trail byte with it.
size_t NextChar(std::string_view s, size_t i, const LeadByteTest &isLead) {
  return (IsLead(isLead, s[i]) && i + 1 < s.size()) ? i + 2 : i + 1;
}

struct Scan {
  bool print = false;
  size_t start = 0;  // where documents are looked for
};

Scan FindPrintSwitch(std::string_view line, const LeadByteTest &isLead) {
  Scan scan;
  for (size_t i = 0; i < line.size(); i = NextChar(line, i, isLead)) {
    if (line[i] == '/' && i + 1 < line.size() && (line[i + 1] == 'p' || line[i + 1] == 'P')) {
      scan.print = true;
      scan.start = i + 2;
      break;
    }
  }
  return scan;
}

// Where a document was recognised: at its colon, or at the first backslash of a pair.
struct Mark {
  size_t at;
  bool colon;
};

// Calls f for every mark from the scan start until f returns false.
template <typename F>
void ForEachMark(std::string_view line, size_t from, const LeadByteTest &isLead, F f) {
  for (size_t i = from; i < line.size(); i = NextChar(line, i, isLead)) {
    if (IsLead(isLead, line[i])) continue;
    if (line[i] == ':') {
      if (!f(Mark{i, true})) return;
    } else if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == '\\') {
      if (!f(Mark{i, false})) return;
    }
  }
}

// True when the line's last character (not a trail byte) is a backslash.
bool EndsInBackslash(std::string_view line, const LeadByteTest &isLead) {
  size_t last = line.size();
  for (size_t i = 0; i < line.size(); i = NextChar(line, i, isLead)) last = i;
  return last < line.size() && line[last] == '\\' && !IsLead(isLead, line[last]);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsWildcard(char c) { return c == '*' || c == '?'; }

// Single-byte backslash positions of s.
std::vector<size_t> Separators(std::string_view s, size_t from, const LeadByteTest &isLead) {
  std::vector<size_t> out;
  for (size_t i = from; i < s.size(); i = NextChar(s, i, isLead))
    if (s[i] == '\\' && !IsLead(isLead, s[i])) out.push_back(i);
  return out;
}

// Length of the root copied as typed ("C:\" or "\\server\share\"), 0 when there is none.
size_t RootLength(std::string_view path, const LeadByteTest &isLead) {
  if (path.size() >= 3 && path[1] == ':' && path[2] == '\\' && !IsLead(isLead, path[0])) return 3;
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    std::vector<size_t> seps = Separators(path, 2, isLead);
    // A server and a share, each named, then the separator before the first component.
    if (seps.size() >= 2 && seps[0] > 2 && seps[1] > seps[0] + 1) return seps[1] + 1;
  }
  return 0;
}

}  // namespace

AppFileCount CountAppFiles(std::string_view commandLine, const LeadByteTest &isLead) {
  const std::string line = WithoutNuls(commandLine);
  const Scan scan = FindPrintSwitch(line, isLead);
  long count = 0;
  ForEachMark(line, scan.start, isLead, [&](Mark) {
    ++count;
    return count < std::numeric_limits<int16_t>::max() + 1L;
  });
  // A line ending in a backslash has one document fewer; an empty line has no last character.
  if (count > 0 && EndsInBackslash(line, isLead)) --count;
  AppFileCount result;
  result.print = scan.print;
  result.count = static_cast<int16_t>(std::min<long>(count, std::numeric_limits<int16_t>::max()));
  return result;
}

std::string TypedAppFile(std::string_view commandLine, int index, const LeadByteTest &isLead) {
  if (index <= 0) return {};
  const std::string line = WithoutNuls(commandLine);
  const Scan scan = FindPrintSwitch(line, isLead);
  int seen = 0;
  bool found = false, hasNext = false;
  Mark mark{0, false}, next{0, false};
  ForEachMark(line, scan.start, isLead, [&](Mark m) {
    if (found) {
      next = m;
      hasNext = true;
      return false;
    }
    if (++seen == index) {
      mark = m;
      found = true;
    }
    return true;
  });
  if (!found) return {};
  // A colon right at the scan start has no drive letter inside the scanned text.
  if (mark.colon && mark.at == scan.start) return {};
  const size_t begin = mark.colon ? mark.at - 1 : mark.at;
  size_t end = line.size();
  if (hasNext) {
    // The next document's drive letter and the character before it are not part of this one;
    // before a double backslash only the separating character is dropped.
    const size_t drop = next.colon ? 2 : 1;
    end = next.at >= begin + drop ? next.at - drop : begin;
  }
  std::string_view path(line.data() + begin, end - begin);
  // Quoted documents: "C:\a b.txt" "D:\c.txt" leaves `C:\a b.txt" ` for the first one.
  while (!path.empty() && IsBlank(path.back())) path.remove_suffix(1);
  if (!path.empty() && path.back() == '"') path.remove_suffix(1);
  if (path.size() >= kMaxPathChars) return {};
  return std::string(path);
}

AppFile ResolvePath(const std::string &typed, FileLookup &lookup, const LeadByteTest &isLead) {
  AppFile file;
  if (typed.size() >= kMaxPathChars) return file;
  const size_t root = RootLength(typed, isLead);
  if (root == 0) return file;
  std::string resolved = typed.substr(0, root);
  std::vector<size_t> seps = Separators(typed, root, isLead);
  seps.push_back(typed.size());
  size_t from = root;
  std::string stored;
  for (size_t sep : seps) {
    std::string_view component(typed.data() + from, sep - from);
    // A trailing backslash names a directory, not a document; a wildcard would take the name
    // of whichever file matched first.
    if (component.empty()) return file;
    if (std::any_of(component.begin(), component.end(), IsWildcard)) return file;
    const size_t prefix = resolved.size();
    resolved.append(component);
    if (resolved.size() >= kMaxPathChars) return file;
    stored.clear();
    if (!lookup.First(resolved, stored)) return file;
    lookup.Close();
    // "." and ".." come back as themselves; keep what was typed for them.
    if (!stored.empty() && stored[0] != '.') resolved.replace(prefix, std::string::npos, stored);
    if (resolved.size() >= kMaxPathChars) return file;
    if (sep < typed.size()) resolved.push_back('\\');
    from = sep + 1;
  }
  const std::vector<size_t> all = Separators(resolved, 0, isLead);
  // The root ends in a backslash, so there is always one; a stored name holding one would
  // move the split, never past the end.
  const size_t split = all.empty() ? 0 : all.back() + 1;
  file.directory = resolved.substr(0, split);
  file.name = resolved.substr(split);
  if (file.directory.empty() || file.name.empty() || file.name.size() > 255) return AppFile{};
  file.resolved = true;
  return file;
}

void WriteAppFileRecord(uint8_t *record, const AppFile &file, const ToMacText &toMac) {
  record[256] = 0;
  if (!file.resolved || file.name.size() > 255 || file.directory.size() >= kMaxPathChars) {
    record[0] = 0;
    record[264] = record[265] = record[266] = 0;
    return;
  }
  record[0] = static_cast<uint8_t>(file.name.size());
  std::memcpy(record + 1, file.name.data(), file.name.size());
  if (toMac) toMac(record + 1, file.name.size());
  record[264] = 1;
  record[265] = 0;
  std::memcpy(record + 266, file.directory.data(), file.directory.size());
  record[266 + file.directory.size()] = 0;
}

}  // namespace tstools::services
