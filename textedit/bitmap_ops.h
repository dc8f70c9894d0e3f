// Three bitmap services of the international utilities: rotation by quarter turns,
// colour-key masking and reading the first two pixel values. Portable.
//
// The calls take no buffer sizes, so the rectangles and strides are the contract: a bitmap's
// bits start at its rectangle's top-left pixel and hold one row of rowBytes (masked with
// 0x7FFF) per row of the rectangle. A row holds the planes one after another, each in
// rowBytes / planes bytes, pixels most significant bit first; 16- and 32-bit pixels are in
// little-endian order, a 24-bit pixel reads as its first byte shifted left by 16 combined with
// the next two bytes read as a little-endian u16. A pixel's value over several planes puts
// plane p's bits at p x depth. pixelFormat: low byte the bits per pixel (1, 2, 4, 8, 16, 24
// or 32), high byte the planes (0 counts as 1). A call whose format, rectangles or strides
// break the contract touches nothing and returns false; a call never reads or writes
// outside the rows its rectangles and strides name.
#pragma once

#include <cstddef>
#include <cstdint>

#include "textedit/te_types.h"

namespace tstools::text {

// The bytes a bitmap of rect's height spans at rowBytes (after the 0x7FFF mask); 0 for an
// empty rectangle.
size_t BitmapSpan(const ShortRect &rect, int rowBytes);

// Rotates the source counter-clockwise by angle (taken modulo 360; 90, 180 and 270 rotate,
// any other angle copies nothing). The destination rectangle must have the rotated size.
// The bytes around the rectangle's pixels in the destination rows keep their bits.
bool RotateBitmap(const uint8_t *source, uint8_t *destination, const ShortRect &sourceRect,
                  const ShortRect &destinationRect, int sourceRowBytes, int destinationRowBytes,
                  int pixelFormat, int angle);

// Every pixel of rect (inside bounds, the source's rectangle) equal to keyColour becomes
// replacement and sets its bit in mask, which has one row of maskRowBytes per row of rect
// (times the planes when planeMode is 2 or more: the bit is then set in each plane's copy),
// cleared first. Keys below 25 bits of depth are masked to the depth.
bool MaskBitmap(uint8_t *source, uint8_t *mask, const ShortRect &bounds, const ShortRect &rect,
                int sourceRowBytes, int maskRowBytes, int pixelFormat, int planeMode,
                uint32_t keyColour, uint32_t replacement);

// The values of the first two pixels of the first row (a one-pixel-wide bitmap gives its
// pixel twice).
bool GetBitmapColors(const uint8_t *bits, const ShortRect &rect, int rowBytes, int pixelFormat,
                     uint32_t *second, uint32_t *first);

}  // namespace tstools::text
