// Bit utilities and the Toolbox's small operating-system utilities.
#include <windows.h>

#include "frame/bit_utilities.h"
#include "tstools/utilities.h"

using namespace tstools;

long WINAPI BitAnd(long a, long b) { return a & b; }

long WINAPI BAND(long a, long b) { return a & b; }

long WINAPI BSR(long value, short count) { return ShiftRightArithmetic(value, count); }

Boolean WINAPI BitTst(const void *bytes, long n) {
  return bytes && TestBit(static_cast<const unsigned char *>(bytes), n);
}

void WINAPI BitSet(void *bytes, long n) {
  if (bytes) SetBit(static_cast<unsigned char *>(bytes), n);
}

void WINAPI BitClr(void *bytes, long n) {
  if (bytes) ClearBit(static_cast<unsigned char *>(bytes), n);
}

void WINAPI SysBeep(short duration) { MessageBeep(static_cast<UINT>(duration)); }

void WINAPI Environs(short *rom, short *machine) {
  if (rom) *rom = 117;
  if (machine) *machine = 2;
}

namespace {
// The size of the Toolbox's system parameter record; hosts may read but nothing keeps it.
char parameterRam[20];
}  // namespace

Ptr WINAPI GetSysPPtr(void) { return parameterRam; }

OSErr WINAPI WriteParam(void) { return noErr; }

char WINAPI GetMMUMode(void) { return 0; }

void WINAPI SwapMMUMode(char *mode) {
  if (mode) *mode = 0;
}

long WINAPI GetTrapAddress(short trap) { return -1; }

long WINAPI NGetTrapAddress(short trap, short kind) { return -1; }
