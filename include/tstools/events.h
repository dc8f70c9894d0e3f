/* Mouse and keyboard state for hosts that track the mouse themselves. */
#ifndef TSTOOLS_EVENTS_H
#define TSTOOLS_EVENTS_H

#include <tstools/grafport.h>

/* The asynchronous key state of the primary mouse button (the right one when the user has
 * swapped the buttons): negative while the button is down. */
TSAPI(short, ML_GetLeftMouseState, (void));

/* The same for the secondary button. */
TSAPI(short, ML_GetRightMouseState, (void));

/* While the primary button is down: true, unless a button-up (or later button) message,
 * WM_LBUTTONUP to WM_MBUTTONDBLCLK, is already queued for window (0: any of the thread's
 * windows); that message is removed. The keyboard messages queued for window and the
 * mouse-move messages of every window are discarded meanwhile, so keys typed while tracking
 * do not replay afterwards. False when the button is up. */
TSAPI(Boolean, ML_WaitMouseUp, (HWND window));

/* As ML_WaitMouseUp for any window, where only a queued WM_LBUTTONUP ends the press; the
 * argument is ignored. */
TSAPI(Boolean, ML_StillDown, (long ignored));

/* The cursor position in port's local coordinates (screen coordinates when port is 0). */
TSAPI(void, ML_GetMouse, (Point *pt, GrafPort *port));

/* Fills exactly five bytes, each 1 or 0: Control down, Shift down, Caps Lock on, Alt down,
 * and 0. Bytes past the fifth are not written. */
TSAPI(void, GetKeys, (unsigned char *keys));

#endif
