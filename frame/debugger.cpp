#include <windows.h>

#include <cstring>

#include "tstools/frame.h"
#include "tstools/utilities.h"

void WINAPI InitToolUtil(void) {}

// A host without a debugger attached gets an unhandled breakpoint exception, exactly as a
// direct DebugBreak would give it; hosts and tests that expect it install a handler.
void WINAPI Debugger(void) { DebugBreak(); }

void WINAPI DebugStr(ConstStr255Param message) {
  char text[257];  // up to 255 characters, the line feed and the terminator
  size_t length = message ? message[0] : 0;
  if (length) memcpy(text, message + 1, length);
  text[length] = '\n';
  text[length + 1] = '\0';
  OutputDebugStringA(text);
  DebugBreak();
}
