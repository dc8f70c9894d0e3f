// Wine's RichEdit control, the text engine benchmark's peer: the same operations on a
// control in a window of the same size and font.
#pragma once

#include <windows.h>
#include <richedit.h>

#include <string>

namespace tstools::bench {

class RichEditPeer {
 public:
  RichEditPeer(int width, int height, const char *face, int pointSize) {
    library_ = LoadLibraryA("riched20.dll");
    frame_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                             nullptr, nullptr);
    edit_ = CreateWindowExA(0, RICHEDIT_CLASSA, "",
                            WS_CHILD | WS_VISIBLE | ES_MULTILINE | WS_VSCROLL, 0, 0, width,
                            height, frame_, nullptr, nullptr, nullptr);
    SendMessageA(edit_, EM_EXLIMITTEXT, 0, 64 << 20);
    HDC dc = GetDC(nullptr);
    font_ = CreateFontA(-MulDiv(pointSize, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0,
                        FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, face);
    ReleaseDC(nullptr, dc);
    SendMessageA(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  }
  ~RichEditPeer() {
    DestroyWindow(frame_);
    DeleteObject(font_);
    if (library_) FreeLibrary(library_);
  }
  bool Ready() const { return edit_ != nullptr; }

  void SetText(const std::string &text) {
    SendMessageA(edit_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  void ReplaceAt(long offset, const char *text) {
    SendMessageA(edit_, EM_SETSEL, offset, offset);
    SendMessageA(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
  }
  // Bold on or off over [from, to).
  void Bold(long from, long to, bool on) {
    SendMessageA(edit_, EM_SETSEL, from, to);
    CHARFORMAT2A format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_BOLD;
    format.dwEffects = on ? CFE_BOLD : 0;
    SendMessageA(edit_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  }
  long LineCount() const { return static_cast<long>(SendMessageA(edit_, EM_GETLINECOUNT, 0, 0)); }

 private:
  HMODULE library_ = nullptr;
  HWND frame_ = nullptr;
  HWND edit_ = nullptr;
  HFONT font_ = nullptr;
};

}  // namespace tstools::bench
