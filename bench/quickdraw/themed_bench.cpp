// A 75 x 23 push button drawn through WinUiDrawFrameControl on a port over a DIB section,
// next to bare DrawFrameControl on the same DC: what the port glue costs. The emulating
// drawer (compiled in, whatever the system) draws the same button, and is timed next to
// DrawFrameControl as well. Each pair is timed alternately, best of five.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "quickdraw/themed_drawer.h"
#include "support/bench.h"
#include "tests/support/dib_canvas.h"
#include "tstools/themed_drawing.h"
#include "tstools/tstools.h"

using tstools::bench::TimePerOp;

namespace {

void Compare(const char *what, const std::function<void()> &ours, const std::function<void()> &bare) {
  double a = 1e18, b = 1e18;
  for (int round = 0; round < 5; ++round) {
    a = std::min(a, TimePerOp(ours));
    b = std::min(b, TimePerOp(bare));
  }
  std::printf("%-48s %9.0f ns %9.0f ns %6.2fx\n", what, a, b, a / b);
  std::fflush(stdout);
}

}  // namespace

int main() {
  tstools::test::DibCanvas canvas(128, 64);
  HDC dc = canvas.dc();
  QDrawCacheInit();
  GrafPort port;
  canvas.OpenPort(&port);
  if (!WinUiInit()) {
    std::printf("WinUiInit failed\n");
    return 1;
  }
  Rect r{10, 10, 85, 33};
  RECT rc{10, 10, 85, 33};
  std::printf("%-48s %12s %12s %7s\n", "75 x 23 push button", "ours", "bare", "ratio");
  for (unsigned state : {0u, unsigned(DFCS_PUSHED), unsigned(DFCS_CHECKED)}) {
    char name[64];
    std::snprintf(name, sizeof name, "WinUiDrawFrameControl state 0x%X", state);
    Compare(name, [&] { WinUiDrawFrameControl(&port, &r, DFC_BUTTON, DFCS_BUTTONPUSH | state); },
            [&] {
              RECT copy = rc;
              DrawFrameControl(dc, &copy, DFC_BUTTON, DFCS_BUTTONPUSH | state);
            });
  }
  tstools::qd::ThemeColours colours = tstools::qd::CaptureSystemColours();
  auto emulated = tstools::qd::MakeEmulatingDrawer(colours, nullptr);
  for (unsigned state : {0u, unsigned(DFCS_PUSHED), unsigned(DFCS_CHECKED)}) {
    char name[64];
    std::snprintf(name, sizeof name, "emulating drawer state 0x%X", state);
    Compare(name, [&] { emulated->DrawFrameControl(dc, rc, DFC_BUTTON, DFCS_BUTTONPUSH | state); },
            [&] {
              RECT copy = rc;
              DrawFrameControl(dc, &copy, DFC_BUTTON, DFCS_BUTTONPUSH | state);
            });
  }
  emulated.reset();
  WinUiClose();
  ClosePort(&port);
  QDrawCacheClose();
  return 0;
}
