// Mouse, keys and scroll-bar controls on real windows; the bar's own state is the oracle.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "support/child_process.h"
#include "tstools/tstools.h"

using namespace tstools::test;

// A frame window whose DC keeps its origin, as a window port's does, with a scroll-bar child.
struct Frame {
  const WNDCLASSA wc{CS_OWNDC, DefWindowProcA, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "EventsFrame"};
  ATOM registered = RegisterClassA(&wc);
  HWND window = CreateWindowA("EventsFrame", "", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, 0, 0, 0, 0);
  HWND bar = CreateWindowA("SCROLLBAR", "", WS_CHILD | WS_VISIBLE, 10, 10, 200, 16, window, 0, 0, 0);
  ~Frame() { DestroyWindow(window); }
};

static void Send(DWORD type, DWORD flags, WORD key = 0) {
  INPUT in{};
  in.type = type, in.ki.wVk = key;
  (type == INPUT_MOUSE ? in.mi.dwFlags : in.ki.dwFlags) = flags;
  SendInput(1, &in, sizeof in);
}

// Runs here (Windows 4.0 on: a paged bar), then in a copy told it runs on NT 3.51 (no page).
TEST(ScrollBar, MapsTheMacRangeOntoTheBar) {
  bool paged = LOBYTE(GetVersion()) >= 4;
  printf("paged=%d\n", paged);
  Frame f;
  const struct {
    void(WINAPI *call)(HWND, long);
    long arg, pagedRangeMax, macMax, value, arrowsOn;
  } steps[] = {{SetCtlMax, 100, 100, 100, 0, 2},    {SetCtlValue, 100, 100, 100, 100, 2},
               {SetScrollPage, 10, 109, 100, 100, 2}, {SetScrollPage, 20, 119, 100, 100, 2},
               {SetCtlMin, 100, 119, 100, 100, 0},    {SetCtlValue, 100, 119, 100, 100, 0},
               {SetCtlMax, 101, 120, 101, 100, 2},    {SetCtlMax, 100, 119, 100, 100, 0}};
  for (const auto &s : steps) {
    s.call(f.bar, s.arg);
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    SCROLLBARINFO bar{sizeof bar, {}, 0, 0, 0, 0, {}};
    GetScrollInfo(f.bar, SB_CTL, &info);
    GetScrollBarInfo(f.bar, OBJID_CLIENT, &bar);
    long on = !(bar.rgstate[1] & STATE_SYSTEM_UNAVAILABLE) + !(bar.rgstate[5] & STATE_SYSTEM_UNAVAILABLE);
    if (!paged) on = IsWindowEnabled(f.bar) * 2;  // before 4.0 the whole control
    EXPECT_EQ(std::vector<long>({info.nMax, GetCtlMax(f.bar), GetCtlValue(f.bar), on}),
              std::vector<long>({paged ? s.pagedRangeMax : s.macMax, s.macMax, s.value, s.arrowsOn})) << &s - steps;
  }
  if (!paged) return;
  std::string name = "events_nt351.exe", copy = CopyProgramAs(ProgramDirectory() + "window_events_tests.exe", name);
  ASSERT_TRUE(SetWineAppDefault(name, "Version", "nt351") && !copy.empty());
  auto result = RunProgram(copy, "--gtest_filter=ScrollBar.*");
  DeleteFileA(copy.c_str());
  EXPECT_TRUE(result.exitCode == 0 && ParseReport(result.output)["paged"] == "0") << result.output;
}

// A port's origin for the mouse and for placing controls; a queued release; the key bytes.
TEST(Events, MouseKeysAndControlPlacement) {
  QDrawCacheInit();
  Frame f;
  GrafPort port{};
  port.window = f.window;
  ML_OpenPort(&port);
  ML_SetOrigin(&port, 100, 50);
  SetCursorPos(110, 120);  // (10, 20) in the borderless frame at (100, 100)
  Point local{};
  ML_GetMouse(&local, &port);
  MoveControl(f.bar, 120, 80);
  SizeControl(f.bar, 150, 20);
  RECT r;
  GetWindowRect(f.bar, &r);
  MapWindowPoints(nullptr, f.window, reinterpret_cast<POINT *>(&r), 2);
  std::vector<long> seen{local.h, local.v, r.left, r.top, r.right, r.bottom};
  EXPECT_EQ(seen, std::vector<long>({110, 70, 20, 30, 170, 50})) << "mouse at (10, 20), bar at (20, 30)";
  ClosePort(&port);
  QDrawCacheClose();

  MSG msg;
  EXPECT_FALSE(ML_StillDown(0));
  Send(INPUT_MOUSE, MOUSEEVENTF_LEFTDOWN);
  EXPECT_TRUE(ML_GetLeftMouseState() < 0 && ML_GetRightMouseState() >= 0 && ML_StillDown(0));
  PostMessageA(f.window, WM_LBUTTONUP, 0, 0);
  EXPECT_TRUE(!ML_StillDown(0) && ML_GetLeftMouseState() < 0) << "a queued release ends a press still read down";
  PostMessageA(f.window, WM_KEYDOWN, 'A', 1);
  PostMessageA(f.window, WM_RBUTTONUP, 0, 0);
  EXPECT_FALSE(ML_WaitMouseUp(f.window));
  EXPECT_FALSE(PeekMessageA(&msg, f.window, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE)) << "typed keys dropped";
  EXPECT_FALSE(PeekMessageA(&msg, f.window, WM_RBUTTONUP, WM_RBUTTONUP, PM_NOREMOVE)) << "and the ending one";
  Send(INPUT_MOUSE, MOUSEEVENTF_LEFTUP);
  unsigned char keys[6] = {9, 9, 9, 9, 9, 9};
  Send(INPUT_KEYBOARD, 0, VK_SHIFT);
  GetKeys(keys);
  Send(INPUT_KEYBOARD, KEYEVENTF_KEYUP, VK_SHIFT);
  EXPECT_EQ(std::vector<int>(keys, keys + 6), std::vector<int>({0, 1, 0, 0, 0, 9})) << "five bytes";
}
