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
  HINSTANCE instance = GetModuleHandleA(nullptr);
  const WNDCLASSA frameClass{0, FrameProc, 0, 0, instance, nullptr, nullptr, nullptr, nullptr, "TSTestFrame"};
  const WNDCLASSA documentClass{CS_OWNDC, DocumentProc, 0, 0, instance, nullptr, nullptr,
                                static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), nullptr, kDocumentClass};
  const bool registered = RegisterClassA(&frameClass) && RegisterClassA(&documentClass);
  HWND frame = CreateWindowA("TSTestFrame", "MDI host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0,
                             900, 700, nullptr, nullptr, instance, nullptr);

  MdiHost() {
    CLIENTCREATESTRUCT create{nullptr, 1000};
    client = CreateWindowA("MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 880, 640, frame,
                           nullptr, instance, &create);
    Pump();
  }
  ~MdiHost() { DestroyWindow(frame); }
  MdiHost(const MdiHost &) = delete;
  MdiHost &operator=(const MdiHost &) = delete;

  WindowPtr NewDocument(short left, short top, short right, short bottom, bool visible = true, short kind = 0,
                        bool closeBox = true, const char *className = kDocumentClass) {
    return ML_NewWindow(instance, className, nullptr, left, top, right, bottom, client,
                        reinterpret_cast<const unsigned char *>("\x03" "Doc"), visible, closeBox, kind,
                        kWindowInFront, 0);
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
  // The window's frame (or client area) in the MDI client's coordinates.
  static RECT InClient(HWND window, bool content = false) {
    RECT r{};
    content ? GetClientRect(window, &r) : GetWindowRect(window, &r);
    MapWindowPoints(content ? window : nullptr, client, reinterpret_cast<POINT *>(&r), 2);
    return r;
  }

 private:
  static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    return DefFrameProcA(window, client, message, w, l);
  }
  static LRESULT CALLBACK DocumentProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message != WM_CREATE) return DefMDIChildProcA(window, message, w, l);
    auto create = reinterpret_cast<MDICREATESTRUCTA *>(reinterpret_cast<CREATESTRUCTA *>(l)->lpCreateParams);
    auto record = reinterpret_cast<WindowPtr>(create->lParam);
    record->port.window = window;
    if (onCreate != OnCreate::SkipPort) ML_OpenPort(&record->port);
    return onCreate == OnCreate::RefuseAfterOpening ? -1 : 0;
  }
};

}  // namespace tstools::test
