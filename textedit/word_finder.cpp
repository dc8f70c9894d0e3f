// The word-break state machines. A state table has one row per state (state 1 first) and one
// column per class; an entry's bit 7 marks a boundary at the current character and its bits
// 0-6 give the next state, 0 ending the scan.
#include "textedit/word_finder.h"

#include <array>

namespace tstools::text {
namespace {

using ClassTable = std::array<uint8_t, 256>;

constexpr void Mark(ClassTable &t, int from, int to, uint8_t cls) {
  for (int c = from; c <= to; ++c) t[static_cast<size_t>(c)] = cls;
}

constexpr ClassTable MakeClassesA() {
  ClassTable t{};
  Mark(t, 0xCA, 0xCA, 1);
  // Letters: ASCII, the accented capitals and small letters, the German sharp s, the
  // ligatures (0xAE 0xAF 0xBE 0xBF 0xCE 0xCF 0xDE 0xDF), the Scandinavian and dotless forms.
  for (auto r : {std::array<int, 2>{0x41, 0x5A}, {0x61, 0x7A}, {0x80, 0x9F}, {0xA7, 0xA7},
                 {0xAE, 0xAF}, {0xBE, 0xBF}, {0xCB, 0xCF}, {0xD8, 0xD9}, {0xDE, 0xDF},
                 {0xE5, 0xEF}, {0xF1, 0xFF}})
    Mark(t, r[0], r[1], 2);
  Mark(t, 0x30, 0x39, 3);
  Mark(t, 0x2D, 0x2D, 4);
  for (int c : {0x27, 0x60, 0xD5}) Mark(t, c, c, 5);
  for (int c : {0x24, 0xA2, 0xA3, 0xB4, 0xDB}) Mark(t, c, c, 6);
  for (int c : {0x25, 0xE4}) Mark(t, c, c, 7);
  for (int c : {0x1C, 0x2C, 0xDA}) Mark(t, c, c, 8);
  Mark(t, 0x2E, 0x2E, 9);
  for (int c : {0x00, 0x09, 0x20}) Mark(t, c, c, 10);
  Mark(t, 0x0D, 0x0D, 11);
  return t;
}

constexpr ClassTable MakeClassesB() {
  ClassTable t{};
  Mark(t, 0x00, 0xFF, 4);
  Mark(t, 0xCA, 0xCA, 1);
  for (int c : {0x00, 0x09, 0x20}) Mark(t, c, c, 2);
  Mark(t, 0x0D, 0x0D, 3);
  for (int c : {0x26, 0x2A, 0x2B, 0x2D, 0x2F, 0x3C, 0x3D, 0x3E, 0x5C, 0x5E, 0x7C, 0xAD, 0xB1,
                0xB2, 0xB3, 0xC5, 0xD0, 0xD1, 0xD6})
    Mark(t, c, c, 5);
  return t;
}

constexpr ClassTable kClassesA = MakeClassesA();
constexpr ClassTable kClassesB = MakeClassesB();

constexpr uint8_t kBackwardA[8][12] = {
    {134, 129, 130, 131, 132, 133, 134, 135, 135, 133, 136, 136},
    {0, 129, 130, 131, 4, 4, 0, 0, 0, 4, 0, 0},
    {0, 129, 130, 131, 0, 7, 128, 0, 7, 135, 0, 0},
    {0, 129, 130, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 129, 130, 131, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 129, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 129, 0, 131, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 129, 0, 0, 0, 0, 0, 0, 0, 0, 136, 0},
};
constexpr uint8_t kForwardA[9][12] = {
    {132, 129, 130, 131, 132, 132, 133, 132, 132, 133, 134, 132},
    {128, 136, 130, 131, 135, 135, 128, 128, 128, 135, 128, 128},
    {128, 136, 130, 131, 128, 137, 128, 132, 137, 137, 128, 128},
    {128, 136, 128, 128, 128, 128, 128, 128, 128, 128, 128, 128},
    {128, 136, 128, 131, 128, 128, 128, 128, 128, 128, 128, 128},
    {0, 136, 128, 128, 128, 128, 128, 128, 128, 128, 134, 132},
    {0, 0, 130, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {132, 136, 130, 131, 132, 132, 133, 132, 132, 133, 134, 132},
    {0, 0, 0, 131, 0, 0, 0, 0, 0, 0, 0, 0},
};
constexpr uint8_t kBackwardB[4][6] = {
    {132, 129, 130, 130, 131, 131},
    {0, 129, 130, 0, 0, 0},
    {0, 129, 0, 0, 131, 0},
    {0, 129, 0, 0, 0, 0},
};
constexpr uint8_t kForwardB[5][6] = {
    {132, 129, 130, 132, 131, 132},
    {128, 133, 130, 132, 128, 128},
    {128, 133, 128, 128, 131, 132},
    {128, 133, 128, 128, 128, 128},
    {128, 133, 130, 132, 131, 132},
};

// A set's tables with their shapes, so a next state past the last row ends the scan rather
// than reading outside the table.
struct Machine {
  const ClassTable &classes;
  const uint8_t *backward;
  int backwardRows;
  const uint8_t *forward;
  int forwardRows;
  int columns;
  int blankClass;  // the class whose forward entry decides a word ending at the text end

  uint8_t EntryOfClass(const uint8_t *table, int rows, int state, int cls) const {
    if (state < 1 || state > rows) return 0;
    return table[(state - 1) * columns + cls];
  }
  uint8_t Entry(const uint8_t *table, int rows, int state, uint8_t c) const {
    return EntryOfClass(table, rows, state, classes[c]);
  }
};

const Machine kMachineA{kClassesA, &kBackwardA[0][0], 8, &kForwardA[0][0], 9, 12, 10};
const Machine kMachineB{kClassesB, &kBackwardB[0][0], 4, &kForwardB[0][0], 5, 6, 2};

}  // namespace

uint8_t WordClass(WordSet set, uint8_t c) { return set == WordSet::A ? kClassesA[c] : kClassesB[c]; }

WordRange FindWord(const uint8_t *text, int32_t length, int32_t offset, bool leadingEdge,
                   WordSet set) {
  if (!text || length < 0) length = 0;
  if (offset < 0) offset = 0;
  if (offset > length) offset = length;
  if (leadingEdge && offset >= length) return {offset, offset};
  const Machine &m = set == WordSet::A ? kMachineA : kMachineB;
  int32_t p = !leadingEdge && offset > 0 ? offset - 1 : offset;

  int32_t from = 0;
  if (p >= 6 && p < length) {
    int state = 1;
    from = p;
    for (int32_t i = p; i >= 0 && state != 0; --i) {
      uint8_t e = m.Entry(m.backward, m.backwardRows, state, text[i]);
      if (e & 0x80) from = i;
      state = e & 0x7F;
    }
  }

  WordRange r{from, from};
  int state = 1;
  int32_t i = from;
  while (i < length) {
    uint8_t e = m.Entry(m.forward, m.forwardRows, state, text[i]);
    if (e & 0x80) r.end = i;
    int next = e & 0x7F;
    if (next == 0) {
      // A new word begins here while the scan has not passed p; state 1 always moves on, so
      // the same byte is read again at most once.
      if (i > p || state == 1) return r;
      r.start = r.end = i;
      state = 1;
      continue;
    }
    state = next;
    ++i;
  }
  // The text end reads as a blank: a word still open there ends at it.
  if (m.EntryOfClass(m.forward, m.forwardRows, state, m.blankClass) & 0x80) r.end = length;
  return r;
}

bool IsWordSeparator(const CaseTables &cases, uint8_t c) {
  if (!cases.loaded) return false;
  uint16_t type = cases.TypeOf(c);
  return (type & 0x0F) == 0 && ((type >> 8) & 0x07) != 1;
}

WordRange FindWordEx(const uint8_t *text, int32_t length, int32_t offset, int mode,
                     const CaseTables &cases) {
  if (!text || length < 0) length = 0;
  if (offset < 0) offset = 0;
  if (offset > length) offset = length;
  bool forward = (mode & 2) != 0;
  if (mode & 1) {
    if (forward) {
      while (offset < length && IsWordSeparator(cases, text[offset])) ++offset;
    } else {
      while (offset > 0 && IsWordSeparator(cases, text[offset - 1])) --offset;
    }
  }
  return FindWord(text, length, offset, forward, WordSet::A);
}

}  // namespace tstools::text
