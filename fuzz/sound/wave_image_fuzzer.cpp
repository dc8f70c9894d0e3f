// WAVE images: samples found must lie inside the input and have an acceptable format.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "sound/wave_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  tstools::sound::WaveSamples w;
  if (tstools::sound::ReadWaveImage(data, size, &w) != 0) return 0;
  if (w.rate == 0 || w.rate > 0xFFFF) abort();
  if (w.length && (w.samples < data || w.length > size_t(data + size - w.samples))) abort();
  return 0;
}
