// Word boundaries by a table-driven state machine over character classes: double-click
// selection, option-arrow and option-delete. Two table sets: A (the engine's: letters with
// digits, numbers with their punctuation, blanks) and B (runs of anything but operators and
// blanks). Offsets are 32-bit throughout. Portable.
#pragma once

#include <cstdint>

#include "textedit/case_tables.h"

namespace tstools::text {

enum class WordSet { A, B };

struct WordRange {
  int32_t start = 0, end = 0;
};

// The class of a byte in a set.
uint8_t WordClass(WordSet set, uint8_t c);

// The word around offset. leadingEdge: the character at offset is examined, otherwise the
// one before it. A null text or a negative length counts as empty; offsets are clamped to
// 0..length.
WordRange FindWord(const uint8_t *text, int32_t length, int32_t offset, bool leadingEdge,
                   WordSet set);

// A separator: type class 0 and subclass other than 1 in "CONV" 3; none while the tables
// are not loaded.
bool IsWordSeparator(const CaseTables &cases, uint8_t c);

// The engine's form. mode bit 0: first skip separators next to offset (bit 1 set: forward
// from offset, clear: backward before it); bit 1 is also the leading edge. Set A.
WordRange FindWordEx(const uint8_t *text, int32_t length, int32_t offset, int mode,
                     const CaseTables &cases);

}  // namespace tstools::text
