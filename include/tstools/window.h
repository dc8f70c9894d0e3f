/* Window Manager: Mac-style document windows on the host's MDI children.
 *
 * A window record is a GrafPort followed by the window fields; a window pointer is its
 * address. The host's document window class creates the port: while the window is being
 * created (WM_CREATE), its procedure takes the record from the creation value — the lParam of
 * the MDICREATESTRUCT that lpCreateParams points to, on both creation paths — stores the new
 * window handle in port.window and calls ML_OpenPort(&record->port). From then on the window
 * finds its record through the "thePort" property.
 *
 * Update regions follow the Mac: ML_InvalRect and friends add to the pending region (kept in
 * port.spareRgn, screen coordinates) and pass it to Windows at once; the host answers WM_PAINT
 * with BeginUpdate, its drawing and EndUpdate instead of BeginPaint and EndPaint. */
#ifndef TSTOOLS_WINDOW_H
#define TSTOOLS_WINDOW_H

#include <tstools/grafport.h>

#pragma pack(push, 1)
typedef struct WindowRecord {
  GrafPort port;           /*   0 */
  short windowKind;        /* 308 8 for windows made by ML_NewWindow */
  Boolean visible;         /* 310 1 while shown */
  Boolean reserved;        /* 311 */
  long refCon;             /* 312 the host's reference value */
  Point contentOrigin;     /* 316 screen position of local (0, 0) when the pending region was
                            *     last placed (h is x, v is y) */
} WindowRecord;            /* 320 bytes on i686 */
#pragma pack(pop)

typedef WindowRecord *WindowPtr;

#ifdef __cplusplus
static_assert(offsetof(WindowRecord, windowKind) == sizeof(GrafPort), "window fields follow the port");
static_assert(sizeof(WindowRecord) == sizeof(GrafPort) + 12, "window fields");
static_assert(sizeof(void *) != 4 || sizeof(WindowRecord) == 320, "WindowRecord size on i686");
#endif

/* A window pointer argument of -1: in front of all others (ML_NewWindow's behind). */
#define kWindowInFront ((WindowPtr)-1)

/* Installs the visible-region hook BeginUpdate and ML_GetVisRgn use (it clips a region to the
 * window's client rectangle). Call once before the first update; without it regions pass
 * unclipped. */
TSAPI(void, ML_InitWindows, (void));

/* Creates a document window as an MDI child of mdiClient, of the host's class className in
 * module, and returns its record: storage when given (at least sizeof(WindowRecord) bytes,
 * initialised here), else a new Memory Manager pointer. The bounds are the frame's in
 * mdiClient's client coordinates. An invisible window is made off screen, sent to the bottom
 * of the order, then placed at its bounds. A visible one with behind kWindowInFront becomes
 * the active child; behind 0 or a window pointer leaves the order Windows chose. Without
 * closeBox the system menu loses Close and its separator; kind 2 has a thin frame. The title
 * is Mac text. On Windows before 4.0 the child is made through WM_MDICREATE.
 * Returns 0, leaving no window, pointer or port behind, when the record cannot be allocated,
 * the class is unknown, or the window procedure refused the window or opened no port. */
TSAPI(WindowPtr, ML_NewWindow,
      (HINSTANCE module, const char *className, void *storage, short left, short top,
       short right, short bottom, HWND mdiClient, ConstStr255Param title, Boolean visible,
       Boolean closeBox, short kind, WindowPtr behind, long refCon));
/* Close the window's port (ClosePort); DisposeWindow also frees a record ML_NewWindow
 * allocated (a host's storage stays the host's). Neither destroys the Windows window. */
TSAPI(void, M_CloseWindow, (WindowPtr window));
TSAPI(void, DisposeWindow, (WindowPtr window));

/* The window's title as Mac text (at most 255 characters; longer titles are cut), and
 * setting it from Mac text. */
TSAPI(void, GetWTitle, (WindowPtr window, Str255 title));
TSAPI(void, SetWTitle, (WindowPtr window, ConstStr255Param title));

