// The recording dialog's states and what each button does in them. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tstools::sound {

enum class RecordState : uint8_t { kStopped, kRecording, kRecordPaused, kPlaying, kPlayPaused };

enum class RecordButton : uint8_t { kRecord, kStop, kPause, kPlay, kOk, kCancel };

enum class RecordAction : uint8_t {
  kNone,
  kStartRecording,  // from the beginning
  kResumeRecording,
  kPauseRecording,
  kStopRecording,
  kStartPlaying,
  kResumePlaying,
  kPausePlaying,
  kStopPlaying,
};

struct RecordStep {
  RecordAction action = RecordAction::kNone;  // done first
  RecordState next = RecordState::kStopped;
  bool ends = false;                          // OK or Cancel closes the dialog after it
};

RecordStep PressButton(RecordState state, RecordButton button, bool haveRecording);

// Bits (1 << RecordButton) of the buttons enabled in a state.
unsigned EnabledButtons(RecordState state, bool haveRecording);

// Bytes a recording may hold: rate x seconds, within what a handle can hold after the prefix.
size_t RecordCapacity(long rate, long seconds);

// " m:ss", or "  :ss" below one minute.
std::string RecordTimeText(unsigned long seconds);

// Seconds of `bytes` samples, rounded to the nearest.
unsigned long RecordSeconds(size_t bytes, long rate);

// Level meter step 0..4: the mean distance from silence of the first, middle and last samples.
int RecordLevel(const uint8_t *samples, size_t n);

}  // namespace tstools::sound
