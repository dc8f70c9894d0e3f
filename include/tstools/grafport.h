/* Graphics ports: a GrafPort binds Toolbox drawing state to a window, a device context
 * (a printer, a bitmap) or a picture recording. The host allocates the record, fills in
 * the surface fields and calls ML_OpenPort; every drawing call then names the port. */
#ifndef TSTOOLS_GRAFPORT_H
#define TSTOOLS_GRAFPORT_H

#include <tstools/quickdraw.h>

struct QDProcs; /* picture.h */

/* The record is byte-packed: hosts read and write its fields directly. Offsets below are
 * those of the 32-bit DLL; the x86_64 build keeps the order with 8-byte handle fields. */
#pragma pack(push, 1)
typedef struct GrafPort {
  HWND window;             /*   0 window of a window port, else 0; set by the host */
  HDC dc;                  /*   4 drawing DC (the host's for a DC or printer port) */
  HPALETTE paletteSlot;    /*   8 palette selected through the port */
  Rect portRect;           /*  12 local coordinates */
  RgnHandle visRgn;        /*  20 */
  RgnHandle clipRgn;       /*  24 local coordinates */
  RgnHandle spareRgn;      /*  28 the Window Manager's pending update region */
  Pattern bkPat;           /*  32 */
  Point pnLoc;             /*  40 */
  Point pnSize;            /*  44 */
  short pnMode;            /*  48 */
  Pattern pnPat;           /*  50 */
  short txFont;            /*  58 font number */
  unsigned char txFace;    /*  60 style bits */
  short txMode;            /*  61 */
  short txSize;            /*  63 points */
  Fixed spExtra;           /*  65 */
  RGBColor rgbFgColor;     /*  69 */
  RGBColor rgbBkColor;     /*  75 */
  long fgColor;            /*  81 classic colour constant last set */
  long bkColor;            /*  85 */
  long reserved1;          /*  89 */
  LOGFONTA logFont;        /*  93 built from the text state before drawing text */
  char faceNameCopy[32];   /* 153 */
  short reserved2;         /* 185 */
  unsigned char realizedFace; /* 187 txFace when logFont was built */
  short pictureReserved;   /* 188 used by picture recording */
  short realizedFont;      /* 190 */
  short realizedSize;      /* 192 */
  unsigned char realizedCharSet; /* 194 */
  long printerHighRes;     /* 195 printer able to take bitmaps at 100 dpi or more */
  long clipChanged;        /* 199 the GDI clip is rebuilt before the next drawing call */
  long clipDepth;          /* 203 DC states pushed by ResetWinClipRgn, not yet popped */
  unsigned char portKind;  /* 207 0 window or DC, 1 picture recording, 2 printer */
  short hairline;          /* 208 printer lines drawn with device-pixel pens */
  long metaFrame[8];       /* 210 picture frame and destination while playing a metafile */
  COLORREF textColorRef;   /* 242 text colour last set in the DC */
  COLORREF bkColorRef;     /* 246 background colour last set in the DC */
  long updatePending;      /* 250 the Window Manager's flag */
  HANDLE picture;          /* 254 -5 while recording, then the finished metafile */
  HDC refDC;               /* 258 attribute DC: dc, or a memory DC for picture ports */
  HBITMAP refBitmap;       /* 262 */
  HBITMAP refOldBitmap;    /* 266 */
  HBRUSH brushSlot;        /* 270 brush selected through the port */
  HPEN penSlot;            /* 274 */
  HFONT fontSlot;          /* 278 */
  short printerShiftX;     /* 282 printer scaling factor as a right shift */
  short printerShiftY;     /* 284 */
  short reserved3;         /* 286 used by picture recording */
  long translateText;      /* 288 text converted from the Mac character set */
  long zeroFrameOnce;      /* 292 next frame on a non-printer port uses a hairline */
  RgnHandle printerClipRgn; /* 296 rectangular clip selected into a printer DC */
  struct QDProcs *grafProcs; /* 300 the host's picture procedures (picture.h), or null;
                              * cleared at initialisation, so set after ML_OpenPort */
#ifndef _WIN64
  long reserved4;          /* 304 */
#endif
} GrafPort;                /* 308 bytes on i686 */
#pragma pack(pop)

typedef GrafPort *GrafPtr;

