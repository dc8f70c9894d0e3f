/* Scroll-bar controls: a control is the window handle of a scroll-bar window (class
 * "SCROLLBAR"), driven with the Mac notions of minimum, maximum, value and page.
 *
 * On Windows 95, NT 4 and later the Mac maximum M is kept as the bar's range maximum
 * page + M - 1, so that the thumb, one page long, reaches M (a page of 0 counts as 1).
 * Earlier Windows has no page: minimum, maximum and value map directly.
 * The arrows (before Windows 4.0 the whole control) are enabled exactly when the maximum
 * exceeds the minimum. Every call does nothing (getters return 0) for a 0 control. */
#ifndef TSTOOLS_CONTROLS_H
#define TSTOOLS_CONTROLS_H

#include <tstools/types.h>

TSAPI(void, HideControl, (HWND control));

/* Shows the control and paints it at once. */
TSAPI(void, ShowControl, (HWND control));

/* Moves the control to (h, v), given in the logical units of its parent's DC (so a port
 * origin set on the parent applies); keeps its size and z-order. */
TSAPI(void, MoveControl, (HWND control, long h, long v));

/* Resizes the control to width x height logical units of its parent's DC; keeps its place
 * and z-order. */
TSAPI(void, SizeControl, (HWND control, long width, long height));

/* Sets the value, which the bar clamps into minimum..maximum, and redraws. */
TSAPI(void, SetCtlValue, (HWND control, long value));
TSAPI(long, GetCtlValue, (HWND control));

/* Sets the minimum without redrawing the bar; the arrows follow the new range. */
TSAPI(void, SetCtlMin, (HWND control, long minimum));
TSAPI(long, GetCtlMin, (HWND control));

/* Sets the maximum and redraws. */
TSAPI(void, SetCtlMax, (HWND control, long maximum));
TSAPI(long, GetCtlMax, (HWND control));

/* Sets the page (the thumb's length, and how far a click in the shaft scrolls), keeping the
 * maximum and the value; without redrawing the bar. Does nothing before Windows 4.0. */
TSAPI(void, SetScrollPage, (HWND control, long page));

#endif
