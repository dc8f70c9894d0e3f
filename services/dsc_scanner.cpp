// Document structuring comments name the fonts a print job needs; the host downloads each
// outline before the job and passes the rest of the text back in to find the next.
#include "services/dsc_scanner.h"

#include <cstring>
#include <string_view>

namespace tstools::services {
namespace {

bool IsBlank(unsigned char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(unsigned char c) { return c == '\r' || c == '\n'; }
bool IsWhite(unsigned char c) { return IsBlank(c) || IsLineEnd(c); }

// A cursor over the Str255's characters that never leaves them.
class Line {
 public:
  Line(const unsigned char *chars, size_t length, size_t at) : c_(chars), n_(length), i_(at) {}

  size_t At() const { return i_; }
  bool StartsWithComment() const { return n_ - i_ >= 2 && c_[i_] == '%' && c_[i_ + 1] == '%'; }
  void Advance(size_t count) { i_ += count; }
  void SkipBlanks() {
    while (i_ < n_ && IsBlank(c_[i_])) ++i_;
  }
  std::string_view Word() {
    const size_t start = i_;
    while (i_ < n_ && !IsWhite(c_[i_])) ++i_;
    return {reinterpret_cast<const char *>(c_ + start), i_ - start};
  }
  // Steps past the rest of the line and its end, one character or CR LF.
  void NextLine() {
    while (i_ < n_ && !IsLineEnd(c_[i_])) ++i_;
    if (i_ < n_ && c_[i_++] == '\r' && i_ < n_ && c_[i_] == '\n') ++i_;
  }

 private:
  const unsigned char *c_;
  size_t n_, i_;
};

bool IsFontWord(std::string_view word) {
  static const char kFont[] = "FONT";
  if (word.size() != 4) return false;
  for (size_t i = 0; i < 4; ++i) {
    char c = word[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != kFont[i]) return false;
  }
  return true;
}

}  // namespace

bool NextFontComment(const unsigned char *text, int16_t *position, unsigned char *name) {
  const size_t length = text[0];
  Line line(text + 1, length, 0);
  // The name is written once at the end, so a name buffer over the text cannot change the scan.
  std::string_view lastWord;
  bool copied = false, found = false;
  while (!found && line.At() < length) {
    if (line.StartsWithComment()) {
      line.Advance(2);
      line.SkipBlanks();
      const std::string_view keyword = line.Word();
      if (keyword == "IncludeFont:") {
        found = true;
      } else if (keyword == "IncludeResource:") {
        line.SkipBlanks();
        found = IsFontWord(line.Word());
      }
      line.SkipBlanks();
      lastWord = line.Word();
      copied = true;
    }
    line.NextLine();
  }
  if (copied) {
    unsigned char word[256];
    word[0] = static_cast<unsigned char>(lastWord.size());
    std::memcpy(word + 1, lastWord.data(), lastWord.size());
    std::memcpy(name, word, lastWord.size() + 1);
  }
  if (found) *position = static_cast<int16_t>(line.At() + 1);
  return found;
}

}  // namespace tstools::services
