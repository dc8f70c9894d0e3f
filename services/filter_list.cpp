#include "services/filter_list.h"

#include <algorithm>
#include <cstring>

#include "frame/byte_reader.h"

namespace tstools::services {
namespace {

constexpr size_t kMaxNameChars = 260;  // the dialog's file name buffer, terminator included

bool IsWildcard(char c) { return c == '*' || c == '?'; }

// The next NUL-terminated string; the end of the data ends the last one.
std::string_view NextString(ByteReader &in) {
  const uint8_t *base = in.Span(0);
  size_t n = 0;
  while (!in.AtEnd() && in.U8() != 0) ++n;
  return std::string_view(reinterpret_cast<const char *>(base), n);
}

}  // namespace

FilterList FilterList::Parse(const void *data, size_t size) {
  FilterList list;
  ByteReader in(data, size);
  while (!in.AtEnd()) {
    const std::string_view description = NextString(in);
    if (description.empty()) break;
    const std::string_view pattern = NextString(in);
    if (pattern.empty()) break;  // unpaired: the dialog would show a filter matching nothing
    list.filters_.push_back(Filter{std::string(description), std::string(pattern)});
  }
  return list;
}

FilterList FilterList::FromHostText(const char *text) {
  if (!text) return {};
  // Stop at the empty string that ends the list: a NUL at the start or right after another.
  size_t n = 0;
  for (; n < kMaxHostText; ++n)
    if (text[n] == 0 && (n == 0 || text[n - 1] == 0)) break;
  return Parse(text, n);
}

const Filter *FilterList::At(int index) const {
  if (index < 1 || static_cast<size_t>(index) > filters_.size()) return nullptr;
  return &filters_[static_cast<size_t>(index) - 1];
}

std::string FilterList::DialogText() const {
  std::string text;
  for (const Filter &f : filters_) {
    text.append(f.description).push_back('\0');
    text.append(f.pattern).push_back('\0');
  }
  text.push_back('\0');
  if (filters_.empty()) text.push_back('\0');  // two NULs end even an empty list
  return text;
}

std::string FilterList::DefaultExtension(int index) const {
  const Filter *f = At(index);
  if (!f) return {};
  const std::string &p = f->pattern;
  const size_t dot = p.find('.');
  if (dot == std::string::npos) return {};
  const size_t end = std::min(p.find(';', dot + 1), p.size());
  std::string ext = p.substr(dot + 1, end - dot - 1);
  // A cut extension would name another type ("xhtm" for "xhtml"): give none instead.
  if (ext.empty() || ext.size() > kMaxExtension) return {};
  if (std::any_of(ext.begin(), ext.end(), IsWildcard)) return {};
  if (ext.find_first_of(" \t") != std::string::npos) return {};
  return ext;
}

std::string FilterList::MenuText(int index) const {
  const Filter *f = At(index);
  if (!f) return {};
  const size_t paren = f->description.find('(');
  std::string text = f->description.substr(0, paren);
  if (paren != std::string::npos && !text.empty() && text.back() == ' ') text.pop_back();
  if (text.size() > 255) text.resize(255);
  return text;
}

void StoreStr255(uint8_t *out, std::string_view text) {
  const size_t n = std::min<size_t>(text.size(), 255);
  out[0] = static_cast<uint8_t>(n);
  if (n) std::memcpy(out + 1, text.data(), n);
}

bool AppendDefaultExtension(std::string &name, std::string_view extension, bool isDirectory,
                            const std::function<bool(uint8_t)> &isLead) {
  if (extension.empty() || name.empty() || isDirectory) return false;
  if (std::any_of(name.begin(), name.end(), IsWildcard)) return false;
  // The last component starts after the last single-byte slash or backslash; trail bytes of
  // double-byte characters may be 0x5C.
  size_t componentStart = 0;
  bool endsInSeparator = false;
  for (size_t i = 0; i < name.size();) {
    const char c = name[i];
    const bool lead = isLead && isLead(static_cast<uint8_t>(c)) && i + 1 < name.size();
    endsInSeparator = !lead && (c == '\\' || c == ':');
    if (!lead && (c == '\\' || c == '/')) componentStart = i + 1;
    i += lead ? 2 : 1;
  }
  if (endsInSeparator) return false;
  if (name.find('.', componentStart) != std::string::npos) return false;
  if (name.size() + 1 + extension.size() >= kMaxNameChars) return false;
  name.push_back('.');
  name.append(extension);
  return true;
}

}  // namespace tstools::services
