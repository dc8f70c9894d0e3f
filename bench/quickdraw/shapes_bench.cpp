// Every shape and bit-transfer verb on a port over a DIB section, each next to the bare GDI
// call that does the same work on the same DC with its objects already made and selected:
// what the Toolbox layer costs per call. Each pair is timed alternately, best of three.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>

#include "support/bench.h"
#include "tests/support/dib_canvas.h"
#include "tstools/tstools.h"

using tstools::bench::TimePerOp;

namespace {

// A port's DC borrowed by bare GDI calls: the pen, brush and mix mode they need are
// selected around the timing and the port's own put back after, as any host drawing on a
// port's DC does.
class Bench {
 public:
  // only: time just the verbs whose names contain it (all when null).
  Bench(GrafPort &port, const char *only) : port_(port), only_(only) {}

  void Compare(const char *verb, const std::function<void()> &ours, const char *bare, HGDIOBJ pen, HGDIOBJ brush,
               const std::function<void()> &peer, int mix = R2_COPYPEN) {
    if (only_ && !std::strstr(verb, only_)) return;
    HDC dc = port_.dc;
    auto timePeer = [&] {
      SelectObject(dc, pen);
      SelectObject(dc, brush);
      int oldMix = SetROP2(dc, mix);
      double ns = TimePerOp(peer);
      SetROP2(dc, oldMix);
      SelectObject(dc, port_.penSlot);
      SelectObject(dc, port_.brushSlot);
      return ns;
    };
    double a = 1e18, b = 1e18;
    for (int round = 0; round < 3; ++round) {
      a = std::min(a, TimePerOp(ours));
      b = std::min(b, timePeer());
    }
    std::printf("%-40s %9.0f ns %9.0f ns %6.2fx  %s\n", verb, a, b, a / b, bare);
    std::fflush(stdout);
  }

 private:
  GrafPort &port_;
  const char *only_;
};

HGLOBAL MakePoly(const POINT *v, int n) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 10 + n * sizeof(POINT));
  auto *p = static_cast<unsigned char *>(GlobalLock(h));
  short size = static_cast<short>(10 + n * sizeof(POINT));
  std::memcpy(p, &size, 2);
  std::memcpy(p + 10, v, n * sizeof(POINT));
  GlobalUnlock(h);
  return h;
}

}  // namespace

