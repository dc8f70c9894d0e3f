#include "sound/wave_image.h"

#include <cstring>

#include "frame/byte_reader.h"

namespace tstools::sound {

namespace {

uint32_t Tag(const char *t) { return LoadU32LE(reinterpret_cast<const uint8_t *>(t)); }

constexpr int16_t kResProblem = -204;
constexpr int16_t kBadFormat = -206;

}  // namespace

size_t WaveImageSize(size_t length) {
  uint64_t total = uint64_t(kWaveHeaderBytes) + length + (length & 1);
  return total - 8 > 0xFFFFFFFFu || total > SIZE_MAX ? 0 : size_t(total);
}

void WriteWaveImage(uint8_t *dst, const uint8_t *samples, size_t length, uint32_t rate) {
  size_t total = WaveImageSize(length);
  std::memcpy(dst, "RIFF", 4);
  StoreU32LE(dst + 4, uint32_t(total - 8));
  std::memcpy(dst + 8, "WAVEfmt ", 8);
  StoreU32LE(dst + 16, 18);
  StoreU16LE(dst + 20, 1);     // PCM
  StoreU16LE(dst + 22, 1);     // mono
  StoreU32LE(dst + 24, rate);  // samples per second
  StoreU32LE(dst + 28, rate);  // bytes per second
  StoreU16LE(dst + 32, 1);     // block alignment
  StoreU16LE(dst + 34, 8);     // bits per sample
  StoreU16LE(dst + 36, 0);     // no extra format bytes
  std::memcpy(dst + 38, "data", 4);
  StoreU32LE(dst + 42, uint32_t(length));
  if (length) std::memcpy(dst + kWaveHeaderBytes, samples, length);
  if (length & 1) dst[kWaveHeaderBytes + length] = 0;
}

int16_t ReadWaveImage(const uint8_t *data, size_t size, WaveSamples *out) {
  ByteReader file(data, size);
  uint32_t riff = file.U32LE();
  file.Skip(4);  // the form's size: writers that stream leave it wrong, so the bytes given rule
  uint32_t form = file.U32LE();
  if (file.Failed() || riff != Tag("RIFF") || form != Tag("WAVE")) return kBadFormat;
  ByteReader &chunks = file;
  bool haveFormat = false, haveData = false;
  WaveSamples found;
  while (!chunks.AtEnd() && !(haveFormat && haveData)) {
    uint32_t id = chunks.U32LE();
    uint32_t bytes = chunks.U32LE();
    if (chunks.Failed()) break;
    if (id == Tag("data") && !haveData) {
      haveData = true;
      if (bytes > chunks.Remaining()) return kResProblem;
      found.samples = chunks.Span(bytes);
      found.length = bytes;
    } else if (id == Tag("fmt ") && !haveFormat) {
      haveFormat = true;
      ByteReader fmt = chunks.Sub(bytes < chunks.Remaining() ? bytes : chunks.Remaining());
      uint16_t tag = fmt.U16LE();
      uint16_t channels = fmt.U16LE();
      uint32_t rate = fmt.U32LE();
      fmt.Skip(6);  // bytes per second, block alignment
      uint16_t bits = fmt.U16LE();
      if (bytes < 16 || fmt.Failed() || tag != 1 || channels != 1 || bits != 8 || rate == 0 ||
          rate > 0xFFFF)
        return kBadFormat;
      found.rate = rate;
      if (bytes > fmt.Size()) break;  // the format chunk was all that was left
    } else if (!chunks.Skip(bytes)) {
      break;
    }
    if (bytes & 1) chunks.Skip(1);
  }
  if (!haveFormat) return kBadFormat;
  if (!haveData) return kResProblem;
  *out = found;
  return 0;
}

void WriteSndPrefix(uint8_t *dst, uint32_t length, uint16_t rate) {
  StoreU16BE(dst + 0, 1);            // format
  StoreU16BE(dst + 2, 1);            // one synthesizer:
  StoreU16BE(dst + 4, 5);            //   sampled sound
  StoreU32BE(dst + 6, 0x80);         //   its init option
  StoreU16BE(dst + 10, 1);           // one command:
  StoreU16BE(dst + 12, 0x8051);      //   bufferCmd, param2 an offset
  StoreU16BE(dst + 14, 0);
  StoreU32BE(dst + 16, 20);          //   the header's offset
  StoreU32BE(dst + 20, 0);           // samples follow the header
  StoreU32BE(dst + 24, length);
  StoreU32BE(dst + 28, uint32_t(rate) << 16);  // 16.16 fixed
  StoreU32BE(dst + 32, 0);           // loop start
  StoreU32BE(dst + 36, 0);           // loop end
  dst[40] = 0;                     // standard header
  dst[41] = 60;                    // base frequency: middle C
}

}  // namespace tstools::sound
