// Positions inside laid-out lines: where each character boundary of a line lies, which offset
// a point hits, where the caret of an offset stands and which rectangles a selection
// highlights. Every walk places tabs and justification exactly as the line builder did, so a
// click lands on the character drawn under it. Coordinates are the port's local pixels.
// Portable.
#pragma once

#include <cstdint>
#include <vector>

#include "textedit/text_core.h"

namespace tstools::text {

// One line's character boundaries: x[k] is the left edge of the character at start + k, in
// Fixed pixels from the line's left pixel (LineLeft); x[end - start] is the right edge of the
// last character. Fully justified wrapped lines include their blanks' share of the extra.
struct LinePositions {
  int32_t line = 0;
  int32_t start = 0, end = 0;  // end: the next line's start, or the text length
  bool endsInReturn = false;
  int32_t left = 0;            // LineLeft of the line
  std::vector<int64_t> x;
  // The pixel of boundary p (start <= p <= end).
  int32_t PixelAt(int32_t p) const;
};

// May throw std::bad_alloc.
LinePositions WalkLine(const TextCore &core, const TextEnv &env, int32_t line);

// The extra pixels of a fully justified wrapped line and how many blanks share them (after
// its last tab, before its trailing blanks); zeros for any other line.
struct Justification {
  int32_t extra = 0, blanks = 0;
  int32_t from = 0;  // the first offset whose blanks share it
  int32_t to = 0;    // just past the last visible character
};
Justification JustificationOf(const TextCore &core, const TextEnv &env, int32_t line);

// The top of a line in local coordinates: destination top + the vertical origin + its top.
int32_t LineTop(const TextCore &core, int32_t line);

struct Hit {
  int32_t offset = 0;
  int32_t line = 0;
  bool lineEnd = false;  // the offset ends its line and the next line starts there
};
// The offset under (h, v): by line (bisection on tops), then the nearer character boundary;
// never past a line's return. Below the destination: the text end; above: 0.
Hit HitTest(const TextCore &core, const TextEnv &env, int32_t h, int32_t v);
// The offset nearest h within one line.
Hit HitInLine(const TextCore &core, const TextEnv &env, int32_t line, int32_t h);

// Where the caret of an offset stands: its line and the x of its left edge. atLineEnd shows an
// offset that starts a line at the end of the line before (after a wrap) instead.
struct CaretPlace {
  int32_t line = 0;
  int32_t x = 0;
  int32_t top = 0, bottom = 0;
};
CaretPlace PlaceCaret(const TextCore &core, const TextEnv &env, int32_t offset, bool atLineEnd);

// The highlight of [start, end): the first line from start to the destination's right, the
// middle lines full width, the last line up to end; one rectangle when both lie on a line.
// Empty for an empty range.
struct PixelRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const PixelRect &o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};
std::vector<PixelRect> HighlightRects(const TextCore &core, const TextEnv &env, int32_t start, int32_t end);

}  // namespace tstools::text
