// RIFF WAVE images of 8-bit mono sound and the 42-byte 'snd ' prefix we write before samples.
// Portable: the conversions, recording and the scrap build on them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tstools::sound {

// "RIFF", "WAVE", an 18-byte "fmt " chunk and the "data" chunk header.
constexpr size_t kWaveHeaderBytes = 46;
constexpr size_t kSndPrefixBytes = 42;

// Bytes of the image of `length` samples (with the pad byte after an odd data chunk); 0 when
// the sizes would not fit RIFF's 32-bit fields.
size_t WaveImageSize(size_t length);

// Writes the image (WaveImageSize(length) bytes) of unsigned 8-bit mono samples at `rate`
// samples per second.
void WriteWaveImage(uint8_t *dst, const uint8_t *samples, size_t length, uint32_t rate);

// Where a WAVE image keeps its samples.
struct WaveSamples {
  const uint8_t *samples = nullptr;
  size_t length = 0;
  uint32_t rate = 0;  // samples per second
};

// Walks the image's chunks (any order, any extra chunks, pad bytes after odd sizes). Results:
// 0; -206 not an 8-bit mono PCM WAVE or a rate outside 1..65535 (a 'snd ' header cannot hold
// it); -204 no "data" chunk, or one longer than the bytes given.
int16_t ReadWaveImage(const uint8_t *data, size_t size, WaveSamples *out);

// The format 1 'snd ' prefix: one sampled-sound synthesizer, one bufferCmd with the data-offset
// flag, and a header for `length` samples following it at `rate` samples per second.
void WriteSndPrefix(uint8_t *dst, uint32_t length, uint16_t rate);

}  // namespace tstools::sound
