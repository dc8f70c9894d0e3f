// The scrap beside bare clipboard calls in the same run: 1 MiB through ML_PutScrap and
// ML_GetScrap, 64 KiB of text through ML_PutScrapTEXT (delayed) and ML_GetScrap("TEXT").
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "support/bench.h"
#include "tstools/tstools.h"

namespace {

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_RENDERFORMAT) return ML_RenderMsg(&window, UINT(wParam), 0), 0;
  if (message == WM_DESTROYCLIPBOARD) return ML_DestroyClipMsg(&window), 0;
  return DefWindowProcA(window, message, wParam, lParam);
}

OSType T(const char *type) { OSType t; std::memcpy(&t, type, 4); return t; }

// Empties the clipboard, sets the block as format and reads it back into out.
void BareSetGet(HWND window, UINT format, const std::vector<char> &data, std::vector<char> &out) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, data.size());
  std::memcpy(GlobalLock(block), data.data(), data.size());
  GlobalUnlock(block);
  OpenClipboard(window);
  EmptyClipboard();
  SetClipboardData(format, block);
  CloseClipboard();
  OpenClipboard(window);
  HANDLE got = GetClipboardData(format);
  out.resize(GlobalSize(got));
  std::memcpy(out.data(), GlobalLock(got), out.size());
  GlobalUnlock(got);
  CloseClipboard();
}

}  // namespace

int main() {
  using tstools::bench::Measure;
  WNDCLASSA wc{};
  wc.lpfnWndProc = OwnerProc;
  wc.lpszClassName = "ScrapBench";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, "ScrapBench", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  Handle h = nullptr;
  MemNewHandle(&h, 0, 0);
  std::vector<char> out;

  std::vector<char> mib(1 << 20);
  for (size_t i = 0; i < mib.size(); ++i) mib[i] = char(i * 31);
  double copy = Measure("GlobalAlloc+memcpy 1 MiB", [&] {
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, mib.size());
    std::memcpy(GlobalLock(g), mib.data(), mib.size());
    GlobalUnlock(g);
    GlobalFree(g);
  });
  UINT raw = RegisterClipboardFormatA("Mac-BNCH");
  double bare = Measure("bare Set+GetClipboardData 1 MiB", [&] { BareSetGet(window, raw, mib, out); });
  double scrap = Measure("ML_PutScrap+ML_GetScrap 1 MiB", [&] {
    ML_ZeroScrap(&window);
    ML_PutScrap(&window, long(mib.size()), T("BNCH"), mib.data());
    ML_GetScrap(&window, h, T("BNCH"), nullptr);
  });

  std::vector<char> text(64 << 10);
  for (size_t i = 0; i < text.size(); ++i) text[i] = i % 61 == 60 ? '\r' : char('a' + i % 26);
  std::vector<char> winText(text);
  winText.back() = 0;
  double bareText = Measure("bare Set+Get CF_TEXT 64 KiB", [&] { BareSetGet(window, CF_TEXT, winText, out); });
  double scrapText = Measure("ML_PutScrapTEXT+ML_GetScrap(TEXT) 64 KiB", [&] {
    ML_ZeroScrap(&window);
    ML_PutScrapTEXT(&window, long(text.size()), text.data());
    ML_GetScrap(&window, h, T("TEXT"), nullptr);
  });
  std::printf("scrap/bare 1 MiB %.2fx (target 1.2), TEXT/bare 64 KiB %.2fx (target 1.5), bare/copy %.2fx\n",
              scrap / bare, scrapText / bareText, bare / copy);
  MemDisposeHandle(h);
  DestroyWindow(window);
  return 0;
}
