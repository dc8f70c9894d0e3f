// The scrap's sounds: a 'snd ' is checked by the reader the WAVE conversion uses, and CF_WAVE
// is that conversion's block.
#include <windows.h>

#include <cstring>

#include "scrap/scrap_retained.h"
#include "sound/snd_resource.h"
#include "tstools/sound.h"

namespace tstools::scrap {

OSErr CheckSound(const uint8_t *data, size_t size) {
  std::vector<sound::SampledSound> sounds;
  return sound::ReadSampledSounds(data, size, reinterpret_cast<uintptr_t>(data), &sounds);
}

HANDLE MakeWave(const std::vector<uint8_t> &sound, HWND window) {
  // The conversion bounds a bare pointer by the Memory Manager block it lies in: a Ptr of our
  // own, made for the call, gives it exactly the sound's bytes.
  Ptr copy = nullptr;
  if (MemNewPtr(&copy, Size(sound.size()), 0) != noErr) return nullptr;
  std::memcpy(copy, sound.data(), sound.size());
  HGLOBAL wave = nullptr;
  if (ML_SndToWave(window, copy, 0, &wave) != noErr) wave = nullptr;
  MemDisposePtr(copy);
  return wave;
}

}  // namespace tstools::scrap
