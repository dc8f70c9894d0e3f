/* PostScript printing: finding the fonts a job includes, and sending a Type 1 font's outline
 * to the printer through the host's own output routine. */
#ifndef TSTOOLS_PS_FONTS_H
#define TSTOOLS_PS_FONTS_H

#include <tstools/types.h>

/* Called with each piece of printable PostScript text, as a Str255 it may change, and 0. */
typedef void(__stdcall *FontPieceProc)(unsigned char *piece, long reserved);

/* Finds fontName (a Str255) in section "Fonts" of atm.ini in the Windows directory, whose
 * value is "metrics path,outline path", checks the whole outline file (a Printer Font Binary,
 * or PostScript text beginning "%!"), and sends it: text without NUL bytes in pieces of at
 * most 249 characters, binary segments as upper-case hexadecimal in pieces of at most 250.
 * True when the font was sent; false, with nothing sent, when it is not listed, the file
 * cannot be read or is not a complete font file, or output is NULL. */
TSAPI(Boolean, DownloadFont, (ConstStr255Param fontName, FontPieceProc output));

/* Finds the first "%%IncludeFont: name" or "%%IncludeResource: font name" line in text (a
 * Str255). 1 when found: name gets the font name, position the index (first character 1) of
 * the line after it. 0 when there is none, position untouched. */
TSAPI(short, ML_GetNextDSC, (ConstStr255Param text, short *position, StringPtr name));

#endif
