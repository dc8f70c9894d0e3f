/* Library start-up: the host's resource module, platform detection, debugger calls. */
#ifndef TSTOOLS_FRAME_H
#define TSTOOLS_FRAME_H

#include <tstools/types.h>

/* Records the module from which the library loads the host's strings, dialogs and
 * bitmaps. Returns false, storing nothing, when another copy of the host already owns the
 * library's shared data (a second process under Win32s, or a window of class "TSAPP3..."
 * already on the screen there); the host treats that as "already running". */
TSAPI(Boolean, SetTSToolsResourceInstance, (HINSTANCE instance));

/* Kept for Toolbox source compatibility; there is nothing to initialise. */
TSAPI(void, InitToolUtil, (void));

/* Raises a debugger break (EXCEPTION_BREAKPOINT) in the calling thread. */
TSAPI(void, Debugger, (void));

/* What the library found at start-up, for diagnostics and for hosts that adapt to the
 * platform the same way the library does. */
typedef struct TSToolsStartupState {
  unsigned long size;         /* set by the caller to sizeof(TSToolsStartupState) */
  unsigned long platformId;   /* 0 Win32s, 1 Windows 95 family, 2 NT family */
  unsigned long majorVersion;
  unsigned long minorVersion;
  Boolean isWin32s, isWin9x, isWin98Family, isNT, hasNewShell, isNT5;
  Boolean isSecondaryInstance;
  Boolean reserved;
  short defaultCodeSet;       /* 0 Roman, 1 Japanese, 2 trad. Chinese, 3 Korean, 4 simpl. Chinese */
  HMODULE hostModule;
  HINSTANCE libraryInstance;
  HINSTANCE resourceInstance; /* 0 until SetTSToolsResourceInstance */
} TSToolsStartupState;

/* Fills *state (whose size field must be set); false when state is null or too small. */
TSAPI(Boolean, TSToolsGetStartupState, (TSToolsStartupState *state));

#endif
