// The engine's character tables from the host's "CONV" resources (1 lower case, 2 upper case,
// 3 character types) and the smart-quote table from "SMQT". Built from outside bytes:
// every length is checked. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tstools::text {

struct CaseTables {
  bool loaded = false;
  uint8_t lower[256] = {};  // 0: the byte has no lower-case form
  uint8_t upper[256] = {};
  std::vector<uint8_t> types;  // "CONV" 3: 256 type indexes, then the type bytes
  // straight, left, right single quote; straight, left, right double quote (Mac Roman)
  uint8_t quotes[6] = {0x27, 0xD4, 0xD5, 0x22, 0xD2, 0xD3};

  // Loads "CONV" 1 to 3; false (and nothing loaded) when a table is missing or 1 or 2 is
  // shorter than 256 bytes or 3 shorter than its 256 indexes.
  bool Load(const uint8_t *lowerData, size_t lowerSize, const uint8_t *upperData,
            size_t upperSize, const uint8_t *typeData, size_t typeSize);
  // "SMQT" 1: its first 6 bytes replace the defaults; shorter data keeps them.
  void LoadQuotes(const uint8_t *data, size_t size);
  void Reset() { *this = CaseTables(); }

  // The other form, or c itself when it has none (or nothing is loaded).
  uint8_t ToUpper(uint8_t c) const { return upper[c] ? upper[c] : c; }
  uint8_t ToLower(uint8_t c) const { return lower[c] ? lower[c] : c; }
  // Title case: lower after a byte of at least 0x21 other than 0xCA, else upper.
  uint8_t ToTitle(uint8_t c, uint8_t previous) const {
    return previous >= 0x21 && previous != 0xCA ? ToLower(c) : ToUpper(c);
  }
  // The byte as a face's case bits show it (0x0010 upper, 0x0020 lower, both title).
  uint8_t ForFace(uint8_t c, uint8_t previous, uint16_t face) const {
    switch (face & 0x30) {
      case 0x10: return ToUpper(c);
      case 0x20: return ToLower(c);
      case 0x30: return ToTitle(c, previous);
      default: return c;
    }
  }
  // The 16-bit type value of "CONV" 3 (class bits 0-3, subclass bits 8-10, flag bit 14);
  // 0 for an index past the table.
  uint16_t TypeOf(uint8_t c) const;
};

}  // namespace tstools::text
