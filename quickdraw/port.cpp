// Port lifetime, origin, clipping and selection of drawing objects through a port.
#include <cstring>
#include <initializer_list>

#include "frame/library_globals.h"
#include "quickdraw/drawing_state.h"
#include "quickdraw/gdi_scopes.h"
#include "quickdraw/port_internal.h"
#include "quickdraw/quickdraw_state.h"
#include "quickdraw/rect_math.h"
#include "quickdraw/regions.h"
#include "tstools/font.h"

namespace tstools::qd {

namespace {

bool IsPicturePort(const GrafPort *port) { return port->portKind == portKindPicture; }
bool IsPrinterPort(const GrafPort *port) { return port->portKind == portKindPrinter; }

HGDIOBJ StockFor(Slot slot) {
  switch (slot) {
    case Slot::Pen: return GetStockObject(NULL_PEN);
    case Slot::Brush: return GetStockObject(NULL_BRUSH);
    case Slot::Font: return GetStockObject(SYSTEM_FONT);
    case Slot::Palette: return GetStockObject(DEFAULT_PALETTE);
  }
  return nullptr;
}

HGDIOBJ *SlotField(GrafPort *port, Slot slot) {
  switch (slot) {
    case Slot::Pen: return reinterpret_cast<HGDIOBJ *>(&port->penSlot);
    case Slot::Brush: return reinterpret_cast<HGDIOBJ *>(&port->brushSlot);
    case Slot::Font: return reinterpret_cast<HGDIOBJ *>(&port->fontSlot);
    case Slot::Palette: return reinterpret_cast<HGDIOBJ *>(&port->paletteSlot);
  }
  return nullptr;
}

// Selects into one DC; returns what the DC held, or null on failure.
HGDIOBJ SelectInto(HDC dc, Slot slot, HGDIOBJ object) {
  if (slot == Slot::Palette) return SelectPalette(dc, static_cast<HPALETTE>(object), FALSE);
  HGDIOBJ old = SelectObject(dc, object);
  return old == HGDI_ERROR ? nullptr : old;
}

CacheKind KindOf(Slot slot) {
  return slot == Slot::Pen ? CacheKind::Pen : slot == Slot::Brush ? CacheKind::Brush : CacheKind::Font;
}

bool UseCached(GrafPort *port, Slot slot, HGDIOBJ object) {
  if (!object) return false;
  HGDIOBJ previous = nullptr;
  if (!SelectThroughPort(port, slot, object, &previous)) {
    ReleaseCached(KindOf(slot), object);  // never left referenced by a port that lacks it
    return false;
  }
  if (previous) ReleaseCached(KindOf(slot), previous);
  return true;
}

// Drops the port's pen, brush and font: stock objects go into the DC and the cache
// references are given back even when the DC is already gone.
void ReleasePortObjects(GrafPort *port) {
  for (Slot slot : {Slot::Brush, Slot::Pen, Slot::Font}) {
    HGDIOBJ *field = SlotField(port, slot);
    HGDIOBJ held = *field;
    if (!held) continue;
    HGDIOBJ previous = nullptr;
    if (!SelectThroughPort(port, slot, nullptr, &previous)) *field = nullptr;
    ReleaseCached(KindOf(slot), held);
  }
}

void DeleteRegion(RgnHandle &rgn) {
  if (rgn && rgn != scratchRegion && IsRegion(rgn)) DeleteObject(rgn);
  rgn = nullptr;
}

Rect ToRect(const RECT &r) {
  return Rect{static_cast<short>(r.left), static_cast<short>(r.top), static_cast<short>(r.right),
              static_cast<short>(r.bottom)};
}

// The client rectangle in local coordinates.
bool ClientRectLocal(GrafPort *port, Rect *out) {
  RECT client;
  if (!port->window || !GetClientRect(port->window, &client)) return false;
  DPtoLP(port->refDC, reinterpret_cast<POINT *>(&client), 2);
  *out = ToRect(client);
  return true;
}

void SetPrinterScaling(GrafPort *port) {
  port->printerShiftX = port->printerShiftY = 0;
  int query = GETSCALINGFACTOR;
  POINT shift{};
  if (Escape(port->dc, QUERYESCSUPPORT, sizeof(query), reinterpret_cast<LPCSTR>(&query), nullptr) > 0 &&
      Escape(port->dc, GETSCALINGFACTOR, 0, nullptr, &shift) > 0) {
    port->printerShiftX = static_cast<short>(shift.x);
    port->printerShiftY = static_cast<short>(shift.y);
  }
  int sx = port->printerShiftX & 31, sy = port->printerShiftY & 31;
  port->printerHighRes = (GetDeviceCaps(port->dc, LOGPIXELSX) >> sx) > 99 &&
                         (GetDeviceCaps(port->dc, LOGPIXELSY) >> sy) > 99 &&
                         (GetDeviceCaps(port->dc, RASTERCAPS) & RC_BITBLT) != 0;
}

void SetBothDCs(GrafPort *port, void (*apply)(HDC, GrafPort *)) {
  apply(port->dc, port);
  if (IsPicturePort(port) && port->refDC != port->dc) apply(port->refDC, port);
}

// The printer's effective clip: both boxes in device units, intersected as rectangles, and
// divided by the scaling shifts except for text.
QdRect PrinterClip(GrafPort *port, bool forText) {
  QdRect boxes[2];
  RgnHandle regions[2] = {port->clipRgn, port->visRgn};
  bool shift = (port->printerShiftX || port->printerShiftY) && !forText;
  for (int i = 0; i < 2; ++i) {
    RECT box{};
    GetRgnBox(regions[i], &box);
    LPtoDP(port->dc, reinterpret_cast<POINT *>(&box), 2);
    if (shift) {
      box.left >>= port->printerShiftX & 31;
      box.right >>= port->printerShiftX & 31;
      box.top >>= port->printerShiftY & 31;
      box.bottom >>= port->printerShiftY & 31;
    }
    boxes[i] = QdRect{int16_t(box.left), int16_t(box.top), int16_t(box.right), int16_t(box.bottom)};
  }
  QdRect e;
  SectRect(boxes[0], boxes[1], e);
  return e;
}

// Saves the state of a picture port's DCs for DesetWinClipRgn to pop: both or neither, as
// it pops both.
bool PushPictureStates(GrafPort *port) {
  if (!SaveDC(port->dc)) return false;
  if (port->refDC != port->dc && !SaveDC(port->refDC)) {
    RestoreDC(port->dc, -1);
    return false;
  }
  return true;
}

// Patterns of a port without a window start at local (0, 0): the DC's brush origin follows
// the device position of the local origin. GDI applies a new origin when a brush is next
// selected, so the port's brush is selected again.
void AlignLocalBrushOrigin(GrafPort *port) {
  if (port->window || IsPicturePort(port) || !port->refDC) return;
  POINT local{0, 0};
  if (!LPtoDP(port->refDC, &local, 1)) return;
  POINT want{BrushGridOffset(local.x), BrushGridOffset(local.y)}, have{};
  if (GetBrushOrgEx(port->refDC, &have) && have.x == want.x && have.y == want.y) return;
  SetBrushOrgEx(port->refDC, want.x, want.y, nullptr);
  gdi::SelectedObject deselected(port->refDC, GetStockObject(NULL_BRUSH));  // and back at once
}

}  // namespace

void SetMakeMetaFileRoutine(MakeMetaFileRoutine routine) { quickDrawState.makeMetaFile = routine; }

const char *InitialPortFaceName() {
  // Font number 1 is the library's standard face; "Helv" serves before InitFonts.
  static char face[LF_FACESIZE];
  Str255 name = {};
  GetFontName(1, name);
  if (name[0] == 0) return "Helv";
  size_t length = name[0] < LF_FACESIZE - 1 ? name[0] : LF_FACESIZE - 1;
  std::memcpy(face, name + 1, length);
  face[length] = 0;
  return face;
}

bool SelectThroughPort(GrafPort *port, Slot slot, HGDIOBJ object, HGDIOBJ *previous) {
  HGDIOBJ *field = SlotField(port, slot);
  if (!object && !*field) return false;  // nothing selected: nothing to undo
  HGDIOBJ selecting = object ? object : StockFor(slot);
  HGDIOBJ refOld = SelectInto(port->refDC, slot, selecting);
  if (!refOld) return false;
  if (IsPicturePort(port) && port->dc != port->refDC) {
    if (!SelectInto(port->dc, slot, selecting)) {
      SelectInto(port->refDC, slot, refOld);
      return false;
    }
    if (slot == Slot::Palette) RealizePalette(port->dc);
  }
  if (previous) *previous = *field;
  *field = object;
  return true;
}

bool UsePortPen(GrafPort *port, const LOGPEN &pen) {
  return UseCached(port, Slot::Pen, GetCachedPen(pen, port));
}

bool UsePortBrush(GrafPort *port, const Pattern &pattern) {
  return UseCached(port, Slot::Brush, GetCachedBrush(port->rgbFgColor, port->rgbBkColor, pattern, port));
}

bool UsePortFont(GrafPort *port, const LOGFONTA &font) {
  return UseCached(port, Slot::Font, GetCachedFont(font, port));
}

void BeginPortDrawing(GrafPort *port) {
  if (port->clipChanged) RebuildClip(port, false);
}

void EndPortDrawing(GrafPort *port) {
  if (port->clipDepth) DesetWinClipRgn(port);
}

GrafPort *PortFromWindow(HWND window) {
  if (!window || !thePortAtom) return nullptr;
  auto block = static_cast<HLOCAL>(GetPropA(window, MAKEINTATOM(thePortAtom)));
  if (!block) return nullptr;
  auto slot = static_cast<GrafPort **>(LocalLock(block));
  GrafPort *port = slot ? *slot : nullptr;
  if (slot) LocalUnlock(block);
  return port;
}

}  // namespace tstools::qd

