// PICT opcodes by name, and what data follows each: the player and the writer share this
// table, so an opcode's length rule is stated once. A version-1 picture stores opcodes as
// one byte, a version-2 picture as a big-endian word.
#pragma once

#include <cstdint>

namespace tstools::pict::op {

constexpr uint16_t kNop = 0x00;
constexpr uint16_t kClipRgn = 0x01;
constexpr uint16_t kBkPat = 0x02;
constexpr uint16_t kTxFont = 0x03;
constexpr uint16_t kTxFace = 0x04;
constexpr uint16_t kTxMode = 0x05;
constexpr uint16_t kSpExtra = 0x06;
constexpr uint16_t kPnSize = 0x07;
constexpr uint16_t kPnMode = 0x08;
constexpr uint16_t kPnPat = 0x09;
constexpr uint16_t kFillPat = 0x0A;
constexpr uint16_t kOvSize = 0x0B;
constexpr uint16_t kOrigin = 0x0C;
constexpr uint16_t kTxSize = 0x0D;
constexpr uint16_t kFgColor = 0x0E;
constexpr uint16_t kBkColor = 0x0F;
constexpr uint16_t kTxRatio = 0x10;
constexpr uint16_t kVersion = 0x11;
constexpr uint16_t kBkPixPat = 0x12;
constexpr uint16_t kPnPixPat = 0x13;
constexpr uint16_t kFillPixPat = 0x14;
constexpr uint16_t kPnLocHFrac = 0x15;
constexpr uint16_t kChExtra = 0x16;
constexpr uint16_t kRGBFgCol = 0x1A;
constexpr uint16_t kRGBBkCol = 0x1B;
constexpr uint16_t kHiliteMode = 0x1C;
constexpr uint16_t kHiliteColor = 0x1D;
constexpr uint16_t kDefHilite = 0x1E;
constexpr uint16_t kOpColor = 0x1F;
constexpr uint16_t kLine = 0x20;
constexpr uint16_t kLineFrom = 0x21;
constexpr uint16_t kShortLine = 0x22;
constexpr uint16_t kShortLineFrom = 0x23;
constexpr uint16_t kLongText = 0x28;
constexpr uint16_t kDHText = 0x29;
constexpr uint16_t kDVText = 0x2A;
constexpr uint16_t kDHDVText = 0x2B;
constexpr uint16_t kFontName = 0x2C;
constexpr uint16_t kLineJustify = 0x2D;
// Shape families: base + verb (frame, paint, erase, invert, fill) takes a rectangle (and
// angles for arcs, a polygon or region for those); base + 8 + verb reuses the last one.
constexpr uint16_t kRectBase = 0x30;
constexpr uint16_t kRRectBase = 0x40;
constexpr uint16_t kOvalBase = 0x50;
constexpr uint16_t kArcBase = 0x60;
constexpr uint16_t kPolyBase = 0x70;
constexpr uint16_t kRgnBase = 0x80;
constexpr uint16_t kSameOffset = 8;
constexpr uint16_t kBitsRect = 0x90;
constexpr uint16_t kBitsRgn = 0x91;
constexpr uint16_t kPackBitsRect = 0x98;
constexpr uint16_t kPackBitsRgn = 0x99;
constexpr uint16_t kDirectBitsRect = 0x9A;
constexpr uint16_t kDirectBitsRgn = 0x9B;
constexpr uint16_t kShortComment = 0xA0;
constexpr uint16_t kLongComment = 0xA1;
constexpr uint16_t kEndPic = 0xFF;
constexpr uint16_t kHeader = 0x0C00;

// How the data after an opcode is laid out.
enum class Data : uint8_t {
  kFixed,       // `bytes` bytes (none when 0)
  kWordLength,  // `bytes` bytes, then a 16-bit length and that many bytes
  kLongLength,  // a 32-bit length, then that many bytes
  kText,        // `bytes` bytes of location, then a count byte and the characters
  kPolygon,     // a polygon: its 16-bit size counts itself
  kRegion,      // a region: its 16-bit size counts itself
  kPixPat,      // a pattern type word and 8-byte pattern, then an RGB colour or a pixel map
  kBitImage,    // [baseAddr,] a bitmap or pixel map, rectangles, mode[, mask region], rows
};

struct DataRule {
  Data kind;
  uint16_t bytes;
};

constexpr DataRule DataOf(uint16_t op) {
  using D = Data;
  if (op >= 0x100) {
    if (op == kHeader) return {D::kFixed, 24};
    if (op < 0x8000) return {D::kFixed, uint16_t((op >> 8) * 2)};
    if (op <= 0x80FF) return {D::kFixed, 0};
    return {D::kLongLength, 0};
  }
  switch (op) {
    case kClipRgn: return {D::kRegion, 0};
    case kTxFace: case kVersion: return {D::kFixed, 1};
    case kTxFont: case kTxMode: case kPnMode: case kTxSize: case kPnLocHFrac: case kChExtra:
    case kShortComment:
      return {D::kFixed, 2};
    case kSpExtra: case kPnSize: case kOvSize: case kOrigin: case kFgColor: case kBkColor:
    case kLineFrom:
      return {D::kFixed, 4};
    case kRGBFgCol: case kRGBBkCol: case kHiliteColor: case kOpColor: case kShortLine:
      return {D::kFixed, 6};
    case kBkPat: case kPnPat: case kFillPat: case kTxRatio: case kLine: return {D::kFixed, 8};
    case kBkPixPat: case kPnPixPat: case kFillPixPat: return {D::kPixPat, 0};
    case kShortLineFrom: return {D::kFixed, 2};
    case kLongText: return {D::kText, 4};
    case kDHText: case kDVText: return {D::kText, 1};
    case kDHDVText: return {D::kText, 2};
    case kFontName: return {D::kWordLength, 0};
    case kLineJustify: return {D::kFixed, 10};
    case kBitsRect: case kBitsRgn: case kPackBitsRect: case kPackBitsRgn: case kDirectBitsRect:
    case kDirectBitsRgn:
      return {D::kBitImage, 0};
    case kLongComment: return {D::kWordLength, 2};
    default: break;
  }
  if (op >= kRectBase && op < kPolyBase) {  // rectangles, and angles for arcs
    bool same = (op & 0x0F) >= kSameOffset;
    uint16_t angles = op >= kArcBase ? 4 : 0;
    return {D::kFixed, uint16_t((same ? 0 : 8) + angles)};
  }
  if (op >= kPolyBase && op < kPolyBase + kSameOffset) return {D::kPolygon, 0};
  if (op >= kRgnBase && op < kRgnBase + kSameOffset) return {D::kRegion, 0};
  if ((op >= 0x24 && op <= 0x27) || op == 0x2E || op == 0x2F || (op >= 0x92 && op <= 0x97) ||
      (op >= 0x9C && op <= 0x9F) || (op >= 0xA2 && op <= 0xAF))
    return {D::kWordLength, 0};
  if (op >= 0xD0 && op <= 0xFE) return {D::kLongLength, 0};
  return {D::kFixed, 0};  // Nop, reserved no-data opcodes, the "same" shapes, EndPic
}

}  // namespace tstools::pict::op
