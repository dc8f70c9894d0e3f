/* Three-dimensional edges, frame controls (push buttons, check boxes, radio buttons, combo-box
 * arrows), images and text in their normal or disabled look, drawn in a port.
 *
 * WinUiInit picks the drawer once: on Windows 95, NT 4 and later the system's own edge,
 * frame-control and state-drawing calls do the work; on older systems the library draws the
 * same pictures itself, with the check-box and radio-button images of bitmap 200 of the
 * resource instance (five images 14 pixels wide for check boxes, then five for radio buttons;
 * magenta is transparent). Before WinUiInit, or after WinUiClose, every drawing call draws
 * nothing and returns 0. Call WinUiSysColorChanged on WM_SYSCOLORCHANGE. */
#ifndef TSTOOLS_THEMED_DRAWING_H
#define TSTOOLS_THEMED_DRAWING_H

#include <tstools/grafport.h>
#include <tstools/types.h>

/* An image list (HIMAGELIST of the common controls). */
struct _IMAGELIST;

/* Captures the system colours and creates the drawer; false when it cannot be created.
 * A second call replaces the first drawer. */
TSAPI(Boolean, WinUiInit, (void));
/* Destroys the drawer and everything it holds; harmless when there is none. */
TSAPI(void, WinUiClose, (void));
/* Re-reads the button colours and the monochrome look (high contrast, or a black button face). */
TSAPI(void, WinUiSysColorChanged, (void));

/* Bitmap resource id of the text engine's resource module (the one given to QTEInit), its
 * black, dark grey, light grey and white colour-table entries replaced by the current button
 * text, shadow, face and highlight colours, as a screen-compatible bitmap the caller deletes.
 * 0 when the resource is missing or not a colour-table bitmap, or memory runs out. */
TSAPI(HBITMAP, XLoadSysColorBitmap, (long id));

/* The drawing calls take the port's coordinates, honour its clip, and return the drawer's
 * result (nonzero when something was drawn). edge and flags are DrawEdge's (EDGE_RAISED,
 * BF_RECT, ...); type and state DrawFrameControl's (DFC_BUTTON, DFCS_BUTTONCHECK |
 * DFCS_CHECKED, ...). */
TSAPI(long, WinUiDrawEdge, (GrafPort *port, const Rect *bounds, unsigned long edge, unsigned long flags));
TSAPI(long, WinUiDrawFrameControl, (GrafPort *port, const Rect *bounds, unsigned long type, unsigned long state));
/* Image imageIndex of imageList at the rectangle's top-left corner; flags are DrawState's
 * DSS_ flags (DSS_DISABLED draws the embossed look). module and bitmapId name the bitmap
 * resource the image list was made from: the library's own drawer builds the disabled look
 * from it. */
TSAPI(long, WinUiDrawImageState, (GrafPort *port, struct _IMAGELIST *imageList, HINSTANCE module, long bitmapId,
                                  long imageIndex, const Rect *bounds, unsigned long flags));
/* Text (C string, "&" marks a mnemonic) in the port's font, in the button text colour, or
 * engraved with DSS_DISABLED. */
TSAPI(long, WinUiDrawTextState, (GrafPort *port, const char *text, const Rect *bounds, unsigned long flags));

#endif
