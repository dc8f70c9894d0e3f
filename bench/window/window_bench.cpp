// The update bracket, record lookup and cached string lists, each next to the Windows calls a
// host would make without the library.
#include <windows.h>

#include "support/bench.h"
#include "tests/window/mdi_host.h"

using tstools::bench::KeepAlive;
using tstools::bench::Measure;

int main() {
  tstools::test::MdiHost host;
  QDrawCacheInit();
  ML_InitWindows();
  WindowPtr w = host.NewDocument(0, 0, 700, 560);
  if (!w) return 1;
  SizeWindow(w, 640, 480, false);
  UpdateGrafPort(&w->port);
  HWND window = w->port.window;
  tstools::test::MdiHost::Pump();

  const Rect all{0, 0, 640, 480};
  const RECT whole{0, 0, 640, 480};
  Measure("ML_InvalRect+BeginUpdate+ML_PaintRect+EndUpdate 640x480", [&] {
    ML_InvalRect(w, &all);
    BeginUpdate(w);
    ML_PaintRect(&w->port, &all);
    EndUpdate(w);
  });
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  Measure("  InvalidateRect+BeginPaint+FillRect+EndPaint", [&] {
    InvalidateRect(window, &whole, FALSE);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    FillRect(dc, &whole, black);
    EndPaint(window, &paint);
  });

  Measure("GetWindowPtr", [&] { KeepAlive(GetWindowPtr(window)); });
  Measure("  GetPropA", [&] { KeepAlive(GetPropA(window, "thePort")); });

  HMODULE resources = LoadLibraryExA("TSHOSTRES.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  Str255 text;
  Measure("ML_GetIndString, list cached, 46 characters", [&] {
    KeepAlive(ML_GetIndString(resources, text, TSRES_STR_LIST_MESSAGES, 2, TSRES_TYPE_STR_LIST));
  });
  Measure("ML_GetIndString, list cached, 8 characters", [&] {
    KeepAlive(ML_GetIndString(resources, text, TSRES_STR_LIST_MESSAGES, 1, TSRES_TYPE_STR_LIST));
  });
  char buffer[256];
  Measure("  LoadStringA, 43 characters", [&] { KeepAlive(LoadStringA(resources, TSRES_STR_FILE_REJECTED, buffer, sizeof buffer)); });

  tstools::test::MdiHost::Close(w);
  FreeLibrary(resources);
  QDrawCacheClose();
  return 0;
}
