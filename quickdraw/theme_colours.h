// The pure rules behind themed control drawing: which captured colour each one-pixel line of
// an emulated edge takes, how a bitmap's colour table follows the system colours, which
// check image a state shows, and the rows of the 50% dither. Portable: colours are
// 0x00BBGGRR values, as Windows stores them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tstools::qd {

using ColourRef = uint32_t;  // 0x00BBGGRR

// The button colours the drawers use, captured at WinUiInit and WinUiSysColorChanged.
struct ThemeColours {
  ColourRef face = 0xC0C0C0, shadow = 0x808080, highlight = 0xFFFFFF, text = 0;
  ColourRef frame = 0, window = 0xFFFFFF;
  bool mono = false;  // high contrast on, or a black button face
};

// High contrast on, or a face with no red, green or blue: draw images in one colour.
bool MonoLook(bool highContrast, ColourRef face);

// A captured colour by its role in an edge. Edges of the older systems had no separate
// light or dark shadow colours: light is the face and dark shadow the window frame.
enum class EdgeColour : uint8_t { Face, Shadow, Highlight, Frame, Window };
ColourRef ColourOf(const ThemeColours &c, EdgeColour role);

// One filled rectangle of an emulated edge (left, top inclusive; right, bottom exclusive).
struct EdgeFill {
  int left, top, right, bottom;
  EdgeColour colour;
};

// DrawEdge's edge kinds and border flags, as the drawing calls receive them.
enum : unsigned {
  kBorderRaisedOuter = 1, kBorderSunkenOuter = 2, kBorderRaisedInner = 4, kBorderSunkenInner = 8,
  kSideLeft = 1, kSideTop = 2, kSideRight = 4, kSideBottom = 8, kSidesAll = 15,
  kEdgeDiagonal = 0x10, kEdgeMiddle = 0x800, kEdgeSoft = 0x1000, kEdgeFlat = 0x4000, kEdgeMono = 0x8000,
  kEdgeRaised = 5, kEdgeSunken = 10,
};

// The fills that draw an edge around (left, top, right, bottom), in drawing order: top-left
// lines of a level, then its bottom-right lines (which take the shared corners), outer level
// before inner, then the middle when asked for; a whole edge with its middle comes as nested
// fills that overlap, to the same pixels. Returns the count (at most kMaxEdgeFills);
// zero for diagonal edges, which the emulation does not draw. The soft look (the button
// variant) lights the outer top-left line and darkens the outer one of a sunken edge.
constexpr size_t kMaxEdgeFills = 9;
size_t PlanEdge(int left, int top, int right, int bottom, unsigned edge, unsigned flags,
                EdgeFill out[kMaxEdgeFills]);

// DrawFrameControl's check-box and radio-button states.
enum : unsigned {
  kFrameButton = 4, kFrameScroll = 3,
  kButtonCheck = 0, kButtonRadio = 4, kButtonPush = 0x10, kButtonTypeMask = 0x1F,
  kStateInactive = 0x100, kStatePushed = 0x200, kStateChecked = 0x400,
  kScrollDown = 1, kScrollCombo = 5,
};

// Index into the check image strip (five check-box images, then five radio buttons) for a
// check box or radio button state; -1 for other button kinds.
int CheckImageIndex(unsigned state);

// The 8 x 8 dither as the 32-bit rows of a bottom-up 1-bit DIB whose colour 0 is the face
// and colour 1 the highlight: the pattern's top-left pixel is face, as the system's checked
// buttons have it.
void DitherRows(uint32_t rows[8]);

// A packed DIB (header, colour table, bits) as a resource holds it.
struct DibLayout {
  size_t headerSize = 0;    // 40 and up, or 12 for the old core header
  size_t entrySize = 0;     // 4 (blue, green, red, reserved) or 3 with the core header
  size_t colourCount = 0;   // entries of the colour table
  size_t bitsOffset = 0;    // where the pixels start
};
// False unless the bytes hold the whole header, colour table and pixels of a 1, 4 or 8-bit
// image (uncompressed or run-length).
bool ParseColourTableDib(const uint8_t *data, size_t size, DibLayout *layout);

// Replaces black, dark grey, light grey and white entries of the table (the first 16 at
// most) by the button text, shadow, face and highlight colours. Returns the entries changed.
size_t RecolourTable(uint8_t *table, size_t entries, size_t entrySize, const ThemeColours &c);

}  // namespace tstools::qd
