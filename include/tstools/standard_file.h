/* Open and save dialogs in the Toolbox's Standard File terms: the Windows common file dialog
 * with the host's filter list, prompt, template, hook and file filter, answered in a reply
 * record holding a Str255 name in the Mac character set and the directory. */
#ifndef TSTOOLS_STANDARD_FILE_H
#define TSTOOLS_STANDARD_FILE_H

#include <stddef.h>

#include <tstools/types.h>

/* ML_StdFile flags. */
enum { sfSaveDialog = 1, sfUseFileFilter = 2 };

/* ML_StdFile template arguments with their own dialog layouts (the host's resources hold the
 * dialogs 4009 to 4012 and these ids' title strings). */
enum { sfTemplateOpen = 4000, sfTemplateOpenOrCreate = 4002, sfTemplateSave = 4005, sfTemplateExport = 5037 };

/* What the host's file filter is given. */
#pragma pack(push, 2)
typedef struct SFFilterParam {
  unsigned char reserved[6];
  StringPtr fileName; /* the candidate's name, a Str255 in the Mac character set */
} SFFilterParam;
#pragma pack(pop)
#ifdef __cplusplus
static_assert(offsetof(SFFilterParam, fileName) == 6, "SFFilterParam layout");
#endif
/* Nonzero rejects the file. */
typedef Boolean(__stdcall *SFFileFilterProc)(SFFilterParam *param);
/* The common dialog's hook: nonzero ends the handling of the message. */
typedef UINT_PTR(__stdcall *SFHookProc)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

typedef struct SFReply {
  Boolean good;               /* 1 when a file was chosen */
  unsigned char zero1;        /* 0 */
  unsigned char unused2[4];   /* not written */
  Str255 fName;               /* the chosen name, Mac character set */
  unsigned char zero262;      /* 0 */
  unsigned char unused263[7]; /* not written */
  unsigned char one270;       /* 1 */
  unsigned char zero271;      /* 0 */
  char directory[260];        /* the chosen directory, ending in a backslash */
} SFReply;
#ifdef __cplusplus
static_assert(sizeof(SFReply) == 532 && offsetof(SFReply, fName) == 6 && offsetof(SFReply, one270) == 270 &&
                  offsetof(SFReply, directory) == 272,
              "SFReply layout");
#endif

/* Runs an open (flags without sfSaveDialog) or save dialog owned by owner. filterList is the
 * filter text itself (description, pattern, ..., empty string) or, below 0x10000, the number
 * of a "FILTER_LIST" resource of module; filterIndex 0 means the first filter. prompt (may be
 * empty) titles the dialog; defaultName is a save dialog's initial name. fileFilter (with
 * sfUseFileFilter) and hook may be NULL. While one dialog runs, another call returns at once
 * with reply->good 0. */
TSAPI(void, ML_StdFile, (short flags, HINSTANCE module, HWND owner, ConstStr255Param prompt,
                         ConstStr255Param defaultName, SFFileFilterProc fileFilter, short filterIndex,
                         const char *filterList, SFHookProc hook, SFReply *reply, short templateId));
/* The hook every dialog of ML_StdFile runs; a host with its own template chains to it. */
TSAPI(UINT_PTR, ML_SFHook, (HWND dialog, UINT message, WPARAM wParam, LPARAM lParam));
/* The index-th filter's description (from 1) as a Str255, cut before " (": "Text files
 * (*.txt)" gives "Text files". Empty outside the list. */
TSAPI(void, ML_SFGetFilterText, (HINSTANCE module, const char *filterList, short index, StringPtr out));
/* For the running save dialog: applies the default extension to the typed name, then asks
 * whether to replace an existing file. 1 when the name may be used as a replacement, else 0. */
TSAPI(short, SFCheckNewFile, (HWND dialog));

#endif
