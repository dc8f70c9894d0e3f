// Another program dragging with bare OLE: a data object with crafted blocks, dragged by
// its own SendInput from (x0, y0) to (x1, y1) and dropped there. Prints "result=<hr>".
// Usage: drag_peer x0 y0 x1 y1
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Flavour {
  UINT format;
  std::vector<unsigned char> bytes;
};
std::vector<Flavour> flavours;

class PeerData : public IDataObject {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override {
    if (iid == IID_IUnknown || iid == IID_IDataObject) {
      *out = this;
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC *fe, STGMEDIUM *medium) override {
    for (const Flavour &f : flavours) {
      if (f.format != fe->cfFormat) continue;
      HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, f.bytes.size());
      std::memcpy(GlobalLock(block), f.bytes.data(), f.bytes.size());
      GlobalUnlock(block);
      medium->tymed = TYMED_HGLOBAL;
      medium->hGlobal = block;
      medium->pUnkForRelease = nullptr;
      return S_OK;
    }
    return DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC *, STGMEDIUM *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC *fe) override {
    for (const Flavour &f : flavours)
      if (f.format == fe->cfFormat) return S_OK;
    return DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC *, FORMATETC *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC *, STGMEDIUM *, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC *, DWORD, IAdviseSink *, DWORD *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA **) override { return E_NOTIMPL; }
  LONG refs = 1;
};

class PeerSource : public IDropSource {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override {
    if (iid == IID_IUnknown || iid == IID_IDropSource) {
      *out = this;
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
    if (escape) return DRAGDROP_S_CANCEL;
    return keys & MK_LBUTTON ? S_OK : DRAGDROP_S_DROP;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

void Mouse(DWORD flags, int x = 0, int y = 0) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  if (flags & MOUSEEVENTF_MOVE) {
    in.mi.dwFlags |= MOUSEEVENTF_ABSOLUTE;
    in.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  }
  SendInput(1, &in, sizeof in);
}

int x0, y0, x1, y1;
volatile LONG dragging = 1;

DWORD WINAPI Driver(void *) {
  Sleep(300);
  for (int i = 1; i <= 8; ++i) {
    Mouse(MOUSEEVENTF_MOVE, x0 + (x1 - x0) * i / 8, y0 + (y1 - y0) * i / 8);
    Sleep(80);
  }
  Sleep(300);
  // Released until the drag ends, so that no lost event leaves OLE waiting.
  for (int tries = 0; dragging && tries < 40; ++tries) {
    Mouse(MOUSEEVENTF_LEFTUP);
    Sleep(250);
  }
  return 0;
}

Flavour Named(const char *name, std::vector<unsigned char> bytes) {
  return Flavour{RegisterClipboardFormatA(name), std::move(bytes)};
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 5) return 2;
  x0 = atoi(argv[1]), y0 = atoi(argv[2]), x1 = atoi(argv[3]), y1 = atoi(argv[4]);
  if (FAILED(OleInitialize(nullptr))) return 3;
  flavours.push_back(Named("Mac-TEXT", {3, 0, 0, 0, 'a', 'b', 'c'}));
  flavours.push_back(Named("Mac-lies", {0xE8, 3, 0, 0, 'x', 'y'}));  // 1000 bytes promised, 2 there
  flavours.push_back(Named("Mac-PICT", {0x11}));                     // no room for the size word
  // The press lands on a window of ours, so that this thread's key state sees the button.
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "DragPeerStart";
  RegisterClassA(&wc);
  HWND start = CreateWindowExA(WS_EX_TOPMOST, "DragPeerStart", "", WS_POPUP | WS_VISIBLE, x0 - 20, y0 - 20, 40, 40,
                               nullptr, nullptr, wc.hInstance, nullptr);
  Mouse(MOUSEEVENTF_MOVE, x0, y0);
  Mouse(MOUSEEVENTF_LEFTDOWN);
  MSG msg;
  for (DWORD end = GetTickCount() + 200; GetTickCount() < end;) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(10);
  }
  HANDLE driver = CreateThread(nullptr, 0, Driver, nullptr, 0, nullptr);
  PeerData data;
  PeerSource source;
  DWORD effect = 0;
  HRESULT hr = DoDragDrop(&data, &source, DROPEFFECT_COPY, &effect);
  dragging = 0;
  WaitForSingleObject(driver, 15000);
  std::printf("result=%ld\neffect=%lu\nrefs=%ld\n", long(hr), effect, data.refs);
  DestroyWindow(start);
  OleUninitialize();
  return 0;
}
