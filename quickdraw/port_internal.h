// What the QuickDraw Windows sources share with the drawing, text, picture and window code:
// the GDI object caches, selection through a port and the drawing bracket.
#pragma once

#include <windows.h>

#include "tstools/grafport.h"

namespace tstools::qd {

// --- The process-wide caches (gdi_caches.cpp). Each Get adds one reference; the caller
// selects the object through the port and releases the object it replaces. Null means
// "keep drawing with what is selected": the cache is full of referenced objects, was never
// initialised, or GDI could not make the object.
enum class CacheKind { Pen, Brush, Font };

struct BrushKey {
  RGBColor fg, bk;
  Pattern pattern;
  short originH, originV;  // brush origin last set for a window port
};

HPEN GetCachedPen(const LOGPEN &pen, GrafPort *port);
HBRUSH GetCachedBrush(const RGBColor &fg, const RGBColor &bk, const Pattern &pattern, GrafPort *port);
HFONT GetCachedFont(const LOGFONTA &font, GrafPort *port);
bool ReleaseCached(CacheKind kind, HGDIOBJ object);
bool AddCacheReferences(CacheKind kind, HGDIOBJ object, int count);
// Deletes every unreferenced object of one cache (the font table flushes fonts).
void FlushCache(CacheKind kind);
// Objects alive in a cache, closed caches still waiting for their last release included.
size_t LiveCachedObjects(CacheKind kind);
// Keeps the port's selected pen, font and brush alive while it records a picture.
void PinPortObjects(GrafPort *port);
void UnpinPortObjects(GrafPort *port);

// --- Selection through a port (port.cpp). Selects into refDC (and dc for picture ports);
// a null object selects the stock null pen or brush, the system font or the default
// palette. On success the slot records the object and *previous receives what the slot held
// (for the caller to release in its cache); on failure nothing changes.
enum class Slot { Pen, Brush, Font, Palette };
bool SelectThroughPort(GrafPort *port, Slot slot, HGDIOBJ object, HGDIOBJ *previous);

// Get from the cache, select, release the replaced object. False when the port keeps what
// it had.
bool UsePortPen(GrafPort *port, const LOGPEN &pen);
bool UsePortBrush(GrafPort *port, const Pattern &pattern);  // in the port's colours
bool UsePortFont(GrafPort *port, const LOGFONTA &font);

// A screen-compatible memory DC that bit transfers share (making a DC per call costs more
// than many transfers); it holds its own bitmap between uses. Deleted by QDrawCacheClose.
HDC SharedTransferDC();
// A memory DC holding a bitmap of the library's own compatible with `like`, at least w x h
// and cleared to white over (0, 0, w, h), for masks drawn and transferred within one verb.
// Null for very large masks (the verb then makes its own). Deleted by QDrawCacheClose.
HDC SharedMaskDC(HDC like, int w, int h);

// Every drawing call: BeginPortDrawing first (rebuilds the clip when it changed),
// EndPortDrawing last (pops the state a picture port pushed).
void BeginPortDrawing(GrafPort *port);
void EndPortDrawing(GrafPort *port);

// The port of a window, through its "thePort" property; null when it has none.
GrafPort *PortFromWindow(HWND window);

// Face name of the font a port starts with: font number 1's face, or the classic "Helv"
// before the font table is built.
const char *InitialPortFaceName();

// Selects the font the port's text state names (text_draw.cpp), for calls that draw text
// through GDI themselves.
void RealizePortFont(GrafPort *port);

// ResetWinClipRgn. forPrinterText: text on a printer port is placed in device units the
// printer's scaling shifts do not apply to, so its clip is not divided by them.
void RebuildClip(GrafPort *port, bool forPrinterText);

// Picture recording installs the routine that turns a port into a recording one; ports
// opened without a surface use it. Returns true on success.
using MakeMetaFileRoutine = BOOL (*)(GrafPort *port, void *saveArea, const Rect *frame, HDC referenceDC);
void SetMakeMetaFileRoutine(MakeMetaFileRoutine routine);

}  // namespace tstools::qd
