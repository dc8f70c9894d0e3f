// The "Sound" setting ("30,11025,2048,4": maximum recording seconds, recording rate, an unused
// field, input buffers) and the message chosen for a multimedia error. Portable.
#pragma once

#include <cstdint>
#include <string_view>

namespace tstools::sound {

struct SoundSettings {
  long maxSeconds = 30;
  long rate = 11025;  // samples per second, 20..65535 (a 'snd ' header holds 16 bits)
  long buffers = 4;   // 1..16
};

// A field that is 0, missing or not a positive number takes its default.
SoundSettings ParseSoundSettings(std::string_view text);

// String resource id of the text shown for a multimedia error; 129 and above name the text.
unsigned SoundMessageId(unsigned error);

}  // namespace tstools::sound
