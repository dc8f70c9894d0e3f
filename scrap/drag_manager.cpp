// The Drag Manager's exports over the bridge module: drag records, flavours and TrackDrag.
#include <windows.h>

#include <cstring>
#include <new>
#include <string>

#include "frame/export_guard.h"
#include "scrap/drag_bridge.h"
#include "scrap/drag_core.h"
#include "scrap/scrap_types.h"
#include "tstools/scrap.h"

struct DragRecord {
  void *dataObject = nullptr;
  uint8_t owned = 0;       // 1: NewDrag made the data object; 0: it came from another program
  uint8_t attributes = 0;
  uint16_t modifiers = 0;
  struct Sender {
    HWND appWindow = nullptr;
    WindowPtr senderWindow = nullptr;
    Rect bounds{};
    Point origin{};
  } *sender = nullptr;     // null for a received drag
  DragSendDataProc sendProc = nullptr;
  void *sendRefCon = nullptr;
  // The last flavour fetched: a block of ours, locked, and where its data lies in it.
  HGLOBAL cacheBlock = nullptr;
  uint8_t *cacheBytes = nullptr;
  size_t cacheOffset = 0, cacheLength = 0;
  uint32_t cacheType = 0;
};

namespace tstools::drag {
namespace {

constexpr OSErr kBadFlavor = badDragFlavorErr;

const char *const kEntryNames[] = {
    "_TsOleNewDataObj@8",        "_TsOleDeleteDataObj@4",     "_TsOleSetData@16",
    "_TsOleSetOleData@8",        "_TsOleGetData@8",           "_TsOleQueryGetData@8",
    "_TsOleIsOleFormat@4",       "_TsOleDoDragDrop@12",       "_TsOleRegisterDragTarget@12",
    "_TsOleUnRegisterDragTarget@4", "_TsOleAddRef@4",         "_TsOleRelease@4",
    "_TsOleNewObjectDescriptor@36"};

// Where a Mac type travels, with the layout of its blocks.
struct Flavor {
  UINT format = 0;
  FlavorLayout layout = FlavorLayout::kRaw;
  bool ole = false;  // handed to the bridge as OLE data
};

Flavor FlavorFor(FlavorType type) {
  scrap::FormatChoice choice = scrap::FormatForType(scrap::FromOSType(type));
  Flavor flavor;
  flavor.format = choice.standard ? choice.standard : RegisterClipboardFormatA(choice.name.c_str());
  if (choice.lengthPrefixed)
    flavor.layout = FlavorLayout::kLengthPrefixed;
  else if (choice.name == "Mac-PICT")
    flavor.layout = FlavorLayout::kMacPict;
  flavor.ole = choice.name == "Embedded Object" || choice.name == "Embed Source" || choice.name == "FileName" ||
               choice.name == "Link Source";
  return flavor;
}

bool Usable(DragReference drag) { return Drag().bound && drag && drag->dataObject; }

void EmptyCache(DragRecord *drag) {
  if (drag->cacheBlock) {
    if (drag->cacheBytes) GlobalUnlock(drag->cacheBlock);
    GlobalFree(drag->cacheBlock);
  }
  drag->cacheBlock = nullptr;
  drag->cacheBytes = nullptr;
  drag->cacheOffset = drag->cacheLength = 0;
  drag->cacheType = 0;
}

void FreeRecord(DragRecord *drag) {
  EmptyCache(drag);
  delete drag->sender;
  delete drag;
}

// Frees a record and gives up its data object (and deletes the object when it is ours).
void Dispose(DragRecord *drag) {
  BridgeEntries &ole = Drag().entries;
  if (Drag().current == drag) Drag().current = nullptr;
  if (drag->dataObject) {
    ole.release(drag->dataObject);
    if (drag->owned) ole.deleteDataObj(drag->dataObject);
  }
  FreeRecord(drag);
}

OSErr StoreFlavor(DragRecord *drag, FlavorType type, const void *data, Size size, bool allowOle) {
  if (size < 0) return paramErr;
  Flavor flavor = FlavorFor(type);
  if (!flavor.format) return memFullErr;
  BridgeEntries &ole = Drag().entries;
  if (drag->cacheType == type) EmptyCache(drag);
  if (flavor.ole) {
    if (!allowOle || !data) return paramErr;
    return ole.setOleData(drag->dataObject, data) ? noErr : memFullErr;
  }
  if (data && flavor.layout != FlavorLayout::kRaw) {
    size_t blockSize = FlavorBlockSize(flavor.layout, size_t(size));
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, blockSize);
    uint8_t *bytes = block ? static_cast<uint8_t *>(GlobalLock(block)) : nullptr;
    if (!bytes) {
      if (block) GlobalFree(block);
      return memFullErr;
    }
    WriteFlavorBlock(flavor.layout, static_cast<const uint8_t *>(data), size_t(size), bytes);
    BOOL stored = ole.setData(drag->dataObject, flavor.format, bytes, DWORD(blockSize));
    GlobalUnlock(block);
    GlobalFree(block);
    return stored ? noErr : memFullErr;
  }
  return ole.setData(drag->dataObject, flavor.format, data, data ? DWORD(size) : 0) ? noErr : memFullErr;
}

// Brings the type's data into the drag's cache (once per type).
OSErr FetchFlavor(DragRecord *drag, FlavorType type) {
  if (drag->cacheType != type) EmptyCache(drag);
  if (drag->cacheBlock) return noErr;
  BridgeEntries &ole = Drag().entries;
  Flavor flavor = FlavorFor(type);
  if (!flavor.format || !ole.queryGetData(drag->dataObject, flavor.format)) return kBadFlavor;
  HGLOBAL block = ole.getData(drag->dataObject, flavor.format);
  if (!block) return memFullErr;
  auto *bytes = static_cast<uint8_t *>(GlobalLock(block));
  if (!bytes) {
    GlobalFree(block);
    return memFullErr;
  }
  FlavorView view = ReadFlavorBlock(flavor.layout, bytes, GlobalSize(block));
  if (!view.present) {
    GlobalUnlock(block);
    GlobalFree(block);
    return kBadFlavor;
  }
  if (view.restoreSizeWord && view.length >= 2) std::memcpy(bytes + view.offset, view.sizeWord, 2);
  drag->cacheBlock = block;
  drag->cacheBytes = bytes;
  drag->cacheOffset = view.offset;
  drag->cacheLength = view.length;
  drag->cacheType = type;
  return noErr;
}

bool CursorIn(HWND window, POINT cursor) {
  RECT r;
  return window && GetWindowRect(window, &r) && PtInRect(&r, cursor);
}

void UpdateAttributes(DragRecord *drag) {
  if (!drag->sender) {
    drag->attributes = NextAttributes(drag->attributes, true, false, false);
    return;
  }
  HWND senderWindow = drag->sender->senderWindow ? drag->sender->senderWindow->port.window : nullptr;
  // Outside TrackDrag the windows are gone: the last answer stands.
  if (!drag->sender->appWindow && !senderWindow) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  drag->attributes =
      NextAttributes(drag->attributes, false, CursorIn(drag->sender->appWindow, cursor), CursorIn(senderWindow, cursor));
}

BOOL __stdcall SendFlavor(void *dragRecord, UINT format) {
  return Guarded(FALSE, [&]() -> BOOL {
    auto *drag = static_cast<DragRecord *>(dragRecord);
    if (!drag || !drag->sendProc) return FALSE;
    OSType type = ML_MapWinToMacType(format, nullptr, nullptr);
    return drag->sendProc(type, drag->sendRefCon, 1, drag) == noErr;
  });
}

DragRecord *WrapReceived(void *dataObject) {
  auto *drag = new DragRecord;
  drag->dataObject = dataObject;
  drag->attributes = kHasLeftSenderWindow;
  Drag().entries.addRef(dataObject);  // the wrapper's own reference, given up in Dispose
  return drag;
}

void EndDrag(TrackingRecord *record) {
  DragRecord *drag = record->drag;
  record->drag = nullptr;
  if (drag && !drag->owned) Dispose(drag);
}

BOOL __stdcall OnTargetEvent(int event, void *dataObject, void *handlerRecord, DWORD keyState, DWORD *effect) {
  return Guarded(FALSE, [&]() -> BOOL {
    auto *record = static_cast<TrackingRecord *>(handlerRecord);
    DropPlan plan = PlanDropEvent(event, record != nullptr, record && record->drag);
    if (!plan.valid) {
      if (effect) *effect = 0;
      return FALSE;
    }
    if (plan.beginDrag) {
      EndDrag(record);  // a second enter without a leave
      if (Drag().current) {
        record->drag = Drag().current;
      } else {
        if (!dataObject) return FALSE;
        record->drag = WrapReceived(dataObject);
      }
    }
    DragRecord *drag = record->drag;
    if (plan.setModifiers) drag->modifiers = ModifiersForKeyState(keyState);
    UpdateAttributes(drag);
    bool ok = true;
    if (plan.callReceive) {
      auto found = Drag().receive.find(record->window);
      bool has = found != Drag().receive.end();
      bool received = has && found->second->handler(record->window, found->second->refCon, drag, effect) == noErr;
      ok = DropAccepted(has, received);
    }
    OSErr tracked = record->handler(plan.trackingMessage, record->window, record->refCon, drag, effect);
    if (!plan.callReceive) ok = tracked == noErr;
    if (!ok && effect) *effect = 0;
    if (plan.endDrag) EndDrag(record);
    return ok;
  });
}

template <typename Fn>
bool Bind(HMODULE module, int index, Fn &slot) {
  FARPROC address = GetProcAddress(module, kEntryNames[index]);
  slot = reinterpret_cast<Fn>(reinterpret_cast<void *>(address));
  return address != nullptr;
}

}  // namespace

