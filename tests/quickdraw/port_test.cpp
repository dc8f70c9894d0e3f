// Ports over memory DCs on 32-bit DIB sections and over real windows, through the DLL.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <set>
#include <string>
#include <tuple>

#include "support/dib_canvas.h"
#include "support/gdi_objects.h"
#include "tstools/tstools.h"

namespace {

// Ports over a DIB surface. Every GDI object a port made must be gone after ClosePort and
// QDrawCacheClose.
class PortTest : public ::testing::Test {
 protected:
  void SetUp() override { QDrawCacheInit(); }
  void TearDown() override {
    if (port_.dc) ClosePort(&port_);
    surface.Release();  // a live DC's own clip region could take a freed handle's number
    QDrawCacheClose();
    for (HGDIOBJ h : seen) EXPECT_EQ(GetObjectType(h), 0u) << "GDI object left behind: " << h;
  }
  // Opens a DC port on the surface, closed at the end.
  GrafPort &OpenPort() {
    std::memset(&port_, 0xCD, sizeof(port_));  // the host need not clear the record
    port_.window = nullptr;
    port_.dc = surface.dc();
    port_.portKind = portKindWindowOrDC;
    port_.portRect = Rect{0, 0, 64, 64};
    ML_OpenPort(&port_);
    Track(port_);
    return port_;
  }
  void Close(GrafPort &port) {
    ClosePort(&port);
    port.dc = nullptr;
  }
  void Track(const GrafPort &port) {
    for (HGDIOBJ h : {HGDIOBJ(port.penSlot), HGDIOBJ(port.brushSlot), HGDIOBJ(port.fontSlot),
                      HGDIOBJ(port.visRgn), HGDIOBJ(port.clipRgn), HGDIOBJ(port.spareRgn)})
      if (h) seen.insert(h);
  }
  std::string ClipBox() {
    RECT r;
    GetClipBox(surface.dc(), &r);
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
  }
  tstools::test::DibCanvas surface{64, 64};
  std::set<HGDIOBJ> seen;

 private:
  GrafPort port_{};
};

}  // namespace

TEST_F(PortTest, OpenedDCPortHasTheDefaultDrawingState) {
  GrafPort &port = OpenPort();
  // font, size, text mode, pen mode and size, a row of each pattern, clip flags, text and printer flags
  EXPECT_EQ(std::make_tuple(port.txFont, port.txSize, port.txMode, port.pnMode, port.pnSize.h, port.pnPat.pat[3],
                            port.bkPat.pat[3], port.clipChanged, port.clipDepth, port.translateText,
                            port.printerHighRes),
            std::make_tuple(1, 12, 1, patCopy, 1, 0xFF, 0, 1, 0, 1, 0));
  EXPECT_EQ(std::make_tuple(GetTextColor(surface.dc()), GetBkColor(surface.dc()), GetROP2(surface.dc()),
                            GetTextAlign(surface.dc()), GetStretchBltMode(surface.dc())),
            std::make_tuple(0x02000000ul, 0x02FFFFFFul, R2_COPYPEN, 24u, COLORONCOLOR));
  EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_PEN), port.penSlot);
  ResetWinClipRgn(&port);
  EXPECT_EQ(ClipBox(), "0,0,64,64") << "a plain DC port clips to its own portRect";
  Close(port);
  EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_PEN), GetStockObject(NULL_PEN));
  EXPECT_EQ(port.visRgn, nullptr);
}

TEST_F(PortTest, ColoursAndPenModesReachTheDCOnlyWhenTheyChange) {
  GrafPort &port = OpenPort();
  ML_ForeColor(&port, redColor);
  EXPECT_EQ(GetTextColor(surface.dc()), 0x020000FFu);
  SetTextColor(surface.dc(), RGB(1, 2, 3));
  ML_ForeColor(&port, redColor);
  EXPECT_EQ(GetTextColor(surface.dc()), RGB(1, 2, 3)) << "unchanged colour: no GDI call";
  RGBColor teal{0x0080, 0x80FF, 0x8001}, c;
  ML_RGBBackColor(&port, &teal);
  EXPECT_EQ(GetBkColor(surface.dc()), 0x02808000u);
  EXPECT_EQ(port.bkColor, whiteColor) << "RGB calls leave the classic constant";
  ML_GetBackColor(&port, &c);
  EXPECT_EQ(c.green, 0x80FF);
  // What each pen mode draws is the shape tests' pixel model; here, what is no pen mode.
  for (short mode : {0, -1, 3}) {
    ML_PenMode(&port, mode);
    EXPECT_EQ(GetROP2(surface.dc()), R2_NOP) << "not a pen mode: " << mode;
  }
  SetROP2(surface.dc(), R2_BLACK);
  ML_PenMode(&port, 3);
  EXPECT_EQ(GetROP2(surface.dc()), R2_BLACK) << "an unchanged mode makes no GDI call";
}

