// The byte layouts of Mac data on the clipboard: the length prefix, our "Mac-PICT" trailer and
// Mac text as CF_TEXT. Portable; readers take blocks written by any program and trust nothing
// in them beyond the block.
#pragma once

#include <cstddef>
#include <cstdint>

#include "font/charset_tables.h"

namespace tstools::scrap {

constexpr size_t kPrefixBytes = 4;

// A length-prefixed block: a 32-bit little-endian byte count, then the data. The count is
// believed only as far as the block reaches; a block too short for the count holds nothing.
struct PrefixedData {
  int16_t err = 0;         // -50 for a negative count
  const uint8_t *data = nullptr;
  size_t length = 0;
};
PrefixedData ReadPrefixed(const uint8_t *block, size_t blockSize);
// Writes the count and copies the data behind it: kPrefixBytes + length bytes at out.
void WritePrefixed(const uint8_t *data, size_t length, uint8_t *out);

// "Mac-PICT" as we write it: the PICT with its 16-bit size word replaced by the low 16 bits of
// its true size, then "PICT" and the size word as it was. Other programs write bare PICTs.
constexpr size_t kPictTrailerBytes = 6;
// Writes pictSize + kPictTrailerBytes bytes at out.
void WriteMacPict(const uint8_t *pict, size_t pictSize, uint8_t *out);
// The PICT in a "Mac-PICT" block: its length, and the size word to put back when the block
// carries our trailer (restore false: the block is a bare PICT, taken whole).
struct MacPict {
  size_t length = 0;
  bool restore = false;
  uint8_t sizeWord[2] = {0, 0};
};
MacPict ReadMacPict(const uint8_t *block, size_t blockSize);

// Mac text to CF_TEXT: each byte through macToWin, CR followed by LF, then a NUL. out needs
// MacToWinCapacity(length) bytes; returns the text's length without the NUL.
constexpr size_t MacToWinCapacity(size_t length) { return 2 * length + 1; }
size_t MacToWinText(const uint8_t *mac, size_t length, const ByteTable &macToWin, uint8_t *out);

// CF_TEXT to Mac text: ends at the first NUL, or at the block's end when it has none; each
// byte through winToMac and each CR LF pair to a CR. out may be win itself (the text only
// shrinks) or null to count. Returns the Mac text's length.
size_t WinToMacText(const uint8_t *win, size_t blockSize, const ByteTable &winToMac, uint8_t *out);

}  // namespace tstools::scrap