/* Makes the window the MDI client's active child. */
TSAPI(void, SelectWindow, (WindowPtr window));
/* Show a hidden window without moving, sizing, ordering or activating it; HideWindow hides it
 * (Windows may activate another child); ShowHide(false) hides it without activating another.
 * Each keeps the record's visible field in step. */
TSAPI(void, M_ShowWindow, (WindowPtr window));
TSAPI(void, HideWindow, (WindowPtr window));
TSAPI(void, ShowHide, (WindowPtr window, Boolean show));
/* Draws the caption active (true) or inactive, without changing which child is active. */
TSAPI(void, HiliteWindow, (WindowPtr window, Boolean active));
/* Moves the window behind behindWindow, or to the bottom when it is 0. */
TSAPI(void, SendBehind, (WindowPtr window, WindowPtr behindWindow));

/* The front visible, not minimised window of mdiClient with a record, or 0. */
TSAPI(WindowPtr, ML_FrontWindow, (HWND mdiClient));
/* The front window with a record, hidden ones included; a minimised window is returned when
 * acceptMinimised is set and otherwise ends the search with 0. */
TSAPI(WindowPtr, ML_FrontWindowFocus, (HWND mdiClient, Boolean acceptMinimised));
/* The first window with a record in mdiClient's order, hidden and minimised ones included. */
TSAPI(WindowPtr, ML_LMGetWindowList, (HWND mdiClient));
/* The next window with a record after window in z-order, or 0. Windows with an owner are
 * skipped by these walks. */
TSAPI(WindowPtr, GetNextWindowPtr, (WindowPtr window));
/* The record of a window handle of this process, or 0. */
TSAPI(WindowPtr, GetWindowPtr, (HWND window));
/* *found receives the record of the window under the screen point pt (over a control, the
 * window it belongs to), or 0 when there is none or it is ignoreWindow. Returns 0 (no part
 * codes). */
TSAPI(short, ML_FindWindow, (HWND ignoreWindow, Point pt, WindowPtr *found));

/* Moves the window so that its client area's top-left is at (h, v) in the MDI client, without
 * resizing; with front set it also becomes the active child unless it is activeWindow. */
TSAPI(void, ML_MoveWindow, (HWND activeWindow, WindowPtr window, short h, short v, Boolean front));
/* Makes the client area width x height, keeping its position. update is not used: Windows
 * repaints what a resize uncovers. */
TSAPI(void, SizeWindow, (WindowPtr window, short width, short height, Boolean update));
/* Maximises the window, whatever the part code. */
TSAPI(void, ZoomWindow, (WindowPtr window, short partCode, Boolean front));

/* The host's reference value; GetWRefCon(0) is 0. */
TSAPI(void, SetWRefCon, (WindowPtr window, long refCon));
TSAPI(long, GetWRefCon, (WindowPtr window));

/* The pending update region, in local coordinates of the window's port. Calls on a window
 * whose visible field is 0, and empty or inverted rectangles, do nothing. Invalidation sets
 * port.updatePending and reaches Windows at once (without erasing); validation removes the
 * area from both. */
TSAPI(void, ML_InvalRect, (WindowPtr window, const Rect *r));
TSAPI(void, ML_ValidRect, (WindowPtr window, const Rect *r));
TSAPI(void, ML_InvalRgn, (WindowPtr window, RgnHandle rgn));
TSAPI(void, ML_ValidRgn, (WindowPtr window, RgnHandle rgn));
/* BeginUpdate makes the Windows update region the port's visible region, clears
 * port.updatePending when Windows had more or less to update than was invalidated here, and
 * validates the window; EndUpdate gives the port its whole client area back. */
TSAPI(void, BeginUpdate, (WindowPtr window));
TSAPI(void, EndUpdate, (WindowPtr window));
/* After the window moved: keeps the pending region on the same part of the content. */
TSAPI(void, ML_MoveUpdateRgn, (WindowPtr window));
/* A new region (the caller deletes it): the client rectangle in client coordinates, clipped
 * by the visible-region hook; empty when window is not a window. Null when GDI is out of
 * regions. */
TSAPI(RgnHandle, ML_GetVisRgn, (WindowPtr window));

#endif
