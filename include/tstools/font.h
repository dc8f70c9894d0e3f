/* Font Manager: font numbers, names and character sets. */
#ifndef TSTOOLS_FONT_H
#define TSTOOLS_FONT_H

#include <tstools/types.h>

/* The character set of the system's ANSI code page: 128 Shift-JIS, 134 GB2312,
 * 129 Hangeul, 136 Big5, otherwise (and always under Win32s) 0. */
TSAPI(BYTE, GetDefaultSystemCharSet, (void));

/* 1 for the double-byte character sets 128, 129, 134 and 136, else 0. */
TSAPI(Boolean, isDBCSCharSet, (BYTE charSet));

#endif