DragState &Drag() {
  static DragState state;
  return state;
}

void DragState::Reset() {
  for (auto &entry : tracking) delete entry.second;
  for (auto &entry : receive) delete entry.second;
  tracking.clear();
  receive.clear();
  current = nullptr;
}

}  // namespace tstools::drag

using namespace tstools;
using namespace tstools::drag;

Boolean __stdcall DragInit(void) {
  return Guarded(Boolean(false), []() -> Boolean {
    DragState &state = Drag();
    if (state.bound) return true;
    HMODULE module = GetModuleHandleA("TSOLE.DLL");
    if (!module) return false;
    state.scrollInset = GetProfileIntA("windows", "DragScrollInset", 11);
    state.scrollDelay = GetProfileIntA("windows", "DragScrollDelay", 50);
    state.scrollInterval = GetProfileIntA("windows", "DragScrollInterval", 50);
    BridgeEntries e{};
    bool all = Bind(module, 0, e.newDataObj) & Bind(module, 1, e.deleteDataObj) & Bind(module, 2, e.setData) &
               Bind(module, 3, e.setOleData) & Bind(module, 4, e.getData) & Bind(module, 5, e.queryGetData) &
               Bind(module, 6, e.isOleFormat) & Bind(module, 7, e.doDragDrop) & Bind(module, 8, e.registerDragTarget) &
               Bind(module, 9, e.unRegisterDragTarget) & Bind(module, 10, e.addRef) & Bind(module, 11, e.release) &
               Bind(module, 12, e.newObjectDescriptor);
    // A half-bound bridge would be called through null: bind all or nothing.
    if (!all) return false;
    // Our own reference, so that the host's FreeLibrary cannot pull the entries from under us.
    HMODULE held = nullptr;
    if (!GetModuleHandleExA(0, "TSOLE.DLL", &held) || held != module) return false;
    state.bridge = held;
    state.entries = e;
    state.bound = true;
    return true;
  });
}

