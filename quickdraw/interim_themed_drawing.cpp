// Interim: the themed drawing exports until the drawers land.
#include "tstools/themed_drawing.h"

Boolean __stdcall WinUiInit() { return 0; }
void __stdcall WinUiClose() {}
void __stdcall WinUiSysColorChanged() {}
HBITMAP __stdcall XLoadSysColorBitmap(long) { return nullptr; }
long __stdcall WinUiDrawEdge(GrafPort *, const Rect *, unsigned long, unsigned long) { return 0; }
long __stdcall WinUiDrawFrameControl(GrafPort *, const Rect *, unsigned long, unsigned long) { return 0; }
long __stdcall WinUiDrawImageState(GrafPort *, struct _IMAGELIST *, HINSTANCE, long, long, const Rect *, unsigned long) {
  return 0;
}
long __stdcall WinUiDrawTextState(GrafPort *, const char *, const Rect *, unsigned long) { return 0; }
