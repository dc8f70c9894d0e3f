#include "frame/library_globals.h"

namespace tstools {

FrameState frameState;

PlatformFlags &platform = frameState.platform;
HRGN &scratchRegion = frameState.scratchRegion;
short &hiddenCursorCount = frameState.hiddenCursorCount;
ATOM &thePortAtom = frameState.thePortAtom;

void FrameState::Reset() {
  if (scratchRegion) DeleteObject(scratchRegion);
  if (thePortAtom) GlobalDeleteAtom(thePortAtom);
  *this = FrameState();
}

}  // namespace tstools
