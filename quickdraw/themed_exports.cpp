// The themed drawing exports: the process-wide drawer chosen once by platform, the drawing
// calls bracketed by the port's clip protocol, and the recoloured bitmaps of the text
// engine's resource module.
#include <vector>

#include "frame/export_guard.h"
#include "frame/library_globals.h"
#include "quickdraw/port_internal.h"
#include "quickdraw/shape_support.h"
#include "quickdraw/themed_drawer.h"
#include "textedit/te_state.h"
#include "tstools/themed_drawing.h"

namespace tstools::qd {

ThemeState themeState;

namespace {

// Runs one drawer operation on the port's DC in its coordinates and clip; 0 without a
// drawer, a port or a rectangle.
template <typename Draw>
long OnPort(GrafPort *port, const Rect *bounds, Draw draw) {
  ThemedDrawer *drawer = themeState.drawer.get();
  if (!drawer || !port || !port->dc || !bounds) return 0;
  return Guarded(0L, [&] {
    RECT r{bounds->left, bounds->top, bounds->right, bounds->bottom};
    DrawingBracket bracket(port);
    return draw(*drawer, port->dc, r);
  });
}

}  // namespace
}  // namespace tstools::qd

using namespace tstools;
using namespace tstools::qd;

Boolean WINAPI WinUiInit(void) {
  return Guarded(Boolean(0), [] {
    themeState.drawer.reset();
    themeState.colours = CaptureSystemColours();
    themeState.drawer = platform.hasNewShell ? MakeSystemDrawer(themeState.colours)
                                             : MakeEmulatingDrawer(themeState.colours, frameState.resourceInstance);
    return Boolean(themeState.drawer != nullptr);
  });
}

void WINAPI WinUiClose(void) { themeState.drawer.reset(); }

void WINAPI WinUiSysColorChanged(void) {
  themeState.colours = CaptureSystemColours();
  if (themeState.drawer) themeState.drawer->ColoursChanged();
}

HBITMAP WINAPI XLoadSysColorBitmap(long id) {
  HINSTANCE module = text::textState.resourceInstance;
  if (!module) return nullptr;
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));  // RT_BITMAP
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void *data = loaded ? LockResource(loaded) : nullptr;
  DWORD size = found ? SizeofResource(module, found) : 0;
  DibLayout layout;
  if (!data || !ParseColourTableDib(static_cast<const uint8_t *>(data), size, &layout)) return nullptr;
  return Guarded(HBITMAP(nullptr), [&]() -> HBITMAP {
    // The resource is read-only and shared: the colours change in a copy.
    std::vector<uint8_t> dib(static_cast<const uint8_t *>(data), static_cast<const uint8_t *>(data) + size);
    ThemeColours colours = CaptureSystemColours();
    RecolourTable(dib.data() + layout.headerSize, layout.colourCount, layout.entrySize, colours);
    HDC screen = GetDC(nullptr);
    if (!screen) return nullptr;
    auto *info = reinterpret_cast<BITMAPINFO *>(dib.data());
    HBITMAP bitmap = CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT, dib.data() + layout.bitsOffset, info,
                                    DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
  });
}

long WINAPI WinUiDrawEdge(GrafPort *port, const Rect *bounds, unsigned long edge, unsigned long flags) {
  return OnPort(port, bounds, [&](ThemedDrawer &d, HDC dc, const RECT &r) { return d.DrawEdge(dc, r, edge, flags); });
}

long WINAPI WinUiDrawFrameControl(GrafPort *port, const Rect *bounds, unsigned long type, unsigned long state) {
  return OnPort(port, bounds,
                [&](ThemedDrawer &d, HDC dc, const RECT &r) { return d.DrawFrameControl(dc, r, type, state); });
}

long WINAPI WinUiDrawImageState(GrafPort *port, struct _IMAGELIST *imageList, HINSTANCE module, long bitmapId,
                                long imageIndex, const Rect *bounds, unsigned long flags) {
  return OnPort(port, bounds, [&](ThemedDrawer &d, HDC dc, const RECT &r) {
    return d.DrawImageState(dc, imageList, module, bitmapId, imageIndex, r, flags);
  });
}

long WINAPI WinUiDrawTextState(GrafPort *port, const char *text, const Rect *bounds, unsigned long flags) {
  if (!text) return 0;
  return OnPort(port, bounds, [&](ThemedDrawer &d, HDC dc, const RECT &r) {
    RealizePortFont(port);
    return d.DrawTextState(dc, text, r, flags);
  });
}
