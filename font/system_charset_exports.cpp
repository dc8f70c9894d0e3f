#include <windows.h>

#include "font/system_charset.h"
#include "frame/library_globals.h"
#include "tstools/font.h"

BYTE WINAPI GetDefaultSystemCharSet(void) {
  return tstools::CharSetForAnsiCodePage(GetACP(), tstools::frameState.platform.isWin32s);
}

Boolean WINAPI isDBCSCharSet(BYTE charSet) { return tstools::IsDoubleByteCharSet(charSet); }
