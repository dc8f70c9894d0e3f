// The modifier keys as a Mac KeyMap's first bytes.
#include "tstools/events.h"

namespace {

unsigned char Down(int key) { return GetAsyncKeyState(key) < 0 ? 1 : 0; }

}  // namespace

void WINAPI GetKeys(unsigned char *keys) {
  if (!keys) return;
  keys[0] = Down(VK_CONTROL);
  keys[1] = Down(VK_SHIFT);
  keys[2] = (GetKeyState(VK_CAPITAL) & 1) ? 1 : 0;  // toggled on, not held
  keys[3] = Down(VK_MENU);
  keys[4] = 0;
}
