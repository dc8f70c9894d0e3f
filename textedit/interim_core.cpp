// INTERIM (layout branch only): the smallest text store, run lookup and paragraph bounds the
// layout needs to build and test on its own. The core's real ones replace this file at merge.
#include "textedit/text_core.h"

#include <cstring>

namespace tstools::text {

TextStore::~TextStore() {
  if (handle_) zone_.DisposeHandle(handle_);
}

bool TextStore::Create() {
  if (zone_.NewHandle(&handle_, 256, false) != memory::kNoErr) return false;
  capacity_ = 256;
  length_ = 0;
  return true;
}

const uint8_t *TextStore::Bytes() const {
  return handle_ ? reinterpret_cast<const uint8_t *>(*handle_) : nullptr;
}
uint8_t *TextStore::MutableBytes() { return handle_ ? reinterpret_cast<uint8_t *>(*handle_) : nullptr; }

bool TextStore::Reserve(int32_t n) {
  int32_t want = n <= 256 ? 256 : (n + 255) / 256 * 256;
  if (want <= capacity_) return true;
  if (zone_.SetHandleSize(handle_, want) != memory::kNoErr) return false;
  capacity_ = want;
  return true;
}

bool TextStore::ShrinkToFit() { return true; }
void TextStore::Lock() { ++locks_; }
void TextStore::Unlock() { --locks_; }

bool EqualParaFormat(const ParaFormat &a, const ParaFormat &b) {
  return std::memcmp(&a.leftIndent, &b.leftIndent, 30) == 0 &&
         std::memcmp(a.tabs, b.tabs, sizeof a.tabs) == 0;
}

size_t RunArray::Find(int32_t p) const {
  size_t lo = 0, hi = runs_.size();
  while (hi - lo > 1) {
    size_t mid = (lo + hi) / 2;
    if (runs_[mid].start <= p) lo = mid; else hi = mid;
  }
  return lo;
}

int32_t TextCore::ParagraphStart(int32_t p) const {
  const uint8_t *t = Bytes();
  while (p > 0 && t[p - 1] != '\r') --p;
  return p;
}

int32_t TextCore::ParagraphEnd(int32_t p) const {
  const uint8_t *t = Bytes();
  int32_t n = Length();
  while (p < n && t[p] != '\r') ++p;
  return p < n ? p + 1 : n;
}

}  // namespace tstools::text
