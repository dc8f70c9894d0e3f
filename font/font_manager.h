// The font table as the rest of the library uses it.
#pragma once

#include <windows.h>

namespace tstools {

using AtmFontAvailableFn = int(WINAPI *)(LPCSTR face, int weight, int a, int b, int c);
using AtmVoidFn = int(WINAPI *)();

// The font table and the optional Type 1 bridge module.
struct FontState {
  HGLOBAL table = nullptr;  // a movable block of 8-byte entries, one per font number
  short count = 0;
  HMODULE atmModule = nullptr;
  AtmFontAvailableFn atmFontAvailable = nullptr;
  AtmVoidFn atmProperlyLoaded = nullptr, atmForceExactWidth = nullptr, atmClearAllForce = nullptr;

  // Frees the table and the name atoms of its entries and unloads the bridge: the state of
  // a process that has not called InitFonts. (The hooks below are other subsystems' wiring
  // and stay.)
  void Reset();
};

extern FontState fontState;

// Called by InitFonts when it replaces a table: the graphics ports drop cached fonts that no
// port holds (their numbers may now name other faces), the text engine resets its metric
// cache. Set by those subsystems; null until then.
extern void (*onFontTableReplaced)();
extern void (*onFontTableBuilt)();

// An information context of the default printer (the host's "Printer" preference, else the
// system's), or null when there is none. The caller deletes it.
HDC CreateDefaultPrinterInfoContext();

// The Type 1 bridge around the creation of a Windows font for an ATM face (type 3); both
// return 0 without the bridge.
int AtmForceExactWidth();
int AtmClearAllForce();

}  // namespace tstools