OSErr __stdcall NewDrag(DragReference *out) {
  return Guarded(OSErr(memFullErr), [&]() -> OSErr {
    if (out) *out = nullptr;
    if (!Drag().bound || !out) return paramErr;
    auto *drag = new DragRecord;
    drag->sender = new (std::nothrow) DragRecord::Sender;
    if (!drag->sender) {
      delete drag;
      return memFullErr;
    }
    drag->owned = 1;
    drag->dataObject = Drag().entries.newDataObj(SendFlavor, drag);
    if (!drag->dataObject) {
      FreeRecord(drag);
      return memFullErr;
    }
    Drag().entries.addRef(drag->dataObject);
    *out = drag;
    return noErr;
  });
}

OSErr __stdcall DisposeDrag(DragReference drag) {
  if (!Drag().bound) return paramErr;
  if (drag) Dispose(drag);
  return noErr;
}

OSErr __stdcall AddDragItemFlavor(DragReference drag, ItemReference, FlavorType type, const void *data, Size size,
                                  FlavorFlags) {
  return Guarded(OSErr(memFullErr), [&]() -> OSErr {
    if (!Usable(drag)) return paramErr;
    return StoreFlavor(drag, type, data, size, true);
  });
}

OSErr __stdcall SetDragItemFlavorData(DragReference drag, ItemReference, FlavorType type, const void *data,
                                      Size size, unsigned long) {
  return Guarded(OSErr(memFullErr), [&]() -> OSErr {
    if (!Usable(drag)) return paramErr;
    return StoreFlavor(drag, type, data, size, false);
  });
}

OSErr __stdcall SetDragSendProc(DragReference drag, DragSendDataProc proc, void *refCon) {
  if (!Usable(drag)) return paramErr;
  drag->sendProc = proc;
  drag->sendRefCon = refCon;
  return noErr;
}

