#include "sound/snd_resource.h"

#include "frame/byte_reader.h"

namespace tstools::sound {

namespace {

constexpr uint16_t kBufferCmd = 81;
constexpr uint16_t kDataOffsetFlag = 0x8000;
constexpr size_t kHeaderBytes = 22;
constexpr int16_t kNoBufferCmd = -102;
constexpr int16_t kResProblem = -204;
constexpr int16_t kBadFormat = -206;

// An "address" in the resource is honoured only when it points inside the resource's own bytes.
bool AddressToOffset(uint32_t value, uintptr_t address, size_t size, size_t *offset) {
  uintptr_t a = value;
  if (a < address || a - address >= size) return false;
  *offset = a - address;
  return true;
}

int16_t ReadHeader(const uint8_t *data, size_t size, size_t at, uintptr_t address,
                   SampledSound *sound) {
  if (at > size || size - at < kHeaderBytes) return kResProblem;
  ByteReader r(data + at, kHeaderBytes);
  uint32_t samplePtr = r.U32BE();
  uint32_t length = r.U32BE();
  uint32_t rate = r.U32BE();
  r.Skip(8);  // loop points
  uint8_t encode = r.U8();
  if (encode != 0) return kBadFormat;
  size_t start = at + kHeaderBytes;
  if (samplePtr != 0 && !AddressToOffset(samplePtr, address, size, &start)) return kResProblem;
  // A length past the end is cut to the samples that are really there.
  size_t present = size - start;
  size_t n = length < present ? length : present;
  if (n == 0) return kResProblem;
  sound->samples = data + start;
  sound->length = n;
  sound->rate = rate;
  return 0;
}

}  // namespace

int16_t ReadSampledSounds(const uint8_t *data, size_t size, uintptr_t address,
                          std::vector<SampledSound> *sounds) {
  sounds->clear();
  ByteReader r(data, size);
  uint16_t format = r.U16BE();
  if (r.Failed()) return kResProblem;
  if (format == 1) {
    uint16_t synths = r.U16BE();
    r.Skip(size_t(synths) * 6);
  } else if (format == 2) {
    r.Skip(2);  // reference count
  } else {
    return kBadFormat;
  }
  uint16_t count = r.U16BE();
  size_t afterCommands = r.Position() + size_t(count) * 8;
  if (r.Failed() || afterCommands > size) return kResProblem;
  for (uint16_t i = 0; i < count; ++i) {
    uint16_t command = r.U16BE();
    r.Skip(2);  // param1
    uint32_t param2 = r.U32BE();
    if ((command & ~kDataOffsetFlag) != kBufferCmd) continue;
    size_t at = 0;
    if (format == 2)
      at = afterCommands;
    else if (command & kDataOffsetFlag)
      at = param2;
    else if (!AddressToOffset(param2, address, size, &at))
      return kResProblem;
    SampledSound sound;
    if (int16_t err = ReadHeader(data, size, at, address, &sound)) return err;
    sounds->push_back(sound);
    if (format == 2) break;  // its one header follows the command list
  }
  return sounds->empty() ? kNoBufferCmd : 0;
}

}  // namespace tstools::sound
