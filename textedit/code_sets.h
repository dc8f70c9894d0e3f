// Code sets: 0 Roman, 1 Japanese, 2 traditional Chinese, 3 Korean, 4 simplified Chinese.
#pragma once

namespace tstools {

enum CodeSet : short {
  kRomanCodeSet = 0,
  kJapaneseCodeSet = 1,
  kTradChineseCodeSet = 2,
  kKoreanCodeSet = 3,
  kSimpChineseCodeSet = 4,
};

short CodeSetForWinCharSet(int charSet);
short CodeSetForLanguageIndex(int languageIndex);

}  // namespace tstools
