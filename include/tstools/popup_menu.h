/* Popup menus in windows of the library's own classes. */
#ifndef TSTOOLS_POPUP_MENU_H
#define TSTOOLS_POPUP_MENU_H

#include <tstools/types.h>

/* Registers the global classes "TSAPP3POPUP" and "TSAPP3POPUPITEM" with the given module.
 * Called by the library at start-up; returns 0, or nonzero when a class cannot be made. */
TSAPI(short, InitPopupMenus, (HINSTANCE instance));

#endif
