// Paragraph format values.
#include "textedit/para_format.h"

#include <cstdlib>
#include <cstring>

namespace tstools::text {

namespace {
Fixed Sat(int64_t v) {
  return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<Fixed>(v);
}
uint16_t Swap16(uint16_t v) { return static_cast<uint16_t>(v << 8 | v >> 8); }
uint32_t Swap32(uint32_t v) {
  return v << 24 | (v & 0xFF00) << 8 | (v >> 8 & 0xFF00) | v >> 24;
}
// By value: the packed fields may be misaligned for a reference.
template <typename T>
T Swapped(T v) {
  if constexpr (sizeof(T) == 2)
    return static_cast<T>(Swap16(static_cast<uint16_t>(v)));
  else
    return static_cast<T>(Swap32(static_cast<uint32_t>(v)));
}
#define SWAP_FIELD(x) ((x) = Swapped(x))
int UnitOf(uint16_t units, int which) { return units >> (4 * which) & 0xF; }
Fixed SpacingValue(const SpacingBlock &b, int which) {
  return which == 0 ? b.lineSpacing : which == 1 ? b.spaceBefore : b.spaceAfter;
}
}  // namespace

Fixed FixedMulSat(Fixed a, Fixed b) { return Sat(static_cast<int64_t>(a) * b / kFixedOne); }

Fixed FixedDivSat(Fixed a, Fixed b) {
  if (b == 0) return a < 0 ? INT32_MIN : INT32_MAX;
  return Sat(static_cast<int64_t>(a) * kFixedOne / b);
}

Fixed ConvertToPixels(Fixed value, int unit, Fixed resolution, Fixed lineUnit) {
  switch (unit) {
    case kUnitLines: return FixedMulSat(value, lineUnit);
    case kUnitPoints: return value;
    case kUnitInches: return FixedMulSat(value, resolution);
    case kUnitCentimetres:
      return Sat(static_cast<int64_t>(value) * resolution / kFixed254);
    default: return value;
  }
}

int AddTab(ParaFormat &f, const TabStop &tab) {
  int n = TabCountOf(f);
  f.tabCount = static_cast<int16_t>(n);
  int i = 0;
  while (i < n && f.tabs[i].position < tab.position) ++i;
  if (i < n && f.tabs[i].position == tab.position) {
    f.tabs[i] = tab;
    return i;
  }
  if (n >= kMaxTabs) return -1;
  std::memmove(&f.tabs[i + 1], &f.tabs[i], sizeof(TabStop) * static_cast<size_t>(n - i));
  f.tabs[i] = tab;
  f.tabCount = static_cast<int16_t>(n + 1);
  return i;
}

bool RemoveTab(ParaFormat &f, int index) {
  int n = TabCountOf(f);
  if (index < 0 || index >= n) return false;
  std::memmove(&f.tabs[index], &f.tabs[index + 1],
               sizeof(TabStop) * static_cast<size_t>(n - index - 1));
  f.tabs[n - 1] = TabStop{};
  f.tabCount = static_cast<int16_t>(n - 1);
  return true;
}

int ReplaceTab(ParaFormat &f, int index, const TabStop &tab) {
  int n = TabCountOf(f);
  if (index < 0 || index >= n) return -1;
  if (f.tabs[index].position == tab.position) {
    f.tabs[index] = tab;
    return index;
  }
  ParaFormat copy = f;
  RemoveTab(copy, index);
  int i = AddTab(copy, tab);
  if (i >= 0) f = copy;
  return i;
}

Fixed GetSpacingInfo(const SpacingBlock &b, int which, bool convert, uint16_t *unit,
                     Fixed lineUnit) {
  if (which < 0 || which > 2) {
    if (unit) *unit = 0;
    return 0;
  }
  Fixed v = SpacingValue(b, which);
  int u = UnitOf(b.units, which);
  if (unit) *unit = static_cast<uint16_t>(u);
  if (convert && u != kUnitPoints && !(which == 0 && u == kUnitLines))
    v = ConvertToPixels(v, u, kResolution72, lineUnit);
  return v;
}

void SetSpacingInfo(SpacingBlock &b, int which, Fixed value, uint16_t unit) {
  if (which < 0 || which > 2) return;
  if (which == 0 && value < 0) value = value == INT32_MIN ? INT32_MAX : -value;
  if (which == 0)
    b.lineSpacing = value;
  else if (which == 1)
    b.spaceBefore = value;
  else
    b.spaceAfter = value;
  int shift = 4 * which;
  b.units = static_cast<uint16_t>((b.units & ~(0xF << shift)) | (unit & 0xF) << shift);
}

int16_t AdjustSpaceLeading(const SpacingBlock &b, int32_t lineHeight, Fixed lineUnit) {
  int u = UnitOf(b.units, 0);
  int64_t h = lineHeight;
  if (u != kUnitLines)
    // A fixed height: converted to pixels first, so an inch is 72 pixels and not 1.
    h = RoundFixed(ConvertToPixels(b.lineSpacing, u, kResolution72, lineUnit));
  else if (b.lineSpacing != kFixedOne)
    h = (static_cast<int64_t>(lineHeight) * b.lineSpacing + 0x8000) >> 16;
  return static_cast<int16_t>(h < 0 ? 0 : h > 32767 ? 32767 : h);
}

SpacingBlock SpacingOf(const ParaFormat &f) {
  SpacingBlock b;
  std::memcpy(&b, reinterpret_cast<const char *>(&f) + offsetof(ParaFormat, leftIndent),
              sizeof b);
  return b;
}

void SetSpacing(ParaFormat &f, const SpacingBlock &b) {
  std::memcpy(reinterpret_cast<char *>(&f) + offsetof(ParaFormat, leftIndent), &b, sizeof b);
}

ParaFormat DefaultParaFormat(int just, int spacing) {
  ParaFormat f;
  f.just = static_cast<int16_t>(just);
  f.lineSpacing = spacing == 1 ? 2 * kFixedOne : kFixedOne;
  return f;
}

bool IsDefaultParaFormat(const ParaFormat &f, int just, int spacing) {
  if (spacing != 0 && spacing != 1) return false;
  return f.tabCount == 0 && f.just == just && f.leftIndent == 0 && f.firstIndent == 0 &&
         f.rightIndent == 0 && f.spaceBefore == 0 && f.spaceAfter == 0 && f.units == 0 &&
         f.lineSpacing == (spacing == 1 ? 2 * kFixedOne : kFixedOne);
}

bool HasIndent(const ParaFormat &f) {
  return f.leftIndent != 0 || f.firstIndent != 0 || f.rightIndent != 0;
}

void ApplyParaMode(ParaFormat &f, const ParaFormat &given, uint16_t mode) {
  auto unit = [&](int which) {
    uint16_t m = static_cast<uint16_t>(0xF << (4 * which));
    f.units = static_cast<uint16_t>((f.units & ~m) | (given.units & m));
  };
  if (mode & kParaJust) f.just = given.just;
  if (mode & kParaLineSpacing) f.lineSpacing = given.lineSpacing, unit(0);
  if (mode & kParaSpaceBefore) f.spaceBefore = given.spaceBefore, unit(1);
  if (mode & kParaSpaceAfter) f.spaceAfter = given.spaceAfter, unit(2);
  if (mode & kParaLeftIndent) f.leftIndent = given.leftIndent;
  if (mode & kParaRightIndent) f.rightIndent = given.rightIndent;
  if (mode & kParaFirstIndent) f.firstIndent = given.firstIndent;
  if (mode & kParaTabs) {
    int index = mode >> 8;
    if (index == 0x80) {
      // The whole list, rebuilt through AddTab so it stays ordered and unique.
      ParaFormat t = f;
      t.tabCount = 0;
      for (auto &s : t.tabs) s = TabStop{};
      for (int i = 0; i < TabCountOf(given); ++i) AddTab(t, given.tabs[i]);
      std::memcpy(f.tabs, t.tabs, sizeof f.tabs);
      f.tabCount = t.tabCount;
    } else if (index < TabCountOf(given)) {
      if (ReplaceTab(f, index, given.tabs[index]) < 0 && index == TabCountOf(f))
        AddTab(f, given.tabs[index]);
    }
  }
}

uint16_t ParaContinuity(const ParaFormat &a, const ParaFormat &b, uint16_t mode) {
  auto unitEq = [&](int which) { return UnitOf(a.units, which) == UnitOf(b.units, which); };
  if (a.just != b.just) mode &= ~kParaJust;
  if (a.lineSpacing != b.lineSpacing || !unitEq(0)) mode &= ~kParaLineSpacing;
  if (a.spaceBefore != b.spaceBefore || !unitEq(1)) mode &= ~kParaSpaceBefore;
  if (a.spaceAfter != b.spaceAfter || !unitEq(2)) mode &= ~kParaSpaceAfter;
  if (a.leftIndent != b.leftIndent) mode &= ~kParaLeftIndent;
  if (a.rightIndent != b.rightIndent) mode &= ~kParaRightIndent;
  if (a.firstIndent != b.firstIndent) mode &= ~kParaFirstIndent;
  bool tabsEqual = TabCountOf(a) == TabCountOf(b);
  for (int i = 0; tabsEqual && i < TabCountOf(a); ++i) tabsEqual = a.tabs[i] == b.tabs[i];
  if (!tabsEqual) mode &= ~kParaTabs;
  return mode;
}

void ZoomParaFormat(ParaFormat &f, ScaleFn scale, void *ctx) {
  if (!scale) return;
  f.leftIndent = scale(ctx, f.leftIndent);
  f.firstIndent = scale(ctx, f.firstIndent);
  f.rightIndent = scale(ctx, f.rightIndent);
  if (UnitOf(f.units, 0) != kUnitLines) f.lineSpacing = scale(ctx, f.lineSpacing);
  if (UnitOf(f.units, 1) != kUnitLines) f.spaceBefore = scale(ctx, f.spaceBefore);
  if (UnitOf(f.units, 2) != kUnitLines) f.spaceAfter = scale(ctx, f.spaceAfter);
  for (int i = 0; i < TabCountOf(f); ++i) f.tabs[i].position = scale(ctx, f.tabs[i].position);
}

void SwapParaFormat(ParaFormat &f) {
  int n = TabCountOf(f);
  int16_t swapped = static_cast<int16_t>(Swap16(static_cast<uint16_t>(f.tabCount)));
  if (f.tabCount != n && swapped >= 0 && swapped <= kMaxTabs) n = swapped;
  SWAP_FIELD(f.reserved);
  SWAP_FIELD(f.leftIndent);
  SWAP_FIELD(f.firstIndent);
  SWAP_FIELD(f.rightIndent);
  SWAP_FIELD(f.lineSpacing);
  SWAP_FIELD(f.spaceBefore);
  SWAP_FIELD(f.spaceAfter);
  SWAP_FIELD(f.just);
  SWAP_FIELD(f.units);
  SWAP_FIELD(f.tabCount);
  for (int i = 0; i < n; ++i) {
    TabStop t;
    std::memcpy(&t, reinterpret_cast<char *>(&f) + offsetof(ParaFormat, tabs) + i * sizeof t,
                sizeof t);
    SWAP_FIELD(t.kind);
    SWAP_FIELD(t.leader);
    SWAP_FIELD(t.alignChar);
    SWAP_FIELD(t.reserved);
    SWAP_FIELD(t.position);
    std::memcpy(reinterpret_cast<char *>(&f) + offsetof(ParaFormat, tabs) + i * sizeof t, &t,
                sizeof t);
  }
}

}  // namespace tstools::text
