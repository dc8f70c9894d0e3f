/* Drag Manager: Mac drags on OLE drag and drop.
 *
 * All OLE work is done by the bridge module TSOLE.DLL, which the host loads (LoadLibrary)
 * before DragInit; the library binds its entry points there and keeps its own reference to
 * the module. Until DragInit has succeeded every other call below returns paramErr (-50) and
 * does nothing, so a host without the bridge runs unchanged.
 *
 * A drag carries one item (reference number 1). Its flavours travel as the clipboard formats
 * of the scrap's type map (scrap.h) in the clipboard layouts: "TEXT" and the "Mac-" types
 * with the 32-bit length prefix, "PICT" as "Mac-PICT" with its size trailer; the readers give
 * the data back without them. Added data is copied; a flavour added without data is a promise
 * the drag's send procedure keeps when a target asks for it.
 *
 * Windows accept drags through handlers installed per window record: a tracking handler is
 * called with dragTrackingEnterWindow, dragTrackingInWindow and dragTrackingLeaveWindow (the
 * last one also after a drop), a receive handler on the drop. During TrackDrag the drag seen
 * by the process's own windows is the sender's record; a drag from another program is seen
 * through a record that wraps its data object for the time it is over the window.
 *
 * Hiliting, zooming, auto-scroll and custom drawing are not performed: those calls return at
 * once. */
#ifndef TSTOOLS_DRAG_H
#define TSTOOLS_DRAG_H

#include <tstools/window.h>

enum {
  badDragFlavorErr = -1852,    /* the drag has no such flavour */
  duplicateHandlerErr = -1855  /* the window has a handler already, or not this one */
};

/* Tracking-handler messages. */
enum {
  dragTrackingEnterWindow = 2,
  dragTrackingInWindow = 3,
  dragTrackingLeaveWindow = 4
};

/* Drag attributes. */
enum {
  kDragHasLeftSenderWindow = 1,
  kDragInsideSenderApplication = 2,
  kDragInsideSenderWindow = 4
};

/* Modifier bits of GetDragModifiers: Ctrl is the command key, Alt the option key. */
enum {
  cmdKey = 0x0100,
  shiftKey = 0x0200,
  optionKey = 0x0800
};

typedef struct DragRecord *DragReference; /* the library's record, opaque to the host */
typedef unsigned long ItemReference;      /* always 1 */
typedef OSType FlavorType;
typedef unsigned long FlavorFlags;        /* not examined; read back as 0 */
typedef unsigned long DragAttributes;

/* Called on the drag's window events. dropEffect points to the OLE DROPEFFECT the bridge
 * gives OLE; a handler may lower it. A result other than 0 tells OLE the window refuses. */
typedef OSErr(__stdcall *DragTrackingHandler)(short message, WindowPtr window, void *refCon,
                                              DragReference drag, DWORD *dropEffect);
/* Called on a drop; a result other than 0 makes the drop report no effect. */
typedef OSErr(__stdcall *DragReceiveHandler)(WindowPtr window, void *refCon, DragReference drag,
                                             DWORD *dropEffect);
/* Keeps a promise: adds the flavour's data (SetDragItemFlavorData) and returns 0. item is 1. */
typedef OSErr(__stdcall *DragSendDataProc)(FlavorType type, void *refCon, ItemReference item,
                                           DragReference drag);

/* Binds the bridge module if the host has loaded it: true when drags can run. Once it has
 * succeeded it does nothing more. */
TSAPI(Boolean, DragInit, (void));

/* A new drag with an empty item into *drag: 0, -108, -50. */
TSAPI(OSErr, NewDrag, (DragReference *drag));
/* Frees the drag and what it holds; NULL is accepted. 0, or -50 before DragInit. */
TSAPI(OSErr, DisposeDrag, (DragReference drag));
/* Adds a flavour (the data is copied; NULL data promises it). The OLE types "EMBO", "EMBS",
 * "LNKS" and "OFN " hand their data to the bridge as OLE data and need it. 0, -108, -50. */
TSAPI(OSErr, AddDragItemFlavor, (DragReference drag, ItemReference item, FlavorType type,
                                 const void *data, Size size, FlavorFlags flags));
/* Gives a promised (or any) flavour its data, usually from the send procedure. -50 for the
 * OLE types. The offset is not used: the data is the whole flavour. */
TSAPI(OSErr, SetDragItemFlavorData, (DragReference drag, ItemReference item, FlavorType type,
                                     const void *data, Size size, unsigned long offset));
TSAPI(OSErr, SetDragSendProc, (DragReference drag, DragSendDataProc proc, void *refCon));

