#include "textedit/code_sets.h"

namespace tstools {

short CodeSetForWinCharSet(int charSet) {
  switch (charSet) {
    case 128: return kJapaneseCodeSet;     // Shift-JIS
    case 129: return kKoreanCodeSet;       // Hangul
    case 134: return kSimpChineseCodeSet;  // GB 2312
    case 136: return kTradChineseCodeSet;  // Big5
    default: return kRomanCodeSet;
  }
}

short CodeSetForLanguageIndex(int languageIndex) {
  switch (languageIndex) {
    case 14: return kJapaneseCodeSet;
    case 51: return kKoreanCodeSet;
    case 52: return kSimpChineseCodeSet;
    case 53: return kTradChineseCodeSet;
    default: return kRomanCodeSet;
  }
}

}  // namespace tstools
