#include "sound/sound_settings.h"

namespace tstools::sound {

namespace {

// The next comma-separated field as a positive decimal number, else 0.
long NextField(std::string_view &text) {
  size_t comma = text.find(',');
  std::string_view field = text.substr(0, comma);
  text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
  while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
  long value = 0;
  for (char c : field) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > 0x7FFFFFF) return 0x7FFFFFF;  // no overflow; every user clamps far below
  }
  return value;
}

}  // namespace

SoundSettings ParseSoundSettings(std::string_view text) {
  SoundSettings s;
  long seconds = NextField(text);
  long rate = NextField(text);
  NextField(text);  // has no effect
  long buffers = NextField(text);
  if (seconds > 0) s.maxSeconds = seconds;
  if (rate > 0) s.rate = rate < 20 ? 20 : rate > 65535 ? 65535 : rate;
  if (buffers > 0) s.buffers = buffers > 16 ? 16 : buffers;
  return s;
}

unsigned SoundMessageId(unsigned error) {
  if (error >= 129) return error;
  switch (error) {
    case 2:   // bad device id
    case 3:   // not enabled
    case 5:   // invalid handle
    case 6:   // no driver
    case 8:   // not supported
      return 15105;
    case 4:   // allocated
      return 15103;
    case 7:   // no memory
      return 15106;
    case 32:  // bad wave format
      return 15104;
    default:
      return 15100;
  }
}

}  // namespace tstools::sound
