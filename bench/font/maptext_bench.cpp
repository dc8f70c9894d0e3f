// MapText over 1 MiB of mixed Mac text in both directions, next to memcpy of the same buffer
// and (on Windows) MultiByteToWideChar of it from code page 1252. Prints bytes per second.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "bench/support/bench.h"
#include "font/charset.h"

#ifdef _WIN32
#include <windows.h>

#include "tstools/charset.h"
#endif

namespace {

constexpr long kBytes = 1 << 20;

void Report(const char *name, double nsPerByte) {
  std::printf("%-58s %10.2f GB/s\n", name, 1.0 / nsPerByte);
}

}  // namespace

int main() {
  using tstools::bench::Measure;
  // Mostly ASCII words with accented letters and punctuation from the upper half.
  std::vector<uint8_t> text(kBytes), copy(kBytes);
  std::mt19937 rng(1);
  for (long i = 0; i < kBytes; ++i) {
    unsigned r = rng() % 100;
    text[i] = r < 15 ? ' ' : r < 85 ? uint8_t('a' + rng() % 26) : uint8_t(0x80 + rng() % 128);
  }
  const tstools::MappingPair &pair = tstools::BuiltInMapping(0);

  Report("memcpy 1 MiB", Measure("memcpy 1 MiB (per byte)", [&] {
           std::memcpy(copy.data(), text.data(), kBytes);
           tstools::bench::KeepAlive(copy[kBytes / 2]);
         }, kBytes));
  Report("MapText core, Mac to Windows then back, in place", Measure("MapText core both directions (per byte)", [&] {
           tstools::MapTextInPlace(text.data(), kBytes, 0, 0, pair);
           tstools::MapTextInPlace(text.data(), kBytes, 1, 0, pair);
           tstools::bench::KeepAlive(text[kBytes / 2]);
         }, 2 * kBytes));
#ifdef _WIN32
  Report("MapText export, both directions, in place", Measure("MapText export both directions (per byte)", [&] {
           MapText(reinterpret_cast<Ptr>(text.data()), kBytes, 0, 0);
           MapText(reinterpret_cast<Ptr>(text.data()), kBytes, 1, 0);
           tstools::bench::KeepAlive(text[kBytes / 2]);
         }, 2 * kBytes));
  std::vector<wchar_t> wide(kBytes);
  Report("MultiByteToWideChar 1252", Measure("MultiByteToWideChar cp1252 (per byte)", [&] {
           MultiByteToWideChar(1252, 0, reinterpret_cast<const char *>(text.data()), kBytes, wide.data(), kBytes);
           tstools::bench::KeepAlive(wide[kBytes / 2]);
         }, kBytes));
#endif
  return 0;
}
