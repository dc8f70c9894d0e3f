// The Mac update mechanism on the Windows update region. The pending region (spareRgn) is kept
// in screen coordinates, so that it can follow the content when the window moves; every
// invalidation also reaches Windows at once, in client coordinates.
#include "quickdraw/port_internal.h"
#include "quickdraw/regions.h"
#include "window/window_state.h"

namespace tstools::window {
namespace {

using qd::IsRegion;

// A region owned for the length of a call.
class ScratchRegion {
 public:
  ScratchRegion() : rgn_(CreateRectRgn(0, 0, 0, 0)) {}
  ~ScratchRegion() {
    if (rgn_) DeleteObject(rgn_);
  }
  ScratchRegion(const ScratchRegion &) = delete;
  ScratchRegion &operator=(const ScratchRegion &) = delete;
  explicit operator bool() const { return rgn_ != nullptr; }
  operator HRGN() const { return rgn_; }

 private:
  HRGN rgn_;
};

bool IsEmptyRegion(HRGN rgn) {
  RECT box;
  return GetRgnBox(rgn, &box) <= NULLREGION;
}

// Screen position of the port's local (0, 0).
POINT LocalOriginOnScreen(WindowPtr record) {
  Point origin{0, 0};
  ML_LocalToGlobal(&record->port, &origin);
  return POINT{origin.h, origin.v};
}

POINT ClientOriginOnScreen(HWND window) {
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  return origin;
}

// Inval and valid act on shown windows with a live port only.
HWND UpdatableWindow(WindowPtr record) {
  HWND window = LiveWindow(record);
  if (!window || !record->visible || !IsRegion(record->port.spareRgn)) return nullptr;
  return window;
}

// A copy of a screen-coordinate region in client coordinates.
bool ToClient(HWND window, HRGN screen, HRGN out) {
  if (CombineRgn(out, screen, nullptr, RGN_COPY) == ERROR) return false;
  POINT client = ClientOriginOnScreen(window);
  OffsetRgn(out, -client.x, -client.y);
  return true;
}

void Flush(WindowPtr record, HWND window) {
  HRGN pending = record->port.spareRgn;
  if (IsEmptyRegion(pending)) return;
  ScratchRegion copy;
  if (copy && ToClient(window, pending, copy)) InvalidateRgn(window, copy, FALSE);
}

// area: screen coordinates.
void Invalidate(WindowPtr record, HWND window, HRGN area) {
  if (IsEmptyRegion(area)) return;
  HRGN pending = record->port.spareRgn;
  // The origin a later ML_MoveUpdateRgn measures the move from: where the content was when
  // the region started to collect.
  if (IsEmptyRegion(pending)) {
    POINT origin = LocalOriginOnScreen(record);
    record->contentOrigin = Point{static_cast<short>(origin.x), static_cast<short>(origin.y)};
  }
  if (CombineRgn(pending, pending, area, RGN_OR) == ERROR) return;
  Flush(record, window);
  record->port.updatePending = 1;
}

void Validate(WindowPtr record, HWND window, HRGN area) {
  HRGN pending = record->port.spareRgn;
  if (!IsEmptyRegion(pending)) CombineRgn(pending, pending, area, RGN_DIFF);
  ScratchRegion client;
  if (client && ToClient(window, area, client)) ValidateRgn(window, client);
}

// A local rectangle as a screen region; false for an empty or inverted one, which GDI would
// otherwise turn the right way round.
bool ScreenRectRegion(WindowPtr record, const Rect *r, HRGN out) {
  if (!r || r->right <= r->left || r->bottom <= r->top) return false;
  Point a{r->left, r->top}, b{r->right, r->bottom};
  ML_LocalToGlobal(&record->port, &a);
  ML_LocalToGlobal(&record->port, &b);
  return SetRectRgn(out, a.h, a.v, b.h, b.v) != 0;
}

bool ScreenRegion(WindowPtr record, HRGN local, HRGN out) {
  if (!IsRegion(local) || CombineRgn(out, local, nullptr, RGN_COPY) == ERROR) return false;
  POINT origin = LocalOriginOnScreen(record);
  OffsetRgn(out, origin.x, origin.y);
  return true;
}

// visRgn from a region in client device coordinates, and the clip rebuilt from it.
void SetVisibleRegion(WindowPtr record, HRGN client) {
  GrafPort *port = &record->port;
  if (!IsRegion(port->visRgn)) return;
  POINT origin{};
  GetWindowOrgEx(port->refDC, &origin);
  OffsetRgn(client, origin.x, origin.y);
  CombineRgn(port->visRgn, client, nullptr, RGN_COPY);
  port->clipChanged = 1;
  ResetWinClipRgn(port);
}

// Inval and valid: the area in screen coordinates, for shown windows only.
using AreaAction = void (*)(WindowPtr record, HWND window, HRGN area);

void OnRect(WindowPtr record, const Rect *r, AreaAction action) {
  HWND window = UpdatableWindow(record);
  ScratchRegion area;
  if (window && area && ScreenRectRegion(record, r, area)) action(record, window, area);
}

void OnRegion(WindowPtr record, HRGN local, AreaAction action) {
  HWND window = UpdatableWindow(record);
  ScratchRegion area;
  if (window && area && ScreenRegion(record, local, area)) action(record, window, area);
}

bool ClientRegion(HWND window, HRGN out) {
  RECT client{};
  return GetClientRect(window, &client) && SetRectRgn(out, client.left, client.top, client.right, client.bottom);
}

}  // namespace
}  // namespace tstools::window

