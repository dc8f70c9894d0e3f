// The bridge module's entry points as the Drag Manager calls them, and the process's drag
// state. The bridge is the host's TSOLE.DLL; we bind it only where it is loaded.
#pragma once

#include <windows.h>

#include <map>

#include "tstools/drag.h"

namespace tstools::drag {

// The bridge asks the drag for a promised format; true when the send procedure supplied it.
using SendCallback = BOOL(__stdcall *)(void *dragRecord, UINT format);
// The bridge reports a drop-target event (0 enter, 1 over, 2 leave, 3 drop) with the drag's
// data object, the tracking record, the OLE key state and the effect it will answer.
using TargetCallback = BOOL(__stdcall *)(int event, void *dataObject, void *handlerRecord, DWORD keyState,
                                         DWORD *effect);

struct BridgeEntries {
  void *(__stdcall *newDataObj)(SendCallback send, void *dragRecord);
  void(__stdcall *deleteDataObj)(void *object);
  BOOL(__stdcall *setData)(void *object, UINT format, const void *data, DWORD count);
  BOOL(__stdcall *setOleData)(void *object, const void *data);
  HGLOBAL(__stdcall *getData)(void *object, UINT format);
  BOOL(__stdcall *queryGetData)(void *object, UINT format);
  BOOL(__stdcall *isOleFormat)(UINT format);
  int(__stdcall *doDragDrop)(long h, long v, void *object);
  void *(__stdcall *registerDragTarget)(HWND window, TargetCallback callback, void *handlerRecord);
  void(__stdcall *unRegisterDragTarget)(void *token);
  void(__stdcall *addRef)(void *object);
  void(__stdcall *release)(void *object);
  FARPROC newObjectDescriptor;  // bound with the others; the library has no use for it
};

struct TrackingRecord {
  DragTrackingHandler handler;
  WindowPtr window;
  void *refCon;
  void *token;          // the bridge's registration
  DragRecord *drag;     // the drag over the window, between enter and leave or drop
};

struct ReceiveRecord {
  DragReceiveHandler handler;
  void *refCon;
};

struct DragState {
  HMODULE bridge = nullptr;  // our own reference, kept for the life of the process
  BridgeEntries entries{};
  bool bound = false;
  int scrollInset = 11, scrollDelay = 50, scrollInterval = 50;  // read for auto-scroll; unused
  DragRecord *current = nullptr;  // the drag TrackDrag runs
  // Window records have no room for handlers: they are kept here, by record.
  std::map<WindowPtr, TrackingRecord *> tracking;
  std::map<WindowPtr, ReceiveRecord *> receive;
  // Forgets the handlers (without unregistering them) and the current drag; the binding stays,
  // as it does for the life of the process.
  void Reset();
};
DragState &Drag();

}  // namespace tstools::drag
