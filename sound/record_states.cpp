#include "sound/record_states.h"

#include <cstdio>
#include <cstdlib>

#include "memory/zone.h"
#include "sound/wave_image.h"

namespace tstools::sound {

namespace {

using S = RecordState;
using B = RecordButton;
using A = RecordAction;

constexpr unsigned Bit(B b) { return 1u << unsigned(b); }

// What stops the activity of a state before the dialog closes: a paused playback still holds
// the device.
A StopFor(S state) {
  switch (state) {
    case S::kRecording:
    case S::kRecordPaused:
      return A::kStopRecording;
    case S::kPlaying:
    case S::kPlayPaused:
      return A::kStopPlaying;
    default:
      return A::kNone;
  }
}

}  // namespace

RecordStep PressButton(RecordState state, RecordButton button, bool haveRecording) {
  if (button == B::kOk || button == B::kCancel) return {StopFor(state), S::kStopped, true};
  if (!(EnabledButtons(state, haveRecording) & Bit(button))) return {A::kNone, state, false};
  if (button == B::kStop) return {StopFor(state), S::kStopped, false};
  switch (state) {
    case S::kStopped:
      return button == B::kRecord ? RecordStep{A::kStartRecording, S::kRecording}
                                  : RecordStep{A::kStartPlaying, S::kPlaying};
    case S::kRecording:
      return {A::kPauseRecording, S::kRecordPaused};
    case S::kRecordPaused:
      return {A::kResumeRecording, S::kRecording};
    case S::kPlaying:
      return {A::kPausePlaying, S::kPlayPaused};
    case S::kPlayPaused:
      return {A::kResumePlaying, S::kPlaying};
  }
  return {A::kNone, state, false};
}

unsigned EnabledButtons(RecordState state, bool haveRecording) {
  unsigned always = Bit(B::kOk) | Bit(B::kCancel);
  switch (state) {
    case S::kStopped:
      return always | Bit(B::kRecord) | (haveRecording ? Bit(B::kPlay) : 0);
    case S::kRecording:
      return always | Bit(B::kStop) | Bit(B::kPause);
    case S::kRecordPaused:
      return always | Bit(B::kRecord) | Bit(B::kStop) | Bit(B::kPause);
    case S::kPlaying:
      return always | Bit(B::kStop) | Bit(B::kPause);
    case S::kPlayPaused:
      return always | Bit(B::kPlay) | Bit(B::kStop) | Bit(B::kPause);
  }
  return always;
}

size_t RecordCapacity(long rate, long seconds) {
  constexpr uint64_t kMaxSamples = memory::kMaxHandleSize - kSndPrefixBytes;
  if (rate <= 0 || seconds <= 0) return 0;
  uint64_t bytes = uint64_t(rate) * uint64_t(seconds);
  return size_t(bytes < kMaxSamples ? bytes : kMaxSamples);
}

std::string RecordTimeText(unsigned long seconds) {
  char text[32];
  if (seconds < 60)
    std::snprintf(text, sizeof text, "  :%02lu", seconds);
  else
    std::snprintf(text, sizeof text, " %lu:%02lu", seconds / 60, seconds % 60);
  return text;
}

unsigned long RecordSeconds(size_t bytes, long rate) {
  return rate > 0 ? static_cast<unsigned long>((uint64_t(bytes) + uint64_t(rate) / 2) / uint64_t(rate)) : 0;
}

int RecordLevel(const uint8_t *samples, size_t n) {
  if (n == 0) return 0;
  int sum = std::abs(samples[0] - 128) + std::abs(samples[n / 2] - 128) + std::abs(samples[n - 1] - 128);
  int level = sum / 3 / 25;
  return level > 4 ? 4 : level;
}

}  // namespace tstools::sound
