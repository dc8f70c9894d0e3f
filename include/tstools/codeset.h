/* Code sets of Windows character sets and language indexes:
 * 0 Roman, 1 Japanese, 2 traditional Chinese, 3 Korean, 4 simplified Chinese. */
#ifndef TSTOOLS_CODESET_H
#define TSTOOLS_CODESET_H

#include <tstools/types.h>

TSAPI(short, VIUWinCharSetToCodeSet, (BYTE charSet));
TSAPI(short, VIUIndexLang2CodeSet, (short languageIndex));

#endif
