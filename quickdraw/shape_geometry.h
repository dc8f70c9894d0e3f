// The Toolbox pixel model's arithmetic for shape drawing: arc direction vectors, swept-pen
// outlines, hairline sizes, polygon record checks and the transfer-mode table. Portable.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tstools::qd {

struct Vec {
  int h, v;
};

// Direction of an angle in degrees (0 straight up, growing clockwise) as a vector of about
// 1000 units on its longer axis, screen v growing downwards.
Vec ArcDirection(int degrees);

// The two radial end points GDI draws a pie or arc between (counter-clockwise from first
// to second) for a Toolbox arc on the box (left, top, right, bottom).
struct ArcEnds {
  Vec first, second;
};
ArcEnds ArcEndPoints(int left, int top, int right, int bottom, int startAngle, int arcAngle);

// What an arc angle asks for: nothing (0), the whole oval (360 or more either way), or a
// wedge.
enum class ArcSpan { Nothing, WholeOval, Wedge };
ArcSpan ClassifyArc(int arcAngle);

// The outline of a pen of size (pw, ph) swept from a to b: 4 or 6 vertices into out,
// returns the count.
int SweptPen(Vec a, Vec b, int pw, int ph, Vec out[6]);

// Hairline size of a port: (1, 1) on screens; on printers one device pixel in logical
// units from the mapping extents and the printer's scaling shifts.
Vec PrinterHairline(int windowExtX, int windowExtY, int viewportExtX, int viewportExtY, int shiftX, int shiftY);

// Vertex count of a polygon record whose size word is sizeWord in a block of blockSize
// bytes, or -1 when the record lies about its size.
constexpr size_t kPolyHeader = 10, kPolyVertex = 8;
long PolygonVertexCount(int16_t sizeWord, size_t blockSize);

// The pattern raster operation (for PatBlt) that does what a GDI mix mode (R2_*) does to
// pen and brush output; no-operation for unknown mix modes.
uint32_t PatternRopForMix(int mix);

// One axis of a printer's pattern grid, whose cells are 1/72 inch: the cells [first, end)
// that cover device pixels [deviceFirst, deviceEnd) at dpi pixels per inch, the device span
// [deviceStart, deviceStop) those cells occupy, and the phase: the index, counted from
// `first`, of a cell where pattern column 0 falls, given the device position of the
// pattern's anchor.
struct PatternAxis {
  int first, end, deviceStart, deviceStop, phase;
};
PatternAxis PrinterPatternAxis(int deviceFirst, int deviceEnd, int dpi, int anchorDevice);

// Raster operation of a CopyBits transfer mode.
uint32_t TransferRop(int mode);

// The Toolbox result of a transfer mode on one source and one destination bit (1 black).
bool ToolboxTransfer(int mode, bool src, bool dst);

}  // namespace tstools::qd
