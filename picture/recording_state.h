// Process-wide state of picture recording: which pictures are being recorded on which
// ports, and which metafiles the recorder made and has not yet deleted. A PicMeta alone
// cannot tell whether its metafile is ours to delete (a caller may put its own into one,
// and a port's picture field moves on with later recordings), so the recorder keeps count.
#pragma once

#include <windows.h>

#include <vector>

#include "tstools/memory.h"
#include "tstools/grafport.h"

namespace tstools::pict {

struct RecordingState {
  struct Open {
    Handle picture;
    GrafPort *port;
  };
  std::vector<Open> open;
  std::vector<HMETAFILE> recorded;

  void Reset() { *this = RecordingState(); }
};

extern RecordingState recordingState;

// Ends a recording MakeMetaFile started: deletes what it made, puts `saved` back into the
// port (except the picture field, which receives the metafile) and returns the metafile,
// or null when it could not be finished.
HMETAFILE FinishRecording(GrafPort *port, const GrafPort &saved);

// The routine ML_OpenPort uses for ports without a surface; installed at library start.
void InstallRecording();

}  // namespace tstools::pict
