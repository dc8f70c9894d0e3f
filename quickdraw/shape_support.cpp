#include "quickdraw/shape_support.h"

#include "quickdraw/drawing_state.h"

namespace tstools::qd {

namespace {

HGDIOBJ StockNone(Slot slot) { return GetStockObject(slot == Slot::Pen ? NULL_PEN : NULL_BRUSH); }
CacheKind KindFor(Slot slot) { return slot == Slot::Pen ? CacheKind::Pen : CacheKind::Brush; }

}  // namespace

VerbObject::VerbObject(GrafPort *port, Slot slot, HGDIOBJ cached) : port_(port), slot_(slot), cached_(cached) {
  if (!cached) {
    // No outline or no fill: the stock null object straight into the DCs, so that the
    // port's slot (and its cache reference) is untouched.
    none_ = noneRef_.Select(port->refDC, StockNone(slot));
    if (none_ && IsPicture(port) && port->dc != port->refDC) noneDc_.Select(port->dc, StockNone(slot));
    return;
  }
  HGDIOBJ held = slot == Slot::Pen ? static_cast<HGDIOBJ>(port->penSlot) : static_cast<HGDIOBJ>(port->brushSlot);
  // The port's slots say what its DC holds (whoever selects into the DC directly puts the
  // port's objects back), so the object the port already holds needs no selection.
  if (cached == held && !IsPicture(port)) {
    already_ = true;
    return;
  }
  selected_ = SelectThroughPort(port, slot, cached, &previous_);
  if (!selected_) ReleaseCached(KindFor(slot), cached);
}

VerbObject::~VerbObject() {
  if (already_) {
    ReleaseCached(KindFor(slot_), cached_);
    return;
  }
  if (none_) return;  // the scopes put the DCs' objects back
  if (!selected_) return;
  SelectThroughPort(port_, slot_, previous_, nullptr);
  ReleaseCached(KindFor(slot_), cached_);
}

bool IsPrinter(const GrafPort *port) { return port->portKind == portKindPrinter; }
bool IsPicture(const GrafPort *port) { return port->portKind == portKindPicture; }

bool AllOnes(const Pattern &p) {
  for (unsigned char b : p.pat)
    if (b != 0xFF) return false;
  return true;
}

bool AllZeros(const Pattern &p) {
  for (unsigned char b : p.pat)
    if (b) return false;
  return true;
}

COLORREF ForeColorRef(const GrafPort *port) {
  return PaletteColorRef(QdColor{port->rgbFgColor.red, port->rgbFgColor.green, port->rgbFgColor.blue});
}

COLORREF BackColorRef(const GrafPort *port) {
  return PaletteColorRef(QdColor{port->rgbBkColor.red, port->rgbBkColor.green, port->rgbBkColor.blue});
}

Vec PortHairline(GrafPort *port, bool consumeZeroFrame) {
  if (!IsPrinter(port)) {
    if (consumeZeroFrame && port->zeroFrameOnce) {
      port->zeroFrameOnce = 0;
      return Vec{0, 0};
    }
    return Vec{1, 1};
  }
  SIZE window{}, viewport{};
  GetWindowExtEx(port->refDC, &window);
  GetViewportExtEx(port->refDC, &viewport);
  return PrinterHairline(window.cx, window.cy, viewport.cx, viewport.cy, port->printerShiftX, port->printerShiftY);
}

HPEN CachedPen(GrafPort *port, int style, int width, COLORREF colour) {
  if (!IsPrinter(port) && style == PS_INSIDEFRAME)
    if (COLORREF nearest = GetNearestColor(port->refDC, colour); nearest != CLR_INVALID)
      colour = nearest | (colour & 0x02000000);
  LOGPEN pen{static_cast<UINT>(style), POINT{width, 0}, colour};
  return GetCachedPen(pen, port);
}

HBRUSH CachedBrush(GrafPort *port, const Pattern &pattern) {
  return GetCachedBrush(port->rgbFgColor, port->rgbBkColor, pattern, port);
}

}  // namespace tstools::qd
