// The text store, the run lookup and the paragraph bounds of the portable record.
#include "textedit/text_core.h"

#include <cstring>

namespace tstools::text {

namespace {
int32_t RoundUp256(int32_t n) {
  int64_t c = (static_cast<int64_t>(n < 1 ? 1 : n) + 255) / 256 * 256;
  return static_cast<int32_t>(c > 0x7FFFFF00 ? 0x7FFFFF00 : c);
}
}  // namespace

TextStore::~TextStore() {
  if (handle_) zone_.DisposeHandle(handle_);
}

bool TextStore::Create() {
  if (handle_) return true;
  memory::HandleRef h = nullptr;
  if (zone_.NewHandle(&h, 256, false) != memory::kNoErr || !h) return false;
  handle_ = h;
  capacity_ = 256;
  length_ = 0;
  return true;
}

const uint8_t *TextStore::Bytes() const {
  return handle_ ? reinterpret_cast<const uint8_t *>(*handle_) : nullptr;
}

uint8_t *TextStore::MutableBytes() { return handle_ ? reinterpret_cast<uint8_t *>(*handle_) : nullptr; }

bool TextStore::Reserve(int32_t n) {
  if (!handle_ && !Create()) return false;
  if (n <= capacity_ && capacity_ % 256 == 0) return true;
  int32_t want = RoundUp256(n);
  if (want < length_) return false;
  if (zone_.SetHandleSize(handle_, want) != memory::kNoErr) return false;
  capacity_ = want;
  return true;
}

bool TextStore::ShrinkToFit() {
  if (!handle_ && !Create()) return false;
  if (zone_.SetHandleSize(handle_, length_) != memory::kNoErr) return false;
  capacity_ = length_;
  return true;
}

void TextStore::Lock() {
  if (handle_ && locks_++ == 0) zone_.SetHandleLock(handle_, 1);
}

void TextStore::Unlock() {
  if (handle_ && locks_ > 0 && --locks_ == 0) zone_.SetHandleLock(handle_, -1);
}

size_t RunArray::Find(int32_t p) const {
  size_t lo = 0, hi = runs_.size();
  if (hi == 0) return 0;
  // Last run whose start <= p; run 0 for offsets before it.
  while (hi - lo > 1) {
    size_t mid = lo + (hi - lo) / 2;
    if (runs_[mid].start <= p)
      lo = mid;
    else
      hi = mid;
  }
  return lo;
}

bool EqualParaFormat(const ParaFormat &a, const ParaFormat &b) {
  if (a.leftIndent != b.leftIndent || a.firstIndent != b.firstIndent ||
      a.rightIndent != b.rightIndent || a.lineSpacing != b.lineSpacing ||
      a.spaceBefore != b.spaceBefore || a.spaceAfter != b.spaceAfter || a.just != b.just ||
      a.units != b.units)
    return false;
  auto count = [](int16_t n) { return n < 0 ? 0 : n > kMaxTabs ? kMaxTabs : n; };
  int n = count(a.tabCount);
  if (n != count(b.tabCount)) return false;
  for (int i = 0; i < n; ++i)
    if (!(a.tabs[i] == b.tabs[i])) return false;
  return true;
}

int32_t TextCore::ParagraphStart(int32_t p) const {
  const uint8_t *t = Bytes();
  if (p > Length()) p = Length();
  while (p > 0 && t[p - 1] != '\r') --p;
  return p < 0 ? 0 : p;
}

int32_t TextCore::ParagraphEnd(int32_t p) const {
  const uint8_t *t = Bytes();
  int32_t n = Length();
  if (p < 0) p = 0;
  if (p >= n) return n;
  const void *r = std::memchr(t + p, '\r', static_cast<size_t>(n - p));
  return r ? static_cast<int32_t>(static_cast<const uint8_t *>(r) - t) + 1 : n;
}

}  // namespace tstools::text
