// Reads the sampled sounds of a 'snd ' resource (format 1 or 2; big-endian throughout).
// Portable: used by playback, the WAVE conversion and the scrap's check of a sound it retains.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tstools::sound {

// One bufferCmd's sound: unsigned 8-bit mono samples, 128 silence.
struct SampledSound {
  const uint8_t *samples = nullptr;
  size_t length = 0;    // cut to the samples really present in the resource
  uint32_t rate = 0;    // unsigned 16.16 fixed, as stored (44100 Hz is 0xAC440000)
};

// Every bufferCmd's sound of the resource at [data, data + size), in command order. `address`
// is where those bytes lie in the caller's memory, so that a param2 or samplePtr given as an
// address is honoured only when it points inside them. Results: 0; -102 no bufferCmd; -204 a
// header or address outside the resource, or no samples; -206 another format or encoding.
int16_t ReadSampledSounds(const uint8_t *data, size_t size, uintptr_t address,
                          std::vector<SampledSound> *sounds);

}  // namespace tstools::sound
