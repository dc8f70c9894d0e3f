// Ports over memory DCs on 32-bit DIB sections and over real windows, through the DLL.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <set>
#include <vector>

#include "tstools/tstools.h"

namespace {

// A memory DC holding a 64 x 64, 32-bit top-down DIB section.
struct DibDC {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr, old = nullptr;
  uint32_t *pixels = nullptr;
  DibDC() {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 64, -64, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void **>(&pixels), nullptr, 0);
    old = static_cast<HBITMAP>(SelectObject(dc, bitmap));
    std::memset(pixels, 0xFF, 64 * 64 * 4);
  }
  ~DibDC() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  uint32_t At(int x, int y) const { return pixels[y * 64 + x] & 0xFFFFFF; }
};

GrafPort OpenDCPort(HDC dc, unsigned char kind = 0) {
  GrafPort port;
  std::memset(&port, 0xCD, sizeof(port));  // the host need not clear the record
  port.window = nullptr;
  port.dc = dc;
  port.portKind = kind;
  port.portRect = Rect{0, 0, 64, 64};
  ML_OpenPort(&port);
  return port;
}

class PortTest : public ::testing::Test {
 protected:
  void SetUp() override { QDrawCacheInit(); }
  void TearDown() override {
    QDrawCacheClose();
    for (HGDIOBJ h : seen) EXPECT_EQ(GetObjectType(h), 0u) << "GDI object left behind: " << h;
  }
  // Everything the port made; all must be gone after ClosePort and QDrawCacheClose.
  void Track(const GrafPort &port) {
    for (HGDIOBJ h : {HGDIOBJ(port.penSlot), HGDIOBJ(port.brushSlot), HGDIOBJ(port.fontSlot),
                      HGDIOBJ(port.visRgn), HGDIOBJ(port.clipRgn), HGDIOBJ(port.spareRgn)})
      if (h) seen.insert(h);
  }
  std::set<HGDIOBJ> seen;
};

}  // namespace

TEST_F(PortTest, OpenedDCPortHasTheDefaultDrawingState) {
  DibDC surface;
  GrafPort port = OpenDCPort(surface.dc);
  Track(port);
  EXPECT_EQ(port.refDC, surface.dc);
  EXPECT_EQ(port.txFont, 1);
  EXPECT_EQ(port.txSize, 12);
  EXPECT_EQ(port.txMode, 1);
  EXPECT_EQ(port.pnMode, patCopy);
  EXPECT_EQ(port.pnSize.h, 1);
  EXPECT_EQ(port.pnPat.pat[3], 0xFF);
  EXPECT_EQ(port.bkPat.pat[3], 0x00);
  EXPECT_EQ(port.clipChanged, 1);
  EXPECT_EQ(port.clipDepth, 0);
  EXPECT_EQ(port.translateText, 1);
  EXPECT_EQ(port.printerHighRes, 0);
  EXPECT_STREQ(port.logFont.lfFaceName, "Helv");
  EXPECT_EQ(port.logFont.lfHeight, -12);
  EXPECT_EQ(port.textColorRef, 0x02000000u);
  EXPECT_EQ(port.bkColorRef, 0x02FFFFFFu);
  EXPECT_EQ(GetTextColor(surface.dc), 0x02000000u);
  EXPECT_EQ(GetBkColor(surface.dc), 0x02FFFFFFu);
  EXPECT_EQ(GetROP2(surface.dc), R2_COPYPEN);
  EXPECT_EQ(GetTextAlign(surface.dc), 24u);
  EXPECT_EQ(GetStretchBltMode(surface.dc), COLORONCOLOR);
  ASSERT_NE(port.penSlot, nullptr);
  ASSERT_NE(port.brushSlot, nullptr);
  ASSERT_NE(port.fontSlot, nullptr);
  EXPECT_EQ(GetCurrentObject(surface.dc, OBJ_PEN), port.penSlot);
  EXPECT_EQ(GetCurrentObject(surface.dc, OBJ_BRUSH), port.brushSlot);
  EXPECT_EQ(GetCurrentObject(surface.dc, OBJ_FONT), port.fontSlot);
  LOGPEN pen{};
  GetObject(port.penSlot, sizeof(pen), &pen);
  EXPECT_EQ(pen.lopnStyle, static_cast<UINT>(PS_INSIDEFRAME));
  EXPECT_EQ(pen.lopnWidth.x, 1);
  RECT box;
  GetRgnBox(port.clipRgn, &box);
  EXPECT_EQ(box.right, 64) << "a plain DC port clips to its own portRect";
  ClosePort(&port);
  EXPECT_EQ(GetCurrentObject(surface.dc, OBJ_PEN), GetStockObject(NULL_PEN));
  EXPECT_EQ(port.visRgn, nullptr);
}

