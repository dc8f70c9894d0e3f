// Wine's RichEdit control, the text engine benchmarks' peer: the same operations on a
// control filling a window of the same size and font. Shown, the window is on the screen, so
// that both sides pay for their pixels; the engine may draw into the same window (Frame())
// while the control is hidden.
#pragma once

#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace tstools::bench {

class RichEditPeer {
 public:
  RichEditPeer(int width, int height, const char *face, int pointSize, bool shown = false) {
    library_ = LoadLibraryA("riched20.dll");
    // A frame of our own class: nothing of it paints over what the engine draws there.
    WNDCLASSA frameClass{0, DefWindowProcA, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                         "TSBenchPeerFrame"};
    RegisterClassA(&frameClass);
    frame_ = CreateWindowExA(0, "TSBenchPeerFrame", "", WS_POPUP | (shown ? WS_VISIBLE : 0), 0, 0,
                             width, height, nullptr, nullptr, nullptr, nullptr);
    // The selection shows without the focus, as the engine's highlight does.
    edit_ = CreateWindowExA(0, RICHEDIT_CLASSA, "",
                            WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_NOHIDESEL | WS_VSCROLL, 0, 0, width,
                            height, frame_, nullptr, nullptr, nullptr);
    SendMessageA(edit_, EM_EXLIMITTEXT, 0, 64 << 20);
    HDC dc = GetDC(nullptr);
    pixels_ = MulDiv(pointSize, GetDeviceCaps(dc, LOGPIXELSY), 72);
    ReleaseDC(nullptr, dc);
    font_ = CreateFontA(-pixels_, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, face);
    SendMessageA(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    if (shown) UpdateWindow(frame_);
  }
  ~RichEditPeer() {
    DestroyWindow(frame_);
    DeleteObject(font_);
    if (library_) FreeLibrary(library_);
  }
  // Whether the control exists; says so when it does not.
  bool Ready() const {
    if (!edit_) std::printf("RichEdit: not available\n");
    return edit_ != nullptr;
  }
  // The window the control fills, and the font's character height in pixels (the engine's
  // size for the same font).
  HWND Frame() const { return frame_; }
  int PixelHeight() const { return pixels_; }
  // Hides or shows the control, repainting it when shown.
  void Show(bool on) {
    ShowWindow(edit_, on ? SW_SHOWNA : SW_HIDE);
    if (on) UpdateWindow(edit_);
  }
  void Update() { UpdateWindow(edit_); }

  void SetText(const std::string &text) {
    SendMessageA(edit_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  void ReplaceAt(long offset, const char *text) { Replace(offset, offset, text); }
  void Replace(long from, long to, const char *text) {
    SendMessageA(edit_, EM_SETSEL, from, to);
    SendMessageA(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
  }
  // EM_EXSETSEL, which also scrolls the moving end into view.
  void Select(long from, long to) {
    CHARRANGE range{from, to};
    SendMessageA(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  }
  long LineStart(long line) const { return long(SendMessageA(edit_, EM_LINEINDEX, line, 0)); }
  // Bold on or off over [from, to).
  void Bold(long from, long to, bool on) {
    CHARFORMAT2A format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_BOLD;
    format.dwEffects = on ? CFE_BOLD : 0;
    Format(from, to, format);
  }
  void Format(long from, long to, CHARFORMAT2A &format) {
    format.cbSize = sizeof format;
    SendMessageA(edit_, EM_SETSEL, from, to);
    SendMessageA(edit_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  }
  // The whole text as RTF, and RTF read in over the whole text.
  std::string Rtf() {
    std::string out;
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&out), 0, &Collect};
    SendMessageA(edit_, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    return out;
  }
  void SetRtf(const std::string &rtf) {
    Source source{&rtf, 0};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, &Give};
    SendMessageA(edit_, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
  }
  long LineCount() const { return static_cast<long>(SendMessageA(edit_, EM_GETLINECOUNT, 0, 0)); }
  long FirstVisibleLine() const { return long(SendMessageA(edit_, EM_GETFIRSTVISIBLELINE, 0, 0)); }
  long Length() const { return static_cast<long>(SendMessageA(edit_, WM_GETTEXTLENGTH, 0, 0)); }

 private:
  struct Source {
    const std::string *text;
    size_t at;
  };
  static DWORD CALLBACK Collect(DWORD_PTR cookie, LPBYTE bytes, LONG n, LONG *done) {
    reinterpret_cast<std::string *>(cookie)->append(reinterpret_cast<char *>(bytes), size_t(n));
    *done = n;
    return 0;
  }
  static DWORD CALLBACK Give(DWORD_PTR cookie, LPBYTE bytes, LONG n, LONG *done) {
    auto *s = reinterpret_cast<Source *>(cookie);
    size_t count = std::min(size_t(n), s->text->size() - s->at);
    s->text->copy(reinterpret_cast<char *>(bytes), count, s->at);
    s->at += count;
    *done = LONG(count);
    return 0;
  }

  HMODULE library_ = nullptr;
  HWND frame_ = nullptr;
  HWND edit_ = nullptr;
  HFONT font_ = nullptr;
  int pixels_ = 0;
};

}  // namespace tstools::bench
