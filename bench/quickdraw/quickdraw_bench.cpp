// QuickDraw costs: rect and Fixed arithmetic per call, region combination next to the bare
// GDI call, and a DC port's life with warm caches next to making the same GDI objects.
#include <windows.h>

#include <cstring>

#include "support/bench.h"
#include "tstools/tstools.h"

using tstools::bench::KeepAlive;
using tstools::bench::Measure;

namespace {

// A region of 100 separate 3 x 3 squares on a 10 x 10 grid, offset by shift.
HRGN HundredRects(int shift) {
  HRGN rgn = CreateRectRgn(0, 0, 0, 0), square = CreateRectRgn(0, 0, 0, 0);
  for (int i = 0; i < 100; ++i) {
    int x = (i % 10) * 6 + shift, y = (i / 10) * 6 + shift;
    SetRectRgn(square, x, y, x + 3, y + 3);
    CombineRgn(rgn, rgn, square, RGN_OR);
  }
  DeleteObject(square);
  return rgn;
}

}  // namespace

int main() {
  volatile short seed = 3;
  Rect a{0, 0, 100, 100}, b{seed, seed, 200, 50}, dst;
  Measure("SectRect", [&] { KeepAlive(SectRect(&a, &b, &dst)); });
  Fixed x = 0x00018000 + seed, y = 0x00020000;
  Measure("FixMul", [&] { KeepAlive(x = FixMul(x, y) >> 1 | 0x10000); });
  short n = seed;
  Measure("FixRatio", [&] { KeepAlive(FixRatio(n, 7)); });

  HRGN r1 = HundredRects(0), r2 = HundredRects(2), out = CreateRectRgn(0, 0, 0, 0);
  Measure("UnionRgn of two 100-rect regions", [&] { UnionRgn(r1, r2, out); });
  Measure("  bare CombineRgn(RGN_OR)", [&] { CombineRgn(out, r1, r2, RGN_OR); });
  Measure("DiffRgn of two 100-rect regions", [&] { DiffRgn(r1, r2, out); });
  Measure("  bare CombineRgn(RGN_DIFF)", [&] { CombineRgn(out, r1, r2, RGN_DIFF); });
  DeleteObject(r1);
  DeleteObject(r2);
  DeleteObject(out);

  QDrawCacheInit();
  HDC dc = CreateCompatibleDC(nullptr);
  GrafPort warm{};  // keeps the cached objects referenced, as an application's window would
  warm.dc = dc;
  warm.portRect = Rect{0, 0, 64, 64};
  ML_OpenPort(&warm);
  HDC dc2 = CreateCompatibleDC(nullptr);
  Measure("DC port open + state changes + close (warm caches)", [&] {
    GrafPort port{};
    port.dc = dc2;
    port.portRect = Rect{0, 0, 64, 64};
    ML_OpenPort(&port);
    ML_ForeColor(&port, redColor);
    ML_PenMode(&port, patXor);
    ML_ForeColor(&port, blackColor);
    ML_PenMode(&port, patCopy);
    ClosePort(&port);
  });
  Measure("  same DC setup with pen, brush, font made and deleted", [&] {
    HRGN vis = CreateRectRgn(0, 0, 64, 64), clip = CreateRectRgn(0, 0, 64, 64), spare = CreateRectRgn(0, 0, 0, 0);
    LOGFONTA lf{};
    lf.lfHeight = -12;
    lf.lfWeight = FW_NORMAL;
    std::strcpy(lf.lfFaceName, "Helv");
    HFONT font = CreateFontIndirectA(&lf);
    HPEN pen = CreatePen(PS_INSIDEFRAME, 1, 0x02000000);
    HBRUSH brush = CreateSolidBrush(0x02FFFFFF);
    HGDIOBJ of = SelectObject(dc2, font), op = SelectObject(dc2, pen), ob = SelectObject(dc2, brush);
    SetTextColor(dc2, 0x020000FF);
    SetROP2(dc2, R2_NOTXORPEN);
    SetTextColor(dc2, 0x02000000);
    SetROP2(dc2, R2_COPYPEN);
    SelectObject(dc2, of);
    SelectObject(dc2, op);
    SelectObject(dc2, ob);
    DeleteObject(font);
    DeleteObject(pen);
    DeleteObject(brush);
    DeleteObject(vis);
    DeleteObject(clip);
    DeleteObject(spare);
  });
  Measure("warm cache hit: ML_InitPort (font, pen, brush from cache)", [&] { ML_InitPort(&warm); });
  Measure("  CreatePen + CreateSolidBrush + CreateFontIndirect + delete", [&] {
    LOGFONTA lf{};
    lf.lfHeight = -12;
    std::strcpy(lf.lfFaceName, "Helv");
    HFONT font = CreateFontIndirectA(&lf);
    HPEN pen = CreatePen(PS_INSIDEFRAME, 1, 0);
    HBRUSH brush = CreateSolidBrush(0x02FFFFFF);
    DeleteObject(font);
    DeleteObject(pen);
    DeleteObject(brush);
  });
  ClosePort(&warm);
  QDrawCacheClose();
  DeleteDC(dc);
  DeleteDC(dc2);
  return 0;
}
