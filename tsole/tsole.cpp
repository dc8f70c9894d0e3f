// TSOLE.DLL: the OLE drag-and-drop bridge TSTOOLS.DLL binds at DragInit. It owns every COM
// object of a drag: the data object holding a copy of each format (or a promise that the drag's
// send callback keeps), the drop source, and the drop targets that report window events back.
// The entries are stdcall and exported under their decorated names in both builds (tsole.def).
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <atomic>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace {

using SendCallback = BOOL(__stdcall *)(void *dragRecord, UINT format);
using TargetCallback = BOOL(__stdcall *)(int event, void *dataObject, void *handlerRecord, DWORD keyState,
                                         DWORD *effect);

// Data objects, drop sources and drop targets alive: tests check that drags leak none.
std::atomic<long> liveObjects{0};

// Marks our own data objects, so that a foreign one is never written into.
const IID kOwnDataObject = {0x6b1f0c2e, 0x52a4, 0x4d7e, {0x9a, 0x51, 0x3c, 0x1d, 0x0e, 0x77, 0x20, 0x41}};

bool EnsureOle() {
  // Once per thread: the host's user-interface thread. Never undone: the host may use OLE too.
  static thread_local bool ready = false;
  if (!ready) {
    HRESULT hr = OleInitialize(nullptr);
    ready = SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE;
  }
  return ready;
}

UINT OleFormat(int index) {
  static const char *const names[] = {"Embedded Object", "Embed Source", "Link Source", "FileName"};
  return RegisterClipboardFormatA(names[index]);
}

template <typename Interface>
class Counted : public Interface {
 public:
  Counted() { ++liveObjects; }
  virtual ~Counted() { --liveObjects; }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --refs_;
    if (!left) delete this;
    return left;
  }

 protected:
  HRESULT Query(REFIID iid, const IID &own, void **out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == own) {
      *out = static_cast<Interface *>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }

 private:
  std::atomic<ULONG> refs_{1};
};

HGLOBAL CopyToGlobal(const void *bytes, size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
  void *to = block ? GlobalLock(block) : nullptr;
  if (!to) {
    if (block) GlobalFree(block);
    return nullptr;
  }
  if (size) std::memcpy(to, bytes, size);
  GlobalUnlock(block);
  return block;
}

class DataObject : public Counted<IDataObject> {
 public:
  DataObject(SendCallback send, void *drag) : send_(send), drag_(drag) {}
  ~DataObject() override { Clear(); }

  struct Entry {
    UINT format;
    bool promised;
    std::vector<unsigned char> bytes;
  };

