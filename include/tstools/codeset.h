/* Code sets of Windows character sets and language indexes:
 * 0 Roman, 1 Japanese, 2 traditional Chinese, 3 Korean, 4 simplified Chinese. */
#ifndef TSTOOLS_CODESET_H
#define TSTOOLS_CODESET_H

#include <tstools/types.h>

/* The code set of a Windows character set: 128 Shift-JIS 1, 136 Big5 2, 129 Hangeul 3,
 * 134 GB2312 4; any other (single-byte) set 0. */
TSAPI(short, VIUWinCharSetToCodeSet, (BYTE charSet));
/* The code set of a host language index: 14 Japanese 1, 53 traditional Chinese 2, 51 Korean
 * 3, 52 simplified Chinese 4; any other index 0. */
TSAPI(short, VIUIndexLang2CodeSet, (short languageIndex));

#endif
