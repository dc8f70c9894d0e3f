// Pure rules of text drawing and measurement: which bytes are drawn, how justification,
// condense/extend spacing, simulated bold and the shrinking of small raster fonts change
// widths. Portable: metrics come in as plain numbers.
#pragma once

#include <cstdint>

namespace tstools::qd {

// Style bits of txFace. Outline and shadow are accepted and have no effect.
enum : uint8_t {
  kFaceBold = 0x01,
  kFaceItalic = 0x02,
  kFaceUnderline = 0x04,
  kFaceOutline = 0x08,
  kFaceShadow = 0x10,
  kFaceCondense = 0x20,
  kFaceExtend = 0x40,
  kFaceStrikeOut = 0x80,
};

// Text modes with a meaning of their own; any other mode draws glyphs only.
enum : int16_t { kTextModeCopy = 0, kTextModeBic = 3, kTextModeGray = 16 };

constexpr int kReturnChar = 13;

// The bytes of a drawing call that reach the device: none for a count below 1 or a null
// text; a trailing carriage return is not drawn.
int DrawableLength(const uint8_t *text, int count);

// Length of text without its trailing run of break characters.
int LengthWithoutTrailingBreaks(const uint8_t *text, int count, uint8_t breakChar);

// Break characters that justification widens: every one except the trailing run.
int CountInnerBreaks(const uint8_t *text, int count, uint8_t breakChar);

// The whole extra width, in device units, that spExtra (16.16) spreads over `breaks`
// break characters: the integer part of their product (negative narrows), 0 without breaks.
int JustificationExtra(int32_t spExtra, int breaks);

// Per-character extra of condensed (negative) or extended text: a quarter of the average
// character width less one, at least 1. Condense wins when both bits are set; 0 when
// neither is.
int CondenseExtendExtra(uint8_t face, int averageCharWidth);

// The LOGFONT attributes a style selects.
struct FaceAttributes {
  int weight;  // 700 bold, 400 otherwise
  bool italic, underline, strikeOut;
};
FaceAttributes AttributesOfFace(uint8_t face);

// Bold is simulated (the plain face drawn twice, one pixel apart) on window and DC ports
// below the face's minimum bold size; printers and picture recordings get the real bold.
bool SimulatesBold(uint8_t face, int portKind, int txSize, int minBoldSize);

// Small sizes of raster faces are drawn at the face's smallest real size and shrunk:
// below 8 points, not on a printer, not TrueType (2) or ATM (3), and not a vector font
// (bit 2 of the text metrics' pitch-and-family).
bool ShrinksRasterFont(int txSize, bool printer, int fontType, uint8_t metricPitchAndFamily);

// The shrink factor (16.16): the requested size over the real font's ascent + descent.
int32_t RasterShrinkScale(int txSize, int ascent, int descent);

// value x scale, truncated toward zero: widths, heights and font information.
int ScaleTruncated(int value, int32_t scale);

// The drawn width of shrunk text: per character, (width - overhang) x scale rounded to
// nearest and at least 1 pixel. widths is indexed by byte value.
int ShrunkRunWidth(const int widths[256], const uint8_t *text, int count, int overhang, int32_t scale);

// How a run was realized, for measuring it.
enum class RunCase { Plain, CharacterExtra, Shrunk };

// Width of a run from its GDI text extent: extent less overhang, plus the character extra
// per byte, or shrunk by the scale.
int RunWidth(RunCase which, int extent, int overhang, int extra, int count, int32_t scale);

// Widths cross the interface as 16-bit values, truncated.
inline int16_t ToWidth16(int width) { return static_cast<int16_t>(static_cast<uint16_t>(width)); }

}  // namespace tstools::qd
