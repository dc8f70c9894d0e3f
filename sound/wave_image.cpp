#include "sound/wave_image.h"

#include <cstring>

#include "frame/byte_reader.h"

namespace tstools::sound {

namespace {

void PutU16LE(uint8_t *p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
void PutU32LE(uint8_t *p, uint32_t v) {
  PutU16LE(p, v);
  PutU16LE(p + 2, v >> 16);
}
void PutU16BE(uint8_t *p, uint32_t v) {
  p[0] = uint8_t(v >> 8);
  p[1] = uint8_t(v);
}
void PutU32BE(uint8_t *p, uint32_t v) {
  PutU16BE(p, v >> 16);
  PutU16BE(p + 2, v);
}
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
  PutU32LE(dst + 4, uint32_t(total - 8));
  std::memcpy(dst + 8, "WAVEfmt ", 8);
  PutU32LE(dst + 16, 18);
  PutU16LE(dst + 20, 1);     // PCM
  PutU16LE(dst + 22, 1);     // mono
  PutU32LE(dst + 24, rate);  // samples per second
  PutU32LE(dst + 28, rate);  // bytes per second
  PutU16LE(dst + 32, 1);     // block alignment
  PutU16LE(dst + 34, 8);     // bits per sample
  PutU16LE(dst + 36, 0);     // no extra format bytes
  std::memcpy(dst + 38, "data", 4);
  PutU32LE(dst + 42, uint32_t(length));
  if (length) std::memcpy(dst + kWaveHeaderBytes, samples, length);
  if (length & 1) dst[kWaveHeaderBytes + length] = 0;
}

int16_t ReadWaveImage(const uint8_t *data, size_t size, WaveSamples *out) {
  ByteReader file(data, size);
  uint32_t riff = file.U32LE();
  uint32_t riffSize = file.U32LE();
  uint32_t form = file.U32LE();
  if (file.Failed() || riff != Tag("RIFF") || form != Tag("WAVE")) return kBadFormat;
  // The form ends where it says, or where the bytes do.
  size_t body = riffSize < 4 ? 0 : riffSize - 4;
  ByteReader chunks = file.Sub(body < file.Remaining() ? body : file.Remaining());
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
  PutU16BE(dst + 0, 1);            // format
  PutU16BE(dst + 2, 1);            // one synthesizer:
  PutU16BE(dst + 4, 5);            //   sampled sound
  PutU32BE(dst + 6, 0x80);         //   its init option
  PutU16BE(dst + 10, 1);           // one command:
  PutU16BE(dst + 12, 0x8051);      //   bufferCmd, param2 an offset
  PutU16BE(dst + 14, 0);
  PutU32BE(dst + 16, 20);          //   the header's offset
  PutU32BE(dst + 20, 0);           // samples follow the header
  PutU32BE(dst + 24, length);
  PutU32BE(dst + 28, uint32_t(rate) << 16);  // 16.16 fixed
  PutU32BE(dst + 32, 0);           // loop start
  PutU32BE(dst + 36, 0);           // loop end
  dst[40] = 0;                     // standard header
  dst[41] = 60;                    // base frequency: middle C
}

}  // namespace tstools::sound
