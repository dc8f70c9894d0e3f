// The sound subsystem's process state: the settings WinSoundInit read.
#pragma once

#include "sound/sound_settings.h"

namespace tstools::sound {

struct SoundState {
  SoundSettings settings;
  bool settingsRead = false;

  void Reset() { *this = SoundState(); }
};

extern SoundState soundState;

// Reads the "Sound" setting once (WinSoundInit reads it again).
const SoundSettings &CurrentSoundSettings();
void ReadSoundSettings();

}  // namespace tstools::sound
