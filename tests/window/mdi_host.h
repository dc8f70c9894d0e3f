// A host's MDI frame and client on the test display, with a document class that opens the
// window record's port as a host must: at WM_CREATE, from the MDICREATESTRUCT's lParam.
#pragma once

#include <windows.h>

#include "tstools/tstools.h"

namespace tstools::test {

struct MdiHost {
  static constexpr const char *kDocumentClass = "TSTestDocument";
  // What the document class does at WM_CREATE, for the failure paths.
  enum class OnCreate { OpenPort, RefuseAfterOpening, SkipPort };
  static inline OnCreate onCreate = OnCreate::OpenPort;
  static inline HWND client = nullptr;

  HWND frame = nullptr;
  HINSTANCE instance = GetModuleHandleA(nullptr);

  MdiHost() {
    WNDCLASSA frameClass{};
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = instance;
    frameClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    frameClass.lpszClassName = "TSTestFrame";
    RegisterClassA(&frameClass);
    WNDCLASSA documentClass = frameClass;
    documentClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    documentClass.lpfnWndProc = DocumentProc;
    documentClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    documentClass.lpszClassName = kDocumentClass;
    RegisterClassA(&documentClass);
    frame = CreateWindowA("TSTestFrame", "MDI host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0,
                          900, 700, nullptr, nullptr, instance, nullptr);
    CLIENTCREATESTRUCT create{nullptr, 1000};
    client = CreateWindowA("MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 880, 640, frame,
                           nullptr, instance, &create);
    SetForegroundWindow(frame);
    Pump();
  }
  ~MdiHost() {
    DestroyWindow(frame);
    client = nullptr;
    onCreate = OnCreate::OpenPort;
  }
  MdiHost(const MdiHost &) = delete;
  MdiHost &operator=(const MdiHost &) = delete;

  WindowPtr NewDocument(short left, short top, short right, short bottom, bool visible = true,
                        short kind = 0, bool closeBox = true, WindowPtr behind = kWindowInFront,
                        const char *className = kDocumentClass) {
    static const unsigned char title[] = "\x08" "Document";
    return ML_NewWindow(instance, className, nullptr, left, top, right, bottom, client, title, visible,
                        closeBox, kind, behind, 0);
  }
  // Closes the port, frees the record and destroys the child, as a host's close command does.
  static void Close(WindowPtr window) {
    HWND handle = window->port.window;
    DisposeWindow(window);
    SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(handle), 0);
  }
  static HWND Active() { return reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, 0)); }
  static void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  // The window's frame, or its client area, in the MDI client's coordinates.
  static RECT FrameInClient(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, client, reinterpret_cast<POINT *>(&r), 2);
    return r;
  }
  static RECT ContentInClient(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    MapWindowPoints(window, client, reinterpret_cast<POINT *>(&r), 2);
    return r;
  }

 private:
  static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    return DefFrameProcA(window, client, message, w, l);
  }
  static LRESULT CALLBACK DocumentProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_CREATE) {
      auto create = reinterpret_cast<CREATESTRUCTA *>(l);
      auto record = reinterpret_cast<WindowPtr>(
          reinterpret_cast<MDICREATESTRUCTA *>(create->lpCreateParams)->lParam);
      record->port.window = window;
      if (onCreate == OnCreate::SkipPort) return 0;
      ML_OpenPort(&record->port);
      return onCreate == OnCreate::RefuseAfterOpening ? -1 : 0;
    }
    return DefMDIChildProcA(window, message, w, l);
  }
};

}  // namespace tstools::test
