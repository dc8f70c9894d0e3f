#include "frame/display_name.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace tstools {

namespace {

constexpr size_t kMaxPathLength = kDisplayPathCapacity - 1;
constexpr size_t kMaxMenuTextLength = kMenuTextCapacity - 1;
constexpr size_t kNone = std::string_view::npos;

// A string of at most kMaxPathLength characters built without allocating; longer input is cut.
class PathText {
 public:
  PathText &operator+=(std::string_view s) {
    size_t n = std::min(s.size(), kMaxPathLength - size_);
    std::memcpy(text_ + size_, s.data(), n);
    size_ += n;
    return *this;
  }
  std::string_view View() const { return {text_, size_}; }

 private:
  char text_[kMaxPathLength];
  size_t size_ = 0;
};

// Walks the characters of a path, a double-byte character as one.
class PathScanner {
 public:
  PathScanner(std::string_view path, LeadBytePredicate isLeadByte) : path_(path), isLeadByte_(isLeadByte) {}

  // Offsets of the single-byte characters of the path that satisfy match, from `from` on.
  template <typename Match>
  size_t Find(size_t from, Match match) const {
    for (size_t i = 0; i < path_.size(); i = Next(i))
      if (i >= from && match(path_[i])) return i;
    return kNone;
  }
  template <typename Match>
  size_t FindLast(Match match) const {
    size_t last = kNone;
    for (size_t i = 0; i < path_.size(); i = Next(i))
      if (match(path_[i])) last = i;
    return last;
  }

 private:
  size_t Next(size_t i) const {
    bool pair = isLeadByte_ && isLeadByte_(uint8_t(path_[i])) && i + 1 < path_.size();
    return i + (pair ? 2 : 1);
  }
  std::string_view path_;
  LeadBytePredicate isLeadByte_;
};

bool IsBackslash(char c) { return c == '\\'; }
bool IsDirectorySeparator(char c) { return c == '\\' || c == '/'; }
bool IsPartSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

// homeDir may be shorter than it claims: its terminator differs from every path character.
bool IsHomeDirectory(std::string_view dir, const char *homeDir, long homeDirLength) {
  if (!homeDir || homeDirLength < 0 || size_t(homeDirLength) != dir.size()) return false;
  for (size_t i = 0; i < dir.size(); ++i)
    if (FoldCase(homeDir[i]) != FoldCase(dir[i])) return false;
  return true;
}

// The kept head of a path being shortened (without the backslash that follows it), or kNone.
size_t HeadLength(std::string_view path, size_t dirLength, const PathScanner &scan) {
  if (path.substr(0, 2) == "\\\\") {
    size_t serverEnd = scan.Find(2, IsBackslash);
    return serverEnd == kNone ? kNone : scan.Find(serverEnd + 1, IsBackslash);
  }
  size_t drive = scan.Find(0, IsBackslash);
  if (drive == kNone || dirLength <= 3) return drive;
  return scan.Find(drive + 1, IsBackslash);
}

void Title(std::string_view name, const DisplayNameRequest &request, PathText &out) {
  char nameText[kDisplayPathCapacity] = {}, title[kDisplayPathCapacity] = {};
  std::memcpy(nameText, name.data(), name.size());
  size_t length = 0;
  if (!name.empty() && request.fileTitle) length = request.fileTitle(nameText, title, sizeof title);
  out += length > 0 ? std::string_view(title, std::min(length, kMaxPathLength)) : name;
}

void Shorten(std::string_view path, const DisplayNameRequest &request, PathText &out) {
  PathScanner scan(path, request.isLeadByte);
  size_t lastSeparator = scan.FindLast(IsPartSeparator);
  size_t dirLength = lastSeparator == kNone ? 0 : lastSeparator + 1;
  std::string_view dir = path.substr(0, dirLength);
  PathText title;
  Title(path.substr(dirLength), request, title);
  if (IsHomeDirectory(dir, request.homeDir, request.homeDirLength)) {
    out += title.View();
    return;
  }
  PathText full;
  full += dir;
  full += title.View();
  long maxLength = request.maxLength;
  if (long(full.View().size()) <= maxLength || maxLength < long(title.View().size())) {
    out += maxLength < long(title.View().size()) && request.keepName ? title.View() : full.View();
    return;
  }
  size_t head = HeadLength(path, dirLength, scan);
  if (head != kNone && long(head + title.View().size() + 5) <= maxLength) {
    // Drop whole directories after the head until the rest fits behind "\...".
    PathScanner scanFull(full.View(), request.isLeadByte);
    for (size_t cut = head + 1; cut < dirLength; ++cut) {
      cut = scanFull.Find(cut, IsDirectorySeparator);
      if (cut == kNone || cut >= dirLength) break;
      if (long(head + 4 + full.View().size() - cut) <= maxLength) {
        out += path.substr(0, head);
        out += "\\...";
        out += full.View().substr(cut);
        return;
      }
    }
  }
  out += title.View();
}

}  // namespace

size_t DoubleUpAmpersandsInPlace(char *text) {
  if (!text) return 0;
  size_t length = strnlen(text, kMaxMenuTextLength);
  char doubled[kMenuTextCapacity];
  size_t n = 0;
  for (size_t i = 0; i < length && n < kMaxMenuTextLength; ++i) {
    doubled[n++] = text[i];
    if (text[i] == '&' && n < kMaxMenuTextLength) doubled[n++] = '&';
  }
  std::memcpy(text, doubled, n);
  text[n] = '\0';
  return n;
}

size_t ShortenDisplayNameInPlace(char *path, const DisplayNameRequest &request) {
  if (!path) return 0;
  PathText out;
  Shorten(std::string_view(path, strnlen(path, kMaxPathLength)), request, out);
  std::memcpy(path, out.View().data(), out.View().size());
  path[out.View().size()] = '\0';
  return DoubleUpAmpersandsInPlace(path);
}

}  // namespace tstools