/* Runs the drag from origin (screen coordinates) until the button is released (0) or Esc is
 * pressed (-128, userCanceledErr). appWindow is the host's frame window, senderWindow the
 * window record the drag leaves; both give GetDragAttributes its answer. *dropped (when
 * given) is set, and cleared when the drag ended without a drop. -50 for a drag that is not
 * the process's own or a failure of OLE. */
TSAPI(OSErr, TrackDrag, (DragReference drag, HWND appWindow, WindowPtr senderWindow, Point origin,
                         long reserved, Boolean *dropped));

/* One item, reference number 1. */
TSAPI(OSErr, CountDragItems, (DragReference drag, unsigned short *count));
TSAPI(OSErr, GetDragItemReferenceNumber, (DragReference drag, unsigned short index,
                                          ItemReference *item));
/* Flags 0; 0 when the drag has the flavour, else -1852. */
TSAPI(OSErr, GetFlavorFlags, (DragReference drag, ItemReference item, FlavorType type,
                              FlavorFlags *flags));
/* The flavour's data length (without the layouts' prefix or trailer); -1 for the OLE types.
 * -1852 when the drag lacks it. The data fetched is kept for a GetFlavorData of the type. */
TSAPI(OSErr, GetFlavorDataSize, (DragReference drag, ItemReference item, FlavorType type,
                                 Size *size));
/* Copies the flavour's bytes from offset, at most *size of them, and lowers *size to the
 * count copied. -1852 when the drag lacks it. */
TSAPI(OSErr, GetFlavorData, (DragReference drag, ItemReference item, FlavorType type,
                             void *buffer, Size *size, unsigned long offset));

/* The item's bounds moved by the cursor's travel from the drag's origin (screen
 * coordinates). A drag from another program has none: an empty rectangle at the cursor and
 * -50. */
TSAPI(OSErr, GetDragItemBounds, (DragReference drag, ItemReference item, Rect *bounds));
/* -50 for a drag from another program. */
TSAPI(OSErr, SetDragItemBounds, (DragReference drag, ItemReference item, const Rect *bounds));
TSAPI(OSErr, GetDragAttributes, (DragReference drag, DragAttributes *attributes));
/* Both the cursor position in screen coordinates. */
TSAPI(OSErr, GetDragMouse, (DragReference drag, Point *mouse, Point *pinnedMouse));
/* -50 for a drag from another program. */
TSAPI(OSErr, GetDragOrigin, (DragReference drag, Point *origin));
/* Each non-NULL argument receives the modifiers seen at the last drag event. */
TSAPI(OSErr, GetDragModifiers, (DragReference drag, short *modifiers, short *mouseDownModifiers,
                                short *mouseUpModifiers));
/* The bridge's data object (an IDataObject for the bridge's own objects); -50 if none. */
TSAPI(OSErr, GetDragIDataObject, (DragReference drag, void **dataObject));

/* Makes the window a drop target served by handler: 0; -1855 when it has one; -108; -50. */
TSAPI(OSErr, InstallTrackingHandler, (DragTrackingHandler handler, WindowPtr window, void *refCon));
/* -1855 unless the window's tracking handler is handler. */
TSAPI(OSErr, RemoveTrackingHandler, (DragTrackingHandler handler, WindowPtr window));
TSAPI(OSErr, InstallReceiveHandler, (DragReceiveHandler handler, WindowPtr window, void *refCon));
/* -1855 when the window has none. */
TSAPI(OSErr, RemoveReceiveHandler, (DragReceiveHandler handler, WindowPtr window));

/* Nothing is drawn: 0. */
TSAPI(OSErr, ShowDragHilite, (DragReference drag, RgnHandle region, Boolean inside));
TSAPI(OSErr, HideDragHilite, (DragReference drag));
/* True: every press may start a drag. */
TSAPI(Boolean, WaitMouseMoved, (Point initialMouse));

/* Not supported: -50. */
TSAPI(OSErr, SetDragInputProc, (DragReference drag, void *proc, void *refCon));
TSAPI(OSErr, SetDragMouse, (DragReference drag, Point mouse));
TSAPI(OSErr, GetFlavorType, (DragReference drag, ItemReference item, unsigned short index,
                             FlavorType *type));
TSAPI(OSErr, DragPostScroll, (DragReference drag));
TSAPI(OSErr, DragPreScroll, (DragReference drag, short dH, short dV));
TSAPI(OSErr, UpdateDragHilite, (DragReference drag, RgnHandle region));
TSAPI(OSErr, SetDragDrawingProc, (DragReference drag, void *proc, void *refCon));
TSAPI(OSErr, CountDragItemFlavors, (DragReference drag, ItemReference item, unsigned short *count));
TSAPI(OSErr, ZoomRects, (const Rect *from, const Rect *to, short steps, short acceleration));
TSAPI(OSErr, ZoomRegion, (RgnHandle region, Point distance, short steps, short acceleration));

#endif
