// The recording dialog's states and what each button does in them. Portable.
#pragma once

#include <cstdint>

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

}  // namespace tstools::sound