OSErr __stdcall TrackDrag(DragReference drag, HWND appWindow, WindowPtr senderWindow, Point origin, long,
                          Boolean *dropped) {
  return Guarded(OSErr(memFullErr), [&]() -> OSErr {
    if (!Usable(drag) || !drag->owned || !drag->sender || Drag().current) return paramErr;
    if (dropped) *dropped = true;
    drag->sender->appWindow = appWindow;
    drag->sender->senderWindow = senderWindow;
    drag->sender->origin = origin;
    drag->attributes = kInsideSenderApplication | kInsideSenderWindow;
    Drag().current = drag;
    int result = Drag().entries.doDragDrop(origin.h, origin.v, drag->dataObject);
    OSErr err = noErr;
    if (result == -2)
      err = userCanceledErr;
    else if (result == 0) {
      if (dropped) *dropped = false;
    } else if (result != 1)
      err = paramErr;
    UpdateAttributes(drag);
    drag->sender->appWindow = nullptr;
    drag->sender->senderWindow = nullptr;
    Drag().current = nullptr;
    return err;
  });
}

OSErr __stdcall CountDragItems(DragReference drag, unsigned short *count) {
  if (!Usable(drag) || !count) return paramErr;
  *count = 1;
  return noErr;
}

OSErr __stdcall GetDragItemReferenceNumber(DragReference drag, unsigned short, ItemReference *item) {
  if (!Usable(drag) || !item) return paramErr;
  *item = 1;
  return noErr;
}

OSErr __stdcall GetFlavorFlags(DragReference drag, ItemReference, FlavorType type, FlavorFlags *flags) {
  return Guarded(OSErr(memFullErr), [&]() -> OSErr {
    if (!Usable(drag)) return paramErr;
    if (flags) *flags = 0;
    UINT format = FlavorFor(type).format;
    return format && Drag().entries.queryGetData(drag->dataObject, format) ? OSErr(noErr) : kBadFlavor;
  });
}

OSErr __stdcall GetFlavorDataSize(DragReference drag, ItemReference, FlavorType type, Size *size) {
  return Guarded(OSErr(memFullErr), [&]() -> OSErr {
    if (!Usable(drag) || !size) return paramErr;
    UINT format = FlavorFor(type).format;
    if (format && Drag().entries.isOleFormat(format)) {
      *size = -1;
      return noErr;
    }
    OSErr err = FetchFlavor(drag, type);
    *size = err ? 0 : Size(drag->cacheLength);
    return err;
  });
}

OSErr __stdcall GetFlavorData(DragReference drag, ItemReference, FlavorType type, void *buffer, Size *size,
                              unsigned long offset) {
  return Guarded(OSErr(memFullErr), [&]() -> OSErr {
    if (!Usable(drag) || !size) return paramErr;
    OSErr err = FetchFlavor(drag, type);
    if (err) return err;
    size_t available = offset < drag->cacheLength ? drag->cacheLength - offset : 0;
    size_t wanted = *size > 0 ? size_t(*size) : 0;
    size_t count = wanted < available ? wanted : available;
    if (count && !buffer) return paramErr;
    if (count) std::memcpy(buffer, drag->cacheBytes + drag->cacheOffset + offset, count);
    *size = Size(count);
    EmptyCache(drag);
    return noErr;
  });
}

OSErr __stdcall GetDragItemBounds(DragReference drag, ItemReference, Rect *bounds) {
  if (!Usable(drag) || !bounds) return paramErr;
  POINT cursor{};
  GetCursorPos(&cursor);
  if (!drag->sender) {
    *bounds = Rect{short(cursor.x), short(cursor.y), short(cursor.x), short(cursor.y)};
    return paramErr;
  }
  const DragRecord::Sender &s = *drag->sender;
  short dh = short(cursor.x - s.origin.h), dv = short(cursor.y - s.origin.v);
  *bounds = Rect{short(s.bounds.left + dh), short(s.bounds.top + dv), short(s.bounds.right + dh),
                 short(s.bounds.bottom + dv)};
  return noErr;
}

OSErr __stdcall SetDragItemBounds(DragReference drag, ItemReference, const Rect *bounds) {
  if (!Usable(drag) || !bounds || !drag->sender) return paramErr;
  drag->sender->bounds = *bounds;
  return noErr;
}

OSErr __stdcall GetDragAttributes(DragReference drag, DragAttributes *attributes) {
  if (!Usable(drag) || !attributes) return paramErr;
  UpdateAttributes(drag);
  *attributes = drag->attributes;
  return noErr;
}

