// Standard File filter lists: pairs of a description ("Text files (*.txt)") and a pattern
// ("*.txt;*.text"), as the common file dialog takes them. The list comes from a resource or
// from the host, so it is read as outside data: bounded, and whatever it holds yields a
// well-formed list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tstools::services {

struct Filter {
  std::string description;
  std::string pattern;
};

class FilterList {
 public:
  // Reads NUL-separated strings up to the first empty one or the end of the bytes; a
  // description without its pattern is dropped.
  static FilterList Parse(const void *data, size_t size);
  // A list the host passes by address carries no size: it ends at its empty string, and is
  // read no further than kMaxHostText bytes whatever it holds.
  static FilterList FromHostText(const char *text);
  static constexpr size_t kMaxHostText = 0x10000;

  size_t Count() const { return filters_.size(); }
  // The index-th filter, counting from 1; null outside the list.
  const Filter *At(int index) const;

  // The dialog's filter text: each description and pattern NUL-terminated, then one more NUL.
  std::string DialogText() const;

  // The extension a save dialog appends for the index-th filter: the whole text after the
  // pattern's first period up to a ';'. Empty when the index is outside the list, when there
  // is no period, or when the extension is a wildcard or longer than kMaxExtension.
  std::string DefaultExtension(int index) const;

  // The index-th description for a menu: cut before its first "(" and the blank in front of
  // it, at most 255 bytes. Empty outside the list.
  std::string MenuText(int index) const;

  static constexpr size_t kMaxExtension = 15;

 private:
  std::vector<Filter> filters_;
};

// Stores text as a Str255 (length byte, then at most 255 bytes).
void StoreStr255(uint8_t *out, std::string_view text);

// The OK step of a save dialog: a name with no wildcard, not ending in '\' or ':', whose last
// component has no period, and that is not an existing directory gets "." and the extension,
// as long as the result still fits a 260-character buffer with its terminator. Returns true
// when it appended.
bool AppendDefaultExtension(std::string &name, std::string_view extension, bool isDirectory,
                            const std::function<bool(uint8_t)> &isLead);

}  // namespace tstools::services
