#include "textedit/code_sets.h"
#include "tstools/codeset.h"

short WINAPI VIUWinCharSetToCodeSet(BYTE charSet) { return tstools::CodeSetForWinCharSet(charSet); }

short WINAPI VIUIndexLang2CodeSet(short languageIndex) {
  return tstools::CodeSetForLanguageIndex(languageIndex);
}
