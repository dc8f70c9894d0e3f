#include <windows.h>

#include "tstools/frame.h"

void WINAPI InitToolUtil(void) {}

// A host without a debugger attached gets an unhandled breakpoint exception, exactly as a
// direct DebugBreak would give it; hosts and tests that expect it install a handler.
void WINAPI Debugger(void) { DebugBreak(); }
