/* The desk scrap on the Windows clipboard. Mac types travel as clipboard formats: the
 * predefined ones for "WTXT" (CF_TEXT), "BIT " (CF_BITMAP), "META" (CF_METAFILEPICT), "SYLK",
 * "DIF ", "TIFF", "DIB " and "WAVE"; registered names for "TEXT" ("Mac-TEXT", length-prefixed),
 * "PICT" ("Mac-PICT"), "EMBO", "EMBS", "LNKS", "ODES" and "OFN " (the OLE formats and
 * "FileName"); and "Mac-" followed by the type, length-prefixed, for any other type.
 * Length-prefixed blocks start with a 32-bit little-endian byte count.
 *
 * Calls that take a clipboard window record read only its first field, the window that opens
 * the clipboard and owns what is put there; the scrap record serves. Calls that may render
 * pictures read a second field as the palette of the picture conversions (PictConvContext).
 * The owner window passes WM_RENDERFORMAT, WM_RENDERALLFORMATS, WM_DESTROYCLIPBOARD,
 * WM_DRAWCLIPBOARD and WM_CHANGECBCHAIN to the message calls below. The puts never empty the
 * clipboard: call ML_ZeroScrap first. */
#ifndef TSTOOLS_SCRAP_H
#define TSTOOLS_SCRAP_H

#include <tstools/picture_record.h>

enum {
  noScrapErr = -100, /* the clipboard could not be opened */
  noTypeErr = -102   /* the type is not on the clipboard */
};

/* The Toolbox scrap information, in the Mac ScrapStuff order. */
typedef struct ScrapStuff {
  long scrapSize;      /* 512 */
  Handle scrapHandle;  /* NULL */
  short scrapCount;    /* incremented on every clipboard change seen in the viewer chain */
  short scrapState;    /* 0 */
  StringPtr scrapName; /* the record's own name */
} ScrapStuff;

/* The scrap record ML_InitWinScrap allocates. */
typedef struct ScrapRecord {
  HWND window;       /*  0 the clipboard owner, in the viewer chain */
  LONG_PTR hostValue; /* 4 the host's value, kept; in the palette's place of a PictConvContext */
  HWND nextViewer;   /*  8 the next window of the viewer chain */
  ScrapStuff info;   /* 12 */
  unsigned char name[32]; /* 28 "DEFAULT.CLP" as a Str31 */
} ScrapRecord;       /* 60 bytes on i686 */

#ifdef __cplusplus
#include <stddef.h>
static_assert(offsetof(ScrapRecord, hostValue) == sizeof(void *), "the palette's place");
#if defined(__i386__) || defined(_M_IX86)
static_assert(offsetof(ScrapRecord, info) == 12 && offsetof(ScrapRecord, info.scrapCount) == 20 &&
                  offsetof(ScrapRecord, info.scrapName) == 24 && offsetof(ScrapRecord, name) == 28 &&
                  sizeof(ScrapRecord) == 60,
              "the 32-bit scrap record");
#endif
#endif

/* Allocates and fills the record into *scrap and puts window into the clipboard viewer chain;
 * registers the library's formats. 0, or -108 with *scrap NULL (the chain not joined). */
TSAPI(OSErr, ML_InitWinScrap, (ScrapRecord **scrap, HWND window, LONG_PTR hostValue));
/* Takes the window out of the viewer chain and frees the record. NULL is ignored. */
TSAPI(void, ML_StopWinScrap, (ScrapRecord *scrap));
/* The record's scrap information (NULL for NULL). */
TSAPI(ScrapStuff *, ML_InfoScrap, (ScrapRecord *scrap));
/* Nothing to do on Windows; 0. */
TSAPI(long, ML_LoadScrap, (ScrapRecord *scrap));
TSAPI(long, ML_UnloadScrap, (ScrapRecord *scrap));

/* Empties the clipboard, making the record's window its owner: 0, or -100. */
TSAPI(long, ML_ZeroScrap, (const void *windowRecord));
/* Puts length bytes of data on the clipboard as the type's format (with the length prefix
 * when it has one), beside what is there. 0; -100; -108; -50 for a negative length or NULL
 * data with a length. */