  void Clear() {
    entries_.clear();
    send_ = nullptr;
    drag_ = nullptr;
    if (oleData_) oleData_->Release();
    oleData_ = nullptr;
  }
  bool Set(UINT format, const void *data, DWORD count) {
    Entry *entry = Find(format);
    if (!entry) {
      entries_.push_back(Entry{format, true, {}});
      entry = &entries_.back();
    }
    entry->promised = data == nullptr;
    if (data) entry->bytes.assign(static_cast<const unsigned char *>(data), static_cast<const unsigned char *>(data) + count);
    else entry->bytes.clear();
    return true;
  }
  void SetOleData(IDataObject *object) {
    object->AddRef();
    if (oleData_) oleData_->Release();
    oleData_ = object;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override {
    if (out && iid == kOwnDataObject) {
      *out = this;
      return S_OK;  // no reference: only used to tell ours from foreign ones
    }
    return Query(iid, IID_IDataObject, out);
  }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC *format, STGMEDIUM *medium) override {
    if (!format || !medium) return E_INVALIDARG;
    Entry *entry = Find(format->cfFormat);
    if (!entry) return oleData_ ? oleData_->GetData(format, medium) : DV_E_FORMATETC;
    if (!(format->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
    if (entry->promised) {
      // The send procedure answers with SetDragItemFlavorData, which lands in Set().
      UINT cf = entry->format;
      if (!send_ || !send_(drag_, cf)) return DV_E_FORMATETC;
      entry = Find(cf);
      if (!entry || entry->promised) return DV_E_FORMATETC;
    }
    HGLOBAL block = CopyToGlobal(entry->bytes.data(), entry->bytes.size());
    if (!block) return E_OUTOFMEMORY;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = block;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC *, STGMEDIUM *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC *format) override {
    if (!format) return E_INVALIDARG;
    if (Find(format->cfFormat)) return format->tymed & TYMED_HGLOBAL ? S_OK : DV_E_TYMED;
    return oleData_ ? oleData_->QueryGetData(format) : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC *, FORMATETC *out) override {
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC *, STGMEDIUM *, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC **out) override {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    std::vector<FORMATETC> formats;
    for (const Entry &e : entries_) formats.push_back(FORMATETC{CLIPFORMAT(e.format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
    return SHCreateStdEnumFmtEtc(UINT(formats.size()), formats.data(), out);
  }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC *, DWORD, IAdviseSink *, DWORD *) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA **) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  Entry *Find(UINT format) {
    for (Entry &e : entries_)
      if (e.format == format) return &e;
    return nullptr;
  }
  std::vector<Entry> entries_;
  SendCallback send_;
  void *drag_;
  IDataObject *oleData_ = nullptr;
};

DataObject *Own(void *object) {
  if (!object) return nullptr;
  void *own = nullptr;
  auto *unknown = static_cast<IDataObject *>(object);
  return SUCCEEDED(unknown->QueryInterface(kOwnDataObject, &own)) ? static_cast<DataObject *>(own) : nullptr;
}

class DropSource : public Counted<IDropSource> {
 public:
  bool escaped = false;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override { return Query(iid, IID_IDropSource, out); }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override {
    if (escapePressed) {
      escaped = true;
      return DRAGDROP_S_CANCEL;
    }
    return keyState & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON) ? S_OK : DRAGDROP_S_DROP;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

DWORD Preferred(DWORD allowed) {
  if (allowed & DROPEFFECT_COPY) return DROPEFFECT_COPY;
  if (allowed & DROPEFFECT_MOVE) return DROPEFFECT_MOVE;
  return allowed & DROPEFFECT_LINK;
}

class DropTarget : public Counted<IDropTarget> {
 public:
  DropTarget(HWND window, TargetCallback callback, void *record) : window(window), callback_(callback), record_(record) {}
  ~DropTarget() override { Forget(); }
  HWND window;

  // After unregistering, OLE may still end a drag in progress on this target: report nothing
  // to a handler record that is gone.
  void Detach() { callback_ = nullptr, record_ = nullptr; }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override { return Query(iid, IID_IDropTarget, out); }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject *object, DWORD keyState, POINTL, DWORD *effect) override {
    Forget();
    if (object) object->AddRef();
    current_ = object;
    return Report(0, keyState, effect);
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL, DWORD *effect) override { return Report(1, keyState, effect); }
  HRESULT STDMETHODCALLTYPE DragLeave() override {
    DWORD effect = DROPEFFECT_NONE;
    Report(2, 0, &effect);
    Forget();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject *object, DWORD keyState, POINTL, DWORD *effect) override {
    if (!current_ && object) {
      object->AddRef();
      current_ = object;
    }
    Report(3, keyState, effect);
    Forget();
    return S_OK;
  }

 private:
  HRESULT Report(int event, DWORD keyState, DWORD *effect) {
    DWORD answer = effect ? Preferred(*effect) : DROPEFFECT_NONE;
    BOOL ok = callback_ && callback_(event, current_, record_, keyState, &answer);
    if (effect) *effect = ok ? answer : DROPEFFECT_NONE;
    return S_OK;
  }
  void Forget() {
    if (current_) current_->Release();
    current_ = nullptr;
  }
  TargetCallback callback_;
  void *record_;
  IDataObject *current_ = nullptr;
};

}  // namespace

extern "C" {

void *__stdcall TsOleNewDataObj(SendCallback send, void *drag) {
  if (!EnsureOle()) return nullptr;
  return static_cast<IDataObject *>(new (std::nothrow) DataObject(send, drag));
}

// Gives up the creator's reference; OLE may hold the object a little longer, emptied.
void __stdcall TsOleDeleteDataObj(void *object) {
  if (DataObject *own = Own(object)) {
    own->Clear();
    own->Release();
  }
}

BOOL __stdcall TsOleSetData(void *object, UINT format, const void *data, DWORD count) {
  DataObject *own = Own(object);
  if (!own || !format) return FALSE;
  try {
    return own->Set(format, data, count);
  } catch (...) {
    return FALSE;
  }
}

// The OLE data of an embedding is its own data object: its formats are offered beside ours.
BOOL __stdcall TsOleSetOleData(void *object, const void *data) {
  DataObject *own = Own(object);
  if (!own || !data) return FALSE;
  IDataObject *source = nullptr;
  auto *unknown = static_cast<IUnknown *>(const_cast<void *>(data));
  if (FAILED(unknown->QueryInterface(IID_IDataObject, reinterpret_cast<void **>(&source)))) return FALSE;
  own->SetOleData(source);
  source->Release();
  return TRUE;
}

// A copy the caller owns, of any data object's HGLOBAL data.
HGLOBAL __stdcall TsOleGetData(void *object, UINT format) {
  if (!object || !format) return nullptr;
  FORMATETC fe{CLIPFORMAT(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  if (FAILED(static_cast<IDataObject *>(object)->GetData(&fe, &medium))) return nullptr;
  HGLOBAL copy = nullptr;
  if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
    const void *bytes = GlobalLock(medium.hGlobal);
    if (bytes) {
      copy = CopyToGlobal(bytes, GlobalSize(medium.hGlobal));
      GlobalUnlock(medium.hGlobal);
    }
  }
  ReleaseStgMedium(&medium);
  return copy;
}

BOOL __stdcall TsOleQueryGetData(void *object, UINT format) {
  if (!object || !format) return FALSE;
  FORMATETC fe{CLIPFORMAT(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  return static_cast<IDataObject *>(object)->QueryGetData(&fe) == S_OK;
}

BOOL __stdcall TsOleIsOleFormat(UINT format) {
  for (int i = 0; i < 4; ++i)
    if (format && format == OleFormat(i)) return TRUE;
  return FALSE;
}

// -2 cancelled (Esc), 1 dropped on a window that took it, 0 released without a drop, -1 OLE
// failed. The origin is not needed: OLE follows the cursor from where it is.
int __stdcall TsOleDoDragDrop(long, long, void *object) {
  if (!object || !EnsureOle()) return -1;
  auto *source = new (std::nothrow) DropSource;
  if (!source) return -1;
  DWORD effect = DROPEFFECT_NONE;
  HRESULT hr = DoDragDrop(static_cast<IDataObject *>(object), source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
  bool escaped = source->escaped;
  source->Release();
  if (escaped) return -2;
  if (hr == DRAGDROP_S_DROP) return effect != DROPEFFECT_NONE ? 1 : 0;
  if (hr == DRAGDROP_S_CANCEL) return 0;
  return -1;
}

void *__stdcall TsOleRegisterDragTarget(HWND window, TargetCallback callback, void *record) {
  if (!window || !callback || !EnsureOle()) return nullptr;
  auto *target = new (std::nothrow) DropTarget(window, callback, record);
  if (!target) return nullptr;
  if (FAILED(RegisterDragDrop(window, target))) {
    target->Release();
    return nullptr;
  }
  return target;
}

void __stdcall TsOleUnRegisterDragTarget(void *token) {
  if (!token) return;
  auto *target = static_cast<DropTarget *>(token);
  RevokeDragDrop(target->window);
  target->Detach();
  target->Release();
}

void __stdcall TsOleAddRef(void *object) {
  if (object) static_cast<IUnknown *>(object)->AddRef();
}

void __stdcall TsOleRelease(void *object) {
  if (object) static_cast<IUnknown *>(object)->Release();
}

// Object descriptors for embeddings are not made by this bridge.
void *__stdcall TsOleNewObjectDescriptor(void *, void *, void *, void *, void *, void *, void *, void *, void *) {
  return nullptr;
}

// How many of the bridge's COM objects are alive: 0 once every drag has ended.
long __stdcall TsOleLiveObjects(void) { return liveObjects.load(); }

}  // extern "C"
