// Mouse, keys and scroll-bar controls through the DLL, on real windows of the X display; the
// bar's own state (GetScrollInfo, GetScrollBarInfo) is the oracle.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "support/child_process.h"
#include "tstools/tstools.h"

namespace {

// A frame window whose DC keeps its origin, as a window port's does, with a scroll-bar child.
struct Frame {
  Frame() {
    WNDCLASSA wc{};
    wc.style = CS_OWNDC, wc.lpfnWndProc = DefWindowProcA, wc.lpszClassName = "EventsTestFrame";
    RegisterClassA(&wc);
    window = CreateWindowA(wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, 0, 0, 0, 0);
    bar = CreateWindowA("SCROLLBAR", "", WS_CHILD | WS_VISIBLE, 10, 10, 200, 16, window, 0, 0, 0);
  }
  ~Frame() { DestroyWindow(window); }
  HWND window, bar;
};

void Send(DWORD mouseFlags, WORD key = 0, DWORD keyFlags = 0) {
  INPUT in{};
  in.type = key ? INPUT_KEYBOARD : INPUT_MOUSE;
  if (key) in.ki.wVk = key, in.ki.dwFlags = keyFlags;
  else in.mi.dwFlags = mouseFlags;
  SendInput(1, &in, sizeof in);
}

}  // namespace

// Runs here (Windows 4.0 on: a paged bar) and in a copy told it runs on NT 3.51 (no page).
TEST(ScrollBar, MapsTheMacRangeOntoTheBar) {
  TSToolsStartupState state{};
  state.size = sizeof state;
  TSToolsGetStartupState(&state);
  bool paged = state.hasNewShell;
  printf("paged=%d\n", paged);
  Frame f;
  const struct {
    void(WINAPI *call)(HWND, long);
    long arg, pagedRangeMax, macMax, value;
    bool arrows;
  } steps[] = {{SetCtlMax, 100, 100, 100, 0, true},    {SetCtlValue, 100, 100, 100, 100, true},
               {SetScrollPage, 10, 109, 100, 100, true}, {SetScrollPage, 20, 119, 100, 100, true},
               {SetCtlMin, 100, 119, 100, 100, false},   {SetCtlValue, 100, 119, 100, 100, false},
               {SetCtlMax, 101, 120, 101, 100, true},    {SetCtlMax, 100, 119, 100, 100, false}};
  for (const auto &s : steps) {
    s.call(f.bar, s.arg);
    SCROLLINFO info{};
    SCROLLBARINFO sbi{};
    info.cbSize = sizeof info, info.fMask = SIF_ALL, sbi.cbSize = sizeof sbi;
    GetScrollInfo(f.bar, SB_CTL, &info);
    GetScrollBarInfo(f.bar, OBJID_CLIENT, &sbi);
    bool up = !(sbi.rgstate[1] & STATE_SYSTEM_UNAVAILABLE), down = !(sbi.rgstate[5] & STATE_SYSTEM_UNAVAILABLE);
    if (!paged) up = down = IsWindowEnabled(f.bar);  // before 4.0 the whole control
    EXPECT_EQ(info.nMax, paged ? s.pagedRangeMax : s.macMax) << &s - steps;
    EXPECT_EQ(GetCtlMax(f.bar) * 1000 + GetCtlValue(f.bar), s.macMax * 1000 + s.value) << &s - steps;
    EXPECT_EQ(up * 10 + down, s.arrows * 11) << &s - steps;
  }
}

TEST(ScrollBar, BeforeWindows4TheBarHasNoPage) {
  const std::string name = "window_events_nt351.exe";
  ASSERT_TRUE(tstools::test::SetWineAppDefault(name, "Version", "nt351"));
  std::string copy = tstools::test::CopyProgramAs(tstools::test::ProgramDirectory() + "window_events_tests.exe", name);
  auto result = tstools::test::RunProgram(copy, "--gtest_filter=ScrollBar.MapsTheMacRangeOntoTheBar");
  DeleteFileA(copy.c_str());
  EXPECT_EQ(result.exitCode, 0u) << result.output;
  EXPECT_EQ(tstools::test::ParseReport(result.output)["paged"], "0");
}

// A size is a distance: the parent's origin moves the control but does not resize it.
TEST(Controls, PlaceAndSizeInTheParentsLogicalUnits) {
  Frame f;
  SetWindowOrgEx(GetDC(f.window), 100, 50, nullptr);
  MoveControl(f.bar, 120, 80);
  SizeControl(f.bar, 150, 20);
  RECT r;
  GetWindowRect(f.bar, &r);
  MapWindowPoints(nullptr, f.window, reinterpret_cast<POINT *>(&r), 2);
  EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}), std::vector<LONG>({20, 30, 170, 50}));
}

TEST(Mouse, PositionPressAndQueuedRelease) {
  QDrawCacheInit();
  Frame f;
  GrafPort port{};
  port.window = f.window;
  ML_OpenPort(&port);
  ML_SetOrigin(&port, 100, 50);
  POINT at{10, 20};
  ClientToScreen(f.window, &at);
  SetCursorPos(at.x, at.y);
  Point local{};
  ML_GetMouse(&local, &port);
  EXPECT_EQ(local.h * 1000 + local.v, 110 * 1000 + 70);

  MSG msg;
  EXPECT_FALSE(ML_StillDown(0));
  Send(MOUSEEVENTF_LEFTDOWN);
  EXPECT_TRUE(ML_GetLeftMouseState() < 0 && ML_GetRightMouseState() >= 0 && ML_StillDown(0));
  PostMessageA(f.window, WM_LBUTTONUP, 0, 0);
  EXPECT_FALSE(ML_StillDown(0)) << "a queued release ends the press";
  EXPECT_LT(ML_GetLeftMouseState(), 0) << "while the button still reads down";
  PostMessageA(f.window, WM_KEYDOWN, 'A', 1);
  EXPECT_TRUE(ML_WaitMouseUp(f.window));
  EXPECT_FALSE(PeekMessageA(&msg, f.window, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE)) << "typed keys dropped";
  PostMessageA(f.window, WM_RBUTTONUP, 0, 0);
  EXPECT_FALSE(ML_WaitMouseUp(f.window));
  EXPECT_FALSE(PeekMessageA(&msg, f.window, WM_RBUTTONUP, WM_RBUTTONUP, PM_NOREMOVE)) << "and the ending message";
  Send(MOUSEEVENTF_LEFTUP);
  EXPECT_FALSE(ML_WaitMouseUp(f.window));
  ClosePort(&port);
  QDrawCacheClose();
}

TEST(Keys, ShiftAloneFillsFiveBytes) {
  unsigned char keys[6] = {9, 9, 9, 9, 9, 9};
  Send(0, VK_SHIFT);
  GetKeys(keys);
  Send(0, VK_SHIFT, KEYEVENTF_KEYUP);
  EXPECT_EQ(std::vector<int>(keys, keys + 6), std::vector<int>({0, 1, 0, 0, 0, 9}));
}
