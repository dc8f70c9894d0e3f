// Toolbox calls with no Windows counterpart. Each leaves its message in the debugging output
// so that a host developer sees which call went unanswered; the texts, line feeds included or
// not, are what existing hosts' logs show and stay byte for byte.
#include <windows.h>

#include "tstools/utilities.h"

long WINAPI KeyTrans(Ptr transData, unsigned short keycode, unsigned long *state) {
  OutputDebugStringA("KeyTrans not finished.\n");
  return keycode;
}

OSErr WINAPI DTInstall(void *task) {
  OutputDebugStringA("DTInstall not finished.\n");
  return -1;
}

void WINAPI SetTrapAddress(long address, short trap) { OutputDebugStringA("SetTrapAddress not finished.\n"); }

void WINAPI NSetTrapAddress(long address, short trap, short kind) {
  OutputDebugStringA("NSetTrapAddress not finished\n");
}

void WINAPI Enqueue(void *element, void *queue) { OutputDebugStringA("Enqueue not finished.\n"); }

OSErr WINAPI Dequeue(void *element, void *queue) {
  OutputDebugStringA("Dequeue not finished.\n");
  return -1;
}

long WINAPI SetCurrentA5(void) {
  OutputDebugStringA("SetCurrentA5 not finished.\n");
  return -1;
}

long WINAPI SetA5(long a5) {
  OutputDebugStringA("SetA5 not finished");
  return -1;
}

void WINAPI SetUpA5(void) { OutputDebugStringA("SetUpA5 not finished"); }

void WINAPI RestoreA5(void) { OutputDebugStringA("RestoreA5 not finished"); }

void WINAPI Restart(void) { OutputDebugStringA("Restart not finished"); }
