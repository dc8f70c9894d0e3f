// 'snd ' resources: every sound read must lie inside the input, and must write as a WAVE.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "sound/snd_resource.h"
#include "sound/wave_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  // The input claims to lie at a fixed address, so addresses in it can point inside.
  std::vector<tstools::sound::SampledSound> sounds;
  tstools::sound::ReadSampledSounds(data, size, 0x10000, &sounds);
  for (const auto &s : sounds) {
    if (s.samples < data || s.length == 0 || s.length > size_t(data + size - s.samples)) abort();
    std::vector<uint8_t> wave(tstools::sound::WaveImageSize(s.length));
    tstools::sound::WriteWaveImage(wave.data(), s.samples, s.length, s.rate >> 16);
  }
  return 0;
}
