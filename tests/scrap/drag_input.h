// Real input (SendInput) for the tests that drag, click and type, and the drag tests' peer
// program: OLE captures the mouse and reads the buttons from the key state, and the text
// engine tracks a press until the button comes up.
#pragma once

#include <windows.h>

namespace tstools::test {

inline void Mouse(DWORD flags, POINT at = {}) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags | (flags & MOUSEEVENTF_MOVE ? MOUSEEVENTF_ABSOLUTE : 0);
  in.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  SendInput(1, &in, sizeof in);
}

inline void Key(WORD vk, DWORD flags = 0) {
  INPUT in{};
  in.type = INPUT_KEYBOARD, in.ki.wVk = vk, in.ki.dwFlags = flags;
  SendInput(1, &in, sizeof in);
}

// Keys become characters, as in a host's message loop.
inline void Pump(DWORD ms) {
  MSG msg;
  DWORD end = GetTickCount() + ms;
  do {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) TranslateMessage(&msg), DispatchMessageA(&msg);
    if (ms) Sleep(10);
  } while (LONG(GetTickCount() - end) < 0);
}

// A plain top-level window (not a STATIC control: those are transparent to hit testing, by
// which OLE finds its targets).
inline HWND PlainWindow(int x, int y, int size) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "DragTestWindow";
  RegisterClassA(&wc);  // later calls fail harmlessly
  return CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, x, y, size, size, nullptr,
                         nullptr, wc.hInstance, nullptr);
}

// Moves from `from` to `to` in steps OLE's 50 ms polling sees, then ends the drag (button up,
// or Esc) again and again until *done, so that a lost event cannot leave a drag hanging.
struct Hand {
  POINT from, to;
  bool escape = false;
  volatile LONG done = 0;

  static DWORD WINAPI Run(void *self) {
    auto *hand = static_cast<Hand *>(self);
    Sleep(300);
    for (int i = 1; i <= 8; ++i) {
      Mouse(MOUSEEVENTF_MOVE, POINT{hand->from.x + (hand->to.x - hand->from.x) * i / 8,
                                    hand->from.y + (hand->to.y - hand->from.y) * i / 8});
      Sleep(80);
    }
    Sleep(300);
    for (int tries = 0; !hand->done && tries < 40; ++tries) {
      if (hand->escape)
        Key(VK_ESCAPE), Key(VK_ESCAPE, KEYEVENTF_KEYUP);
      else
        Mouse(MOUSEEVENTF_LEFTUP);
      Sleep(250);
    }
    return 0;
  }
  // Presses the button at `from` and starts the hand; the caller then runs the drag.
  HANDLE Start() {
    Mouse(MOUSEEVENTF_MOVE, from);
    Mouse(MOUSEEVENTF_LEFTDOWN);
    Pump(200);
    return CreateThread(nullptr, 0, Run, this, 0, nullptr);
  }
  void Finish(HANDLE thread) {
    done = 1;
    WaitForSingleObject(thread, 15000);
    CloseHandle(thread);
    Mouse(MOUSEEVENTF_LEFTUP);
    Pump(100);
  }
};

}  // namespace tstools::test
