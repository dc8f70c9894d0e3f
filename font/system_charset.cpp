#include "font/system_charset.h"

namespace tstools {

unsigned char CharSetForAnsiCodePage(unsigned codePage, bool isWin32s) {
  if (isWin32s) return 0;
  switch (codePage) {
    case 932: return 128;  // Shift-JIS
    case 936: return 134;  // GB2312
    case 949: return 129;  // Hangeul
    case 950: return 136;  // Big5
    default: return 0;
  }
}

bool IsDoubleByteCharSet(unsigned char charSet) {
  return charSet == 128 || charSet == 129 || charSet == 134 || charSet == 136;
}

}  // namespace tstools
