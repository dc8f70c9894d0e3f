// The one reader and writer of the engine's styled scraps, which arrive from the clipboard,
// drops and callers: "styl" (style runs), "xSTY" (extended styles present), "TSST" (a mode for
// the caller's style) and ParaScrap (paragraph formats). Integers are in machine order
// (little-endian). Every count is checked against the bytes present. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "textedit/para_format.h"
#include "textedit/te_types.h"

namespace tstools::text {

struct StylElement {
  int32_t start = 0;
  int16_t height = 0;
  int16_t ascent = 0;
  TextStyle style;
};

struct ParaEntry {
  int32_t start = 0;
  ParaFormat format;
};

constexpr size_t kStylElementSize = 20;
constexpr size_t kParaEntryHeader = 34;
constexpr uint16_t kXStyValue = 0x0100;

// The elements of a "styl" item as runs over inserted text of insertedLength bytes: at most
// as many elements as the bytes hold whatever the count says; the first covers from 0; a
// later one is kept only when it starts above the last kept and inside the text. Without
// extended (no "xSTY" beside it) the faces lose bits 0-7. insertedLength < 0: no filtering
// of starts (the elements as stored).
std::vector<StylElement> ReadStyl(const uint8_t *data, size_t size, int32_t insertedLength,
                                  bool extended);
std::vector<uint8_t> WriteStyl(const std::vector<StylElement> &elements);
// QTEClearXStyle on a "styl" item in place: faces lose bits 0-7, sizes below 1 become 12.
void ClearExtendedStyles(uint8_t *data, size_t size);

// The mode a "TSST" item gives the caller's style (15 - v); 0, nothing to apply, when the
// item is short or v is 0 or above 15.
uint16_t TsstMode(const uint8_t *data, size_t size);

// The entries of a ParaScrap: walked by each entry's own tab count, which must be 0..20 and
// fit in the bytes (the walk stops at the first entry that does not); the header's total is
// not trusted. insertedLength as for ReadStyl.
std::vector<ParaEntry> ReadParaScrap(const uint8_t *data, size_t size, int32_t insertedLength);
// The first entry's format; false when there is none.
bool FirstParaEntry(const uint8_t *data, size_t size, ParaFormat *out);
std::vector<uint8_t> WriteParaScrap(const std::vector<ParaEntry> &entries);
size_t ParaScrapSize(const std::vector<ParaEntry> &entries);

// In place over a ParaScrap, entry by entry as far as the walk reaches.
void ZoomParaScrap(uint8_t *data, size_t size, ScaleFn scale, void *ctx);
// Reverses every multi-byte field, the header and tab counts included. toMachine: the data
// is big-endian now (counts are read after swapping); otherwise it is in machine order.
void SwapParaScrap(uint8_t *data, size_t size, bool toMachine);

}  // namespace tstools::text
