// Memory Manager against the raw Win32 heap on the same sizes, in one run.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include <tstools/tstools.h>

#include "support/bench.h"

using tstools::bench::KeepAlive;
using tstools::bench::Measure;

namespace {

HANDLE rawHeap;
constexpr long kMiB = 1 << 20;

void Ratio(const char *what, double ours, double raw) {
  std::printf("%-58s %12.2fx\n", what, raw > 0 ? ours / raw : 0.0);
}

void CreateDispose() {
  double ours = Measure("MemNewHandle+MemDisposeHandle 64 B", [] {
    Handle h = nullptr;
    MemNewHandle(&h, 64, 0);
    MemDisposeHandle(h);
  });
  double raw = Measure("HeapAlloc+HeapFree 64 B", [] {
    void *p = HeapAlloc(rawHeap, 0, 66);
    HeapFree(rawHeap, 0, p);
  });
  Ratio("create+dispose: handle / raw heap", ours, raw);
  double ptr = Measure("MemNewPtr+MemDisposePtr 64 B", [] {
    Ptr p = nullptr;
    MemNewPtr(&p, 64, 0);
    MemDisposePtr(p);
  });
  Ratio("create+dispose: Ptr / raw heap", ptr, raw);
}

void GrowByDoubling() {
  double ours = Measure("MemSetHandleSize doubling 16 B..1 MiB (17 steps)", [] {
    Handle h = nullptr;
    MemNewHandle(&h, 16, 0);
    for (long size = 32; size <= kMiB; size *= 2) MemSetHandleSize(h, size);
    MemDisposeHandle(h);
  });
  double raw = Measure("HeapReAlloc doubling 16 B..1 MiB (17 steps)", [] {
    void *p = HeapAlloc(rawHeap, 0, 18);
    for (long size = 32; size <= kMiB; size *= 2) p = HeapReAlloc(rawHeap, 0, p, size + 2);
    HeapFree(rawHeap, 0, p);
  });
  Ratio("grow by doubling: handle / raw heap", ours, raw);
}

void LockAndSize() {
  Handle h = nullptr;
  MemNewHandle(&h, 1000, 0);
  // Batches of 1000 so the harness's own call costs little next to the one measured.
  Measure("MemSetHandleLock(h, 1) + MemSetHandleLock(h, -1), per call", [h] {
    for (int i = 0; i < 1000; ++i) {
      MemSetHandleLock(h, 1);
      MemSetHandleLock(h, -1);
    }
  }, 2000);
  Measure("MemLastError (the cost of a call into the DLL)", [] {
    for (int i = 0; i < 1000; ++i) KeepAlive(MemLastError());
  }, 1000);
  Measure("MemGetHandleSize", [h] {
    for (int i = 0; i < 1000; ++i) {
      Size size = 0;
      MemGetHandleSize(h, &size);
      KeepAlive(size);
    }
  }, 1000);
  void *p = HeapAlloc(rawHeap, 0, 1002);
  Measure("HeapSize (for comparison)", [p] { KeepAlive(HeapSize(rawHeap, 0, p)); });
  HeapFree(rawHeap, 0, p);
  MemDisposeHandle(h);
}

void MungerInMiB() {
  static const char pattern[32] = "0123456789abcdef0123456789abcde";
  Handle h = nullptr;
  MemNewHandle(&h, kMiB, 1);
  double ours = Measure("MemMunger insert 16 B mid 1 MiB, then delete it", [h] {
    MemMunger(h, kMiB / 2, nullptr, 0, pattern, 16);
    MemMunger(h, kMiB / 2, nullptr, 16, "", 0);
  });
  char *raw = static_cast<char *>(HeapAlloc(rawHeap, HEAP_ZERO_MEMORY, kMiB + 2));
  double base = Measure("HeapReAlloc+memmove insert 16 B mid 1 MiB, then delete", [&raw] {
    raw = static_cast<char *>(HeapReAlloc(rawHeap, 0, raw, kMiB + 18));
    std::memmove(raw + kMiB / 2 + 16, raw + kMiB / 2, kMiB / 2);
    std::memcpy(raw + kMiB / 2, pattern, 16);
    std::memmove(raw + kMiB / 2, raw + kMiB / 2 + 16, kMiB / 2);
    raw = static_cast<char *>(HeapReAlloc(rawHeap, 0, raw, kMiB + 2));
  });
  Ratio("MemMunger insert/delete: handle / raw heap", ours, base);

  double same = Measure("MemMunger replace 16 B with 16 B at offset (no resize)", [h] {
    MemMunger(h, 1000, nullptr, 16, pattern, 16);
  });
  double copy = Measure("memcpy 16 B (for comparison)", [&raw] {
    std::memcpy(raw + 1000, pattern, 16);
    KeepAlive(raw[1000]);
  });
  Ratio("MemMunger same-size replace / memcpy", same, copy);
  double grow = Measure("MemMunger replace 16 B by 32 B mid 1 MiB, then back", [h] {
    MemMunger(h, kMiB / 2, nullptr, 16, pattern, 32);
    MemMunger(h, kMiB / 2, nullptr, 32, pattern, 16);
  });
  double rawGrow = Measure("HeapReAlloc+memmove same replacement, then back", [&raw] {
    raw = static_cast<char *>(HeapReAlloc(rawHeap, 0, raw, kMiB + 18));
    std::memmove(raw + kMiB / 2 + 32, raw + kMiB / 2 + 16, kMiB / 2 - 16);
    std::memcpy(raw + kMiB / 2, pattern, 32);
    std::memmove(raw + kMiB / 2 + 16, raw + kMiB / 2 + 32, kMiB / 2 - 16);
    std::memcpy(raw + kMiB / 2, pattern, 16);
    raw = static_cast<char *>(HeapReAlloc(rawHeap, 0, raw, kMiB + 2));
  });
  Ratio("MemMunger growing replace: handle / raw heap", grow, rawGrow);
  HeapFree(rawHeap, 0, raw);
  MemDisposeHandle(h);
}

}  // namespace

int main() {
  MemInitZone();
  rawHeap = HeapCreate(0, 0, 0);
  CreateDispose();
  GrowByDoubling();
  LockAndSize();
  MungerInMiB();
  HeapDestroy(rawHeap);
  MemFreeZone();
  return 0;
}