TEST_F(PortTest, OriginAndClipMoveTheDrawing) {
  GrafPort &port = OpenPort();
  ML_SetOrigin(&port, 100, 50);
  EXPECT_EQ(std::make_tuple(port.portRect.left, port.portRect.top, port.clipChanged), std::make_tuple(100, 50, 1));
  Rect clip{102, 52, 110, 60};
  ML_ClipRect(&port, &clip);
  ResetWinClipRgn(&port);
  EXPECT_EQ(port.clipChanged, 0);
  EXPECT_EQ(ClipBox(), "102,52,110,60");
  RECT all{100, 50, 164, 114};
  FillRect(surface.dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(std::make_pair(surface.At(2, 2), surface.At(1, 2)), std::make_pair(0u, 0xFFFFFFu))
      << "local (102,52) is pixel (2,2), the clip's corner";
  // The clip is intersected with the visible region.
  Rect wide{90, 40, 120, 70};
  ML_ClipRect(&port, &wide);
  ResetWinClipRgn(&port);
  EXPECT_EQ(ClipBox(), "100,50,120,70");
}

TEST_F(PortTest, CacheClosedBeforeThePortStillFreesItsObjects) {
  GrafPort &port = OpenPort();
  QDrawCacheClose();
  EXPECT_EQ(GetObjectType(port.penSlot), static_cast<DWORD>(OBJ_PEN)) << "still selected";
  Close(port);
  QDrawCacheInit();  // TearDown closes again
}

// A recording port's clip is a state pushed on both its DCs, counted in clipDepth only when
// both were pushed: a DC that cannot save leaves nothing for DesetWinClipRgn to pop.
TEST_F(PortTest, PictureClipCountsOnlyStatesReallyPushed) {
  tstools::test::DibCanvas other{8, 8};
  HDC gone = CreateCompatibleDC(nullptr);
  DeleteDC(gone);
  auto level = [](HDC dc) {
    int n = SaveDC(dc);
    RestoreDC(dc, -1);
    return n;
  };
  HDC a = surface.dc(), b = other.dc();
  for (auto [dc, ref, pushed] : {std::make_tuple(a, b, 1), std::make_tuple(gone, b, 0), std::make_tuple(a, gone, 0)}) {
    GrafPort port{};
    port.portKind = portKindPicture;
    port.dc = dc;
    port.refDC = ref;
    const int before[2] = {level(a), level(b)};
    ResetWinClipRgn(&port);
    EXPECT_EQ(std::make_tuple(port.clipDepth, level(a) - before[0], level(b) - before[1]),
              std::make_tuple(long(pushed), dc == a ? pushed : 0, ref == b ? pushed : 0));
    DesetWinClipRgn(&port);
    EXPECT_EQ(std::make_tuple(port.clipDepth, level(a), level(b)), std::make_tuple(0L, before[0], before[1]));
  }
}

// The hexadecimal and row rules are the portable DrawingState tests'; these are the exports.
TEST_F(PortTest, PatternsAndHex) {
  Pattern p{};
  const unsigned char hex[] = {16, 'F', 'F', '0', '0', 'a', '5', '8', '1', '0', '0', '0', '0', '0', '0', '1', '2'};
  StuffHex(p.pat, hex);
  HBITMAP bitmap = PatternToBitmap(&p);
  ASSERT_NE(bitmap, nullptr);
  unsigned char rows[16];
  EXPECT_EQ(GetBitmapBits(bitmap, sizeof(rows), rows), 16);
  EXPECT_EQ(rows[4], 0x5A);
  DeleteObject(bitmap);
  EXPECT_EQ(PatternToBitmap(nullptr), nullptr);
  unsigned long procs[4] = {1, 2, 3, 4};
  SetStdProcs(procs);  // three words cleared, not one more
  EXPECT_EQ(std::make_pair(procs[0] | procs[1] | procs[2], procs[3]), std::make_pair(0ul, 4ul));
}

TEST_F(PortTest, WindowPortRegistersItselfAndFollowsTheClientArea) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "QuickDrawPortTest";
  RegisterClassA(&wc);
  HWND window = CreateWindowA("QuickDrawPortTest", "port", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 200, 150,
                              nullptr, nullptr, wc.hInstance, nullptr);
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
  SetWindowPos(window, nullptr, 0, 0, 300, 250, SWP_NOMOVE | SWP_NOZORDER);
  UpdateGrafPort(&port);
  GetClientRect(window, &client);
  EXPECT_EQ(std::make_pair(port.portRect.bottom, port.clipChanged), std::make_pair(short(client.bottom + 50), 0L));
  ClosePort(&port);
  EXPECT_EQ(GetPropA(window, "thePort"), nullptr);
  long before = tstools::test::LiveGdiObjects();
  for (int i = 0; i < 8; ++i) {
    GrafPort again{};
    again.window = window;
    ML_OpenPort(&again);
    ClosePort(&again);
  }
  EXPECT_EQ(tstools::test::LiveGdiObjects(), before) << "every port gives back the window's DC";
  DestroyWindow(window);
}
