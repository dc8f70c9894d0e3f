// The text engine's portable value types: a character style as the engine holds it, a
// paragraph format laid out byte for byte like the public ParaStyle, the long rectangles of
// the record and the limits the exports apply. Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tstools::text {

using Fixed = int32_t;
constexpr Fixed kFixedOne = 0x10000;
// Rounds a Fixed to an integer the engine's way: add one half, take the high half.
constexpr int32_t RoundFixed(Fixed f) {
  return static_cast<int32_t>((static_cast<int64_t>(f) + 0x8000) >> 16);
}

// The record's limits; the core itself has none (benchmarks lay out megabytes).
constexpr int32_t kMaxTextLength = 64000;
constexpr int32_t kMaxLines = 3200;

// Face word bits: the high byte is the QuickDraw face, the low byte the engine's own styles.
enum FaceBits : uint16_t {
  kStrike = 0x0001,
  kSmallCaps = 0x0002,
  kSuperscript = 0x0004,
  kSubscript = 0x0008,
  kAllCaps = 0x0010,
  kAllLower = 0x0020,
  kTitleCase = 0x0030,  // both case bits
  kWordUnderline = 0x0040,
  kDoubleUnderline = 0x0080,
  kBold = 0x0100,
  kItalic = 0x0200,
  kUnderline = 0x0400,
  kOutline = 0x0800,
  kShadow = 0x1000,
  kCondense = 0x2000,
  kExtend = 0x4000,
};

// Style modes.
enum StyleMode : uint16_t {
  kModeFont = 1,
  kModeFace = 2,
  kModeSize = 4,
  kModeColor = 8,
  kModeAll = 15,
  kModeAddSize = 16,
  kModeToggle = 32,
};

struct RGB {
  uint16_t red = 0, green = 0, blue = 0;
  bool operator==(const RGB &o) const { return red == o.red && green == o.green && blue == o.blue; }
  bool operator!=(const RGB &o) const { return !(*this == o); }
};

// A character style in the engine's order (font, size, face, colour); equal when all six
// words are.
struct TextStyle {
  int16_t font = 1;
  int16_t size = 12;
  uint16_t face = 0;
  RGB color;
  bool operator==(const TextStyle &o) const {
    return font == o.font && size == o.size && face == o.face && color == o.color;
  }
  bool operator!=(const TextStyle &o) const { return !(*this == o); }
};

struct TabStop {
  uint16_t kind = 0;  // 0 left, 1 right, 2 centre, 3 on alignChar
  uint16_t leader = 0;
  uint16_t alignChar = 0;
  uint16_t reserved = 0;
  Fixed position = 0;
  bool operator==(const TabStop &o) const {
    return kind == o.kind && leader == o.leader && alignChar == o.alignChar &&
           reserved == o.reserved && position == o.position;
  }
};

constexpr int kMaxTabs = 20;

// Byte for byte the public ParaStyle (2-byte packing, 272 bytes), so exports copy it whole.
#pragma pack(push, 2)
struct ParaFormat {
  uint16_t reserved = 0;
  Fixed leftIndent = 0;
  Fixed firstIndent = 0;
  Fixed rightIndent = 0;
  Fixed lineSpacing = kFixedOne;
  Fixed spaceBefore = 0;
  Fixed spaceAfter = 0;
  int16_t just = 0;
  uint16_t units = 0;  // bits 0-3 line spacing, 4-7 space before, 8-11 space after
  int16_t tabCount = 0;
  TabStop tabs[kMaxTabs] = {};
};
#pragma pack(pop)
static_assert(sizeof(TabStop) == 12);
static_assert(sizeof(ParaFormat) == 272);
static_assert(offsetof(ParaFormat, leftIndent) == 2 && offsetof(ParaFormat, just) == 26 &&
              offsetof(ParaFormat, units) == 28 && offsetof(ParaFormat, tabCount) == 30 &&
              offsetof(ParaFormat, tabs) == 32);

// Fields 2 to 9 equal and the tab lists equal (a count outside 0..20 compares as 20).
bool EqualParaFormat(const ParaFormat &a, const ParaFormat &b);

// The equality the shared tables use.
inline bool SameValue(const TextStyle &a, const TextStyle &b) { return a == b; }
inline bool SameValue(const ParaFormat &a, const ParaFormat &b) { return EqualParaFormat(a, b); }

// The record's destination rectangle: four i32 in the order top, left, bottom, right.
struct LongRect {
  int32_t top = 0, left = 0, bottom = 0, right = 0;
  bool operator==(const LongRect &o) const {
    return top == o.top && left == o.left && bottom == o.bottom && right == o.right;
  }
};

// A Rect in the library's order (left, top, right, bottom).
struct ShortRect {
  int16_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const ShortRect &o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

}  // namespace tstools::text
