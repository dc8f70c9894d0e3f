/* The documents a host was started to open or print, from its command line: "/p" (or "/P")
 * asks to print the documents after it; each document is a path beginning with a drive
 * letter and colon or a double backslash, quoted or not. */
#ifndef TSTOOLS_APP_FILES_H
#define TSTOOLS_APP_FILES_H

#include <stddef.h>

#include <tstools/types.h>

/* One document, as ML_GetAppFiles fills it. */
typedef struct AppFileRecord {
  Str255 fileName;            /* the name as stored on disk, in the Mac character set */
  unsigned char zero256;      /* 0 */
  unsigned char unused[7];    /* not written */
  unsigned char resolved;     /* 1 when the document was found */
  unsigned char zero265;      /* 0 */
  char directory[260];        /* with its trailing backslash, stored names; empty when not found */
} AppFileRecord;
#ifdef __cplusplus
static_assert(sizeof(AppFileRecord) == 526 && offsetof(AppFileRecord, resolved) == 264 &&
                  offsetof(AppFileRecord, directory) == 266,
              "AppFileRecord layout");
#endif

/* message: 1 to print, 0 to open; count: the documents named. */
TSAPI(void, ML_CountAppFiles, (short *message, short *count, const char *commandLine));
/* Fills record for the index-th document (from 1); a document that does not exist, an index
 * outside the list or a path too long leaves it unresolved with an empty name and directory. */
TSAPI(void, ML_GetAppFiles, (short index, AppFileRecord *record, const char *commandLine));

#endif