TEST_F(PortTest, ColoursReachTheDCOnlyWhenTheyChange) {
  DibDC surface;
  GrafPort port = OpenDCPort(surface.dc);
  Track(port);
  ML_ForeColor(&port, redColor);
  EXPECT_EQ(GetTextColor(surface.dc), 0x020000FFu);
  EXPECT_EQ(port.fgColor, redColor);
  RGBColor c;
  ML_GetForeColor(&port, &c);
  EXPECT_EQ(c.red, 0xFF00);
  ML_ForeColor(&port, 1000);
  EXPECT_EQ(GetTextColor(surface.dc), 0x02000000u) << "unknown constants are black";
  SetTextColor(surface.dc, RGB(1, 2, 3));
  ML_ForeColor(&port, blackColor);
  EXPECT_EQ(GetTextColor(surface.dc), RGB(1, 2, 3)) << "unchanged colour: no GDI call";
  RGBColor teal{0x0080, 0x80FF, 0x8001};
  ML_RGBBackColor(&port, &teal);
  EXPECT_EQ(GetBkColor(surface.dc), 0x02808000u);
  EXPECT_EQ(port.bkColor, whiteColor) << "RGB calls leave the classic constant";
  ML_GetBackColor(&port, &c);
  EXPECT_EQ(c.green, 0x80FF);
  // Re-initialising resets the DC too, whatever it held.
  ML_InitPort(&port);
  Track(port);
  EXPECT_EQ(GetTextColor(surface.dc), 0x02000000u);
  EXPECT_EQ(GetBkColor(surface.dc), 0x02FFFFFFu);
  ClosePort(&port);
}

TEST_F(PortTest, PenModesSelectMixModesAndRepeatsAreFree) {
  DibDC surface;
  GrafPort port = OpenDCPort(surface.dc);
  Track(port);
  const int mix[8] = {R2_COPYPEN, R2_MASKPEN, R2_NOTXORPEN, R2_MERGENOTPEN,
                      R2_NOTCOPYPEN, R2_MASKNOTPEN, R2_XORPEN, R2_MERGEPEN};
  for (short mode = 8; mode <= 15; ++mode) {
    ML_PenMode(&port, mode);
    EXPECT_EQ(GetROP2(surface.dc), mix[mode - 8]) << mode;
  }
  ML_PenMode(&port, 3);
  EXPECT_EQ(GetROP2(surface.dc), R2_NOP);
  SetROP2(surface.dc, R2_BLACK);
  ML_PenMode(&port, 3);
  EXPECT_EQ(GetROP2(surface.dc), R2_BLACK) << "an unchanged mode makes no GDI call";
  PenState state{};
  ML_PenSize(&port, 3, 4);
  ML_MoveTo(&port, 7, 9);
  ML_Move(&port, 1, -1);
  ML_GetPenState(&port, &state);
  EXPECT_EQ(state.pnLoc.h, 8);
  EXPECT_EQ(state.pnLoc.v, 8);
  EXPECT_EQ(state.pnSize.v, 4);
  POINT cp;
  GetCurrentPositionEx(surface.dc, &cp);
  EXPECT_EQ(cp.x, 8);
  state.pnMode = patXor;
  state.pnLoc = Point{2, 3};
  ML_SetPenState(&port, &state);
  EXPECT_EQ(GetROP2(surface.dc), R2_NOTXORPEN);
  Point pen;
  ML_GetPen(&port, &pen);
  EXPECT_EQ(pen.v, 3);
  ML_TextSize(&port, 0);
  EXPECT_EQ(port.txSize, 12);
  ML_TextFace(&port, 5);
  EXPECT_EQ(port.txFace, 5);
  ClosePort(&port);
}

