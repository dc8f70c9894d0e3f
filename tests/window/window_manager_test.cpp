// Document windows on a real MDI frame; Windows' own state (rectangles, z-order, the active
// child, update regions, styles) is the oracle.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/child_process.h"
#include "support/gdi_objects.h"
#include "window/mdi_host.h"

namespace {

using tstools::test::LiveGdiObjects;
using tstools::test::MdiHost;

std::string Describe(RECT r) {
  char text[64];
  snprintf(text, sizeof text, "%ld,%ld,%ld,%ld", r.left, r.top, r.right, r.bottom);
  return text;
}
// A region's box; with `into`, from screen to that window's client coordinates.
std::string Box(HRGN rgn, HWND into = nullptr) {
  RECT r{};
  GetRgnBox(rgn, &r);
  if (into) MapWindowPoints(nullptr, into, reinterpret_cast<POINT *>(&r), 2);
  return Describe(r);
}
std::string UpdateBox(HWND window) {
  HRGN update = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(window, update, FALSE);
  std::string box = Box(update);
  DeleteObject(update);
  return box;
}
std::string ClientBox(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return Describe(r);
}

// Showing a frame costs Wine about two seconds here: the suite shares one.
class Windows : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ML_InitWindows();
    shared = new MdiHost;
  }
  static void TearDownTestSuite() { delete shared; }
  static inline MdiHost *shared = nullptr;
  MdiHost &host = *shared;
};

