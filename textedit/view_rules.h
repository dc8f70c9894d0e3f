// The arithmetic of a record's view: auto-view and pinned scrolling, the rectangle the scroll
// callback gets, moving and fitting the rectangles, click counting, the caret's blink and the
// area an edit must redraw. Portable.
#pragma once

#include <cstdint>
#include <vector>

#include "textedit/line_walk.h"
#include "textedit/text_core.h"

namespace tstools::text {

struct ScrollStep {
  int32_t dh = 0, dv = 0;
  bool Any() const { return dh != 0 || dv != 0; }
  bool operator==(const ScrollStep &o) const { return dh == o.dh && dv == o.dv; }
};

// One auto-view step bringing sel (local coordinates) into the view: vertically first, and
// only one direction per step.
ScrollStep AutoViewStep(const PixelRect &sel, const ShortRect &view);

// A scroll by (dh, dv) limited so that the destination keeps covering the view.
ScrollStep PinScroll(int32_t dh, int32_t dv, const LongRect &dest, const ShortRect &view);

// The selection's rectangle for auto-view and the scroll callback: the caret at the moving
// end (one pixel wide, its line's height).
PixelRect SelectionRect(const TextCore &core, const TextEnv &env, int32_t moving, bool atLineEnd);

// What the scroll callback gets: sel grown 3 pixels up and down, its sides the bounds' when
// wholeWidth, else 20 pixels ending at its right; every side at most 32767.
PixelRect ScrollCallbackRect(const PixelRect &sel, const ShortRect &bounds, bool wholeWidth);

// Moves destination, view, reference view and bounds by (dh, dv); the short rectangles
// saturate at the 16-bit range.
void OffsetRects(TextCore &core, int32_t dh, int32_t dv);

// The bounds of a view widened by margins (left, top, right, bottom), saturated.
ShortRect WidenedBy(const ShortRect &view, const int16_t margins[4]);

// The destination fitted to the text: width w by the justification of the whole text (-1
// right, 0 and 2 left, 1 centre, anything else unchanged), height h from the top.
LongRect FitDestination(const LongRect &dest, int32_t w, int32_t h, int32_t just, bool fitWidth, bool fitHeight);

// The count of a click at offset: one more than the last when it hits the same offset within
// the double-click time, else 1; at most 5.
int NextClickCount(int lastCount, int32_t lastOffset, uint32_t lastTick, uint32_t doubleTime, uint32_t now,
                   int32_t offset);

// Whether the caret blinks now; *lastBlink becomes now when it does. A stored tick in the
// future counts as now.
bool CaretBlinkDue(uint32_t now, uint32_t *lastBlink, uint32_t caretTime);

// The area to redraw after an edit that changed lines first..last from offset `from` (-1:
// unknown): from the character to the destination's right on the first line, then the later
// lines at full width. Everything from the first line down when the vertical origin moved.
std::vector<PixelRect> ChangedArea(const TextCore &core, const TextEnv &env, int32_t first, int32_t last,
                                   int32_t from, bool originMoved);

// A record turned by quarter turns, counter-clockwise as the port sees it. Its rectangles stay
// in the text's own coordinates; on the port the view keeps its top-left corner and the
// text turns within it. Angles (tenths of a degree) that are not a whole quarter turn draw
// unturned.
struct Turn {
  // Text to port: x' = a*x + c*y + e, y' = b*x + d*y + f.
  struct Affine {
    int32_t a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
  };
  int quarters = 0;  // 0 to 3
  Affine m;

  PixelRect ToPort(const PixelRect &r) const;
  PixelRect ToText(const PixelRect &r) const;
  // The text pixel shown at a port pixel.
  void PointToText(int32_t *h, int32_t *v) const;
  // A distance moved in the text as the port sees it.
  void MoveToPort(int32_t *dh, int32_t *dv) const;
};
Turn TurnOf(int32_t angle, const ShortRect &view);

// The intersection of a and b; empty (all zero) when they do not meet.
PixelRect Intersect(const PixelRect &a, const PixelRect &b);
inline bool IsEmpty(const PixelRect &r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace tstools::text
