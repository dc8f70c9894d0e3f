#include "quickdraw/text_rules.h"

#include <climits>

#include "quickdraw/fixed_math.h"

namespace tstools::qd {

int DrawableLength(const uint8_t *text, int count) {
  if (!text || count < 1) return 0;
  return text[count - 1] == kReturnChar ? count - 1 : count;
}

int LengthWithoutTrailingBreaks(const uint8_t *text, int count, uint8_t breakChar) {
  if (!text) return 0;
  while (count > 0 && text[count - 1] == breakChar) --count;
  return count < 0 ? 0 : count;
}

int CountInnerBreaks(const uint8_t *text, int count, uint8_t breakChar) {
  int inner = LengthWithoutTrailingBreaks(text, count, breakChar);
  int breaks = 0;
  for (int i = 0; i < inner; ++i) breaks += text[i] == breakChar;
  return breaks;
}

int JustificationExtra(int32_t spExtra, int breaks) {
  if (breaks <= 0) return 0;
  int64_t total = static_cast<int64_t>(spExtra) * breaks / 65536;  // toward zero
  if (total > INT_MAX) return INT_MAX;
  if (total < INT_MIN) return INT_MIN;
  return static_cast<int>(total);
}

int CondenseExtendExtra(uint8_t face, int averageCharWidth) {
  if (!(face & (kFaceCondense | kFaceExtend))) return 0;
  int extra = averageCharWidth / 4 - 1;
  if (extra < 1) extra = 1;
  return (face & kFaceCondense) ? -extra : extra;
}

FaceAttributes AttributesOfFace(uint8_t face) {
  return FaceAttributes{(face & kFaceBold) ? 700 : 400, (face & kFaceItalic) != 0, (face & kFaceUnderline) != 0,
                        (face & kFaceStrikeOut) != 0};
}

bool SimulatesBold(uint8_t face, int portKind, int txSize, int minBoldSize) {
  return (face & kFaceBold) && portKind == 0 && txSize < minBoldSize;
}

bool ShrinksRasterFont(int txSize, bool printer, int fontType, uint8_t metricPitchAndFamily) {
  return txSize < 8 && !printer && fontType != 2 && fontType != 3 && !(metricPitchAndFamily & 0x02);
}

int32_t RasterShrinkScale(int txSize, int ascent, int descent) {
  return FixedDiv(static_cast<int32_t>(txSize) * 65536, static_cast<int32_t>(ascent + descent) * 65536);
}

int ScaleTruncated(int value, int32_t scale) {
  // value in 16.16 times scale is exactly value x scale: FixMul has nothing to round.
  int64_t product = static_cast<int64_t>(value) * scale / 65536;
  if (product > INT_MAX) return INT_MAX;
  if (product < INT_MIN) return INT_MIN;
  return static_cast<int>(product);
}

namespace {

int ScaleRounded(int value, int32_t scale) {
  int64_t product = static_cast<int64_t>(value) * scale;
  int64_t rounded = product >= 0 ? (product + 0x8000) / 65536 : -((-product + 0x8000) / 65536);
  if (rounded > INT_MAX) return INT_MAX;
  if (rounded < INT_MIN) return INT_MIN;
  return static_cast<int>(rounded);
}

}  // namespace

int ShrunkRunWidth(const int widths[256], const uint8_t *text, int count, int overhang, int32_t scale) {
  int64_t total = 0;
  for (int i = 0; i < count; ++i) {
    int w = ScaleRounded(widths[text[i]] - overhang, scale);
    total += w < 1 ? 1 : w;
  }
  return total > INT_MAX ? INT_MAX : static_cast<int>(total);
}

int RunWidth(RunCase which, int extent, int overhang, int extra, int count, int32_t scale) {
  switch (which) {
    case RunCase::Shrunk: return ScaleTruncated(extent - overhang, scale);
    case RunCase::CharacterExtra: return extent - overhang + extra * count;
    case RunCase::Plain: break;
  }
  return extent - overhang;
}

}  // namespace tstools::qd
