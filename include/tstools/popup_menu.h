/* Popup menus in windows of the library's own classes, and the owner-drawn items (font
 * samples, bitmaps, check marks) of menus and of the font menu dialog's lists. */
#ifndef TSTOOLS_POPUP_MENU_H
#define TSTOOLS_POPUP_MENU_H

#include <stddef.h> /* menus.h checks its record offsets with offsetof */
#include <tstools/menus.h>

/* Registers the global classes "TSAPP3POPUP" and "TSAPP3POPUPITEM" with the given module.
 * Called by the library at start-up; returns 0, or nonzero when a class cannot be made. */
TSAPI(short, InitPopupMenus, (HINSTANCE instance));

/* Popup options of ML_PopUpMenuSelect. */
enum {
  kPopupCutAtTab = 1,         /* item texts end at their first TAB */
  kPopupRemoveAmpersands = 2, /* single "&" removed */
  kPopupMenuFont = 4,         /* the Windows menu font and metrics */
  kPopupShowHidden = 8        /* hidden items are shown */
};

/* Shows menu as a popup at (left, top) in screen coordinates, owned by owner, and tracks the
 * keyboard and the mouse (button 2 the left button, anything else the right) until the user
 * chooses an enabled item or cancels. Owner-drawn items are measured and drawn by
 * WM_MEASUREITEM and WM_DRAWITEM (control type 0x8001) sent to measuring, or to owner when it
 * is 0. Returns the chosen menu's ID in the high word and its item number in the low word (for
 * an owner-drawn item the low byte of its command identifier, 255 giving 0); 0 when nothing
 * was chosen, for a null or empty menu, and when called while a popup is already tracking.
 * A WM_QUIT met while tracking ends it with 0 and is posted again. callerValue is kept with
 * the popup for the host. */
TSAPI(long, ML_PopUpMenuSelect, (MenuHandle menu, short top, short left, HWND owner, HWND measuring,
                                 long callerValue, short button, short options));

/* Makes item owner-drawn (measured and drawn by the owner window) unless it is a separator;
 * with refresh, its Windows item is rebuilt at once. */
TSAPI(void, SetCustomPopup, (MenuHandle menu, short item, Boolean refresh));
/* Popups of this menu lay their items out in rows instead of columns. */
TSAPI(void, SetMenuRowMajor, (MenuHandle menu));

/* Answers WM_MEASUREITEM for a font item (itemData is the item's text handle): the face's
 * sample size, or the face name's in the system font. Returns 1, 0 for a null record. */
TSAPI(long, MenuHandleMeasureItem, (MEASUREITEMSTRUCT *record));
/* Answers WM_DRAWITEM for a font item of a menu (control type 1) or of a list box. */
TSAPI(void, MenuHandleDrawItem, (const DRAWITEMSTRUCT *record));
/* Size of bitmap item `item` (1..count) of menu; items outside the menu give 0 and 0. */
TSAPI(void, MeasureItemBitmap, (MenuHandle menu, short item, long *height, long *width));
/* Draws the Windows check mark at the rectangle's left edge, centred vertically. */
TSAPI(void, DrawMenuCheckMark, (HDC dc, const RECT *itemRect, Boolean selected));
/* Answers WM_DRAWITEM for a bitmap item of menu (the item number is the identifier's low
 * byte); items outside the menu are left alone. */
TSAPI(void, DrawItemBitmap, (const DRAWITEMSTRUCT *record, MenuHandle menu));
/* The check-mark size menus leave room for, and the left margin of menu item texts. */
TSAPI(short, GetCheckWidth, (void));
TSAPI(short, GetCheckHeight, (void));
TSAPI(short, GetMenuLeftMargin, (void));

#endif
