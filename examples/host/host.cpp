// A small host of TSTOOLS.DLL, built against an installed copy the way a host's own project
// builds (see CMakeLists.txt beside it): a handle, a port over a memory bitmap with a shape
// drawn in it, and Mac text and numbers converted. Prints one line per step and returns 0
// when every result is the expected one.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include <tstools/tstools.h>

namespace {

bool Check(bool ok, const char *what) {
  if (!ok) std::printf("FAILED: %s\n", what);
  return ok;
}

// A relocatable handle, edited in place: "Mac" becomes "Windows".
bool HandleDemo() {
  const char text[] = "Hello, Mac";
  Handle h = nullptr;
  if (!Check(PtrToHand(text, &h, sizeof text - 1) == noErr, "PtrToHand")) return false;
  long end = MemMunger(h, 0, "Mac", 3, "Windows", 7);
  Size size = 0;
  MemGetHandleSize(h, &size);
  std::printf("handle: \"%.*s\" (%ld bytes; MemMunger returned %ld)\n", static_cast<int>(size), *h,
              static_cast<long>(size), end);
  bool ok = Check(size == 14 && std::memcmp(*h, "Hello, Windows", 14) == 0 && end == 14, "MemMunger");
  return Check(MemDisposeHandle(h) == noErr, "MemDisposeHandle") && ok;
}

// A port over a 40 x 40 memory bitmap: a black rect painted at (10,10)-(30,30), then a red
// frame around it. The Toolbox pixel model: right and bottom edges are outside the shape.
bool DrawingDemo() {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = 40;
  info.bmiHeader.biHeight = -40;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void *bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!Check(dc && bitmap, "memory bitmap")) return false;
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  PatBlt(dc, 0, 0, 40, 40, WHITENESS);

  QDrawCacheInit();
  GrafPort port;
  std::memset(&port, 0, sizeof port);
  port.dc = dc;
  port.portRect = Rect{0, 0, 40, 40};
  ML_OpenPort(&port);
  Rect square = {10, 10, 30, 30};
  ML_PaintRect(&port, &square);
  RGBColor red = {0xFFFF, 0, 0};
  ML_RGBForeColor(&port, &red);
  Rect ring = {5, 5, 35, 35};
  ML_FrameRect(&port, &ring);
  ClosePort(&port);
  QDrawCacheClose();

  GdiFlush();
  auto pixel = [&](int x, int y) { return static_cast<const DWORD *>(bits)[y * 40 + x] & 0xFFFFFF; };
  std::printf("port: (10,10) %06lX (29,29) %06lX (30,30) %06lX (5,5) %06lX\n", pixel(10, 10), pixel(29, 29),
              pixel(30, 30), pixel(5, 5));
  bool ok = Check(pixel(10, 10) == 0 && pixel(29, 29) == 0 && pixel(30, 30) == 0xFFFFFF &&
                      pixel(5, 5) == 0xFF0000 && pixel(34, 34) == 0xFF0000 && pixel(6, 6) == 0xFFFFFF,
                  "shapes");
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return ok;
}

// Mac Roman text to the Windows code page in place, and numbers as Toolbox strings.
bool TextDemo() {
  char cafe[] = "Caf\x8E";  // e-acute in Mac Roman
  MapText(cafe, 4, 0, 0);
  Str255 number;
  NumToString(-1234, number);
  decform format = {FIXEDDECIMAL, 2};
  unsigned char pi[256];
  Num2Str(&format, 3.14159, pi);
  std::printf("text: Mac 0x8E is Windows 0x%02X; NumToString \"%.*s\"; Num2Str \"%.*s\"\n",
              static_cast<unsigned char>(cafe[3]), number[0], number + 1, pi[0], pi + 1);
  return Check(static_cast<unsigned char>(cafe[3]) == 0xE9, "MapText") &&
         Check(number[0] == 5 && std::memcmp(number + 1, "-1234", 5) == 0, "NumToString") &&
         Check(pi[0] == 4 && std::memcmp(pi + 1, "3.14", 4) == 0, "Num2Str");
}

}  // namespace

int main() {
  if (MemInitZone() != noErr) return 1;
  bool ok = HandleDemo();
  ok = DrawingDemo() && ok;
  ok = TextDemo() && ok;
  MemFreeZone();
  std::printf("%s\n", ok ? "all results as expected" : "some results differ");
  return ok ? 0 : 1;
}