TSAPI(long, ML_PutScrap, (const void *windowRecord, long length, OSType type, const void *data));
/* The length of the type's data on the clipboard, copied into data when it is not NULL; or
 * -100, -102 (absent), -108 (no data or no memory), -50 (a negative length prefix). "TEXT"
 * falls back to CF_TEXT, converted to Mac text with CR line ends. *offset (when given) is 16
 * times the number of formats listed before the type's. "BIT " gives the HBITMAP and the
 * CF_PALETTE's HPALETTE (or 0), "META" the METAFILEPICT; both stay the clipboard's. */
TSAPI(long, ML_GetScrap, (const void *windowRecord, Handle data, OSType type, long *offset));
/* True when the type's format (or, for "TEXT", CF_TEXT) is on the clipboard. */
TSAPI(Boolean, ML_TestScrap, (const void *windowRecord, OSType type));

/* Delayed rendering: each keeps a copy of the data (replacing an earlier one of its kind) and
 * announces formats that are made only when a program asks. 0; -100 (the copy is kept,
 * nothing announced); -108; -109 for a NULL handle. */
/* Announces "Mac-TEXT" and CF_TEXT. */
TSAPI(OSErr, ML_PutScrapTEXT, (const void *windowRecord, long length, const void *text));
/* Announces "Mac-PICT", CF_METAFILEPICT and CF_BITMAP. */
TSAPI(OSErr, ML_PutScrapPICT, (const void *windowRecord, PicHandle picture));
/* A recorded picture (PicMeta), whose metafile is copied. Announces CF_METAFILEPICT and
 * CF_BITMAP. */
TSAPI(OSErr, ML_PutScrapPicMeta, (const void *windowRecord, Handle picMeta));
/* A 'snd ' resource; announces CF_WAVE. A sound the WAVE conversion cannot read is refused
 * with its result (-204, -206, -102). */
TSAPI(OSErr, ML_PutScrapSnd, (const void *windowRecord, Handle sound));

/* WM_RENDERFORMAT: puts the format, made from the kept data, on the clipboard. 0, -102 when
 * nothing kept gives that format, -108 when it could not be made. */
TSAPI(OSErr, ML_RenderMsg, (const void *windowRecord, UINT format, LPARAM reserved));
/* WM_RENDERALLFORMATS: while the window still owns the clipboard, renders every announced
 * format not yet rendered; then forgets the kept data. 0, or -100. */
TSAPI(OSErr, ML_RenderAllMsg, (const void *windowRecord, WPARAM reserved1, LPARAM reserved2));
/* WM_DESTROYCLIPBOARD: forgets the kept data. */
TSAPI(void, ML_DestroyClipMsg, (const void *windowRecord));
/* WM_DRAWCLIPBOARD: passes the message on to the next viewer and counts the change. */
TSAPI(void, ML_DrawClipMsg, (ScrapRecord *scrap, WPARAM wParam, LPARAM lParam));
/* WM_CHANGECBCHAIN: follows the chain past the window leaving it, or passes the message on. */
TSAPI(void, ML_ChangeChainMsg, (ScrapRecord *scrap, WPARAM wParam, LPARAM lParam));

/* The type's clipboard format (registering "Mac-" names as needed); *lengthPrefixed (when
 * given) says whether its blocks carry the length prefix. */
TSAPI(UINT, ML_MapMacToWinType, (OSType type, Boolean *lengthPrefixed));
/* The format's Mac type (0 when it has none), also stored in *type when given. */
TSAPI(OSType, ML_MapWinToMacType, (UINT format, OSType *type, Boolean *lengthPrefixed));
/* Converts the handle's Mac text in place to Windows text with CR LF line ends and a NUL
 * (growing the handle). 0, -108 (the handle unchanged), -109/-111 for a bad handle. */
TSAPI(OSErr, ML_MacToWinText, (long reserved, Handle text));
/* Converts the handle's Windows text (to its first NUL, or its end) in place to Mac text, CR LF
 * to CR, and shrinks the handle to it. 0, or -109/-111 for a bad handle. */
TSAPI(OSErr, ML_WinToMacText, (long reserved, Handle text));

#endif
