// A cache hit (get and release of a pen, brush or font another port holds) next to creating
// and deleting the same GDI object. The cache glue is compiled in to reach it directly.
#include <windows.h>

#include <cstring>

#include "frame/library_globals.h"
#include "quickdraw/port_internal.h"
#include "support/bench.h"

using namespace tstools::qd;
using tstools::bench::Measure;

int main() {
  tstools::scratchRegion = CreateRectRgn(0, 0, 0, 0);
  QDrawCacheInit();
  HDC dc = CreateCompatibleDC(nullptr);
  GrafPort port{};
  port.dc = dc;
  port.portRect = Rect{0, 0, 64, 64};
  ML_OpenPort(&port);  // holds the Helv font, the default pen and the white brush
  LOGPEN pen{PS_INSIDEFRAME, POINT{1, 1}, 0x02000000};
  RGBColor black{}, white{0xFFFF, 0xFFFF, 0xFFFF};
  Pattern whitePattern{}, gray{{0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55}};
  HBRUSH grayBrush = GetCachedBrush(black, white, gray, &port);  // held, like a port would

  Measure("pen cache hit (get + release)", [&] { ReleaseCached(CacheKind::Pen, GetCachedPen(pen, &port)); });
  Measure("  CreatePenIndirect + DeleteObject", [&] { DeleteObject(CreatePenIndirect(&pen)); });
  Measure("brush cache hit, pattern (get + release)",
          [&] { ReleaseCached(CacheKind::Brush, GetCachedBrush(black, white, gray, &port)); });
  Measure("brush cache hit, solid (get + release)",
          [&] { ReleaseCached(CacheKind::Brush, GetCachedBrush(black, white, whitePattern, &port)); });
  Measure("  CreateSolidBrush + DeleteObject", [&] { DeleteObject(CreateSolidBrush(0x02FFFFFF)); });
  Measure("font cache hit (get + release)",
          [&] { ReleaseCached(CacheKind::Font, GetCachedFont(port.logFont, &port)); });
  Measure("  CreateFontIndirect + DeleteObject", [&] { DeleteObject(CreateFontIndirectA(&port.logFont)); });

  ReleaseCached(CacheKind::Brush, grayBrush);
  ClosePort(&port);
  QDrawCacheClose();
  DeleteDC(dc);
  DeleteObject(tstools::scratchRegion);
  return 0;
}