using namespace tstools;
using namespace tstools::qd;

void WINAPI ML_OpenPort(GrafPort *port) {
  if (!port) return;
  port->paletteSlot = nullptr;
  port->brushSlot = nullptr;
  port->penSlot = nullptr;
  port->fontSlot = nullptr;
  port->printerClipRgn = nullptr;
  bool plainDC = false;
  if (port->window) {
    // The port's address, in a block attached to the window, finds the port from the window.
    HLOCAL block = LocalAlloc(LMEM_MOVEABLE, sizeof(GrafPort *));
    if (auto slot = block ? static_cast<GrafPort **>(LocalLock(block)) : nullptr) {
      *slot = port;
      LocalUnlock(block);
      if (!SetPropA(port->window, MAKEINTATOM(thePortAtom), block)) LocalFree(block);
    } else if (block) {
      LocalFree(block);
    }
    port->dc = GetDC(port->window);
    port->refDC = port->dc;
    RECT client{};
    GetClientRect(port->window, &client);
    port->portRect = ToRect(client);
  } else if (port->dc) {
    port->refDC = port->dc;
    if (IsPrinterPort(port))
      port->portRect = Rect{0, 0, static_cast<short>(GetDeviceCaps(port->dc, HORZRES)),
                            static_cast<short>(GetDeviceCaps(port->dc, VERTRES))};
    else
      plainDC = true;
  } else {
    port->refDC = nullptr;
    HDC screen = CreateCompatibleDC(nullptr);
    port->portRect = Rect{0, 0, static_cast<short>(GetDeviceCaps(screen, HORZRES)),
                          static_cast<short>(GetDeviceCaps(screen, VERTRES))};
    Rect frame = port->portRect;
    MakeMetaFileRoutine makeMetaFile = quickDrawState.makeMetaFile;
    if (!makeMetaFile || !screen || !makeMetaFile(port, nullptr, &frame, screen)) {
      OutputDebugStringA("OpenPort: MakeMetaFile() failed.\r\n");
    } else {
      // The regions below replace the recording's own.
      DeleteRegion(port->visRgn);
      DeleteRegion(port->clipRgn);
    }
    if (screen) DeleteDC(screen);
  }
  const Rect &r = port->portRect;
  port->visRgn = CreateRectRgn(r.left, r.top, r.right, r.bottom);
  if (plainDC)
    port->clipRgn = CreateRectRgn(r.left, r.top, r.right, r.bottom);
  else
    port->clipRgn = CreateRectRgn(0, 0, GetDeviceCaps(port->refDC, HORZRES), GetDeviceCaps(port->refDC, VERTRES));
  port->spareRgn = CreateRectRgn(0, 0, 0, 0);
  port->clipChanged = 1;
  port->clipDepth = 0;
  port->reserved3 = 0;
  if (IsPrinterPort(port)) {
    SetPrinterScaling(port);
  } else {
    port->printerShiftX = port->printerShiftY = 0;
    port->printerHighRes = 0;
  }
  ML_InitPort(port);
  AlignLocalBrushOrigin(port);
}

