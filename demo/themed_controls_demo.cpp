// A row of themed controls drawn through the library's exports: a push button in its three
// looks, a check box and a radio button, a combo arrow, an etched group line, and a caption
// in its enabled and disabled looks. The host calls WinUiInit once before and WinUiClose at
// the end; the row follows whichever drawer WinUiInit chose.
#include <windows.h>

#include "tstools/themed_drawing.h"
#include "tstools/tstools.h"

void DrawThemedControls(GrafPort *port, int left, int top) {
  auto at = [&](int l, int t, int w, int h) {
    return Rect{short(left + l), short(top + t), short(left + l + w), short(top + t + h)};
  };
  const unsigned long push[] = {0, DFCS_PUSHED, DFCS_CHECKED};
  for (int i = 0; i < 3; ++i) {
    Rect r = at(i * 80, 0, 75, 23);
    WinUiDrawFrameControl(port, &r, DFC_BUTTON, DFCS_BUTTONPUSH | push[i]);
    Rect caption = at(i * 80 + 20, 5, 50, 16);
    WinUiDrawTextState(port, i == 2 ? "&Off" : "&OK", &caption, i == 2 ? DSS_DISABLED : 0);
  }
  Rect check = at(245, 4, 14, 14), radio = at(265, 4, 14, 14), combo = at(290, 3, 16, 17);
  WinUiDrawFrameControl(port, &check, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
  WinUiDrawFrameControl(port, &radio, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
  WinUiDrawFrameControl(port, &combo, DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
  Rect line = at(0, 30, 306, 2);
  WinUiDrawEdge(port, &line, EDGE_ETCHED, BF_TOP);
}