#pragma pack(push, 1)
typedef struct PenState {
  Point pnLoc;
  Point pnSize;
  short pnMode;
  Pattern pnPat;
} PenState;
#pragma pack(pop)

enum { portKindWindowOrDC = 0, portKindPicture = 1, portKindPrinter = 2 };
enum {
  patCopy = 8, patOr, patXor, patBic, notPatCopy, notPatOr, notPatXor, notPatBic
};
enum {
  blackColor = 33, whiteColor = 30, yellowColor = 69, magentaColor = 137, redColor = 205,
  cyanColor = 273, greenColor = 341, blueColor = 409
};

#ifdef __cplusplus
#include <stddef.h>
#define TSTOOLS_PORT_AT(field, at32, at64) \
  static_assert(offsetof(GrafPort, field) == (sizeof(void *) == 4 ? at32 : at64), #field)
TSTOOLS_PORT_AT(window, 0, 0);
TSTOOLS_PORT_AT(dc, 4, 8);
TSTOOLS_PORT_AT(paletteSlot, 8, 16);
TSTOOLS_PORT_AT(portRect, 12, 24);
TSTOOLS_PORT_AT(visRgn, 20, 32);
TSTOOLS_PORT_AT(clipRgn, 24, 40);
TSTOOLS_PORT_AT(spareRgn, 28, 48);
TSTOOLS_PORT_AT(bkPat, 32, 56);
TSTOOLS_PORT_AT(pnLoc, 40, 64);
TSTOOLS_PORT_AT(pnSize, 44, 68);
TSTOOLS_PORT_AT(pnMode, 48, 72);
TSTOOLS_PORT_AT(pnPat, 50, 74);
TSTOOLS_PORT_AT(txFont, 58, 82);
TSTOOLS_PORT_AT(txFace, 60, 84);
TSTOOLS_PORT_AT(txMode, 61, 85);
TSTOOLS_PORT_AT(txSize, 63, 87);
TSTOOLS_PORT_AT(spExtra, 65, 89);
TSTOOLS_PORT_AT(rgbFgColor, 69, 93);
TSTOOLS_PORT_AT(rgbBkColor, 75, 99);
TSTOOLS_PORT_AT(fgColor, 81, 105);
TSTOOLS_PORT_AT(bkColor, 85, 109);
TSTOOLS_PORT_AT(reserved1, 89, 113);
TSTOOLS_PORT_AT(logFont, 93, 117);
TSTOOLS_PORT_AT(faceNameCopy, 153, 177);
TSTOOLS_PORT_AT(reserved2, 185, 209);
TSTOOLS_PORT_AT(realizedFace, 187, 211);
TSTOOLS_PORT_AT(pictureReserved, 188, 212);
TSTOOLS_PORT_AT(realizedFont, 190, 214);
TSTOOLS_PORT_AT(realizedSize, 192, 216);
TSTOOLS_PORT_AT(realizedCharSet, 194, 218);
TSTOOLS_PORT_AT(printerHighRes, 195, 219);
TSTOOLS_PORT_AT(clipChanged, 199, 223);
TSTOOLS_PORT_AT(clipDepth, 203, 227);
TSTOOLS_PORT_AT(portKind, 207, 231);
TSTOOLS_PORT_AT(hairline, 208, 232);
TSTOOLS_PORT_AT(metaFrame, 210, 234);
TSTOOLS_PORT_AT(textColorRef, 242, 266);
TSTOOLS_PORT_AT(bkColorRef, 246, 270);
TSTOOLS_PORT_AT(updatePending, 250, 274);
TSTOOLS_PORT_AT(picture, 254, 278);
TSTOOLS_PORT_AT(refDC, 258, 286);
TSTOOLS_PORT_AT(refBitmap, 262, 294);
TSTOOLS_PORT_AT(refOldBitmap, 266, 302);
TSTOOLS_PORT_AT(brushSlot, 270, 310);
TSTOOLS_PORT_AT(penSlot, 274, 318);
TSTOOLS_PORT_AT(fontSlot, 278, 326);
TSTOOLS_PORT_AT(printerShiftX, 282, 334);
TSTOOLS_PORT_AT(printerShiftY, 284, 336);
TSTOOLS_PORT_AT(reserved3, 286, 338);
TSTOOLS_PORT_AT(translateText, 288, 340);
TSTOOLS_PORT_AT(zeroFrameOnce, 292, 344);
TSTOOLS_PORT_AT(printerClipRgn, 296, 348);
TSTOOLS_PORT_AT(grafProcs, 300, 356);
static_assert(sizeof(GrafPort) == (sizeof(void *) == 4 ? 308 : 364), "GrafPort size");
static_assert(sizeof(PenState) == 18, "PenState size");
#undef TSTOOLS_PORT_AT
#endif

/* Opens the surface the host filled in, then initialises the drawing state as ML_InitPort.
 * A window port (window set) takes the window's DC and its client rectangle as portRect,
 * and the window finds its port again through the property "thePort". A DC port (dc set)
 * keeps the host's portRect, or takes the device's size when portKind is 2 (printer). A
 * port with neither records a picture into a metafile. Reports nothing: a picture port
 * that cannot be set up only says so on the debugger output. */
TSAPI(void, ML_OpenPort, (GrafPort *port));
/* Resets the drawing state: font 1 at 12 points, plain, text mode 1 (glyphs only); pen at
 * (0, 0), 1 x 1, patCopy, black pattern; white background pattern; black on white;
 * grafProcs null. The origin, clip and surface are left as they are. */
TSAPI(void, ML_InitPort, (GrafPort *port));
/* Pops any clip state still saved, gives the cached pen, brush and font back, deletes the
 * port's regions and releases the window DC that ML_OpenPort obtained. A picture port
 * leaves its finished metafile (an HMETAFILE) in the picture field. */
TSAPI(void, ClosePort, (GrafPort *port));
/* After the window's client area changed: portRect and visRgn become the client rectangle
 * in local coordinates and the GDI clip is rebuilt at once. */
TSAPI(void, UpdateGrafPort, (GrafPort *port));
/* The window's client rectangle in local coordinates (portRect for other ports). */
TSAPI(void, GetPortRect, (GrafPort *port, Rect *r));

/* Makes (h, v) the local coordinates of the surface's top-left corner. portRect and visRgn
 * move with the origin; clipRgn keeps its local coordinates. */
TSAPI(void, ML_SetOrigin, (GrafPort *port, short h, short v));
/* Local coordinates to global ones and back: screen coordinates for a window port, device
 * coordinates for other ports. */
TSAPI(void, ML_LocalToGlobal, (GrafPort *port, Point *pt));
TSAPI(void, ML_GlobalToLocal, (GrafPort *port, Point *pt));

/* The clip region, in local coordinates: ML_SetClip copies rgn into it, ML_ClipRect makes it
 * the rectangle r, ML_GetClip copies it into rgn, which must exist. A null or non-region
 * handle does nothing. Drawing is clipped to clipRgn intersected with visRgn; the DC gets
 * the new clip at the next drawing call. */
TSAPI(void, ML_SetClip, (GrafPort *port, RgnHandle rgn));
TSAPI(void, ML_GetClip, (GrafPort *port, RgnHandle rgn));
TSAPI(void, ML_ClipRect, (GrafPort *port, const Rect *r));
/* Bracket GDI drawing of your own on port->dc: call ResetWinClipRgn first when clipChanged
 * is set (it selects the port's clip into the DC now; a picture port saves the DC state and
 * counts it in clipDepth), and DesetWinClipRgn last when clipDepth is nonzero (it pops one
 * saved state and puts the DC's position back at the pen). */
TSAPI(void, ResetWinClipRgn, (GrafPort *port));
TSAPI(void, DesetWinClipRgn, (GrafPort *port));

/* The pen location (ML_GetPen) or the whole pen: location, size, mode and pattern
 * (ML_GetPenState); ML_SetPenState restores a saved one as the four calls below would. */
TSAPI(void, ML_GetPen, (GrafPort *port, Point *pt));
TSAPI(void, ML_GetPenState, (GrafPort *port, PenState *state));
TSAPI(void, ML_SetPenState, (GrafPort *port, const PenState *state));
/* Pen width h and height v. Frames draw nothing when either is below 1, lines when both are. */
TSAPI(void, ML_PenSize, (GrafPort *port, short h, short v));
/* The transfer mode of lines, frames and pattern fills: patCopy .. notPatBic (8..15) in the
 * Toolbox sense (a set pattern bit is black); any other value leaves the pixels unchanged.
 * Setting the mode the port already has makes no GDI call. */
TSAPI(void, ML_PenMode, (GrafPort *port, short mode));
/* The pen pattern (paint, frames, lines) and the background pattern (erase, and the area
 * ML_ScrollRect exposes). Set bits draw in the foreground colour, clear bits in the
 * background colour; the 8 x 8 cells line up on the screen's grid in window ports and on
 * local (0, 0) in other ports. */
TSAPI(void, ML_PenPat, (GrafPort *port, const Pattern *pat));
TSAPI(void, ML_BackPat, (GrafPort *port, const Pattern *pat));
/* Pen size 1 x 1, mode patCopy, pattern all black; the location stays. */
TSAPI(void, ML_PenNormal, (GrafPort *port));
/* Moves the pen to (h, v), or by (dh, dv), without drawing. */
TSAPI(void, ML_MoveTo, (GrafPort *port, short h, short v));
TSAPI(void, ML_Move, (GrafPort *port, short dh, short dv));
/* An 8 x 8 monochrome bitmap of the pattern (a set pattern bit is a 0 pixel); the caller
 * deletes it. Null when pat is null or GDI is out of bitmaps. */
TSAPI(HBITMAP, PatternToBitmap, (const Pattern *pat));
/* Hexadecimal digits (two per byte, either case; other characters count as 0) to bytes; an
 * odd last digit fills the high half of a last byte. dst must hold (length + 1) / 2 bytes. */
TSAPI(void, StuffHex, (void *dst, ConstStr255Param hex));
/* SetStdProcs and SetStdCProcs clear the first three words of a procedure record; the
 * library never calls through one. */
TSAPI(void, SetStdProcs, (void *procs));
TSAPI(void, SetStdCProcs, (void *procs));

/* Foreground and background colours, used by patterns, solid pens and text. ML_ForeColor
 * and ML_BackColor take a classic constant (blackColor .. blueColor above, full intensity
 * 0xFF00; any other value is black) and record it in fgColor or bkColor; the RGB forms leave
 * those fields alone. Only the high byte of each component reaches GDI, as a
 * palette-relative colour; the DC is touched only when that colour changes. */
TSAPI(void, ML_ForeColor, (GrafPort *port, long colour));
TSAPI(void, ML_BackColor, (GrafPort *port, long colour));
TSAPI(void, ML_RGBForeColor, (GrafPort *port, const RGBColor *colour));
TSAPI(void, ML_RGBBackColor, (GrafPort *port, const RGBColor *colour));
/* Copy out rgbFgColor or rgbBkColor, the full 16-bit components last set. */
TSAPI(void, ML_GetForeColor, (GrafPort *port, RGBColor *colour));
TSAPI(void, ML_GetBackColor, (GrafPort *port, RGBColor *colour));

/* Text settings (text.h): font number (font.h), style bits (the low byte of face), text
 * mode, and size in points (0 stores 12). Only stored: the font is chosen when text is next
 * drawn or measured. */
TSAPI(void, ML_TextFont, (GrafPort *port, short font));
TSAPI(void, ML_TextFace, (GrafPort *port, short face));
TSAPI(void, ML_TextMode, (GrafPort *port, short mode));
TSAPI(void, ML_TextSize, (GrafPort *port, short size));

/* Hides the cursor while the user types, when it lies over window and is not hidden already;
 * ML_FixCursor shows it again. One level only: the calls do not nest. */
TSAPI(void, ML_ObscureCursor, (HWND window));
TSAPI(void, ML_FixCursor, (void));
/* For the host's WM_SETCURSOR: shows a hidden cursor, then, while frameWindow (or a window
 * inside it) is active and not minimised, sets cursor over contentWindow (and over the
 * active window when that is not frameWindow) and the arrow elsewhere over frameWindow.
 * While another top-level window is active, sets the arrow over the parts of frameWindow
 * it does not cover. */
TSAPI(void, M_SetCursor, (HCURSOR cursor, HWND frameWindow, HWND contentWindow));

/* The process-wide pen, brush and font caches shared by every port. Call QDrawCacheInit
 * before opening ports (a second call keeps the caches) and QDrawCacheClose after closing
 * them; objects still selected by open ports at close are deleted when those ports let them
 * go. Without the caches, drawing uses whatever pen, brush and font the DC holds. */
TSAPI(void, QDrawCacheInit, (void));
TSAPI(void, QDrawCacheClose, (void));
/* Kept for source compatibility; the flag has no effect. */
TSAPI(void, ML_LockGDIHack, (Boolean flag));

#endif
