// Another program dragging with bare OLE: a data object with crafted blocks, dragged from
// (x0, y0) to (x1, y1) and dropped there. Prints result, effect and the object's references.
// Usage: drag_peer x0 y0 x1 y1
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "drag_input.h"

namespace {

struct Flavour {
  UINT format;
  std::string bytes;
};
std::vector<Flavour> flavours;

const Flavour *Find(const FORMATETC *fe) {
  for (const Flavour &f : flavours)
    if (f.format == fe->cfFormat) return &f;
  return nullptr;
}

class PeerData : public IDataObject {
 public:
  LONG refs = 1;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override {
    *out = iid == IID_IUnknown || iid == IID_IDataObject ? this : nullptr;
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC *fe, STGMEDIUM *medium) override {
    const Flavour *f = Find(fe);
    if (!f) return DV_E_FORMATETC;
    medium->hGlobal = GlobalAlloc(GMEM_MOVEABLE, f->bytes.size());
    std::memcpy(GlobalLock(medium->hGlobal), f->bytes.data(), f->bytes.size());
    GlobalUnlock(medium->hGlobal);
    medium->tymed = TYMED_HGLOBAL;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC *fe) override { return Find(fe) ? S_OK : DV_E_FORMATETC; }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC *, STGMEDIUM *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC *, FORMATETC *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC *, STGMEDIUM *, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC *, DWORD, IAdviseSink *, DWORD *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA **) override { return E_NOTIMPL; }
};

class PeerSource : public IDropSource {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void **out) override { return *out = this, S_OK; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
    return escape ? DRAGDROP_S_CANCEL : keys & MK_LBUTTON ? S_OK : DRAGDROP_S_DROP;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

void Add(const char *name, std::string bytes) { flavours.push_back(Flavour{RegisterClipboardFormatA(name), bytes}); }

}  // namespace

int main(int argc, char **argv) {
  if (argc < 5 || FAILED(OleInitialize(nullptr))) return 2;
  tstools::test::Hand hand{{atoi(argv[1]), atoi(argv[2])}, {atoi(argv[3]), atoi(argv[4])}};
  Add("Mac-TEXT", std::string("\3\0\0\0abc", 7));
  Add("Mac-lies", std::string("\xE8\3\0\0xy", 6));  // 1000 bytes announced, 2 there
  Add("Mac-PICT", "\x11");                           // no room for the size word
  // The press lands on a window of ours, so that this thread's key state sees the button.
  HWND start = tstools::test::PlainWindow(hand.from.x - 20, hand.from.y - 20, 40);
  HANDLE driver = hand.Start();
  PeerData data;
  PeerSource source;
  DWORD effect = 0;
  HRESULT hr = DoDragDrop(&data, &source, DROPEFFECT_COPY, &effect);
  hand.Finish(driver);
  std::printf("result=%ld\neffect=%lu\nrefs=%ld\n", long(hr), effect, data.refs);
  DestroyWindow(start);
  OleUninitialize();
  return 0;
}