TEST_F(PortTest, OriginAndClipMoveTheDrawing) {
  DibDC surface;
  GrafPort port = OpenDCPort(surface.dc);
  Track(port);
  ML_SetOrigin(&port, 100, 50);
  EXPECT_EQ(port.portRect.left, 100);
  EXPECT_EQ(port.portRect.top, 50);
  POINT org;
  GetWindowOrgEx(surface.dc, &org);
  EXPECT_EQ(org.x, 100);
  EXPECT_EQ(port.clipChanged, 1);
  Rect clip{102, 52, 110, 60};
  ML_ClipRect(&port, &clip);
  ResetWinClipRgn(&port);
  EXPECT_EQ(port.clipChanged, 0);
  RECT box;
  EXPECT_EQ(GetClipBox(surface.dc, &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 102);
  EXPECT_EQ(box.top, 52);
  EXPECT_EQ(box.right, 110);
  RECT all{100, 50, 164, 114};
  FillRect(surface.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(surface.At(2, 2), 0u) << "local (102,52) is pixel (2,2)";
  EXPECT_EQ(surface.At(1, 2), 0xFFFFFFu) << "outside the clip";
  EXPECT_EQ(surface.At(10, 2), 0xFFFFFFu);
  // SetClip copies the region; the clip is intersected with the visible region.
  RgnHandle rgn = NewRgn(), got = NewRgn();
  M_SetRectRgn(rgn, 90, 40, 120, 70);
  ML_SetClip(&port, rgn);
  ML_GetClip(&port, got);
  EXPECT_TRUE(EqualRgn(rgn, got));
  DisposeRgn(rgn);
  ResetWinClipRgn(&port);
  GetClipBox(surface.dc, &box);
  EXPECT_EQ(box.left, 100);
  EXPECT_EQ(box.right, 120);
  DisposeRgn(got);
  Point pt{100, 50};
  ML_LocalToGlobal(&port, &pt);
  EXPECT_EQ(pt.h, 0);
  ML_GlobalToLocal(&port, &pt);
  EXPECT_EQ(pt.v, 50);
  ClosePort(&port);
}

TEST_F(PortTest, PortsWithTheSameStateShareCachedObjects) {
  DibDC a, b;
  GrafPort pa = OpenDCPort(a.dc), pb = OpenDCPort(b.dc);
  Track(pa);
  EXPECT_EQ(pa.penSlot, pb.penSlot);
  EXPECT_EQ(pa.brushSlot, pb.brushSlot);
  EXPECT_EQ(pa.fontSlot, pb.fontSlot);
  HPEN shared = pa.penSlot;
  ClosePort(&pa);
  EXPECT_EQ(GetObjectType(shared), static_cast<DWORD>(OBJ_PEN)) << "cached for reuse";
  ClosePort(&pb);
}

TEST_F(PortTest, CacheClosedBeforeThePortStillFreesItsObjects) {
  DibDC surface;
  GrafPort port = OpenDCPort(surface.dc);
  Track(port);
  QDrawCacheClose();
  EXPECT_EQ(GetObjectType(port.penSlot), static_cast<DWORD>(OBJ_PEN)) << "still selected";
  ClosePort(&port);
  QDrawCacheInit();  // TearDown closes again
}

TEST_F(PortTest, PrinterPortUsesDeviceSizeAndRectangularClip) {
  DibDC surface;
  GrafPort port = OpenDCPort(surface.dc, portKindPrinter);
  Track(port);
  EXPECT_EQ(port.portRect.right, GetDeviceCaps(surface.dc, HORZRES));
  EXPECT_NE(port.printerClipRgn, nullptr);
  EXPECT_EQ(port.printerShiftX, 0);
  Rect clip{5, 6, 20, 30};
  ML_ClipRect(&port, &clip);
  ResetWinClipRgn(&port);
  RECT box;
  GetClipBox(surface.dc, &box);
  EXPECT_EQ(box.left, 5);
  EXPECT_EQ(box.bottom, 30);
  seen.insert(port.printerClipRgn);
  ClosePort(&port);
}

TEST_F(PortTest, PatternsAndHex) {
  Pattern p{};
  const unsigned char hex[] = {16, 'F', 'F', '0', '0', 'a', '5', '8', '1', '0', '0', '0', '0', '0', '0', '1', '2'};
  StuffHex(p.pat, hex);
  EXPECT_EQ(p.pat[0], 0xFF);
  EXPECT_EQ(p.pat[2], 0xA5);
  EXPECT_EQ(p.pat[7], 0x12);
  HBITMAP bitmap = PatternToBitmap(&p);
  ASSERT_NE(bitmap, nullptr);
  BITMAP info;
  GetObject(bitmap, sizeof(info), &info);
  EXPECT_EQ(info.bmWidth, 8);
  EXPECT_EQ(info.bmBitsPixel, 1);
  unsigned char rows[16];
  EXPECT_EQ(GetBitmapBits(bitmap, sizeof(rows), rows), 16);
  EXPECT_EQ(rows[0], 0x00);
  EXPECT_EQ(rows[4], 0x5A);
  DeleteObject(bitmap);
  EXPECT_EQ(PatternToBitmap(nullptr), nullptr);
  unsigned long procs[4] = {1, 2, 3, 4};
  SetStdProcs(procs);
  EXPECT_EQ(procs[0] | procs[1] | procs[2], 0u);
  EXPECT_EQ(procs[3], 4u);
}

namespace {

LRESULT CALLBACK PlainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }

HWND MakeWindow() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = PlainProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "QuickDrawPortTest";
  RegisterClassA(&wc);
  return CreateWindowA("QuickDrawPortTest", "port", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 200, 150,
                       nullptr, nullptr, wc.hInstance, nullptr);
}

}  // namespace

