// The kept data and the formats made from it.
#include "scrap/scrap_retained.h"

#include <cstring>

#include "font/charset.h"
#include "scrap/scrap_layouts.h"

namespace tstools::scrap {
namespace {

// A clipboard block of size bytes written by fill(bytes); null when it cannot be had.
template <typename Fill>
HGLOBAL FilledBlock(size_t size, Fill &&fill) {
  HGLOBAL block = NewClipboardBlock(size);
  auto *p = block ? static_cast<uint8_t *>(GlobalLock(block)) : nullptr;
  if (!p) {
    if (block) GlobalFree(block);
    return nullptr;
  }
  fill(p);
  GlobalUnlock(block);
  return block;
}

// A clipboard METAFILEPICT of the recorded picture with a metafile copy of its own.
HGLOBAL MetaFilePictOf(const Retained &kept) {
  PicMeta record;
  std::memcpy(&record, kept.bytes.data(), sizeof record);
  HMETAFILE copy = CopyMetaFileA(kept.metafile, nullptr);
  HGLOBAL block = copy ? NewClipboardBlock(sizeof(METAFILEPICT)) : nullptr;
  auto *mfp = block ? static_cast<METAFILEPICT *>(GlobalLock(block)) : nullptr;
  if (!mfp) {
    if (block) GlobalFree(block);
    if (copy) DeleteMetaFile(copy);
    return nullptr;
  }
  *mfp = METAFILEPICT{record.mm, record.xExt, record.yExt, copy};
  GlobalUnlock(block);
  return block;
}

HANDLE FromPicMeta(const Retained &kept, UINT format, const PictConvContext *context) {
  if (format == CF_METAFILEPICT) return MetaFilePictOf(kept);
  if (format != CF_BITMAP) return nullptr;
  PicMeta record;
  std::memcpy(&record, kept.bytes.data(), sizeof record);
  METAFILEPICT mfp{record.mm, record.xExt, record.yExt, kept.metafile};
  HBITMAP bitmap = nullptr;
  return ML_MetaToBitmap(context, &mfp, &bitmap) == noErr ? bitmap : nullptr;
}

HANDLE FromPict(const Retained &kept, UINT format, const PictConvContext *context) {
  const std::vector<uint8_t> &pict = kept.bytes;
  if (format == MacPictFormat())
    return FilledBlock(pict.size() + kPictTrailerBytes, [&](uint8_t *p) { WriteMacPict(pict.data(), pict.size(), p); });
  if (format != CF_METAFILEPICT && format != CF_BITMAP) return nullptr;
  // The converters take a picture handle: a short-lived one of our own, so that the kept
  // copy never depends on the host's zone.
  Handle picture = nullptr;
  if (PtrToHand(pict.data(), &picture, Size(pict.size())) != noErr) return nullptr;
  HANDLE made = nullptr;
  if (format == CF_METAFILEPICT) {
    HGLOBAL meta = nullptr;
    if (ML_PictToMeta(context, reinterpret_cast<PicHandle>(picture), &meta) == noErr) made = meta;
  } else {
    HBITMAP bitmap = nullptr;
    if (ML_PictToBitmap(context, reinterpret_cast<PicHandle>(picture), &bitmap) == noErr) made = bitmap;
  }
  MemDisposeHandle(picture);
  return made;
}

HANDLE FromText(const Retained &kept, UINT format) {
  const std::vector<uint8_t> &text = kept.bytes;
  if (format == MacTextFormat())
    return FilledBlock(kPrefixBytes + text.size(), [&](uint8_t *p) { WritePrefixed(text.data(), text.size(), p); });
  if (format != CF_TEXT) return nullptr;
  size_t length = 0;
  HGLOBAL block = FilledBlock(MacToWinCapacity(text.size()), [&](uint8_t *p) {
    length = MacToWinText(text.data(), text.size(), ActiveMapping().macToWin, p);
  });
  if (!block) return nullptr;
  // Shrinking keeps the block where it is; a refusal leaves it larger, NUL-terminated all the same.
  HGLOBAL shrunk = GlobalReAlloc(block, length + 1, GMEM_MOVEABLE);
  return shrunk ? shrunk : block;
}

}  // namespace

ScrapState &Scrap() {
  static ScrapState state;
  return state;
}

void ScrapState::Discard(Kind kind) {
  Retained &r = kept[kind];
  if (r.metafile) DeleteMetaFile(r.metafile);
  r = Retained();
}

UINT MacTextFormat() { return RegisterClipboardFormatA("Mac-TEXT"); }
UINT MacPictFormat() { return RegisterClipboardFormatA("Mac-PICT"); }

HGLOBAL NewClipboardBlock(size_t size) { return GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size); }

void FreeClipboardBlock(UINT format, HANDLE block) {
  if (!block) return;
  if (format == CF_BITMAP || format == CF_PALETTE) {
    DeleteObject(block);
    return;
  }
  if (format == CF_METAFILEPICT) {
    if (auto *mfp = static_cast<METAFILEPICT *>(GlobalLock(block))) {
      if (mfp->hMF) DeleteMetaFile(mfp->hMF);
      GlobalUnlock(block);
    }
  }
  GlobalFree(block);
}

std::vector<UINT> FormatsOf(Kind kind) {
  switch (kind) {
    case kTextKind: return {MacTextFormat(), CF_TEXT};
    case kSoundKind: return {CF_WAVE};
    case kPicMetaKind: return {CF_METAFILEPICT, CF_BITMAP};
    case kPictKind: return {MacPictFormat(), CF_METAFILEPICT, CF_BITMAP};
    default: return {};
  }
}

HANDLE MakeFormat(Kind kind, UINT format, const PictConvContext *context) {
  const Retained &kept = Scrap().kept[kind];
  if (!kept.present) return nullptr;
  switch (kind) {
    case kTextKind: return FromText(kept, format);
    case kSoundKind: return format == CF_WAVE ? MakeWave(kept.bytes, context ? context->window : nullptr) : nullptr;
    case kPicMetaKind: return FromPicMeta(kept, format, context);
    case kPictKind: return FromPict(kept, format, context);
    default: return nullptr;
  }
}

}  // namespace tstools::scrap
