// Picture recording: a port whose drawing goes to a metafile (MakeMetaFile), and the
// picture calls around it.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "frame/export_guard.h"
#include "picture/meta_header.h"
#include "picture/recording_state.h"
#include "quickdraw/drawing_state.h"
#include "quickdraw/port_internal.h"
#include "tstools/picture_record.h"

namespace tstools::pict {

RecordingState recordingState;

namespace {

using qd::CacheKind;

// What MakeMetaFile makes, deleted together on failure and at the end of the recording.
struct RecordingSurface {
  HDC metaDC = nullptr;
  HDC attributeDC = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ oldBitmap = nullptr;
  HRGN visRgn = nullptr;
  HRGN clipRgn = nullptr;

  // Returns the finished metafile, or null.
  HMETAFILE Free() {
    HMETAFILE mf = metaDC ? CloseMetaFile(metaDC) : nullptr;
    if (attributeDC) {
      SelectObject(attributeDC, GetStockObject(SYSTEM_FONT));
      SelectObject(attributeDC, GetStockObject(BLACK_PEN));
      SelectObject(attributeDC, GetStockObject(WHITE_BRUSH));
      SelectPalette(attributeDC, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
      if (oldBitmap) SelectObject(attributeDC, oldBitmap);
      DeleteDC(attributeDC);
    }
    if (bitmap) DeleteObject(bitmap);
    if (visRgn) DeleteObject(visRgn);
    if (clipRgn) DeleteObject(clipRgn);
    *this = RecordingSurface();
    return mf;
  }
};

bool Make(RecordingSurface &s, const GrafPort &port, const Rect &frame, HDC reference) {
  int width = std::max(1, std::abs(frame.right - frame.left));
  int height = std::max(1, std::abs(frame.bottom - frame.top));
  HDC screen = reference ? nullptr : GetDC(nullptr);
  HDC like = reference ? reference : screen;
  s.attributeDC = like ? CreateCompatibleDC(like) : nullptr;
  s.bitmap = like ? CreateCompatibleBitmap(like, width, height) : nullptr;
  if (screen) ReleaseDC(nullptr, screen);
  s.oldBitmap = s.attributeDC && s.bitmap ? SelectObject(s.attributeDC, s.bitmap) : nullptr;
  s.metaDC = CreateMetaFileA(nullptr);
  s.visRgn = CreateRectRgn(frame.left, frame.top, frame.right, frame.bottom);
  // A clip of its own: ML_SetClip while recording must not change the port's after it.
  s.clipRgn = CreateRectRgn(frame.left, frame.top, frame.right, frame.bottom);
  if (s.clipRgn && port.clipRgn && GetObjectType(port.clipRgn) == OBJ_REGION)
    CombineRgn(s.clipRgn, port.clipRgn, nullptr, RGN_COPY);
  return s.oldBitmap && s.metaDC && s.visRgn && s.clipRgn;
}

void CarryStateOver(GrafPort *port, const Rect &frame) {
  int width = frame.right - frame.left, height = frame.bottom - frame.top;
  // The picture says where its frame is, so players map it without our header too.
  SetWindowOrgEx(port->dc, frame.left, frame.top, nullptr);
  SetWindowExtEx(port->dc, width, height, nullptr);
  SetWindowOrgEx(port->refDC, frame.left, frame.top, nullptr);
  for (HDC dc : {port->dc, port->refDC}) {
    if (port->fontSlot) SelectObject(dc, port->fontSlot);
    if (port->penSlot) SelectObject(dc, port->penSlot);
    if (port->brushSlot) SelectObject(dc, port->brushSlot);
    if (port->paletteSlot) SelectPalette(dc, port->paletteSlot, FALSE);
    SetTextColor(dc, port->textColorRef);
    SetBkColor(dc, port->bkColorRef);
    SetROP2(dc, qd::MixModeForPenMode(port->pnMode));
    SetStretchBltMode(dc, COLORONCOLOR);
    SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
    MoveToEx(dc, port->pnLoc.h, port->pnLoc.v, nullptr);
  }
  SelectClipRgn(port->refDC, port->clipRgn);
}

BOOL StartRecording(GrafPort *port, void *saveArea, const Rect *frame, HDC reference) {
  if (!port || !frame || port->portKind == portKindPicture) return FALSE;
  GrafPort saved;
  std::memcpy(&saved, port, sizeof saved);
  if (saveArea) std::memcpy(saveArea, port, sizeof saved);
  RecordingSurface s;
  if (!Make(s, *port, *frame, reference)) {
    DeleteMetaFile(s.Free());
    std::memcpy(port, &saved, sizeof saved);
    return FALSE;
  }
  port->dc = s.metaDC;
  port->refDC = s.attributeDC;
  port->refBitmap = s.bitmap;
  port->refOldBitmap = static_cast<HBITMAP>(s.oldBitmap);
  port->visRgn = s.visRgn;
  port->clipRgn = s.clipRgn;
  port->portKind = portKindPicture;
  port->portRect = *frame;
  port->clipChanged = 1;
  port->clipDepth = 0;
  CarryStateOver(port, *frame);
  // The saved record's pen, brush and font stay selected in the port's own DC: each keeps
  // one cache reference for the port to have back at the end.
  qd::PinPortObjects(port);
  return TRUE;
}

BOOL MakeMetaFileRoutine(GrafPort *port, void *saveArea, const Rect *frame, HDC reference) {
  return StartRecording(port, saveArea, frame, reference);
}

std::vector<RecordingState::Open>::iterator FindOpen(Handle picture) {
  auto &open = recordingState.open;
  return std::find_if(open.begin(), open.end(), [&](const RecordingState::Open &o) { return o.picture == picture; });
}

PicMeta *Block(Handle picture) {
  Size size = 0;
  if (!picture || MemGetHandleSize(picture, &size) != noErr || size < Size(sizeof(PicMeta)) || !*picture)
    return nullptr;
  return reinterpret_cast<PicMeta *>(*picture);
}

}  // namespace

HMETAFILE FinishRecording(GrafPort *port, const GrafPort &saved) {
  while (port->clipDepth > 0) DesetWinClipRgn(port);
  RecordingSurface s;
  s.metaDC = port->dc;
  s.attributeDC = port->refDC;
  s.bitmap = port->refBitmap;
  s.oldBitmap = port->refOldBitmap;
  s.visRgn = port->visRgn;
  s.clipRgn = port->clipRgn != saved.clipRgn ? port->clipRgn : nullptr;
  HGDIOBJ pen = port->penSlot, brush = port->brushSlot, font = port->fontSlot;
  HMETAFILE mf = s.Free();
  // Released after the DCs are gone, so that a cache deleting one finds it selected nowhere.
  qd::ReleaseCached(CacheKind::Pen, pen);
  qd::ReleaseCached(CacheKind::Brush, brush);
  qd::ReleaseCached(CacheKind::Font, font);
  std::memcpy(port, &saved, sizeof saved);
  port->picture = mf;
  port->clipChanged = 1;
  return mf;
}

void InstallRecording() { qd::SetMakeMetaFileRoutine(MakeMetaFileRoutine); }

}  // namespace tstools::pict

using namespace tstools;
using namespace tstools::pict;

BOOL WINAPI MakeMetaFile(GrafPtr port, void *saveArea, const Rect *frame, HDC referenceDC) {
  return StartRecording(port, saveArea, frame, referenceDC);
}

PicHandle WINAPI ML_OpenPicture(GrafPtr port, const Rect *frame) {
  if (!port || !frame) return nullptr;
  return Guarded(static_cast<PicHandle>(nullptr), [&]() -> PicHandle {
    // Room for the bookkeeping first: nothing below may fail half-way.
    recordingState.open.reserve(recordingState.open.size() + 1);
    // Every picture still open may close into `recorded`: one slot for each, this one too.
    recordingState.recorded.reserve(recordingState.recorded.size() + recordingState.open.size() + 1);
    Handle h = nullptr;
    if (MemNewHandle(&h, sizeof(PicMeta), 1) != noErr || !h) return nullptr;
    MemSetHandleLock(h, 1);
    auto *pm = reinterpret_cast<PicMeta *>(*h);
    pm->size = short(sizeof(PicMeta));
    pm->frame = *frame;
    int units = UnitsPerInch(port->refDC ? GetMapMode(port->refDC) : kMapText);
    pm->unitsPerInch = short(units ? units : 72);
    pm->tag = kMetaTag;
    pm->mm = MM_ANISOTROPIC;
    pm->xExt = PointsToHimetric(frame->right - frame->left);
    pm->yExt = PointsToHimetric(frame->bottom - frame->top);
    pm->hMF = kPicMetaRecording;
    // The picture field changes only once recording has started: a failure leaves the
    // port exactly as it was.
    if (!StartRecording(port, &pm->savedPort, frame, port->dc)) {
      MemSetHandleLock(h, -1);
      MemDisposeHandle(h);
      return nullptr;
    }
    port->picture = kPicMetaRecording;
    recordingState.open.push_back({h, port});
    return h;
  });
}

void WINAPI ML_ClosePicture(GrafPtr port, PicHandle picture) {
  auto it = FindOpen(picture);
  // Only the port's own recording: restoring it from another picture's saved record would
  // give it that port's DCs.
  if (!port || it == recordingState.open.end() || it->port != port) return;
  PicMeta *pm = Block(picture);
  recordingState.open.erase(it);
  if (!pm || pm->hMF != kPicMetaRecording || port->picture != kPicMetaRecording || port->portKind != portKindPicture)
    return;
  HMETAFILE mf = FinishRecording(port, pm->savedPort);
  pm->hMF = mf;
  if (mf)
    recordingState.recorded.push_back(mf);  // reserved when the picture was opened
  else
    pm->frame = Rect{0, 0, 0, 0};
}

void WINAPI ML_KillPicture(GrafPtr port, PicHandle picture) {
  PicMeta *pm = Block(picture);
  if (!pm) return;
  auto it = FindOpen(picture);
  if (it != recordingState.open.end()) ML_ClosePicture(it->port, picture);
  auto &recorded = recordingState.recorded;
  auto mine = std::find(recorded.begin(), recorded.end(), pm->hMF);
  if (mine != recorded.end()) {
    DeleteMetaFile(pm->hMF);
    recorded.erase(mine);
    if (port && port->picture == pm->hMF) port->picture = nullptr;
  }
  MemSetHandleLock(picture, -1);
  MemDisposeHandle(picture);
}
