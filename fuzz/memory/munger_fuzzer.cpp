// MemMunger against the vector model: the fuzzer's bytes pick the initial data and a series
// of calls (offsets, lengths, patterns from outside or from inside the handle, locking).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "memory/zone.h"
#include "tests/memory/munger_model.h"

using namespace tstools::memory;

namespace {

struct Bytes {
  const std::uint8_t *p;
  std::size_t n;
  std::uint8_t U8() {
    if (n == 0) return 0;
    --n;
    return *p++;
  }
  long Small() { return static_cast<long>(static_cast<std::int8_t>(U8())); }  // -128..127
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  Bytes in{data, size};
  MallocBlockSource source;
  Zone zone(source);
  std::vector<char> model(in.U8() % 64);
  for (char &c : model) c = static_cast<char>('a' + in.U8() % 3);
  HandleRef h = nullptr;
  if (PtrToHand(zone, model.data(), &h, static_cast<long>(model.size())) != kNoErr) std::abort();
  while (in.n > 0) {
    std::uint8_t flags = in.U8();
    long offset = in.Small(), len1 = in.Small(), len2 = in.Small();
    std::vector<char> outside1(in.U8() % 4), outside2(128, 'Z');  // len2 never exceeds 127
    for (char &c : outside1) c = static_cast<char>('a' + in.U8() % 3);
    long size = static_cast<long>(model.size());
    const char *p1 = nullptr, *p2 = nullptr;
    switch (flags & 3) {
      case 1: p1 = outside1.data(); len1 = static_cast<long>(outside1.size()); break;
      case 2:  // a pattern inside the handle
        if (size > 0) {
          long at = std::labs(offset) % size;
          p1 = *h + at;
          len1 = 1 + std::labs(len1) % (size - at);
        }
        break;
    }
    switch ((flags >> 2) & 3) {
      case 1: p2 = outside2.data(); break;
      case 2: p2 = outside2.data(); len2 = std::labs(len2) % 16; break;
      case 3:  // a replacement inside the handle
        if (size > 0) {
          long at = std::labs(len2) % size;
          p2 = *h + at;
          len2 = std::labs(len2) % (size - at + 1);
        }
        break;
    }
    bool locked = flags & 0x10;
    zone.SetHandleLock(h, locked ? 1 : 0);
    std::vector<char> s1 = p1 && len1 > 0 ? std::vector<char>(p1, p1 + len1) : std::vector<char>();
    std::vector<char> s2 = p2 && len2 > 0 ? std::vector<char>(p2, p2 + len2) : std::vector<char>(1);
    std::vector<char> expected = model;
    long want = tstools::memory::model::Munger(expected, offset, p1 ? s1.data() : nullptr, len1,
                                               p2 ? s2.data() : nullptr, len2, kMaxHandleSize);
    long got = Munger(zone, h, offset, p1, len1, p2, len2);
    // A locked handle cannot grow in the malloc source; the call must then change nothing.
    if (locked && want >= 0 && expected.size() > model.size()) want = -1, expected = model;
    long now = 0;
    zone.GetHandleSize(h, &now);
    if (got != want || now != static_cast<long>(expected.size()) ||
        !std::equal(expected.begin(), expected.end(), *h))
      std::abort();
    model = expected;
  }
  return 0;
}
