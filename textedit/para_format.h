// Paragraph format values: tab stops, spacing and its units, pixel conversion, the default
// and equality tests, scaling and byte order. Pure functions over caller-owned values, so the
// exports can apply them to a caller's ParaStyle or to one entry of a ParaScrap. Portable.
#pragma once

#include <cstdint>

#include "textedit/te_types.h"

namespace tstools::text {

// The spacing block of a ParaStyle: its fields from the left indent to the units.
#pragma pack(push, 2)
struct SpacingBlock {
  Fixed leftIndent, firstIndent, rightIndent, lineSpacing, spaceBefore, spaceAfter;
  int16_t just;
  uint16_t units;
};
#pragma pack(pop)
static_assert(sizeof(SpacingBlock) == 28);

enum SpacingUnit { kUnitLines = 0, kUnitPoints = 1, kUnitInches = 2, kUnitCentimetres = 3 };
enum ParaMode : uint16_t {
  kParaJust = 1,
  kParaLineSpacing = 2,
  kParaSpaceBefore = 4,
  kParaSpaceAfter = 8,
  kParaLeftIndent = 16,
  kParaRightIndent = 32,
  kParaFirstIndent = 64,
  kParaTabs = 128,
};
constexpr Fixed kResolution72 = 72 * kFixedOne;
constexpr Fixed kFixed254 = 166461;  // 2.54 cm to the inch

// The stop count as a value that indexes safely: a caller's count outside 0..20 is clamped.
inline int TabCountOf(const ParaFormat &f) {
  return f.tabCount < 0 ? 0 : f.tabCount > kMaxTabs ? kMaxTabs : f.tabCount;
}

// Saturating Fixed multiply and divide.
Fixed FixedMulSat(Fixed a, Fixed b);
Fixed FixedDivSat(Fixed a, Fixed b);

// Pixels for a value in a unit at a resolution; lineUnit for unit 0; units above 3 unchanged.
Fixed ConvertToPixels(Fixed value, int unit, Fixed resolution, Fixed lineUnit);

// Tab stops, kept in increasing position without duplicates. Each returns the stop's index,
// or -1 (and nothing changed) when the list is full or the index lies outside the stops.
int AddTab(ParaFormat &f, const TabStop &tab);
bool RemoveTab(ParaFormat &f, int index);
int ReplaceTab(ParaFormat &f, int index, const TabStop &tab);

// which 0 line spacing, 1 space before, 2 space after (others: 0, unit 0).
Fixed GetSpacingInfo(const SpacingBlock &b, int which, bool convert, uint16_t *unit,
                     Fixed lineUnit);
void SetSpacingInfo(SpacingBlock &b, int which, Fixed value, uint16_t unit);
// The line height after the line-spacing rule, saturated to 0..32767.
int16_t AdjustSpaceLeading(const SpacingBlock &b, int32_t lineHeight, Fixed lineUnit);

SpacingBlock SpacingOf(const ParaFormat &f);
void SetSpacing(ParaFormat &f, const SpacingBlock &b);

bool IsDefaultParaFormat(const ParaFormat &f, int just, int spacing);
ParaFormat DefaultParaFormat(int just = 0, int spacing = 0);
bool HasIndent(const ParaFormat &f);

// Applies the masked fields of given to f (paragraph style modes; 128 with a high byte of
// 0x80 is the whole tab list, another high byte the one stop at that index).
void ApplyParaMode(ParaFormat &f, const ParaFormat &given, uint16_t mode);
// Clears from mode every attribute in which a and b differ.
uint16_t ParaContinuity(const ParaFormat &a, const ParaFormat &b, uint16_t mode);

// Zoom: indents, spacing values not in lines and tab positions through scale.
using ScaleFn = Fixed (*)(void *ctx, Fixed v);
void ZoomParaFormat(ParaFormat &f, ScaleFn scale, void *ctx);

// Reverses the byte order of every multi-byte field; the tab count is read in whichever
// order gives 0..20, so swapping twice is the identity.
void SwapParaFormat(ParaFormat &f);

}  // namespace tstools::text
