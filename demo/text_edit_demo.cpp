// A styled text field a person can type into: a window of its own whose port the text engine
// draws on, keys and clicks handed to QTEKey and QTEClick, the caret blinking from a timer.
// RunTextEditDemo types a few lines through the system's input queue, selects a word, makes it
// bold and saves a screenshot; a turned label with a kept selection stands beside the field.
#include <windows.h>

#include <cstdio>
#include <string>

#include "demo/demo.h"
#include "tstools/tstools.h"

namespace {

GrafPort fieldPort{};
GrafPort *measuring = &fieldPort;  // the engine reads its port through this location
QTERecord *field = nullptr;
QTERecord *turned = nullptr;  // a label down the right edge, turned a quarter turn

LRESULT CALLBACK FieldProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CHAR: {
      char c = char(wParam);
      MapText(&c, 1, 1, 0);  // the engine takes Mac text
      short modifiers = (GetKeyState(VK_SHIFT) & 0x8000) ? 0x0200 : 0;
      if (field) QTEKey(short(uint8_t(c)), modifiers, 1, field);
      return 0;
    }
    case WM_KEYDOWN: {
      // Arrows and forward delete have no characters: their Mac codes.
      short mac = wParam == VK_LEFT ? 28 : wParam == VK_RIGHT ? 29 : wParam == VK_UP ? 30 : wParam == VK_DOWN ? 31
                : wParam == VK_DELETE ? 127 : 0;
      short modifiers = short(((GetKeyState(VK_SHIFT) & 0x8000) ? 0x0200 : 0) |
                              ((GetKeyState(VK_CONTROL) & 0x8000) ? 0x0100 : 0));
      if (mac && field) QTEKey(mac, modifiers, 0, field);
      return 0;
    }
    case WM_LBUTTONDOWN:
      if (field) QTEClick(Point{short(LOWORD(lParam)), short(HIWORD(lParam))}, (wParam & MK_SHIFT) ? 1 : 0, field);
      return 0;
    case WM_TIMER:
      if (field) QTEIdle(field);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(window, &ps);
      Rect r{short(ps.rcPaint.left), short(ps.rcPaint.top), short(ps.rcPaint.right), short(ps.rcPaint.bottom)};
      for (QTERecord *record : {field, turned})
        if (record) QTEDraw(&r, 0, record);
      EndPaint(window, &ps);
      return 0;
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// Keyboard input for the field: real key events when it has the focus; otherwise (a display
// without a window manager may keep it elsewhere) the same characters posted to its queue.
void Type(HWND window, const wchar_t *text) {
  for (const wchar_t *p = text; *p; ++p) {
    if (GetFocus() == window) {
      INPUT in[2] = {};
      for (int i = 0; i < 2; ++i) {
        in[i].type = INPUT_KEYBOARD;
        in[i].ki.wScan = *p;
        in[i].ki.dwFlags = KEYEVENTF_UNICODE | (i ? KEYEVENTF_KEYUP : 0);
      }
      SendInput(2, in, sizeof(INPUT));
    } else {
      char c = 0;
      WideCharToMultiByte(CP_ACP, 0, p, 1, &c, 1, nullptr, nullptr);
      PostMessageA(window, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
    Pump(15);
  }
}

}  // namespace

bool RunTextEditDemo(HMODULE resources, const std::string &screenshotPath) {
  WNDCLASSA wc{CS_OWNDC, FieldProc, 0, 0, nullptr, nullptr, LoadCursor(nullptr, IDC_IBEAM),
               reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), nullptr, "TSDemoTextField"};
  RegisterClassA(&wc);
  HWND window = CreateWindowA("TSDemoTextField", "Styled text field", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE,
                              60, 60, 520, 320, nullptr, nullptr, nullptr, nullptr);
  if (!window) return false;
  fieldPort = GrafPort{};
  fieldPort.window = window;
  fieldPort.dc = GetDC(window);
  RECT client;
  GetClientRect(window, &client);
  fieldPort.portRect = Rect{0, 0, short(client.right), short(client.bottom)};
  ML_OpenPort(&fieldPort);
  bool ok = ML_QTEInit(&measuring, nullptr, resources, 1, 0) != 0;
  short sans = 0;
  unsigned char name[] = "\x0B" "DejaVu Sans";
  GetFNum(name, &sans);
  QTETextStyle style{sans > 0 ? sans : short(1), 0, 14, {0, 0, 0x8000}};
  Rect area{12, 12, short(client.right - 56), short(client.bottom - 12)};
  field = ok ? QTENew(&area, &area, &style) : nullptr;
  // The label reads upward: its rectangle is given as the port sees it, the text turned in it.
  Rect strip{short(client.right - 44), 12, short(client.right - 12), short(client.bottom - 12)};
  const char label[] = "Turned a quarter turn, selection kept";
  turned = ok ? QTENew(&strip, &strip, &style) : nullptr;
  if (turned) {
    QTESetRecord(&strip, &strip, 8000, label, long(sizeof label - 1), &style, 1, 0, 0, 900, 0, 0, 0, nullptr,
                 nullptr, 0, 0, nullptr, 0, turned);
    QTEActivate(turned);
    QTESetSelect(0, 6, turned);
    QTEDeactivate(1, turned);  // inactive: the highlight stays as an outline
  }
  if (!field) {
    std::printf("text field:      the engine did not start\n");
    DestroyWindow(window);
    return false;
  }
  QTESmartQuotes(1, field);
  QTEAutoView(1, field);
  QTEActivate(field);
  SetTimer(window, 1, 250, nullptr);
  SetForegroundWindow(window);
  SetFocus(window);
  InvalidateRect(window, nullptr, TRUE);
  Pump(100);
  Type(window, L"Typed through the input queue: \"quotes\" curl, caf\u00e9 cr\u00e8me.\r"
       L"A second paragraph wraps when it reaches the right edge of the field, "
       L"word by word, as a person types it.");
  // Bold over the second word of the first line, then the caret at the end.
  QTESetSelect(6, 13, field);
  QTETextStyle bold{0, 0x0100, 0, {0, 0, 0}};
  QTESetStyle(2, &bold, field);
  QTEDraw(nullptr, 1, field);  // styling relays the lines out but leaves the drawing to the host
  QTESetSelect(QTEGetTextLen(field), QTEGetTextLen(field), field);
  Pump(300);
  std::printf("text field:      %ld bytes typed in %ld lines\n", QTEGetTextLen(field), QTENumLines(field));
  bool saved = SaveScreenshot(window, screenshotPath);
  std::printf("screenshot:      %s%s\n", screenshotPath.c_str(), saved ? "" : " could not be written");
  KillTimer(window, 1);
  QTEDispose(field);
  if (turned) QTEDispose(turned);
  field = turned = nullptr;
  QTEShutdown();
  HDC dc = fieldPort.dc;
  ClosePort(&fieldPort);
  ReleaseDC(window, dc);
  DestroyWindow(window);
  return saved;
}
