// Text verbs on a DC port over a DIB section, each next to the bare GDI call with the font
// already selected: what realisation, conversion and the pen advance cost per call.
#include <windows.h>

#include <cstring>

#include "support/bench.h"
#include "tests/support/dib_canvas.h"
#include "tstools/tstools.h"

using tstools::bench::KeepAlive;
using tstools::bench::Measure;

int main() {
  tstools::test::DibCanvas canvas(512, 64);
  HDC dc = canvas.dc();
  InitFonts();
  QDrawCacheInit();
  GrafPort port;
  canvas.OpenPort(&port);
  Str255 name = {11, 'D', 'e', 'j', 'a', 'V', 'u', ' ', 'S', 'a', 'n', 's'};
  short sans = 0;
  GetFNum(name, &sans);
  ML_TextFont(&port, sans);
  ML_TextSize(&port, 12);
  char text[] = "The quick brown fox jumps";  // 25 bytes
  const int n = 25;

  Measure("ML_DrawText 25 bytes", [&] {
    ML_MoveTo(&port, 4, 40);
    ML_DrawText(&port, text, 0, n);
  });
  Measure("  bare ExtTextOutA", [&] { ExtTextOutA(dc, 4, 40, 0, nullptr, text, n, nullptr); });
  Measure("ML_TextWidth 25 bytes", [&] { KeepAlive(ML_TextWidth(&port, text, 0, n)); });
  Measure("  bare GetTextExtentPoint32A", [&] {
    SIZE size;
    GetTextExtentPoint32A(dc, text, n, &size);
    KeepAlive(size.cx);
  });
  short sizes[2] = {12, 14};
  int flip = 0;
  Measure("ML_DrawText, size alternating 12/14 (cache hits)", [&] {
    ML_TextSize(&port, sizes[flip ^= 1]);
    ML_MoveTo(&port, 4, 40);
    ML_DrawText(&port, text, 0, n);
  });
  ML_TextSize(&port, 12);
  ML_TextFace(&port, 64);
  Measure("ML_DrawText extended", [&] {
    ML_MoveTo(&port, 4, 40);
    ML_DrawText(&port, text, 0, n);
  });

  ClosePort(&port);
  QDrawCacheClose();
  return 0;
}
