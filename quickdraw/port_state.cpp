// Pen, pattern, colour and text state of a port.
#include <cstring>

#include "quickdraw/drawing_state.h"
#include "quickdraw/port_internal.h"

using namespace tstools::qd;

namespace {

bool IsPicturePort(const GrafPort *port) { return port->portKind == portKindPicture; }

// Applies a DC setting to dc, and to refDC as well for picture ports.
template <typename F>
void OnPortDCs(GrafPort *port, F apply) {
  apply(port->dc);
  if (IsPicturePort(port) && port->refDC != port->dc) apply(port->refDC);
}

void SetForeground(GrafPort *port, const RGBColor &c) {
  port->rgbFgColor = c;
  COLORREF ref = PaletteColorRef(QdColor{c.red, c.green, c.blue});
  if (ref == port->textColorRef) return;
  OnPortDCs(port, [&](HDC dc) { SetTextColor(dc, ref); });
  port->textColorRef = ref;
}

void SetBackground(GrafPort *port, const RGBColor &c) {
  port->rgbBkColor = c;
  COLORREF ref = PaletteColorRef(QdColor{c.red, c.green, c.blue});
  if (ref == port->bkColorRef) return;
  OnPortDCs(port, [&](HDC dc) { SetBkColor(dc, ref); });
  port->bkColorRef = ref;
}

RGBColor FromClassic(long constant) {
  QdColor c = ClassicColor(constant);
  return RGBColor{c.red, c.green, c.blue};
}

}  // namespace

void WINAPI ML_GetPen(GrafPort *port, Point *pt) {
  if (port && pt) *pt = port->pnLoc;
}

void WINAPI ML_GetPenState(GrafPort *port, PenState *state) {
  if (!port || !state) return;
  state->pnLoc = port->pnLoc;
  state->pnSize = port->pnSize;
  state->pnMode = port->pnMode;
  state->pnPat = port->pnPat;
}

void WINAPI ML_SetPenState(GrafPort *port, const PenState *state) {
  if (!port || !state) return;
  ML_MoveTo(port, state->pnLoc.h, state->pnLoc.v);
  ML_PenSize(port, state->pnSize.h, state->pnSize.v);
  ML_PenMode(port, state->pnMode);
  ML_PenPat(port, &state->pnPat);
}

void WINAPI ML_PenSize(GrafPort *port, short h, short v) {
  if (port) port->pnSize = Point{h, v};
}

void WINAPI ML_PenMode(GrafPort *port, short mode) {
  if (!port || mode == port->pnMode) return;
  port->pnMode = mode;
  int mix = MixModeForPenMode(mode);
  OnPortDCs(port, [&](HDC dc) { SetROP2(dc, mix); });
}

void WINAPI ML_PenPat(GrafPort *port, const Pattern *pat) {
  if (port && pat) port->pnPat = *pat;
}

void WINAPI ML_BackPat(GrafPort *port, const Pattern *pat) {
  if (port && pat) port->bkPat = *pat;
}

void WINAPI ML_PenNormal(GrafPort *port) {
  if (!port) return;
  static const Pattern kBlack = {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}};
  ML_PenSize(port, 1, 1);
  ML_PenMode(port, patCopy);
  ML_PenPat(port, &kBlack);
}

void WINAPI ML_MoveTo(GrafPort *port, short h, short v) {
  if (!port) return;
  port->pnLoc = Point{h, v};
  OnPortDCs(port, [&](HDC dc) { MoveToEx(dc, h, v, nullptr); });
}

void WINAPI ML_Move(GrafPort *port, short dh, short dv) {
  if (port) ML_MoveTo(port, static_cast<short>(port->pnLoc.h + dh), static_cast<short>(port->pnLoc.v + dv));
}

HBITMAP WINAPI PatternToBitmap(const Pattern *pat) {
  if (!pat) return nullptr;
  uint8_t rows[16];
  PatternBitmapRows(pat->pat, rows);
  return CreateBitmap(8, 8, 1, 1, rows);
}

void WINAPI StuffHex(void *dst, ConstStr255Param hex) {
  if (dst && hex) DecodeHex(hex, static_cast<uint8_t *>(dst));
}

void WINAPI SetStdProcs(void *procs) {
  if (procs) std::memset(procs, 0, 3 * sizeof(uint32_t));
}

void WINAPI SetStdCProcs(void *procs) {
  if (procs) std::memset(procs, 0, 3 * sizeof(uint32_t));
}

void WINAPI ML_ForeColor(GrafPort *port, long colour) {
  if (!port) return;
  port->fgColor = colour;
  SetForeground(port, FromClassic(colour));
}

void WINAPI ML_BackColor(GrafPort *port, long colour) {
  if (!port) return;
  port->bkColor = colour;
  SetBackground(port, FromClassic(colour));
}

void WINAPI ML_RGBForeColor(GrafPort *port, const RGBColor *colour) {
  if (port && colour) SetForeground(port, *colour);
}

void WINAPI ML_RGBBackColor(GrafPort *port, const RGBColor *colour) {
  if (port && colour) SetBackground(port, *colour);
}

void WINAPI ML_GetForeColor(GrafPort *port, RGBColor *colour) {
  if (port && colour) *colour = port->rgbFgColor;
}

void WINAPI ML_GetBackColor(GrafPort *port, RGBColor *colour) {
  if (port && colour) *colour = port->rgbBkColor;
}

void WINAPI ML_TextFont(GrafPort *port, short font) {
  if (port) port->txFont = font;
}

void WINAPI ML_TextFace(GrafPort *port, short face) {
  if (port) port->txFace = static_cast<unsigned char>(face);
}

void WINAPI ML_TextMode(GrafPort *port, short mode) {
  if (port) port->txMode = mode;
}

void WINAPI ML_TextSize(GrafPort *port, short size) {
  if (port) port->txSize = size ? size : 12;
}