using namespace tstools;
using namespace tstools::window;
using tstools::qd::IsRegion;

void WINAPI ML_InvalRect(WindowPtr window, const Rect *r) { OnRect(window, r, Invalidate); }
void WINAPI ML_ValidRect(WindowPtr window, const Rect *r) { OnRect(window, r, Validate); }
void WINAPI ML_InvalRgn(WindowPtr window, RgnHandle rgn) { OnRegion(window, rgn, Invalidate); }
void WINAPI ML_ValidRgn(WindowPtr window, RgnHandle rgn) { OnRegion(window, rgn, Validate); }

void WINAPI ML_MoveUpdateRgn(WindowPtr window) {
  HWND handle = LiveWindow(window);
  if (!handle || !IsRegion(window->port.spareRgn) || IsEmptyRegion(window->port.spareRgn)) return;
  HRGN pending = window->port.spareRgn;
  OffsetRgn(pending, -window->contentOrigin.h, -window->contentOrigin.v);
  POINT origin = LocalOriginOnScreen(window);
  window->contentOrigin = Point{static_cast<short>(origin.x), static_cast<short>(origin.y)};
  OffsetRgn(pending, origin.x, origin.y);
}

void WINAPI BeginUpdate(WindowPtr window) {
  HWND handle = LiveWindow(window);
  ScratchRegion update, pending;
  if (!handle || !update || !pending) return;
  GrafPort *port = &window->port;
  bool havePending = IsRegion(port->spareRgn);
  if (havePending) Flush(window, handle);
  GetUpdateRgn(handle, update, FALSE);
  // Windows had something to update that was not invalidated here (or the reverse).
  if (!havePending || !ToClient(handle, port->spareRgn, pending) || !EqualRgn(update, pending))
    port->updatePending = 0;
  if (windowState.visibleRegionHook) windowState.visibleRegionHook(handle, update);
  SetVisibleRegion(window, update);
  if (havePending) SetRectRgn(port->spareRgn, 0, 0, 0, 0);
  ValidateRect(handle, nullptr);
}

void WINAPI EndUpdate(WindowPtr window) {
  HWND handle = LiveWindow(window);
  ScratchRegion client;
  if (handle && client && ClientRegion(handle, client)) SetVisibleRegion(window, client);
}

RgnHandle WINAPI ML_GetVisRgn(WindowPtr window) {
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  HWND handle = LiveWindow(window);
  if (region && handle && ClientRegion(handle, region) && windowState.visibleRegionHook)
    windowState.visibleRegionHook(handle, region);
  return region;
}
