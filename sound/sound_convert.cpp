// ML_SndToWave and ML_WaveToSnd: the portable codec between caller memory and Windows blocks.
#include <windows.h>

#include <cstring>
#include <vector>

#include "frame/export_guard.h"
#include "memory/memory_state.h"
#include "sound/snd_resource.h"
#include "sound/sound_alerts.h"
#include "sound/wave_image.h"
#include "tstools/host_resource_ids.h"
#include "tstools/memory.h"
#include "tstools/sound.h"

using namespace tstools;
using namespace tstools::sound;

OSErr WINAPI ML_SndToWave(HWND window, const void *snd, long reserved, HGLOBAL *wave) {
  if (!wave) return paramErr;
  *wave = nullptr;
  return Guarded(OSErr(noSoundBufferErr), [&]() -> OSErr {
    std::vector<SampledSound> sounds;
    size_t size = ReadableBytesFrom(snd);
    OSErr err = ReadSampledSounds(static_cast<const uint8_t *>(snd), size,
                                  reinterpret_cast<uintptr_t>(snd), &sounds);
    // The first bufferCmd's sound is the one converted, whatever follows it.
    if (sounds.empty()) {
      if (err == badFormat) ShowSoundError(window, TSRES_STR_SOUND_UNSUPPORTED);
      return err;
    }
    const SampledSound &sound = sounds.front();
    size_t bytes = WaveImageSize(sound.length);
    HGLOBAL block = bytes ? GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes) : nullptr;
    void *dst = block ? GlobalLock(block) : nullptr;
    if (!dst) {
      if (block) GlobalFree(block);
      return noSoundBufferErr;
    }
    WriteWaveImage(static_cast<uint8_t *>(dst), sound.samples, sound.length, sound.rate >> 16);
    GlobalUnlock(block);
    *wave = block;
    return noErr;
  });
}

OSErr WINAPI ML_WaveToSnd(const void *wave, long waveSize, Handle sound) {
  if (!sound) return nilHandleErr;
  if (!wave || waveSize <= 0) return resProblem;
  return Guarded(OSErr(memFullErr), [&]() -> OSErr {
    WaveSamples found;
    if (OSErr err = ReadWaveImage(static_cast<const uint8_t *>(wave), size_t(waveSize), &found))
      return err;
    if (found.length > size_t(memory::kMaxHandleSize) - kSndPrefixBytes) return memFullErr;
    // Samples that lie in the handle itself would move with it: take a copy first.
    std::vector<uint8_t> copy;
    memory::MasterRecord *record = memory::memoryState.zone.Find(reinterpret_cast<memory::HandleRef>(sound));
    if (record && found.length) {
      const char *data = record->data;
      const char *from = reinterpret_cast<const char *>(found.samples);
      if (from < data + memory::LogicalSize(*record) + memory::kTrailerBytes &&
          data < from + found.length) {
        copy.assign(found.samples, found.samples + found.length);
        found.samples = copy.data();
      }
    }
    if (OSErr err = MemSetHandleSize(sound, long(found.length + kSndPrefixBytes))) return err;
    uint8_t *dst = reinterpret_cast<uint8_t *>(*sound);
    WriteSndPrefix(dst, uint32_t(found.length), uint16_t(found.rate));
    if (found.length) std::memcpy(dst + kSndPrefixBytes, found.samples, found.length);
    return noErr;
  });
}
