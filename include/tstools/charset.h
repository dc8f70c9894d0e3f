/* Character sets: Mac text converted to and from the Windows code page in place, and the
 * Toolbox string services built on it (case conversion, comparison, numbers as text). */
#ifndef TSTOOLS_CHARSET_H
#define TSTOOLS_CHARSET_H

#include <tstools/types.h>

/* Chooses the process's mapping pair, once: the "Character Mapping" setting (0 Mac Roman /
 * 1252, 1 Central European / 1250, 2 Cyrillic / 1251, 3 Greek / 1253, 4 Turkish / 1254, 5 and
 * 6 further tables for 1250, 7 Icelandic / 1252; anything else 0) in the section named by
 * host string 2075. When that section also names a "Character Mapping Table" file (absolute,
 * or relative to the Vantor directory), its pairs of hexadecimal bytes "mac win", one per
 * line, replace the chosen table; a file that is not a complete permutation leaving ASCII
 * unchanged is refused and the built-in table kept. Until the first call, mapping 0 is
 * active. Later calls change nothing. */
TSAPI(void, InitCharset, (void));

/* Converts length bytes in place: direction 0 Mac to Windows, 1 Windows to Mac. Only Roman
 * text (codeSet 0) is converted; a length of 0 or less or another direction does nothing. */
TSAPI(void, MapText, (Ptr text, long length, short direction, short codeSet));

/* Upper-cases the string's characters (Mac Roman), keeping or dropping diacritical marks. */
TSAPI(void, UpperString, (StringPtr s, Boolean keepMarks));

/* True when equal. Case-sensitive comparison is always mark-sensitive too. */
TSAPI(Boolean, EqualString, (ConstStr255Param a, ConstStr255Param b, Boolean caseSensitive,
                             Boolean markSensitive));

/* -1, 0 or 1 by the Windows code page's byte order (after upper-casing when not
 * case-sensitive); a common prefix puts the shorter string first. Always mark-sensitive. */
TSAPI(short, RelString, (ConstStr255Param a, ConstStr255Param b, Boolean caseSensitive,
                         Boolean markSensitive));

/* Locale-aware comparisons in the user's locale, of two Str255s (IUCompString,
 * IUEqualString) or of two counted byte runs (IUMagString, IUMagIDString); operands longer
 * than 255 bytes are cut and a negative length counts as 0. IUCompString and IUMagString
 * are case-sensitive and return negative, 0 or positive; IUEqualString and IUMagIDString
 * ignore case and return 0 when equal, else 1. */
TSAPI(long, IUCompString, (ConstStr255Param a, ConstStr255Param b));
TSAPI(long, IUMagString, (const void *a, const void *b, long aLength, long bLength));
TSAPI(long, IUEqualString, (ConstStr255Param a, ConstStr255Param b));
TSAPI(long, IUMagIDString, (const void *a, const void *b, long aLength, long bLength));

/* The Mac region code of the user's locale (then its language's main locale, then the
 * system locale); 0 when none is known. */
TSAPI(short, GetMacCountryCodeFromWin, (void));

/* Reads s as a decimal number (leading blanks and a sign allowed, stops at the first
 * non-digit, no digits give 0), stores it in *n (when not null) and returns it. */
TSAPI(long, StringToNum, (ConstStr255Param s, long *n));

/* Writes n in decimal as a Str255 ("-5" is the three bytes 2, '-', '5'). */
TSAPI(void, NumToString, (long n, StringPtr s));

#endif