// Runs here (Windows 4.0 on: CreateWindowEx) and in a copy told it runs on NT 3.51
// (WM_MDICREATE), together with the failure test.
TEST_F(Windows, CreationPlacesTitlesAndStylesTheChild) {
  const bool newShell = LOBYTE(GetVersion()) >= 4;
  const unsigned char cafe[] = "\x04" "Caf\x8E";  // Mac Roman e-acute
  WindowPtr w = ML_NewWindow(host.instance, MdiHost::kDocumentClass, nullptr, 10, 20, 310, 220, host.client,
                             cafe, true, true, 0, kWindowInFront, 77);
  ASSERT_NE(w, nullptr);
  HWND h = w->port.window;
  EXPECT_TRUE(GetWindowPtr(h) == w && w->windowKind == 8 && w->visible && GetWRefCon(w) == 77 && !GetWRefCon(nullptr));
  EXPECT_EQ(MdiHost::Active(), h) << "behind -1 activates the new window";
  EXPECT_EQ(Describe(MdiHost::InClient(h)), "10,20,310,220");
  EXPECT_EQ((GetWindowLongPtrA(h, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0, newShell);
  char text[16] = {};
  GetWindowTextA(h, text, sizeof text);
  Str255 back = {};
  GetWTitle(w, back);
  EXPECT_EQ(std::string(text) + "|" + std::string(reinterpret_cast<char *>(back), 5), "Caf\xE9|\x04" "Caf\x8E");
  // A 300-character title comes back cut to 255, and nothing past the Str255 is written.
  SetWindowTextA(h, std::string(300, 'x').c_str());
  unsigned char guarded[260];
  memset(guarded, 0xA5, sizeof guarded);
  GetWTitle(w, guarded);
  EXPECT_TRUE(guarded[0] == 255 && guarded[255] == 'x' && guarded[256] == 0xA5);

  // Invisible: hidden, last in z-order, placed at its bounds, the active child kept.
  WindowPtr hidden = host.NewDocument(100, 50, 400, 300, false);
  ASSERT_NE(hidden, nullptr);
  EXPECT_FALSE(IsWindowVisible(hidden->port.window) || hidden->visible);
  EXPECT_TRUE(GetWindow(h, GW_HWNDLAST) == hidden->port.window && MdiHost::Active() == h);
  EXPECT_EQ(Describe(MdiHost::InClient(hidden->port.window)), "100,50,400,300");

  // Kind 2 without close box: no sizing or dialog frame (so no caption), no Close command.
  WindowPtr plain = host.NewDocument(50, 50, 250, 150, true, 2, false);
  EXPECT_FALSE(GetWindowLongPtrA(plain->port.window, GWL_STYLE) & (WS_THICKFRAME | WS_DLGFRAME));
  EXPECT_EQ(GetMenuState(GetSystemMenu(plain->port.window, FALSE), SC_CLOSE, MF_BYCOMMAND), UINT(-1));
  EXPECT_NE(GetMenuState(GetSystemMenu(h, FALSE), SC_CLOSE, MF_BYCOMMAND), UINT(-1));
  for (WindowPtr each : {w, hidden, plain}) MdiHost::Close(each);
  EXPECT_EQ(GetWindowPtr(h), nullptr);
  if (!newShell) return;

  using namespace tstools::test;
  const std::string name = "window_nt351.exe";
  std::string copy = CopyProgramAs(ProgramDirectory() + "window_manager_tests.exe", name);
  ASSERT_TRUE(SetWineAppDefault(name, "Version", "nt351") && !copy.empty());
  auto result = RunProgram(copy, "--gtest_filter=Windows.Creation*:Windows.Failed*");
  DeleteFileA(copy.c_str());
  EXPECT_TRUE(result.exitCode == 0 && result.output.find("2 tests") != std::string::npos) << result.output;
}

TEST_F(Windows, FailedCreationLeavesNoWindowPortOrObject) {
  long objects = LiveGdiObjects();
  EXPECT_EQ(host.NewDocument(0, 0, 100, 100, true, 0, true, "NoSuchClass"), nullptr);
  for (auto how : {MdiHost::OnCreate::RefuseAfterOpening, MdiHost::OnCreate::SkipPort}) {
    MdiHost::onCreate = how;
    for (int i = 0; i < 20; ++i) EXPECT_EQ(host.NewDocument(0, 0, 100, 100), nullptr);
  }
  MdiHost::onCreate = MdiHost::OnCreate::OpenPort;
  MdiHost::Pump();
  EXPECT_EQ(GetWindow(host.client, GW_CHILD), nullptr) << "half-made windows are destroyed";
  EXPECT_EQ(LiveGdiObjects(), objects) << "no DC or region of an abandoned port is left";
}

TEST_F(Windows, ActivationVisibilityAndOrderFollowTheMdiClient) {
  WindowPtr a = host.NewDocument(0, 0, 200, 150), b = host.NewDocument(20, 20, 220, 170),
            c = host.NewDocument(40, 40, 240, 190);
  ASSERT_TRUE(a && b && c);
  HWND ha = a->port.window, hb = b->port.window;
  SelectWindow(a);  // through the MDI client: the child itself ignores WM_MDIACTIVATE
  EXPECT_TRUE(MdiHost::Active() == ha && ML_FrontWindow(host.client) == a);

  ShowHide(a, false);
  EXPECT_FALSE(IsWindowVisible(ha) || a->visible);
  EXPECT_EQ(MdiHost::Active(), ha) << "ShowHide(false) activates nothing else";
  // Hidden windows are skipped, unless the search takes them; the list starts at the active child.
  EXPECT_TRUE(ML_FrontWindow(host.client) != a && ML_LMGetWindowList(host.client) == a &&
              ML_FrontWindowFocus(host.client, false) == a);
  M_ShowWindow(a);
  EXPECT_TRUE(IsWindowVisible(ha) && a->visible);

  SendBehind(a, nullptr);
  EXPECT_EQ(GetWindow(ha, GW_HWNDLAST), ha);
  SendBehind(a, b);
  EXPECT_TRUE(GetWindow(hb, GW_HWNDNEXT) == ha && GetNextWindowPtr(b) == a);

  // A minimised window is skipped, or (a focus search not accepting it) ends the search.
  SendMessageA(ha, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  SelectWindow(a);
  ASSERT_TRUE(IsIconic(ha));
  EXPECT_TRUE(ML_FrontWindow(host.client) != a && !ML_FrontWindowFocus(host.client, false) &&
              ML_FrontWindowFocus(host.client, true) == a);
  for (WindowPtr each : {a, b, c}) MdiHost::Close(each);
}

TEST_F(Windows, LookupsTrustOnlyThisProcessAndFindTheDocumentUnderAControl) {
  WindowPtr w = host.NewDocument(30, 30, 330, 230);
  ASSERT_NE(w, nullptr);
  HWND bar = CreateWindowA("SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | SBS_VERT, 0, 0, 16, 100, w->port.window,
                           nullptr, host.instance, nullptr);
  MdiHost::Pump();
  RECT r{};
  GetWindowRect(bar, &r);
  const Point overBar{short(r.left + 8), short(r.top + 50)};
  WindowPtr found = nullptr;
  EXPECT_TRUE(ML_FindWindow(nullptr, overBar, &found) == 0 && found == w) << "a control belongs to its document";
  EXPECT_TRUE(ML_FindWindow(w->port.window, overBar, &found) == 0 && !found) << "the ignored window";
  // Another process's "thePort" holds an address of that process: never followed.
  HWND desktop = GetDesktopWindow();
  if (SetPropA(desktop, "thePort", reinterpret_cast<HANDLE>(0x1234))) {
    EXPECT_EQ(GetWindowPtr(desktop), nullptr);
    RemovePropA(desktop, "thePort");
  }
  MdiHost::Close(w);
}

TEST_F(Windows, MoveAndSizeSetTheClientAreaExactly) {
  for (short kind : {0, 2}) {
    WindowPtr w = host.NewDocument(10, 10, 300, 200, true, kind), other = host.NewDocument(0, 0, 100, 100);
    SizeWindow(w, 200, 120, true);
    ML_MoveWindow(nullptr, w, 35, 45, false);
    EXPECT_EQ(Describe(MdiHost::InClient(w->port.window, true)), "35,45,235,165") << kind;
    ML_MoveWindow(other->port.window, w, 40, 50, true);
    EXPECT_EQ(MdiHost::Active(), w->port.window) << "front brings it forward";
    MdiHost::Close(other);
    MdiHost::Close(w);
  }
}

TEST_F(Windows, PendingUpdatesReachWindowsAndTheVisibleRegion) {
  WindowPtr w = host.NewDocument(20, 20, 420, 320);
  ASSERT_NE(w, nullptr);
  HWND h = w->port.window;
  const std::string none = "0,0,0,0";
  BeginUpdate(w);
  EndUpdate(w);

  const Rect whole{10, 10, 50, 40}, left{10, 10, 30, 40};
  ML_InvalRect(w, &whole);
  EXPECT_EQ(UpdateBox(h) + " " + std::to_string(w->port.updatePending), "10,10,50,40 1");
  ML_ValidRect(w, &left);
  EXPECT_EQ(UpdateBox(h) + " " + Box(w->port.spareRgn, h), "30,10,50,40 30,10,50,40");
  BeginUpdate(w);  // Windows wanted exactly what was invalidated: the flag stays
  EXPECT_EQ(Box(w->port.visRgn) + " " + std::to_string(w->port.updatePending), "30,10,50,40 1");
  EXPECT_EQ(UpdateBox(h) + " " + Box(w->port.spareRgn), none + " " + none);
  EndUpdate(w);
  EXPECT_EQ(Box(w->port.visRgn), ClientBox(h));

  // Local coordinates follow the origin; Windows' own invalidation clears the flag.
  ML_SetOrigin(&w->port, 100, 200);
  const Rect moved{110, 210, 150, 240};
  ML_InvalRect(w, &moved);
  EXPECT_EQ(UpdateBox(h), "10,10,50,40");
  RECT extra{200, 100, 220, 120};
  InvalidateRect(h, &extra, FALSE);
  BeginUpdate(w);
  EXPECT_EQ(Box(w->port.visRgn) + " " + std::to_string(w->port.updatePending), "110,210,320,320 0");
  EndUpdate(w);
  ML_SetOrigin(&w->port, 0, 0);

  // Regions; empty and inverted rectangles (GDI would turn them round); a hidden window.
  HRGN rgn = CreateEllipticRgn(0, 0, 60, 60);
  ML_InvalRgn(w, rgn);
  EXPECT_EQ(UpdateBox(h), Box(rgn));
  ML_ValidRgn(w, rgn);
  EXPECT_EQ(UpdateBox(h), none);
  DeleteObject(rgn);
  const Rect inverted{50, 40, 10, 10}, empty{10, 10, 10, 40};
  ML_InvalRect(w, &inverted);
  ML_InvalRect(w, &empty);
  EXPECT_EQ(UpdateBox(h), none);
  ShowHide(w, false);
  ML_InvalRect(w, &whole);
  ShowHide(w, true);  // Windows repaints what it shows: only the pending region tells
  EXPECT_EQ(Box(w->port.spareRgn), none);
  BeginUpdate(w);
  EndUpdate(w);

  // The pending region stays on the content when the window moves, from the first
  // invalidation on (no earlier ML_MoveUpdateRgn).
  ML_InvalRect(w, &whole);
  ML_MoveWindow(nullptr, w, 60, 70, false);
  ML_MoveUpdateRgn(w);
  EXPECT_EQ(Box(w->port.spareRgn, h), "10,10,50,40");

  HRGN vis = ML_GetVisRgn(w), nothing = ML_GetVisRgn(nullptr);
  EXPECT_EQ(Box(vis) + " " + Box(nothing), ClientBox(h) + " " + none);
  DeleteObject(vis);
  DeleteObject(nothing);
  MdiHost::Close(w);
}

// A lost region or DC per round would exhaust GDI's handle table long before the end.
TEST_F(Windows, UpdateCallsKeepNoObjects) {
  WindowPtr w = host.NewDocument(0, 0, 300, 200);
  const Rect r{5, 5, 60, 60};
  long objects = 0;
  for (int i = 0; i < 20000; ++i) {
    if (i == 1) objects = LiveGdiObjects();  // after the first clip and cached objects
    ML_InvalRect(w, &r);
    ML_ValidRect(w, &r);
    ML_InvalRect(w, &r);
    ML_MoveUpdateRgn(w);
    BeginUpdate(w);
    EndUpdate(w);
    DeleteObject(ML_GetVisRgn(w));
  }
  EXPECT_EQ(LiveGdiObjects(), objects);
  MdiHost::Close(w);
}

}  // namespace
