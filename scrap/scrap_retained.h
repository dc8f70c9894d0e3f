// What the scrap keeps for delayed rendering: at most one text, PICT, recorded picture and
// sound, each with the formats announced for it and those already rendered from it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "tstools/memory.h"
#include "tstools/scrap.h"

namespace tstools::scrap {

// In the order WM_RENDERALLFORMATS renders them.
enum Kind { kTextKind, kSoundKind, kPicMetaKind, kPictKind, kKindCount };

struct Retained {
  bool present = false;
  std::vector<uint8_t> bytes;       // a copy of the host's data (PicMeta: the record)
  HMETAFILE metafile = nullptr;     // PicMeta: our own copy of its metafile
  std::vector<UINT> announced, rendered;
};

struct ScrapState {
  Retained kept[kKindCount];

  // Forgets one kind's data, deleting a metafile copy.
  void Discard(Kind kind);
  void Reset() {
    for (int k = 0; k < kKindCount; ++k) Discard(static_cast<Kind>(k));
  }
};
ScrapState &Scrap();

// The clipboard window of a window record (its first field); 0 for NULL.
inline HWND ClipboardWindow(const void *windowRecord) {
  return windowRecord ? *static_cast<const HWND *>(windowRecord) : nullptr;
}
// The registered formats of "Mac-TEXT" and "Mac-PICT".
UINT MacTextFormat();
UINT MacPictFormat();
// Frees a block of the format that SetClipboardData did not take.
void FreeClipboardBlock(UINT format, HANDLE block);
// A moveable, shareable global block of size bytes, or null.
HGLOBAL NewClipboardBlock(size_t size);

// The formats a kind announces, in rendering order.
std::vector<UINT> FormatsOf(Kind kind);
// A new block of the format made from the kind's kept data, or null.
HANDLE MakeFormat(Kind kind, UINT format, const PictConvContext *context);
// The 'snd ' checks and the WAVE rendering (scrap_sound.cpp).
OSErr CheckSound(const uint8_t *data, size_t size);
HANDLE MakeWave(const std::vector<uint8_t> &sound, HWND window);

}  // namespace tstools::scrap