// An argument times only the verbs whose names contain it: quickdraw_shapes_bench Poly
int main(int argc, char **argv) {
  const char *only = argc > 1 ? argv[1] : nullptr;
  tstools::test::DibCanvas canvas(512, 512);
  HDC dc = canvas.dc();
  QDrawCacheInit();
  GrafPort port;
  canvas.OpenPort(&port);
  Bench bench(port, only);
  const Pattern checker = {{0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55}};
  Rect r{10, 10, 90, 70};
  RECT rc{10, 10, 90, 70};

  HBRUSH black = CreateSolidBrush(0), white = CreateSolidBrush(0xFFFFFF);
  HPEN pen1 = CreatePen(PS_SOLID, 1, 0), frame = CreatePen(PS_INSIDEFRAME, 1, 0), dotted = CreatePen(PS_DOT, 1, 0);
  LOGBRUSH solid{BS_SOLID, 0, 0};
  HPEN frame3 = ExtCreatePen(PS_GEOMETRIC | PS_INSIDEFRAME | PS_ENDCAP_SQUARE | PS_JOIN_MITER, 3, &solid, 0, nullptr);
  HGDIOBJ noPen = GetStockObject(NULL_PEN), noBrush = GetStockObject(NULL_BRUSH);
  // The kind of brush the port makes for a pattern: an 8 x 8 one-bit DIB.
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
    uint32_t rows[8];
  } dib{{sizeof(BITMAPINFOHEADER), 8, 8, 1, 1, BI_RGB, 0, 0, 0, 2, 0}, {{0, 0, 0, 0}, {255, 255, 255, 0}}, {}};
  for (int row = 0; row < 8; ++row) dib.rows[row] = row & 1 ? 0x55 : 0xAA;
  HBRUSH pattern = CreateDIBPatternBrushPt(&dib, DIB_RGB_COLORS);

  std::printf("%-40s %12s %12s %7s  %s\n", "verb (80 x 60 unless said)", "ours", "bare", "ratio", "bare GDI peer");

  // --- Rects
  bench.Compare("ML_FrameRect 1x1 solid", [&] { ML_FrameRect(&port, &r); }, "Rectangle, frame pen", frame, noBrush,
                [&] { Rectangle(dc, 10, 10, 90, 70); });
  ML_PenSize(&port, 3, 3);
  bench.Compare("ML_FrameRect 3x3 solid", [&] { ML_FrameRect(&port, &r); }, "Rectangle, 3-wide frame pen", frame3,
                noBrush, [&] { Rectangle(dc, 10, 10, 90, 70); });
  ML_PenNormal(&port);
  bench.Compare("ML_PaintRect solid", [&] { ML_PaintRect(&port, &r); }, "PatBlt, solid brush", noPen, black,
                [&] { PatBlt(dc, 10, 10, 80, 60, PATCOPY); });
  bench.Compare("ML_EraseRect", [&] { ML_EraseRect(&port, &r); }, "PatBlt, white brush", noPen, white,
                [&] { PatBlt(dc, 10, 10, 80, 60, PATCOPY); });
  bench.Compare("ML_InvertRect", [&] { ML_InvertRect(&port, &r); }, "InvertRect", noPen, noBrush,
                [&] { InvertRect(dc, &rc); });
  bench.Compare("ML_FillRect pattern", [&] { ML_FillRect(&port, &r, &checker); }, "PatBlt, pattern brush", noPen,
                pattern, [&] { PatBlt(dc, 10, 10, 80, 60, PATCOPY); });

  // --- Ovals
  bench.Compare("ML_FrameOval 1x1 solid", [&] { ML_FrameOval(&port, &r); }, "Ellipse, frame pen", frame, noBrush,
                [&] { Ellipse(dc, 10, 10, 90, 70); });
  bench.Compare("ML_PaintOval solid", [&] { ML_PaintOval(&port, &r); }, "Ellipse, solid brush", noPen, black,
                [&] { Ellipse(dc, 10, 10, 91, 71); });
  bench.Compare("ML_EraseOval", [&] { ML_EraseOval(&port, &r); }, "Ellipse, white brush", noPen, white,
                [&] { Ellipse(dc, 10, 10, 91, 71); });
  HRGN ovalRgn = CreateEllipticRgn(10, 10, 91, 71);
  bench.Compare("ML_InvertOval", [&] { ML_InvertOval(&port, &r); }, "InvertRgn, elliptic region made once", noPen,
                noBrush, [&] { InvertRgn(dc, ovalRgn); });
  bench.Compare("ML_FillOval pattern", [&] { ML_FillOval(&port, &r, &checker); }, "Ellipse, pattern brush", noPen,
                pattern, [&] { Ellipse(dc, 10, 10, 91, 71); });
  bench.Compare("ML_FrameGrayOval", [&] { ML_FrameGrayOval(&port, &r); }, "Ellipse, dotted pen", dotted, noBrush,
                [&] { Ellipse(dc, 10, 10, 90, 70); });

  // --- Rounded rects
  bench.Compare("ML_FrameRoundRect 1x1 solid", [&] { ML_FrameRoundRect(&port, &r, 16, 12); }, "RoundRect, frame pen",
                frame, noBrush, [&] { RoundRect(dc, 10, 10, 90, 70, 16, 12); });
  bench.Compare("ML_PaintRoundRect solid", [&] { ML_PaintRoundRect(&port, &r, 16, 12); }, "RoundRect, solid brush",
                noPen, black, [&] { RoundRect(dc, 10, 10, 91, 71, 16, 12); });
  bench.Compare("ML_EraseRoundRect", [&] { ML_EraseRoundRect(&port, &r, 16, 12); }, "RoundRect, white brush", noPen,
                white, [&] { RoundRect(dc, 10, 10, 91, 71, 16, 12); });
  HRGN roundRgn = CreateRoundRectRgn(10, 10, 91, 71, 16, 12);
  bench.Compare("ML_InvertRoundRect", [&] { ML_InvertRoundRect(&port, &r, 16, 12); },
                "InvertRgn, rounded region made once", noPen, noBrush, [&] { InvertRgn(dc, roundRgn); });
  bench.Compare("ML_FillRoundRect pattern", [&] { ML_FillRoundRect(&port, &r, 16, 12, &checker); },
                "RoundRect, pattern brush", noPen, pattern, [&] { RoundRect(dc, 10, 10, 91, 71, 16, 12); });

  // --- Arcs, 10 degrees on for 100
  bench.Compare("ML_FrameArc 1x1 solid", [&] { ML_FrameArc(&port, &r, 10, 100); }, "Arc, frame pen", frame, noBrush,
                [&] { Arc(dc, 10, 10, 90, 70, 1050, 404, 226, -960); });
  bench.Compare("ML_PaintArc solid", [&] { ML_PaintArc(&port, &r, 10, 100); }, "Pie, solid brush", noPen, black,
                [&] { Pie(dc, 10, 10, 91, 71, 1050, 404, 226, -960); });
  bench.Compare("ML_EraseArc", [&] { ML_EraseArc(&port, &r, 10, 100); }, "Pie, white brush", noPen, white,
                [&] { Pie(dc, 10, 10, 91, 71, 1050, 404, 226, -960); });
  bench.Compare("ML_InvertArc", [&] { ML_InvertArc(&port, &r, 10, 100); }, "Pie under R2_NOT", noPen, black,
                [&] { Pie(dc, 10, 10, 91, 71, 1050, 404, 226, -960); }, R2_NOT);
  bench.Compare("ML_FillArc pattern", [&] { ML_FillArc(&port, &r, 10, 100, &checker); }, "Pie, pattern brush", noPen,
                pattern, [&] { Pie(dc, 10, 10, 91, 71, 1050, 404, 226, -960); });

  // --- Regions: two rects
  HRGN rgn = CreateRectRgn(10, 10, 50, 70), second = CreateRectRgn(60, 20, 90, 50);
  CombineRgn(rgn, rgn, second, RGN_OR);
  bench.Compare("ML_FrameRgn 1x1 solid", [&] { ML_FrameRgn(&port, rgn); }, "FrameRgn, solid brush", noPen, noBrush,
                [&] { FrameRgn(dc, rgn, black, 1, 1); });
  bench.Compare("ML_PaintRgn solid", [&] { ML_PaintRgn(&port, rgn); }, "FillRgn, solid brush", noPen, noBrush,
                [&] { FillRgn(dc, rgn, black); });
  bench.Compare("ML_EraseRgn", [&] { ML_EraseRgn(&port, rgn); }, "FillRgn, white brush", noPen, noBrush,
                [&] { FillRgn(dc, rgn, white); });
  bench.Compare("ML_InvertRgn", [&] { ML_InvertRgn(&port, rgn); }, "InvertRgn", noPen, noBrush,
                [&] { InvertRgn(dc, rgn); });
  bench.Compare("ML_FillRgn pattern", [&] { ML_FillRgn(&port, rgn, &checker); }, "FillRgn, pattern brush", noPen,
                noBrush, [&] { FillRgn(dc, rgn, pattern); });

  // --- Polygons: a quadrilateral, closed for the frame
  const POINT quad[5] = {{10, 10}, {90, 20}, {70, 70}, {20, 60}, {10, 10}};
  HGLOBAL open = MakePoly(quad, 4), closed = MakePoly(quad, 5);
  // Toolbox lines include their end pixel; GDI's leave it out.
  const POINT quadAndEnd[6] = {{10, 10}, {90, 20}, {70, 70}, {20, 60}, {10, 10}, {11, 10}};
  bench.Compare("ML_FramePoly 1x1 solid, 4 sides", [&] { ML_FramePoly(&port, closed); },
                "Polyline, and a pixel past the end", pen1, noBrush, [&] { Polyline(dc, quadAndEnd, 6); });
  bench.Compare("ML_PaintPoly solid", [&] { ML_PaintPoly(&port, open); }, "Polygon, solid brush", noPen, black,
                [&] { Polygon(dc, quad, 4); });
  bench.Compare("ML_ErasePoly", [&] { ML_ErasePoly(&port, open); }, "Polygon, white brush", noPen, white,
                [&] { Polygon(dc, quad, 4); });
  HRGN quadRgn = CreatePolygonRgn(quad, 4, WINDING);
  bench.Compare("ML_InvertPoly", [&] { ML_InvertPoly(&port, open); }, "InvertRgn, polygon region made once", noPen,
                noBrush, [&] { InvertRgn(dc, quadRgn); });
  bench.Compare("ML_FillPoly pattern", [&] { ML_FillPoly(&port, open, &checker); }, "Polygon, pattern brush", noPen,
                pattern, [&] { Polygon(dc, quad, 4); });

  // --- Lines, 100 pixels
  bench.Compare(
      "ML_LineTo 1-pixel solid",
      [&] {
        ML_MoveTo(&port, 5, 5);
        ML_LineTo(&port, 105, 60);
      },
      "MoveToEx + LineTo + SetPixelV (the end pixel)", pen1, noBrush,
      [&] {
        MoveToEx(dc, 5, 5, nullptr);
        LineTo(dc, 105, 60);
        SetPixelV(dc, 105, 60, 0);
      });
  ML_PenSize(&port, 3, 3);
  ML_PenPat(&port, &checker);
  POINT swept[6] = {{5, 8}, {5, 5}, {8, 5}, {108, 60}, {108, 63}, {105, 63}};
  bench.Compare(
      "ML_LineTo 3x3 patterned",
      [&] {
        ML_MoveTo(&port, 5, 5);
        ML_LineTo(&port, 105, 60);
      },
      "Polygon of the swept pen, pattern brush", noPen, pattern, [&] { Polygon(dc, swept, 6); });
  ML_PenNormal(&port);

  // --- Bit transfer
  BITMAPINFO srcInfo{};
  srcInfo.bmiHeader = {sizeof(BITMAPINFOHEADER), 256, -256, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void *bits = nullptr;
  // The bare peers' copy of the source, selected once: a bitmap is selected in one DC at a
  // time, and the verbs select theirs for each call.
  HBITMAP source = CreateDIBSection(dc, &srcInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
  HBITMAP peerSource = CreateDIBSection(dc, &srcInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ oldSource = SelectObject(memory, peerSource);
  Rect src{0, 0, 256, 256}, dst{100, 100, 356, 356};
  bench.Compare("ML_CopyBits 256x256 srcCopy", [&] { ML_CopyBits(&port, source, nullptr, &src, &dst, srcCopy, nullptr); },
                "StretchBlt from a memory DC made once", noPen, noBrush,
                [&] { StretchBlt(dc, 100, 100, 256, 256, memory, 0, 0, 256, 256, SRCCOPY); });
  Point where{100, 100};
  bench.Compare("ML_DrawBitmap 256x256", [&] { ML_DrawBitmap(&port, source, &where, SRCCOPY); },
                "BitBlt from a memory DC made once", noPen, noBrush,
                [&] { BitBlt(dc, 100, 100, 256, 256, memory, 0, 0, SRCCOPY); });
  SelectObject(memory, oldSource);
  DeleteDC(memory);
  Rect band{0, 0, 256, 128};
  RECT bandRc{0, 0, 256, 128};
  HRGN exposed = CreateRectRgn(0, 0, 0, 0);
  bench.Compare("ML_ScrollRect 256x128 by 10", [&] { ML_ScrollRect(&port, &band, 0, 10, nullptr); },
                "ScrollDC + FillRgn of the exposed rows", noPen, noBrush, [&] {
                  ScrollDC(dc, 0, 10, &bandRc, &bandRc, exposed, nullptr);
                  FillRgn(dc, exposed, white);
                });
  DeleteObject(exposed);

  // A window port: brushes for window ports are aligned on the screen's grid, patterns only.
  HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  GrafPort windowPort;
  std::memset(&windowPort, 0, sizeof windowPort);
  windowPort.window = window;
  ML_OpenPort(&windowPort);
  Bench onWindow(windowPort, only);
  HDC windowDC = windowPort.dc;
  onWindow.Compare("ML_PaintRect solid, window port", [&] { ML_PaintRect(&windowPort, &r); }, "PatBlt, solid brush",
                   noPen, black, [&] { PatBlt(windowDC, 10, 10, 80, 60, PATCOPY); });
  onWindow.Compare("ML_FillRect pattern, window port", [&] { ML_FillRect(&windowPort, &r, &checker); },
                   "PatBlt, pattern brush", noPen, pattern, [&] { PatBlt(windowDC, 10, 10, 80, 60, PATCOPY); });
  ClosePort(&windowPort);
  DestroyWindow(window);

  ClosePort(&port);
  QDrawCacheClose();
  GlobalFree(open);
  GlobalFree(closed);
  for (HRGN made : {rgn, second, ovalRgn, roundRgn, quadRgn}) DeleteObject(made);
  DeleteObject(source);
  DeleteObject(peerSource);
  for (HGDIOBJ o : {HGDIOBJ(black), HGDIOBJ(white), HGDIOBJ(pen1), HGDIOBJ(frame), HGDIOBJ(dotted), HGDIOBJ(frame3),
                    HGDIOBJ(pattern)})
    DeleteObject(o);
  return 0;
}
