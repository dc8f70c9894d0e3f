// Process-wide state of picture playback.
#pragma once

namespace tstools::pict {

struct PictureState {
  // A playback is running. The player's state is the process's, so one playback runs at a
  // time: a hook or comment that starts another gets nothing drawn.
  bool playing = false;

  void Reset() { *this = PictureState(); }
};

extern PictureState pictureState;

}  // namespace tstools::pict
