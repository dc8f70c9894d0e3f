/* Font Manager: font numbers, names and character sets. */
#ifndef TSTOOLS_FONT_H
#define TSTOOLS_FONT_H

#include <tstools/types.h>

/* The character set of the system's ANSI code page: 128 Shift-JIS, 134 GB2312,
 * 129 Hangeul, 136 Big5, otherwise (and always under Win32s) 0. */
TSAPI(BYTE, GetDefaultSystemCharSet, (void));

/* 1 for the double-byte character sets 128, 129, 134 and 136, else 0. */
TSAPI(Boolean, isDBCSCharSet, (BYTE charSet));

/* Builds (or rebuilds, renumbering every enumerated face) the font table: 0 "System",
 * 1 "MS Sans Serif" (the Mincho face on Shift-JIS systems), then the screen's families and
 * the default printer's, each face once. Minimum bold sizes of TrueType faces come from the
 * settings (section host string 2071, key the face name, else key host string 2079). Loads
 * the optional Type 1 bridge module on Windows 95/98 and Win32s. */
TSAPI(void, InitFonts, (void));

/* The number of the face named name (at most 31 characters, compared exactly) from number 2
 * on; 0 when none has it. */
TSAPI(void, GetFNum, (ConstStr255Param name, short *familyID));

/* The face name of a font number; empty for an invalid number. */
TSAPI(void, GetFontName, (short familyID, StringPtr name));

/* 0 screen, 1 printer, 2 TrueType, 3 ATM; 0 for an invalid number. */
TSAPI(void, GetFontType, (short familyID, unsigned short *fontType));

/* Smallest point size at which Windows is asked for the bold face (0: always); 0 for an
 * invalid number. */
TSAPI(short, GetMinBoldSize, (short familyID));

/* The face's Windows pitch-and-family and character-set bytes; both 0 for an invalid number. */
TSAPI(void, GetWinFontInfo, (short familyID, BYTE *pitchAndFamily, BYTE *charSet));

/* The face's Windows character set; -1 for an invalid number. */
TSAPI(signed char, GetCharSet, (short familyID));

#endif
