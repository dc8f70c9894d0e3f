// Delayed rendering: the puts keep a copy and announce formats; the owner's clipboard
// messages make them.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "frame/export_guard.h"
#include "scrap/scrap_retained.h"

namespace tstools::scrap {

bool Contains(const std::vector<UINT> &formats, UINT format) {
  return std::find(formats.begin(), formats.end(), format) != formats.end();
}

// Makes the format from the kind's kept data and hands it to the clipboard.
OSErr RenderFrom(Kind kind, UINT format, const void *windowRecord) {
  HANDLE block = MakeFormat(kind, format, static_cast<const PictConvContext *>(windowRecord));
  if (!block) return memFullErr;
  if (!SetClipboardData(format, block)) {
    FreeClipboardBlock(format, block);
    return memFullErr;
  }
  Scrap().kept[kind].rendered.push_back(format);
  return noErr;
}

// Keeps `bytes` (already copied) as the kind's data, then announces its formats. The copy is
// kept even when the clipboard is busy.
OSErr KeepAndAnnounce(const void *windowRecord, Kind kind, std::vector<uint8_t> &&bytes,
                      HMETAFILE metafile = nullptr) {
  std::vector<UINT> formats = FormatsOf(kind);
  Retained &kept = Scrap().kept[kind];
  Scrap().Discard(kind);
  kept.present = true;
  kept.bytes = std::move(bytes);
  kept.metafile = metafile;
  if (!OpenClipboard(ClipboardWindow(windowRecord))) return -100;
  for (UINT format : formats) SetClipboardData(format, nullptr);
  CloseClipboard();
  kept.announced = std::move(formats);
  return noErr;
}

// The handle's bytes, or false when it is not a live handle.
bool HandleBytes(Handle h, std::vector<uint8_t> *out, Size minimum = 0) {
  Size size = 0;
  if (MemGetHandleSize(h, &size) != noErr || size < minimum || (size && !*h)) return false;
  out->assign(reinterpret_cast<const uint8_t *>(*h), reinterpret_cast<const uint8_t *>(*h) + size);
  return true;
}

}  // namespace tstools::scrap

using namespace tstools::scrap;
using tstools::Guarded;

OSErr WINAPI ML_PutScrapTEXT(const void *windowRecord, long length, const void *text) {
  if (length < 0 || (!text && length > 0)) return paramErr;
  return Guarded(memFullErr, [&] {
    const auto *p = static_cast<const uint8_t *>(text);
    return KeepAndAnnounce(windowRecord, kTextKind, std::vector<uint8_t>(p, p + length));
  });
}

OSErr WINAPI ML_PutScrapPICT(const void *windowRecord, PicHandle picture) {
  if (!picture) return nilHandleErr;
  return Guarded(memFullErr, [&]() -> OSErr {
    std::vector<uint8_t> bytes;
    if (!HandleBytes(reinterpret_cast<Handle>(picture), &bytes)) return memWZErr;
    return KeepAndAnnounce(windowRecord, kPictKind, std::move(bytes));
  });
}

OSErr WINAPI ML_PutScrapPicMeta(const void *windowRecord, Handle picMeta) {
  if (!picMeta) return nilHandleErr;
  return Guarded(memFullErr, [&]() -> OSErr {
    std::vector<uint8_t> bytes;
    if (!HandleBytes(picMeta, &bytes, Size(sizeof(PicMeta)))) return paramErr;
    bytes.resize(sizeof(PicMeta));
    PicMeta record;
    std::memcpy(&record, bytes.data(), sizeof record);
    HMETAFILE copy = record.hMF && record.hMF != kPicMetaRecording ? CopyMetaFileA(record.hMF, nullptr) : nullptr;
    if (!copy) return memFullErr;
    return KeepAndAnnounce(windowRecord, kPicMetaKind, std::move(bytes), copy);
  });
}

OSErr WINAPI ML_PutScrapSnd(const void *windowRecord, Handle sound) {
  if (!sound) return nilHandleErr;
  return Guarded(memFullErr, [&]() -> OSErr {
    std::vector<uint8_t> bytes;
    if (!HandleBytes(sound, &bytes)) return memWZErr;
    // Refused now rather than announced and then never rendered.
    if (OSErr err = CheckSound(bytes.data(), bytes.size())) return err;
    return KeepAndAnnounce(windowRecord, kSoundKind, std::move(bytes));
  });
}

OSErr WINAPI ML_RenderMsg(const void *windowRecord, UINT format, LPARAM) {
  return Guarded(memFullErr, [&]() -> OSErr {
    for (Kind kind : {kTextKind, kPicMetaKind, kPictKind, kSoundKind}) {
      if (Scrap().kept[kind].present && Contains(FormatsOf(kind), format))
        return RenderFrom(kind, format, windowRecord);
    }
    return -102;
  });
}

OSErr WINAPI ML_RenderAllMsg(const void *windowRecord, WPARAM, LPARAM) {
  OSErr result = Guarded(memFullErr, [&]() -> OSErr {
    HWND window = ClipboardWindow(windowRecord);
    // Another program may own the clipboard by now: rendering into its clipboard would
    // replace its data with ours.
    if (!window || GetClipboardOwner() != window) return noErr;
    if (!OpenClipboard(window)) return -100;
    std::vector<UINT> done;
    for (int k = 0; k < kKindCount; ++k) {
      Kind kind = static_cast<Kind>(k);
      const Retained &kept = Scrap().kept[kind];
      if (!kept.present) continue;
      for (UINT format : kept.announced) {
        if (Contains(kept.rendered, format) || Contains(done, format)) continue;
        if (RenderFrom(kind, format, windowRecord) == noErr) done.push_back(format);
      }
      done.insert(done.end(), kept.rendered.begin(), kept.rendered.end());
    }
    CloseClipboard();
    return noErr;
  });
  Scrap().Reset();
  return result;
}

void WINAPI ML_DestroyClipMsg(const void *) { Scrap().Reset(); }
