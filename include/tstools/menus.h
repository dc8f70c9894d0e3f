/* Menu Manager: Mac menus kept in relocatable memory and mirrored into Windows menus.
 *
 * Every menu owns a Windows popup menu; the menus of the menu bar are drop-downs of the frame
 * window's Windows menu bar. Item n of menu ID m sends WM_COMMAND with identifier
 * (m << 8) | n (n alone with install option 16); in a font menu 0x8000 | (m << 12) | n, and
 * (m << 12) | 0xFFF for its extra entry that opens the font menu dialog. Items are numbered
 * from 1; item 0 stands for the whole menu. A MenuHandle of 0 makes every call do nothing.
 *
 * Item texts are kept in the Mac encoding and converted to Windows whenever a Windows item is
 * built; titles and shortcut texts are held as global atoms in the Windows encoding. */
#ifndef TSTOOLS_MENUS_H
#define TSTOOLS_MENUS_H

#include <tstools/types.h>

#pragma pack(push, 1)
/* The block of a MenuHandle; hosts may read it. Offsets are the i686 ones. */
typedef struct MenuInfo {
  short menuID;         /*  0 */
  unsigned long enableFlags; /*  2 bit 0 the menu, bit n (1-31) item n */
  short itemCount;      /*  6 */
  unsigned short titleAtom; /*  8 global atom of the title, Windows encoding */
  HMENU winMenu;        /* 10 the Windows popup menu this menu owns */
  struct MenuInfo **parentMenu; /* 14 menu whose item leads here (hierarchical), else 0 */
  unsigned short menuFlags; /* 18 kMenuFlag... */
  Handle itemTable;     /* 20 the item table holding this menu's items */
  Handle menuBar;       /* 24 the menu bar this menu belongs to */
  long defaultItem;     /* 28 zero-based position of the default item, -1 none */
  unsigned short itemSlots[1]; /* 32 item table slot of each item, item 1 first */
} MenuInfo;

/* One slot of an item table. Slot 0 is the header (capacity, first free slot, in the first
 * two 16-bit words); a free slot keeps the next free slot's number in textHandle. */
typedef struct MenuItemSlot {
  unsigned short itemFlags; /*  0 kItemFlag... */
  HLOCAL textHandle;        /*  2 item text, NUL-terminated, Mac encoding */
  unsigned short shortcutAtom; /*  6 global atom of the shortcut text, 0 none */
  HBITMAP itemBitmap;       /*  8 bitmap of a bitmap item */
  unsigned char itemMark;   /* 12 mark; the submenu ID of a hierarchical item */
} MenuItemSlot;             /* 13 bytes on i686 */

typedef struct MenuBarHeader {
  short count;              /*  0 menus in the bar */
  unsigned short topLevelCount; /*  2 menus shown in the Windows menu bar */
  unsigned short showShortcuts; /*  4 nonzero: shortcut texts follow item texts */
  long ownerValue;          /*  6 the value given to ML_InitMenus */
  HWND frameWindow;         /* 10 the window whose menu bar shows the menus */
} MenuBarHeader;            /* 14 bytes on i686; entries 1 to count follow */

typedef struct MenuBarEntry {
  short menuID;
  struct MenuInfo **menu;
} MenuBarEntry;             /* 6 bytes on i686 */
#pragma pack(pop)

typedef MenuInfo *MenuPtr;
typedef MenuInfo **MenuHandle;

#ifdef __cplusplus
static_assert(sizeof(void *) != 4 || (offsetof(MenuInfo, itemSlots) == 32 &&
                                      offsetof(MenuInfo, defaultItem) == 28),
              "MenuInfo layout on i686");
static_assert(sizeof(void *) != 4 || sizeof(MenuItemSlot) == 13, "MenuItemSlot on i686");
static_assert(sizeof(void *) != 4 || (sizeof(MenuBarHeader) == 14 && sizeof(MenuBarEntry) == 6),
              "menu bar layout on i686");
#endif

enum {
  kMenuFlagSamples = 0x0004,      /* font menu draws its faces as samples */
  kMenuFlagFontMenu = 0x0008,     /* filled by InsertResMenu with 'FONT' */
  kMenuFlagRowMajor = 0x0100,     /* popup items run in rows (SetMenuRowMajor) */
  kMenuFlagHierarchical = 0x0200, /* reached through an item, not in the Windows menu bar */
  kMenuFlagDisabled = 0x1000,     /* whole menu disabled */
  kMenuFlagInstalled = 0x8000     /* items are in the Windows menu */
};

