// The record on the screen: drawing lines into the measuring port, the caret and highlight
// marks, scrolling and auto-view. Windows glue over the portable view rules.
//
// The marks are drawn by exclusive-or, so the record remembers exactly what it drew (the
// caret's box, the highlight's region) and takes down that, never a recomputed shape. Any
// redraw of an area erases the marks there and draws them again inside it, so the screen and
// the record agree after any mix of edits, scrolls and host repaints.
#pragma once

#include "textedit/te_exports.h"
#include "textedit/view_rules.h"

namespace tstools::text {

// The port to draw into: the measuring port, while drawing is enabled and it has a DC.
GrafPort *DrawPort(QTERecord *r);

// How the record's text is turned on its port.
Turn TurnFor(const QTERecord *r);

// Takes the caret and highlight off the screen (no-op for what is not shown).
void HideSelection(QTERecord *r);
// Puts them up for the current selection and state (active, kept highlight).
void ShowSelection(QTERecord *r);
// The selection changed to s: only the difference of the highlight is inverted when both old
// and new are active ranges.
void ChangeSelection(QTERecord *r, int32_t start, int32_t end, bool movingStart, bool atLineEnd);

// Erases and redraws the lines meeting area (the text's coordinates) inside the view, the marks
// inside the area put back.
void DrawArea(QTERecord *r, const PixelRect &area);
PixelRect ViewOf(const QTERecord *r);

// After an edit that relaid out lines: redraws what changed (marks must be down).
void RedrawChanged(QTERecord *r, int32_t from, int32_t oldLines, int32_t oldBottom);

// Moves the destination by (dh, dv) under the view, moving pixels when that saves drawing.
void ScrollBy(QTERecord *r, int32_t dh, int32_t dv);
// One auto-view step (flag 7 and drawing on) toward the selection's moving end.
void FollowSelection(QTERecord *r);
void CallScrollProc(QTERecord *r, bool wholeWidth);
void CallControl(QTERecord *r, short code);

// The drag caret at the drag offset, drawn or taken down.
void ShowDragCaret(QTERecord *r);
void HideDragCaret(QTERecord *r);

}  // namespace tstools::text
