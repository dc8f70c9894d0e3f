// Plays a PICT (version 1 or 2) into a sink, mapped from the picture's frame onto a
// destination rectangle. Portable: the sink does the drawing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "picture/pict_sink.h"
#include "picture/pict_stream.h"

namespace tstools::pict {

enum class PlayOutcome {
  kEnded,      // reached the end opcode
  kTruncated,  // the data ran out first (treated as the end)
  kMalformed,  // a value that cannot be honoured (bad version, size or length); stopped there
  kEmpty,      // the block is too short for a header, or the frame has no area
};

struct PlayResult {
  PlayOutcome outcome = PlayOutcome::kEmpty;
  size_t opcodes = 0;       // opcodes interpreted
  size_t bytesRead = 0;     // of the picture, header included
};

// picture/size: the picture block (picSize and picFrame are always read from it).
// hook: where the opcodes are read from instead of the block (the port's reading
// procedure), or null.
PlayResult PlayPicture(const uint8_t *picture, size_t size, PictSource *hook, PictSink &sink,
                       const PictRect &destination);

}  // namespace tstools::pict
