// The VIU exports: thin glue over the portable case calls, word finder and bitmap functions.
#include "font/charset.h"
#include "textedit/bitmap_ops.h"
#include "textedit/case_calls.h"
#include "textedit/code_sets.h"
#include "textedit/te_state.h"
#include "textedit/word_finder.h"
#include "tstools/font.h"
#include "tstools/intl_text.h"

using namespace tstools::text;

namespace {

ShortRect ToShort(const Rect &r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

unsigned short WINAPI VIUToCase(unsigned short ch, unsigned short previous, short, short mode) {
  return ToCase(textState.cases, ch, previous, mode);
}

void WINAPI VIUChangeCase(unsigned char *text, long length, unsigned short previous, short, short mode) {
  // Any previous character above 0xFF is, like 0xFF, one a title-cased word continues after.
  ChangeCase(textState.cases, text, length, static_cast<uint8_t>(previous > 0xFF ? 0xFF : previous), mode);
}

Boolean WINAPI VIUIsCase(unsigned short ch, short, short mode) { return IsCase(textState.cases, ch, mode); }

void WINAPI VIUFindWord(const unsigned char *text, short length, short offset, Boolean leadingEdge,
                        short table, unsigned short *offsets, long) {
  if (!offsets) return;
  WordRange r = FindWord(text, length, offset, leadingEdge != 0, table == -1 ? WordSet::B : WordSet::A);
  const unsigned short result[6] = {static_cast<unsigned short>(r.start), static_cast<unsigned short>(r.end)};
  for (int i = 0; i < 6; ++i) offsets[i] = result[i];
}

void WINAPI VIUFindWordEx(const unsigned char *text, long length, long offset, long, short mode,
                          long *start, long *end) {
  WordRange r = FindWordEx(text, length, offset, mode, textState.cases);
  if (start) *start = r.start;
  if (end) *end = r.end;
}

short WINAPI VIUFontToCodeSet(short font) {
  return tstools::CodeSetForWinCharSet(static_cast<unsigned char>(GetCharSet(font)));
}

Boolean WINAPI VIURotateBitmapLeft(const void *source, void *destination, const Rect *sourceRect,
                                   const Rect *destinationRect, short sourceRowBytes,
                                   short destinationRowBytes, short pixelFormat, short angle) {
  if (!sourceRect || !destinationRect) return 0;
  return RotateBitmap(static_cast<const uint8_t *>(source), static_cast<uint8_t *>(destination),
                      ToShort(*sourceRect), ToShort(*destinationRect), sourceRowBytes,
                      destinationRowBytes, static_cast<unsigned short>(pixelFormat), angle);
}

Boolean WINAPI VIUMaskBitmap(void *source, void *mask, const Rect *sourceBounds, const Rect *rect,
                             short sourceRowBytes, short maskRowBytes, short pixelFormat,
                             short planeMode, unsigned long keyColour, unsigned long replacement) {
  if (!sourceBounds || !rect) return 0;
  return MaskBitmap(static_cast<uint8_t *>(source), static_cast<uint8_t *>(mask), ToShort(*sourceBounds),
                    ToShort(*rect), sourceRowBytes, maskRowBytes, static_cast<unsigned short>(pixelFormat),
                    planeMode, static_cast<uint32_t>(keyColour), static_cast<uint32_t>(replacement));
}

Boolean WINAPI VIUGetBitmapColors(const void *bits, const Rect *rect, short rowBytes, short pixelFormat,
                                  unsigned long *second, unsigned long *first) {
  if (!rect || !second || !first) return 0;
  uint32_t s = 0, f = 0;
  if (!GetBitmapColors(static_cast<const uint8_t *>(bits), ToShort(*rect), rowBytes,
                       static_cast<unsigned short>(pixelFormat), &s, &f))
    return 0;
  *second = s;
  *first = f;
  return 1;
}