enum {
  kItemFlagAutoBreak = 0x0001,    /* column break from ML_CalcMenuSize */
  kItemFlagFont = 0x0008,
  kItemFlagHidden = 0x0010,       /* left out of Windows menus unless install option 8 */
  kItemFlagPlainFont = 0x0020,    /* font item drawn as text, no sample */
  kItemFlagOwnerDraw = 0x0080,    /* measured by WM_MEASUREITEM to the frame window */
  kItemFlagHierarchical = 0x0200, /* itemMark is the submenu ID */
  kItemFlagChecked = 0x0400,
  kItemFlagSeparator = 0x0800,
  kItemFlagDisabled = 0x1000,
  kItemFlagBitmap = 0x2000,
  kItemFlagBreak = 0x4000         /* column break asked for by the host */
};

/* Install options of the calls that build Windows items. */
enum {
  kInstallCutAtTab = 1,
  kInstallRemoveAmpersands = 2, /* "&&" stays */
  kInstallHidden = 8,
  kInstallBareItemNumber = 16,
  kInstallDoubleAmpersands = 128
};

#define kMacCheckMark 195          /* mark character of a checked item */
#define kHierarchicalCommand 0x1B  /* command character that attaches a submenu */
#define kFontResourceType 0x544E4F46UL /* 'FONT' as AddResMenu and InsertResMenu take it */

/* Callbacks of BinarySearch. compare gives below 0 when key sorts before item, 0 on a match. */
typedef short(__stdcall *BinarySearchCompareProc)(void *container, void *key, void *item);
typedef long(__stdcall *BinarySearchSizeProc)(void *container);
typedef void *(__stdcall *BinarySearchGetItemProc)(void *container, long index);

/* ---- Start-up and the menu bar ------------------------------------------- */

/* Creates the menu bar and the shared item table for frameWindow and brings the font sample
 * cache up to date. Returns noErr, memFullErr (nothing created) or paramErr for a null out
 * argument. */
TSAPI(OSErr, ML_InitMenus, (long ownerValue, Handle *menuBar, Handle *itemTable,
                            short showShortcuts, HWND frameWindow));
/* Disposes the bar and the table and sets both to 0. */
TSAPI(void, ML_MenuShutdown, (Handle *menuBar, Handle *itemTable));

/* ---- Menus ----------------------------------------------------------------- */

/* An empty menu with its own Windows popup menu, or 0. */
TSAPI(MenuHandle, ML_NewMenu, (short menuID, ConstStr255Param title, Handle itemTable,
                               Handle menuBar));
/* A menu from the host's "MAC_MENU" and "MENU_STR_" resources of that ID, or 0 when either is
 * missing, short or memory runs out (nothing is left behind). */
TSAPI(MenuHandle, ML_GetMenu, (Handle itemTable, short resourceID, Handle menuBar));
/* Frees items, title and record; M_DisposeMenu also destroys the Windows menu. A menu still in
 * the bar or under a parent item is detached first. */
TSAPI(void, M_DisposeMenu, (MenuHandle menu));
TSAPI(void, FreeMenu, (MenuHandle menu));

/* Adds the items of a Mac item list ("Open/O;(-;Quit/Q"): ";" or CR ends an item, "!" sets
 * the mark, "/" the command character, "(" disables ("(-" is a separator), "^x" is dropped. */
TSAPI(void, M_AppendMenu, (MenuHandle menu, ConstStr255Param itemList));
/* Puts each item of the list after afterItem (several items end up in reverse order). */
TSAPI(void, InsMenuItem, (MenuHandle menu, ConstStr255Param itemList, short afterItem));
TSAPI(void, DelMenuItem, (MenuHandle menu, short item));
TSAPI(short, CountMItems, (MenuHandle menu));

/* Item text in the Mac encoding. "-" makes the item a separator; out of range gives "". */
TSAPI(void, SetItem, (MenuHandle menu, short item, ConstStr255Param text));
TSAPI(void, GetItem, (MenuHandle menu, short item, StringPtr text));

/* ---- Item state ------------------------------------------------------------ */

