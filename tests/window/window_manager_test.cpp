#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/child_process.h"
#include "support/gdi_objects.h"
#include "window/mdi_host.h"

namespace {

using tstools::test::MdiHost;

bool SameRect(const RECT &a, const RECT &b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
std::string Describe(const RECT &r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}
RECT Box(HRGN rgn) {
  RECT r{};
  GetRgnBox(rgn, &r);
  return r;
}
RECT UpdateBox(HWND window) {
  HRGN update = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(window, update, FALSE);
  RECT r = Box(update);
  DeleteObject(update);
  return r;
}
// The pending region in the window's client coordinates.
RECT PendingInClient(WindowPtr w) {
  RECT r = Box(w->port.spareRgn);
  MapWindowPoints(nullptr, w->port.window, reinterpret_cast<POINT *>(&r), 2);
  return r;
}
const RECT kEmpty{0, 0, 0, 0};

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

TEST_F(Windows, CreationPlacesTitlesAndStylesTheChild) {
  const unsigned char cafe[] = "\x04" "Caf\x8E";  // Mac Roman e-acute
  WindowPtr w = ML_NewWindow(host.instance, MdiHost::kDocumentClass, nullptr, 10, 20, 310, 220, host.client,
                             cafe, true, true, 0, kWindowInFront, 77);
  ASSERT_NE(w, nullptr);
  HWND h = w->port.window;
  EXPECT_EQ(GetParent(h), host.client);
  EXPECT_EQ(w->windowKind, 8);
  EXPECT_EQ(w->visible, 1);
  EXPECT_EQ(GetWRefCon(w), 77);
  EXPECT_EQ(GetWRefCon(nullptr), 0);
  EXPECT_EQ(GetWindowPtr(h), w);
  EXPECT_EQ(MdiHost::Active(), h) << "behind -1 activates the new window";
  EXPECT_EQ(Describe(MdiHost::FrameInClient(h)), "10,20,310,220");
  EXPECT_TRUE(GetWindowLongPtrA(h, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  char text[16] = {};
  GetWindowTextA(h, text, sizeof text);
  EXPECT_STREQ(text, "Caf\xE9") << "the title reaches Windows in its code page";
  Str255 back = {};
  GetWTitle(w, back);
  EXPECT_EQ(std::string(reinterpret_cast<char *>(back), 5), std::string(reinterpret_cast<const char *>(cafe), 5));

  // A 300-character title comes back cut to 255, and nothing past the Str255 is written.
  SetWindowTextA(h, std::string(300, 'x').c_str());
  unsigned char guarded[260];
  memset(guarded, 0xA5, sizeof guarded);
  GetWTitle(w, guarded);
  EXPECT_EQ(guarded[0], 255);
  EXPECT_EQ(guarded[255], 'x');
  EXPECT_EQ(guarded[256], 0xA5);

  // Invisible: hidden, last in z-order, then placed at its bounds.
  WindowPtr hidden = host.NewDocument(100, 50, 400, 300, false);
  ASSERT_NE(hidden, nullptr);
  EXPECT_FALSE(IsWindowVisible(hidden->port.window));
  EXPECT_EQ(hidden->visible, 0);
  EXPECT_EQ(GetWindow(h, GW_HWNDLAST), hidden->port.window);
  EXPECT_EQ(Describe(MdiHost::FrameInClient(hidden->port.window)), "100,50,400,300");
  EXPECT_EQ(MdiHost::Active(), h) << "an invisible window leaves activation alone";

  // Kind 2 without close box: no sizing or dialog frame (so no caption), no Close command.
  WindowPtr plain = host.NewDocument(50, 50, 250, 150, true, 2, false);
  ASSERT_NE(plain, nullptr);
  LONG_PTR style = GetWindowLongPtrA(plain->port.window, GWL_STYLE);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_DLGFRAME));
  HMENU system = GetSystemMenu(plain->port.window, FALSE);
  EXPECT_EQ(GetMenuState(system, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
  EXPECT_NE(GetMenuState(GetSystemMenu(h, FALSE), SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));

  for (WindowPtr each : {w, hidden, plain}) MdiHost::Close(each);
  EXPECT_EQ(GetWindowPtr(h), nullptr);
}

TEST_F(Windows, FailedCreationLeavesNoWindowPortOrObject) {
  long objects = tstools::test::LiveGdiObjects();
  EXPECT_EQ(host.NewDocument(0, 0, 100, 100, true, 0, true, kWindowInFront, "NoSuchClass"), nullptr);
  for (auto how : {MdiHost::OnCreate::RefuseAfterOpening, MdiHost::OnCreate::SkipPort}) {
    MdiHost::onCreate = how;
    for (int i = 0; i < 20; ++i) EXPECT_EQ(host.NewDocument(0, 0, 100, 100), nullptr);
  }
  MdiHost::onCreate = MdiHost::OnCreate::OpenPort;
  MdiHost::Pump();
  EXPECT_EQ(GetWindow(host.client, GW_CHILD), nullptr) << "half-made windows are destroyed";
  EXPECT_EQ(tstools::test::LiveGdiObjects(), objects) << "no DC or region of an abandoned port is left";
  // A host's own storage is used and stays the host's.
  WindowRecord storage;
  WindowPtr w = ML_NewWindow(host.instance, MdiHost::kDocumentClass, &storage, 0, 0, 100, 100, host.client,
                             nullptr, true, true, 0, nullptr, 5);
  EXPECT_EQ(w, &storage);
  MdiHost::Close(w);
}

TEST_F(Windows, ActivationVisibilityAndOrderFollowTheMdiClient) {
  WindowPtr a = host.NewDocument(0, 0, 200, 150), b = host.NewDocument(20, 20, 220, 170),
            c = host.NewDocument(40, 40, 240, 190);
  ASSERT_TRUE(a && b && c);
  HWND ha = a->port.window, hb = b->port.window, hc = c->port.window;
  EXPECT_EQ(MdiHost::Active(), hc);
  SelectWindow(a);  // through the MDI client: the child itself ignores WM_MDIACTIVATE
  EXPECT_EQ(MdiHost::Active(), ha);
  EXPECT_EQ(ML_FrontWindow(host.client), a);

  ShowHide(a, false);
  EXPECT_FALSE(IsWindowVisible(ha));
  EXPECT_EQ(a->visible, 0);
  EXPECT_EQ(MdiHost::Active(), ha) << "ShowHide(false) activates nothing else";
  EXPECT_NE(ML_FrontWindow(host.client), a) << "hidden windows are skipped";
  EXPECT_EQ(ML_LMGetWindowList(host.client), a) << "the list starts at the active child, hidden or not";
  EXPECT_EQ(ML_FrontWindowFocus(host.client, false), a);
  M_ShowWindow(a);
  EXPECT_TRUE(IsWindowVisible(ha));
  EXPECT_EQ(a->visible, 1);

  SendBehind(a, nullptr);
  EXPECT_EQ(GetWindow(ha, GW_HWNDLAST), ha);
  SendBehind(a, b);
  EXPECT_EQ(GetWindow(hb, GW_HWNDNEXT), ha);
  EXPECT_EQ(GetNextWindowPtr(b), a);

  // A minimised window is skipped, or (focus search not accepting it) ends the search.
  SendMessageA(ha, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  SelectWindow(a);
  ASSERT_TRUE(IsIconic(ha));
  EXPECT_NE(ML_FrontWindow(host.client), a);
  EXPECT_EQ(ML_FrontWindowFocus(host.client, false), nullptr);
  EXPECT_EQ(ML_FrontWindowFocus(host.client, true), a);
  SendMessageA(host.client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(ha), 0);

  HiliteWindow(b, true);
  ZoomWindow(b, 0, false);
  EXPECT_TRUE(IsZoomed(hb));
  SendMessageA(host.client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(hb), 0);
  (void)hc;
  for (WindowPtr each : {a, b, c}) MdiHost::Close(each);
}

TEST_F(Windows, LookupsTrustOnlyThisProcessAndFindTheDocumentUnderAControl) {
  WindowPtr w = host.NewDocument(30, 30, 330, 230);
  ASSERT_NE(w, nullptr);
  HWND bar = CreateWindowA("SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | SBS_VERT, 0, 0, 16, 100, w->port.window,
                           nullptr, host.instance, nullptr);
  UpdateWindow(host.frame);
  MdiHost::Pump();
  RECT r{};
  GetWindowRect(bar, &r);
  Point overBar{static_cast<short>(r.left + 8), static_cast<short>(r.top + 50)};
  WindowPtr found = reinterpret_cast<WindowPtr>(1);
  EXPECT_EQ(ML_FindWindow(nullptr, overBar, &found), 0);
  EXPECT_EQ(found, w) << "a control belongs to its document";
  ML_FindWindow(w->port.window, overBar, &found);
  EXPECT_EQ(found, nullptr) << "the ignored window";
  GetWindowRect(host.client, &r);
  ML_FindWindow(nullptr, Point{static_cast<short>(r.right - 5), static_cast<short>(r.bottom - 5)}, &found);
  EXPECT_EQ(found, nullptr) << "the MDI client has no record";

  // Another process's "thePort" holds an address of that process: never followed.
  HWND desktop = GetDesktopWindow();
  if (SetPropA(desktop, "thePort", reinterpret_cast<HANDLE>(0x1234))) {
    EXPECT_EQ(GetWindowPtr(desktop), nullptr);
    RemovePropA(desktop, "thePort");
  }
  EXPECT_EQ(GetWindowPtr(host.frame), nullptr);
  MdiHost::Close(w);
}

TEST_F(Windows, MoveAndSizeSetTheClientAreaExactly) {
  for (short kind : {0, 2}) {
    SCOPED_TRACE(kind);
    WindowPtr w = host.NewDocument(10, 10, 300, 200, true, kind);
    ASSERT_NE(w, nullptr);
    HWND h = w->port.window;
    SizeWindow(w, 200, 120, true);
    ML_MoveWindow(nullptr, w, 35, 45, false);
    EXPECT_EQ(Describe(MdiHost::ContentInClient(h)), "35,45,235,165");
    WindowPtr other = host.NewDocument(0, 0, 100, 100);
    ML_MoveWindow(other->port.window, w, 40, 50, true);
    EXPECT_EQ(MdiHost::Active(), h) << "front brings it forward";
    MdiHost::Close(other);
    MdiHost::Close(w);
  }
}

TEST_F(Windows, PendingUpdatesReachWindowsAndTheVisibleRegion) {
  WindowPtr w = host.NewDocument(20, 20, 420, 320);
  ASSERT_NE(w, nullptr);
  HWND h = w->port.window;
  MdiHost::Pump();
  BeginUpdate(w);
  EndUpdate(w);

  const Rect whole{10, 10, 50, 40}, left{10, 10, 30, 40};
  ML_InvalRect(w, &whole);
  EXPECT_EQ(Describe(UpdateBox(h)), "10,10,50,40");
  EXPECT_EQ(w->port.updatePending, 1);
  ML_ValidRect(w, &left);
  EXPECT_EQ(Describe(UpdateBox(h)), "30,10,50,40");
  EXPECT_EQ(Describe(PendingInClient(w)), "30,10,50,40");
  BeginUpdate(w);
  EXPECT_EQ(Describe(Box(w->port.visRgn)), "30,10,50,40");
  EXPECT_EQ(w->port.updatePending, 1) << "Windows wanted exactly what was invalidated";
  EXPECT_TRUE(SameRect(UpdateBox(h), kEmpty));
  EXPECT_TRUE(SameRect(Box(w->port.spareRgn), kEmpty));
  EndUpdate(w);
  RECT client{};
  GetClientRect(h, &client);
  EXPECT_TRUE(SameRect(Box(w->port.visRgn), client));

  // Local coordinates follow the origin; Windows' own invalidation clears the flag.
  ML_SetOrigin(&w->port, 100, 200);
  const Rect moved{110, 210, 150, 240};
  ML_InvalRect(w, &moved);
  EXPECT_EQ(Describe(UpdateBox(h)), "10,10,50,40");
  RECT extra{200, 100, 220, 120};
  InvalidateRect(h, &extra, FALSE);
  BeginUpdate(w);
  EXPECT_EQ(Describe(Box(w->port.visRgn)), "110,210,320,320");
  EXPECT_EQ(w->port.updatePending, 0);
  EndUpdate(w);
  ML_SetOrigin(&w->port, 0, 0);

  // Regions; empty and inverted rectangles; a hidden window.
  HRGN rgn = CreateEllipticRgn(0, 0, 60, 60);
  ML_InvalRgn(w, rgn);
  EXPECT_TRUE(SameRect(UpdateBox(h), Box(rgn)));
  ML_ValidRgn(w, rgn);
  EXPECT_TRUE(SameRect(UpdateBox(h), kEmpty));
  DeleteObject(rgn);
  const Rect inverted{50, 40, 10, 10}, empty{10, 10, 10, 40};
  ML_InvalRect(w, &inverted);
  ML_InvalRect(w, &empty);
  EXPECT_TRUE(SameRect(UpdateBox(h), kEmpty)) << "GDI would have turned the rectangle round";
  ShowHide(w, false);
  ML_InvalRect(w, &whole);
  ShowHide(w, true);
  EXPECT_TRUE(SameRect(Box(w->port.spareRgn), kEmpty));

  // The pending region stays on the content when the window moves, from the first
  // invalidation on (no earlier ML_MoveUpdateRgn).
  MdiHost::Pump();
  BeginUpdate(w);
  EndUpdate(w);
  ML_InvalRect(w, &whole);
  ML_MoveWindow(nullptr, w, 60, 70, false);
  ML_MoveUpdateRgn(w);
  EXPECT_EQ(Describe(PendingInClient(w)), "10,10,50,40");

  // Visible region of the client; of no window, an empty one.
  HRGN vis = ML_GetVisRgn(w);
  GetClientRect(h, &client);
  EXPECT_TRUE(SameRect(Box(vis), client));
  DeleteObject(vis);
  vis = ML_GetVisRgn(nullptr);
  ASSERT_NE(vis, nullptr);
  EXPECT_TRUE(SameRect(Box(vis), kEmpty));
  DeleteObject(vis);
  MdiHost::Close(w);
}

// A lost region or DC per round would exhaust GDI's handle table long before the end.
TEST_F(Windows, UpdateCallsAndWindowLifetimesKeepNoObjects) {
  WindowPtr w = host.NewDocument(0, 0, 300, 200);
  ASSERT_NE(w, nullptr);
  const Rect r{5, 5, 60, 60};
  long objects = 0;
  for (int i = 0; i < 20000; ++i) {
    if (i == 1) objects = tstools::test::LiveGdiObjects();  // after the first clip and caches
    ML_InvalRect(w, &r);
    ML_ValidRect(w, &r);
    ML_InvalRect(w, &r);
    ML_MoveUpdateRgn(w);
    BeginUpdate(w);
    EndUpdate(w);
    DeleteObject(ML_GetVisRgn(w));
  }
  EXPECT_EQ(tstools::test::LiveGdiObjects(), objects);
  MdiHost::Close(w);
  MdiHost::Close(host.NewDocument(0, 0, 100, 80));  // the caches' first pen, brush and font
  objects = tstools::test::LiveGdiObjects();
  for (int i = 0; i < 100; ++i) MdiHost::Close(host.NewDocument(0, 0, 100, 80, i % 2 == 0));
  EXPECT_EQ(tstools::test::LiveGdiObjects(), objects);
}

// Before Windows 4.0 the child is made by WM_MDICREATE; Wine reports NT 3.51 to the probe.
TEST(WindowsBeforeFour, CreationGoesThroughTheMdiClient) {
  using namespace tstools::test;
  const std::string name = "window_probe_nt351.exe";
  ASSERT_TRUE(SetWineAppDefault(name, "Version", "nt351"));
  std::string probe = CopyProgramAs(ProgramDirectory() + "window_probe.exe", name);
  ASSERT_FALSE(probe.empty());
  auto result = RunProgram(probe);
  DeleteFileA(probe.c_str());
  EXPECT_EQ(result.exitCode, 0u) << result.output;
  auto report = ParseReport(result.output);
  EXPECT_EQ(report["new_shell"], "0");
  EXPECT_EQ(report["visible"], "10,20,310,220 1 active");
  EXPECT_EQ(report["invisible"], "100,50,400,300 0 last");
  EXPECT_EQ(report["client_edge"], "0") << "WM_MDICREATE has no extended styles";
  EXPECT_EQ(report["unknown_class"], "0 0");
}

}  // namespace
