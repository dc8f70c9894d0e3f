// Shape verbs on a DC port over a DIB section, each next to the bare GDI call that does the
// same work on the same DC with the objects already made.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <functional>

#include "support/bench.h"
#include "tests/support/dib_canvas.h"
#include "tstools/tstools.h"

using tstools::bench::Measure;

int main() {
  tstools::test::DibCanvas canvas(512, 512);
  HDC dc = canvas.dc();
  void *bits = nullptr;
  QDrawCacheInit();
  GrafPort port;
  canvas.OpenPort(&port);
  const Pattern checker = {{0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55}};
  Rect r{10, 10, 90, 70};

  HBRUSH black = CreateSolidBrush(0);
  HPEN pen1 = CreatePen(PS_SOLID, 1, 0), frame = CreatePen(PS_INSIDEFRAME, 1, 0);
  // The kind of brush the port makes for a pattern: an 8 x 8 one-bit DIB.
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
    uint32_t rows[8];
  } dib{{sizeof(BITMAPINFOHEADER), 8, 8, 1, 1, BI_RGB, 0, 0, 0, 2, 0}, {{0, 0, 0, 0}, {255, 255, 255, 0}}, {}};
  for (int row = 0; row < 8; ++row) dib.rows[row] = row & 1 ? 0x55 : 0xAA;
  HBRUSH pattern = CreateDIBPatternBrushPt(&dib, DIB_RGB_COLORS);
  // The bare calls borrow the port's DC and give it back holding the port's objects, as any
  // host drawing on a port's DC does.
  auto bare = [&](const char *name, HGDIOBJ pen, HGDIOBJ brush, const std::function<void()> &body) {
    SelectObject(dc, pen);
    SelectObject(dc, brush);
    Measure(name, body);
    SelectObject(dc, port.penSlot);
    SelectObject(dc, port.brushSlot);
  };

  Measure("ML_PaintRect 80x60 solid", [&] { ML_PaintRect(&port, &r); });
  bare("  bare Rectangle, null pen, solid brush", GetStockObject(NULL_PEN), black,
       [&] { Rectangle(dc, 10, 10, 91, 71); });
  Measure("ML_FrameRect 80x60 1x1 solid", [&] { ML_FrameRect(&port, &r); });
  bare("  bare Rectangle, inside-frame pen, null brush", frame, GetStockObject(NULL_BRUSH),
       [&] { Rectangle(dc, 10, 10, 90, 70); });

  ML_PenNormal(&port);
  Measure("ML_LineTo 1-pixel solid, 100 px", [&] {
    ML_MoveTo(&port, 5, 5);
    ML_LineTo(&port, 105, 60);
  });
  bare("  bare MoveToEx + LineTo", pen1, black, [&] {
    MoveToEx(dc, 5, 5, nullptr);
    LineTo(dc, 105, 60);
  });
  ML_PenSize(&port, 3, 3);
  ML_PenPat(&port, &checker);
  Measure("ML_LineTo 3x3 patterned, 100 px", [&] {
    ML_MoveTo(&port, 5, 5);
    ML_LineTo(&port, 105, 60);
  });
  POINT swept[6] = {{5, 8}, {5, 5}, {8, 5}, {108, 60}, {108, 63}, {105, 63}};
  bare("  bare Polygon of the swept pen, pattern brush", GetStockObject(NULL_PEN), pattern,
       [&] { Polygon(dc, swept, 6); });
  ML_PenNormal(&port);

  Measure("ML_FillOval 80x60 pattern", [&] { ML_FillOval(&port, &r, &checker); });
  bare("  bare Ellipse, null pen, pattern brush", GetStockObject(NULL_PEN), pattern,
       [&] { Ellipse(dc, 10, 10, 91, 71); });

  BITMAPINFO srcInfo{};
  srcInfo.bmiHeader = {sizeof(BITMAPINFOHEADER), 256, -256, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HBITMAP source = CreateDIBSection(dc, &srcInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
  Rect src{0, 0, 256, 256}, dst{100, 100, 356, 356};
  Measure("ML_CopyBits 256x256 srcCopy", [&] { ML_CopyBits(&port, source, nullptr, &src, &dst, srcCopy, nullptr); });
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ oldSource = SelectObject(memory, source);
  Measure("  bare StretchBlt from a memory DC made once", [&] {
    StretchBlt(dc, 100, 100, 256, 256, memory, 0, 0, 256, 256, SRCCOPY);
  });
  SelectObject(memory, oldSource);
  DeleteDC(memory);

  // A window port: brushes for window ports are aligned on the screen's grid, patterns only.
  HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  GrafPort windowPort;
  std::memset(&windowPort, 0, sizeof windowPort);
  windowPort.window = window;
  ML_OpenPort(&windowPort);
  Measure("ML_PaintRect 80x60 solid, window port", [&] { ML_PaintRect(&windowPort, &r); });
  HGDIOBJ oldPen = SelectObject(windowPort.dc, GetStockObject(NULL_PEN));
  HGDIOBJ oldBrush = SelectObject(windowPort.dc, black);
  Measure("  bare Rectangle on the window DC, null pen, solid brush",
          [&] { Rectangle(windowPort.dc, 10, 10, 91, 71); });
  SelectObject(windowPort.dc, oldBrush);
  SelectObject(windowPort.dc, oldPen);
  ClosePort(&windowPort);
  DestroyWindow(window);

  ClosePort(&port);
  QDrawCacheClose();
  DeleteObject(source);
  DeleteObject(black);
  DeleteObject(pen1);
  DeleteObject(frame);
  DeleteObject(pattern);
  return 0;
}