void WINAPI ML_InitPort(GrafPort *port) {
  if (!port) return;
  std::memset(&port->logFont, 0, sizeof(port->logFont));
  std::strncpy(port->logFont.lfFaceName, InitialPortFaceName(), LF_FACESIZE - 1);
  std::memcpy(port->faceNameCopy, port->logFont.lfFaceName, sizeof(port->faceNameCopy));
  port->logFont.lfWeight = FW_NORMAL;
  port->logFont.lfHeight = -12;
  UsePortFont(port, port->logFont);

  port->txFont = 1;
  port->txSize = 12;
  port->txFace = 0;
  port->realizedFont = 1;
  port->realizedSize = 12;
  port->realizedFace = 0;
  port->spExtra = 0;
  port->reserved1 = 0;
  port->pnLoc = Point{0, 0};

  // The record (and a host's DC) may hold anything: make the pen mode and the colours
  // differ from the defaults so that setting them reaches the DC.
  port->pnMode = -1;
  ML_PenNormal(port);
  static const Pattern kWhite = {};
  ML_BackPat(port, &kWhite);
  port->textColorRef = CLR_INVALID;
  ML_ForeColor(port, blackColor);
  port->bkColorRef = CLR_INVALID;
  ML_BackColor(port, whiteColor);
  ML_TextMode(port, 1);

  SetBothDCs(port, [](HDC dc, GrafPort *) {
    SetStretchBltMode(dc, COLORONCOLOR);
    SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
  });

  port->hairline = 0;
  port->updatePending = 0;
  port->translateText = 1;
  port->zeroFrameOnce = 0;
  DeleteRegion(port->printerClipRgn);
  port->printerClipRgn = scratchRegion;
  port->grafProcs = nullptr;
#ifndef _WIN64
  port->reserved4 = 0;
#endif

  LOGPEN pen{PS_INSIDEFRAME, POINT{port->pnSize.h, port->pnSize.v}, port->textColorRef};
  UsePortPen(port, pen);
  UsePortBrush(port, port->bkPat);

  HPALETTE current = SelectPalette(port->refDC, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
  if (current) {
    SelectPalette(port->refDC, current, FALSE);
    port->paletteSlot = current;
  }
}

void WINAPI ClosePort(GrafPort *port) {
  if (!port) return;
  while (port->clipDepth > 0) DesetWinClipRgn(port);
  ReleasePortObjects(port);
  if (port->window) {
    if (HANDLE block = RemovePropA(port->window, MAKEINTATOM(thePortAtom))) LocalFree(block);
    if (port->dc) ReleaseDC(port->window, port->dc);  // GetDC's DC goes back on every path
    port->dc = port->refDC = nullptr;
  }
  DeleteRegion(port->visRgn);
  DeleteRegion(port->clipRgn);
  DeleteRegion(port->spareRgn);
  DeleteRegion(port->printerClipRgn);
  if (IsPicturePort(port) && port->refDC) {
    SelectObject(port->refDC, port->refOldBitmap);
    if (port->refBitmap) DeleteObject(port->refBitmap);
    DeleteDC(port->refDC);
    port->picture = CloseMetaFile(port->dc);
    port->refBitmap = port->refOldBitmap = nullptr;
    port->dc = port->refDC = nullptr;
  }
}

void WINAPI UpdateGrafPort(GrafPort *port) {
  if (!port) return;
  Rect local;
  if (ClientRectLocal(port, &local)) {
    port->portRect = local;
    if (IsRegion(port->visRgn)) SetRectRgn(port->visRgn, local.left, local.top, local.right, local.bottom);
  }
  port->clipChanged = 1;
  ResetWinClipRgn(port);
  if (port->clipDepth) DesetWinClipRgn(port);
}

void WINAPI GetPortRect(GrafPort *port, Rect *r) {
  if (!port || !r) return;
  if (!ClientRectLocal(port, r)) *r = port->portRect;
}

void WINAPI ML_SetOrigin(GrafPort *port, short h, short v) {
  if (!port) return;
  POINT old{};
  GetWindowOrgEx(port->refDC, &old);
  int dh = h - old.x, dv = v - old.y;
  Rect &r = port->portRect;
  r = Rect{short(r.left + dh), short(r.top + dv), short(r.right + dh), short(r.bottom + dv)};
  if (IsRegion(port->visRgn)) OffsetRgn(port->visRgn, dh, dv);
  SetWindowOrgEx(port->dc, h, v, nullptr);
  if (IsPicturePort(port) && port->refDC != port->dc) SetWindowOrgEx(port->refDC, h, v, nullptr);
  AlignLocalBrushOrigin(port);
  port->clipChanged = 1;
}

void WINAPI ML_LocalToGlobal(GrafPort *port, Point *pt) {
  if (!port || !pt) return;
  POINT p{pt->h, pt->v};
  LPtoDP(port->refDC, &p, 1);
  if (port->window) ClientToScreen(port->window, &p);
  *pt = Point{static_cast<short>(p.x), static_cast<short>(p.y)};
}

void WINAPI ML_GlobalToLocal(GrafPort *port, Point *pt) {
  if (!port || !pt) return;
  POINT p{pt->h, pt->v};
  if (port->window) ScreenToClient(port->window, &p);
  DPtoLP(port->refDC, &p, 1);
  *pt = Point{static_cast<short>(p.x), static_cast<short>(p.y)};
}

void WINAPI ML_SetClip(GrafPort *port, RgnHandle rgn) {
  if (!port || !IsRegion(rgn) || !IsRegion(port->clipRgn)) return;
  CombineRgn(port->clipRgn, rgn, nullptr, RGN_COPY);
  port->clipChanged = 1;
}

void WINAPI ML_GetClip(GrafPort *port, RgnHandle rgn) {
  if (port && IsRegion(rgn) && IsRegion(port->clipRgn)) CombineRgn(rgn, port->clipRgn, nullptr, RGN_COPY);
}

void WINAPI ML_ClipRect(GrafPort *port, const Rect *r) {
  if (!port || !r || !IsRegion(port->clipRgn)) return;
  SetRectRgn(port->clipRgn, r->left, r->top, r->right, r->bottom);
  port->clipChanged = 1;
}

void WINAPI ResetWinClipRgn(GrafPort *port) {
  if (port) RebuildClip(port, false);
}

void tstools::qd::RebuildClip(GrafPort *port, bool forPrinterText) {
  port->clipChanged = 0;
  if (IsPrinterPort(port)) {
    QdRect e = PrinterClip(port, forPrinterText);
    // Already in device units: the window origin is in LPtoDP's result.
    if (!(e.left | e.top | e.right | e.bottom)) return;
    HRGN rgn = CreateRectRgn(e.left, e.top, e.right, e.bottom);
    if (!rgn) return;
    DeleteRegion(port->printerClipRgn);
    port->printerClipRgn = rgn;
    SelectClipRgn(port->refDC, rgn);
    return;
  }
  HRGN e = CreateRectRgn(0, 0, 0, 0);
  if (!e) return;
  if (IsRegion(port->clipRgn) && IsRegion(port->visRgn))
    CombineRgn(e, port->clipRgn, port->visRgn, RGN_AND);
  if (IsPicturePort(port)) {
    RECT box{};
    GetRgnBox(e, &box);
    // A clip intersected without a saved state to pop could never be widened again: without
    // one it stays pending for the next drawing call.
    if (!PushPictureStates(port)) {
      port->clipChanged = 1;
    } else {
      ++port->clipDepth;
      IntersectClipRect(port->dc, box.left, box.top, box.right, box.bottom);
      if (port->refDC != port->dc) IntersectClipRect(port->refDC, box.left, box.top, box.right, box.bottom);
    }
  } else {
    POINT origin{};
    GetWindowOrgEx(port->refDC, &origin);
    OffsetRgn(e, -origin.x, -origin.y);
    SelectClipRgn(port->refDC, e);
  }
  DeleteObject(e);
}

void WINAPI DesetWinClipRgn(GrafPort *port) {
  if (!port || port->clipDepth <= 0) return;
  --port->clipDepth;
  RestoreDC(port->dc, -1);
  if (port->refDC != port->dc) RestoreDC(port->refDC, -1);
  MoveToEx(port->dc, port->pnLoc.h, port->pnLoc.v, nullptr);
  if (port->refDC != port->dc) MoveToEx(port->refDC, port->pnLoc.h, port->pnLoc.v, nullptr);
  port->clipChanged = 1;
}