TEST_F(PortTest, WindowPortRegistersItselfAndFollowsTheClientArea) {
  HWND window = MakeWindow();
  ASSERT_NE(window, nullptr);
  GrafPort port{};
  port.window = window;
  ML_OpenPort(&port);
  Track(port);
  ASSERT_NE(port.dc, nullptr);
  EXPECT_EQ(port.refDC, port.dc);
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(port.portRect.right, client.right);
  HANDLE block = GetPropA(window, "thePort");
  ASSERT_NE(block, nullptr);
  auto stored = static_cast<GrafPort **>(LocalLock(block));
  EXPECT_EQ(*stored, &port);
  LocalUnlock(block);
  ML_SetOrigin(&port, 100, 50);
  Point pt{100, 50};
  ML_LocalToGlobal(&port, &pt);
  POINT corner{0, 0};
  ClientToScreen(window, &corner);
  EXPECT_EQ(pt.h, corner.x) << "local (100,50) is the client area's top-left corner";
  EXPECT_EQ(pt.v, corner.y);
  Rect r;
  GetPortRect(&port, &r);
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.right, client.right + 100);
  SetWindowPos(window, nullptr, 0, 0, 300, 250, SWP_NOMOVE | SWP_NOZORDER);
  UpdateGrafPort(&port);
  GetClientRect(window, &client);
  EXPECT_EQ(port.portRect.bottom, client.bottom + 50);
  EXPECT_EQ(port.clipChanged, 0);
  ClosePort(&port);
  EXPECT_EQ(GetPropA(window, "thePort"), nullptr);
  DestroyWindow(window);
}

TEST_F(PortTest, CursorHidingIsCounted) {
  ML_FixCursor();  // nothing hidden: no effect
  HWND window = MakeWindow();
  RECT r;
  GetWindowRect(window, &r);
  SetCursorPos(r.left + 50, r.top + 50);
  ML_ObscureCursor(window);
  ML_ObscureCursor(window);  // counted once
  ML_FixCursor();
  ML_FixCursor();
  M_SetCursor(LoadCursor(nullptr, IDC_IBEAM), window, window);
  DestroyWindow(window);
}
