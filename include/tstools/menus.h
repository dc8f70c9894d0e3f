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

/* ---- Searching ------------------------------------------------------------- */

/* Halving search over indices 0 to size(container)-1: true with the match's position, or false
 * with the position where the key belongs. An empty container gives false and 0. */
TSAPI(Boolean, BinarySearch, (void *container, void *key, BinarySearchCompareProc compare,
                              BinarySearchSizeProc size, BinarySearchGetItemProc getItem,
                              long *position));
/* The font menu's callbacks: face names in local memory blocks, compared case-insensitively. */
TSAPI(short, FontMenuCompareItemProc, (void *container, void *key, void *item));
TSAPI(long, FontMenuSizeProc, (void *menu));
TSAPI(void *, FontMenuGetIndItemProc, (void *menu, long index));


#endif
