// Draws every shape verb into one cell each and saves the sheet as quickdraw_shapes.png in the
// build tree, for a person to look at.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "demo/sheets/png_writer.h"
#include "tests/support/dib_canvas.h"
#include "tstools/tstools.h"

namespace {

constexpr int kCell = 48, kColumns = 8;

}  // namespace

int main() {
  const Pattern checker = {{0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55}};
  const Pattern diagonal = {{0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}};
  HGLOBAL poly = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 10 + 4 * 8);
  {
    auto *p = static_cast<unsigned char *>(GlobalLock(poly));
    short size = 42;
    POINT v[4] = {{4, 40}, {24, 4}, {44, 40}, {4, 40}};
    std::memcpy(p, &size, 2);
    std::memcpy(p + 10, v, sizeof v);
    GlobalUnlock(poly);
  }
  HRGN rgn = CreateRectRgn(4, 4, 24, 24);
  HRGN other = CreateEllipticRgn(16, 16, 44, 44);
  CombineRgn(rgn, rgn, other, RGN_XOR);
  DeleteObject(other);
  Rect r{4, 8, 44, 40};

  using Verb = std::function<void(GrafPort *)>;
  std::vector<Verb> verbs = {
      [&](GrafPort *p) { ML_FrameRect(p, &r); }, [&](GrafPort *p) { ML_PaintRect(p, &r); },
      [&](GrafPort *p) { ML_PaintRect(p, &r); ML_EraseRect(p, &r); }, [&](GrafPort *p) { ML_InvertRect(p, &r); },
      [&](GrafPort *p) { ML_FillRect(p, &r, &checker); },
      [&](GrafPort *p) { ML_PenSize(p, 3, 2); ML_PenPat(p, &diagonal); ML_FrameRect(p, &r); },
      [&](GrafPort *p) { ML_FrameOval(p, &r); }, [&](GrafPort *p) { ML_PaintOval(p, &r); },
      [&](GrafPort *p) { ML_InvertOval(p, &r); }, [&](GrafPort *p) { ML_FillOval(p, &r, &checker); },
      [&](GrafPort *p) { ML_PenSize(p, 2, 3); ML_FrameOval(p, &r); }, [&](GrafPort *p) { ML_FrameGrayOval(p, &r); },
      [&](GrafPort *p) { ML_FrameRoundRect(p, &r, 16, 12); }, [&](GrafPort *p) { ML_PaintRoundRect(p, &r, 16, 12); },
      [&](GrafPort *p) { ML_InvertRoundRect(p, &r, 16, 12); },
      [&](GrafPort *p) { ML_FillRoundRect(p, &r, 16, 12, &diagonal); },
      [&](GrafPort *p) { ML_FrameArc(p, &r, 0, 90); }, [&](GrafPort *p) { ML_PaintArc(p, &r, 45, 270); },
      [&](GrafPort *p) { ML_InvertArc(p, &r, 0, -90); }, [&](GrafPort *p) { ML_FillArc(p, &r, 90, 120, &checker); },
      [&](GrafPort *p) { ML_PenSize(p, 4, 4); ML_PenPat(p, &checker); ML_FrameArc(p, &r, 200, 140); },
      [&](GrafPort *p) { ML_FrameRgn(p, rgn); }, [&](GrafPort *p) { ML_PaintRgn(p, rgn); },
      [&](GrafPort *p) { ML_FillRgn(p, rgn, &checker); }, [&](GrafPort *p) { ML_InvertRgn(p, rgn); },
      [&](GrafPort *p) { ML_FramePoly(p, poly); }, [&](GrafPort *p) { ML_PaintPoly(p, poly); },
      [&](GrafPort *p) { ML_FillPoly(p, poly, &diagonal); }, [&](GrafPort *p) { ML_InvertPoly(p, poly); },
      [&](GrafPort *p) { ML_MoveTo(p, 4, 4); ML_LineTo(p, 44, 30); ML_Line(p, -30, 10); },
      [&](GrafPort *p) { ML_PenSize(p, 3, 3); ML_PenPat(p, &diagonal); ML_MoveTo(p, 4, 40); ML_LineTo(p, 40, 6); },
      [&](GrafPort *p) { ML_PaintRect(p, &r); Rect s{0, 0, 48, 24}; ML_ScrollRect(p, &s, 6, 6, nullptr); },
  };
  int rows = static_cast<int>((verbs.size() + kColumns - 1) / kColumns);
  int w = kColumns * kCell, h = rows * kCell;
  tstools::test::DibCanvas sheet(w, h, 0xE0E0E0);
  HDC dc = sheet.dc();
  QDrawCacheInit();
  for (size_t i = 0; i < verbs.size(); ++i) {
    // ML_SetOrigin works from the DC's current origin, which the previous cell's port left
    // behind: every cell starts from a DC at origin (0, 0), as a fresh host DC would.
    SetWindowOrgEx(dc, 0, 0, nullptr);
    GrafPort port;
    sheet.OpenPort(&port);
    int x = static_cast<int>(i % kColumns) * kCell, y = static_cast<int>(i / kColumns) * kCell;
    ML_SetOrigin(&port, static_cast<short>(-x), static_cast<short>(-y));
    Rect cell{1, 1, kCell - 1, kCell - 1};
    ML_ClipRect(&port, &cell);
    ML_EraseRect(&port, &cell);
    verbs[i](&port);
    ClosePort(&port);
  }
  QDrawCacheClose();
  DeleteObject(rgn);
  GlobalFree(poly);
  std::string path = std::string(TSTOOLS_SHEET_DIR) + "/quickdraw_shapes.png";
  if (!tstools::sheets::WritePng(path, sheet.pixels(), w, h)) {
    std::printf("cannot write %s\n", path.c_str());
    return 1;
  }
  std::printf("shape verbs:     %s\n", path.c_str());
  return 0;
}
