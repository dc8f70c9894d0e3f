// From a key to its pixels: QTEKey on a record drawing into a DIB, then GdiFlush, beside Wine's
// RichEdit replacing its selection and repainting (EM_REPLACESEL + UpdateWindow), in records
// of 6,400 and 64,000 bytes with the caret on a line in view (offset 200), so that both draw.
// Each timed step types a character and takes it back with backspace: the size stays.
#include <windows.h>
#include <richedit.h>

#include <cstdio>
#include <string>

#include "support/bench.h"
#include "tstools/tstools.h"

namespace {

using tstools::bench::Measure;

std::string Document(size_t bytes) {
  std::string text;
  unsigned seed = 99;
  while (text.size() < bytes) {
    seed = seed * 1103515245u + 12345u;
    text.append(2 + (seed >> 16) % 8, char('a' + (seed >> 8) % 26));
    text += (seed >> 20) % 40 == 0 ? '\r' : ' ';
  }
  text.resize(bytes);
  return text;
}

void Engine(size_t bytes) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 600, -400, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC dc = CreateCompatibleDC(nullptr);
  void *bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  GrafPort port{};
  port.dc = dc;
  port.portRect = Rect{0, 0, 600, 400};
  ML_OpenPort(&port);
  GrafPort *portRef = &port;
  static HMODULE resources = LoadLibraryExA("TSHOSTRES.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!ML_QTEInit(&portRef, nullptr, resources, 1, 0)) {
    std::printf("ML_QTEInit failed (TSHOSTRES.DLL beside the benchmark?)\n");
    return;
  }
  Rect dest{0, 0, 600, 400};
  QTERecord *record = QTENew(&dest, &dest, nullptr);
  std::string body = Document(bytes);
  QTEReplace(body.data(), long(body.size()), nullptr, nullptr, record);
  QTESetSelect(200, 200, record);
  QTEActivate(record);
  QTEDraw(nullptr, 0, record);
  char name[80];
  std::snprintf(name, sizeof name, "QTEKey + GdiFlush, %zu bytes", bytes);
  Measure(name, [&] {
    QTEKey('x', 0, 0, record);
    GdiFlush();
    QTEKey(8, 0, 0, record);
    GdiFlush();
  }, 2);
  QTEDispose(record);
  QTEShutdown();
  ClosePort(&port);
  DeleteObject(SelectObject(dc, old));
  DeleteDC(dc);
}

void RichEdit(size_t bytes) {
  HMODULE library = LoadLibraryA("riched20.dll");
  HWND edit = CreateWindowExA(0, RICHEDIT_CLASSA, "", WS_POPUP | WS_VISIBLE | ES_MULTILINE, 0, 0, 600, 400,
                              nullptr, nullptr, nullptr, nullptr);
  if (!edit) {
    std::printf("RichEdit: not available\n");
    return;
  }
  SendMessageA(edit, EM_EXLIMITTEXT, 0, 1 << 20);
  std::string body = Document(bytes);
  for (char &c : body)
    if (c == '\r') c = '\n';
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(body.c_str()));
  long middle = 200;
  char name[80];
  std::snprintf(name, sizeof name, "RichEdit EM_REPLACESEL + UpdateWindow, %zu bytes", bytes);
  Measure(name, [&] {
    SendMessageA(edit, EM_SETSEL, middle, middle);
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("x"));
    UpdateWindow(edit);
    SendMessageA(edit, EM_SETSEL, middle, middle + 1);
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
    UpdateWindow(edit);
  }, 2);
  DestroyWindow(edit);
  FreeLibrary(library);
}

}  // namespace

int main() {
  MemInitZone();
  QDrawCacheInit();
  InitFonts();
  for (size_t bytes : {size_t(6400), size_t(64000)}) {
    Engine(bytes);
    RichEdit(bytes);
  }
  return 0;
}
