// The demo's Standard File dialog: an open dialog on the host's text filter list, saved as a
// screenshot by a timer that fires inside the dialog's loop, then cancelled as a user would.
#include <windows.h>

#include <string>

#include "demo/demo.h"
#include "tstools/host_resource_ids.h"
#include "tstools/tstools.h"

namespace {

struct Capture {
  HWND hookWindow = nullptr;
  std::string path;
  bool saved = false;
} capture;

constexpr UINT_PTR kCaptureTimer = 0x5F11;

void CALLBACK SaveAndCancel(HWND window, UINT, UINT_PTR id, DWORD) {
  KillTimer(window, id);
  // The Explorer-style dialog calls the hook for its template child: shoot the whole dialog.
  HWND dialog = GetAncestor(window, GA_ROOT);
  capture.saved = SaveScreenshot(dialog, capture.path);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

UINT_PTR __stdcall DemoHook(HWND window, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) {
    capture.hookWindow = window;
    SetTimer(window, kCaptureTimer, 800, SaveAndCancel);
  }
  return 0;
}

}  // namespace

bool CaptureStdFileDialog(HWND frame, HMODULE resources, const std::string &pngPath) {
  capture = Capture();
  capture.path = pngPath;
  SFReply reply = {};
  const unsigned char prompt[] = "\x14" "Open a text document";
  ML_StdFile(0, resources, frame, prompt, nullptr, nullptr, 1, reinterpret_cast<const char *>(TSRES_FILTER_TEXT),
             DemoHook, &reply, TSRES_SFILE_TEMPLATE_OPEN);
  return capture.saved && !reply.good;
}