OSErr __stdcall GetDragMouse(DragReference drag, Point *mouse, Point *pinnedMouse) {
  if (!Usable(drag)) return paramErr;
  POINT cursor{};
  GetCursorPos(&cursor);
  Point p{short(cursor.x), short(cursor.y)};
  if (mouse) *mouse = p;
  if (pinnedMouse) *pinnedMouse = p;
  return noErr;
}

OSErr __stdcall GetDragOrigin(DragReference drag, Point *origin) {
  if (!Usable(drag) || !origin || !drag->sender) return paramErr;
  *origin = drag->sender->origin;
  return noErr;
}

OSErr __stdcall GetDragModifiers(DragReference drag, short *modifiers, short *mouseDown, short *mouseUp) {
  if (!Usable(drag)) return paramErr;
  for (short *out : {modifiers, mouseDown, mouseUp})
    if (out) *out = short(drag->modifiers);
  return noErr;
}

OSErr __stdcall GetDragIDataObject(DragReference drag, void **dataObject) {
  if (!Usable(drag) || !dataObject) return paramErr;
  *dataObject = drag->dataObject;
  return noErr;
}

OSErr __stdcall InstallTrackingHandler(DragTrackingHandler handler, WindowPtr window, void *refCon) {
  return Guarded(OSErr(memFullErr), [&]() -> OSErr {
    DragState &state = Drag();
    if (!state.bound || !handler || !window) return paramErr;
    if (state.tracking.count(window)) return duplicateHandlerErr;
    auto *record = new TrackingRecord{handler, window, refCon, nullptr, nullptr};
    auto slot = state.tracking.emplace(window, record).first;
    record->token = state.entries.registerDragTarget(window->port.window, OnTargetEvent, record);
    if (!record->token) {
      state.tracking.erase(slot);
      delete record;
      return memFullErr;
    }
    return noErr;
  });
}

OSErr __stdcall RemoveTrackingHandler(DragTrackingHandler handler, WindowPtr window) {
  return Guarded(OSErr(memFullErr), [&]() -> OSErr {
    DragState &state = Drag();
    if (!state.bound || !window) return paramErr;
    auto found = state.tracking.find(window);
    if (found == state.tracking.end() || found->second->handler != handler) return duplicateHandlerErr;
    TrackingRecord *record = found->second;
    state.entries.unRegisterDragTarget(record->token);
    EndDrag(record);
    state.tracking.erase(found);
    delete record;
    return noErr;
  });
}

OSErr __stdcall InstallReceiveHandler(DragReceiveHandler handler, WindowPtr window, void *refCon) {
  return Guarded(OSErr(memFullErr), [&]() -> OSErr {
    DragState &state = Drag();
    if (!state.bound || !handler || !window) return paramErr;
    if (state.receive.count(window)) return duplicateHandlerErr;
    state.receive.emplace(window, new ReceiveRecord{handler, refCon});
    return noErr;
  });
}

OSErr __stdcall RemoveReceiveHandler(DragReceiveHandler, WindowPtr window) {
  DragState &state = Drag();
  if (!state.bound || !window) return paramErr;
  auto found = state.receive.find(window);
  if (found == state.receive.end()) return duplicateHandlerErr;
  delete found->second;
  state.receive.erase(found);
  return noErr;
}

OSErr __stdcall ShowDragHilite(DragReference, RgnHandle, Boolean) { return noErr; }
OSErr __stdcall HideDragHilite(DragReference) { return noErr; }
Boolean __stdcall WaitMouseMoved(Point) { return true; }

OSErr __stdcall SetDragInputProc(DragReference, void *, void *) { return paramErr; }
OSErr __stdcall SetDragMouse(DragReference, Point) { return paramErr; }
OSErr __stdcall GetFlavorType(DragReference, ItemReference, unsigned short, FlavorType *) { return paramErr; }
OSErr __stdcall DragPostScroll(DragReference) { return paramErr; }
OSErr __stdcall DragPreScroll(DragReference, short, short) { return paramErr; }
OSErr __stdcall UpdateDragHilite(DragReference, RgnHandle) { return paramErr; }
OSErr __stdcall SetDragDrawingProc(DragReference, void *, void *) { return paramErr; }
OSErr __stdcall CountDragItemFlavors(DragReference, ItemReference, unsigned short *) { return paramErr; }
OSErr __stdcall ZoomRects(const Rect *, const Rect *, short, short) { return paramErr; }
OSErr __stdcall ZoomRegion(RgnHandle, Point, short, short) { return paramErr; }