/* Item 0 is the whole menu (and its drop-down in the menu bar). */
TSAPI(void, EnableItem, (MenuHandle menu, short item));
TSAPI(void, DisableItem, (MenuHandle menu, short item));
/* Bit n-1 enables item n, for every item (items above 32 follow bit (n-1) mod 32). */
TSAPI(void, SetItems, (MenuHandle menu, long mask));
/* Each set bit n enables (disables) item n, bit 0 the menu; items above 31 follow bit n mod 32. */
TSAPI(void, EnableItems, (MenuHandle menu, long mask));
TSAPI(void, ML_DisableItems, (MenuHandle menu, long mask));
TSAPI(Boolean, ItemEnabled, (MenuHandle menu, short item));
TSAPI(Boolean, ItemChecked, (MenuHandle menu, short item));
TSAPI(void, CheckItem, (MenuHandle menu, short item, Boolean checked));
/* Mark 195 checks the item. */
TSAPI(void, SetItemMark, (MenuHandle menu, short item, short markChar));
TSAPI(void, GetItemMark, (MenuHandle menu, short item, short *markChar));
/* Command character: 1 hides the item, 0x1B attaches the submenu whose ID is the mark, any
 * other becomes the shortcut (string 15000 followed by it; 0 none). */
TSAPI(void, ML_SetItemCmd, (MenuHandle menu, short item, short cmdChar, short options));
TSAPI(void, GetItemCmd, (MenuHandle menu, short item, short *cmdChar));
/* The item shows the bitmap; the bitmap it replaces is deleted (never the same one). */
TSAPI(void, SetItemBitmap, (MenuHandle menu, short item, HBITMAP bitmap));
TSAPI(HBITMAP, GetItemBitmap, (MenuHandle menu, short item));
TSAPI(void, ToggleItemBitmap, (MenuHandle menu, short item, Boolean on));
TSAPI(void, ToggleItemBreak, (MenuHandle menu, short item, Boolean on));
TSAPI(void, SetDefaultMenuItem, (MenuHandle menu, short item));

/* ---- The bar --------------------------------------------------------------- */

/* Adds the menu to its bar before the menu with beforeID (0 or an ID not in the bar: at the
 * end; -1: hierarchical, attached to the items whose command is 0x1B and mark its ID). */
TSAPI(void, M_InsertMenu, (MenuHandle menu, short beforeID, short options));
TSAPI(void, ML_DeleteMenu, (Handle menuBar, short menuID));
TSAPI(void, ML_ClearMenuBar, (Handle menuBar));
TSAPI(MenuHandle, ML_GetMHandle, (Handle menuBar, short menuID));
TSAPI(void, ML_DrawMenuBar, (HWND window));
/* Takes the highlight off the menu's drop-down in the frame window's menu bar. */
TSAPI(void, ML_HiliteMenu, (Handle menuBar, short menuID));
/* Flashes the window's caption for 100 ms. */
TSAPI(void, ML_FlashMenuBar, (HWND window));
/* Shows or hides the shortcut texts of every installed item. */
TSAPI(void, ML_ToggleMacAccels, (Handle menuBar, Handle itemTable, short show));
TSAPI(void, ML_SetTitle, (MenuHandle menu, ConstStr255Param title));
/* New ID; the installed items get new command identifiers. */
TSAPI(void, SetMenuID, (MenuHandle menu, short menuID));
TSAPI(Boolean, MenuInstalled, (MenuHandle menu));
/* Inserts the Windows item of the item at the zero-based position. */
TSAPI(void, InstallMItem, (MenuHandle menu, short position, short options));
TSAPI(HMENU, ML_GetWinMenuHandle, (MenuHandle menu));
TSAPI(MenuPtr, LockMenu, (MenuHandle menu));
TSAPI(void, UnlockMenu, (MenuHandle menu));

/* ---- Raw item table slots (bad or free slots do nothing and read as 0) ------ */

TSAPI(short, GetMItemFlags, (Handle itemTable, short slot));
TSAPI(void, SetMItemFlags, (Handle itemTable, short slot, short flags));
/* The slot's text as a Str255, converted to the Windows encoding when toWindows is nonzero. */
TSAPI(void, GetMItemText, (Handle itemTable, short slot, StringPtr text, Boolean toWindows));
TSAPI(short, GetMItemMark, (Handle itemTable, short slot));
TSAPI(HBITMAP, GetMItemBitmap, (Handle itemTable, short slot));
TSAPI(HLOCAL, GetMItemHandle, (Handle itemTable, short slot));


#endif
