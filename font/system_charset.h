// The system's default character set and which sets are double-byte.
#pragma once

namespace tstools {

// Windows character-set byte for an ANSI code page: the four East Asian code pages map to
// their sets, everything else (and always Win32s) to ANSI (0).
unsigned char CharSetForAnsiCodePage(unsigned codePage, bool isWin32s);

// Shift-JIS, Hangeul, GB2312 and Big5 are double-byte; Johab (130) is treated as single.
bool IsDoubleByteCharSet(unsigned char charSet);

}  // namespace tstools
