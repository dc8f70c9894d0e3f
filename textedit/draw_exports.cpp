// The text record's screen exports: activation, blinking, updates, selection, clicks,
// scrolling, rectangles, background and drag feedback.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "frame/export_guard.h"
#include "textedit/layout.h"
#include "textedit/selection_rules.h"
#include "textedit/te_view.h"
#include "tstools/events.h"
#include "tstools/quickdraw.h"
#include "tstools/resources.h"
#include "tstools/ticks.h"

using namespace tstools;
using namespace tstools::text;

namespace {

short S16(int64_t v) { return static_cast<short>(std::clamp<int64_t>(v, -32767, 32767)); }
Rect ToRect(const ShortRect &r) { return Rect{r.left, r.top, r.right, r.bottom}; }
ShortRect ToShort(const Rect &r) { return ShortRect{r.left, r.top, r.right, r.bottom}; }
Rect DestRect(const LongRect &d) { return Rect{S16(d.left), S16(d.top), S16(d.right), S16(d.bottom)}; }

// Redraws the whole view with the marks taken down and put back around it.
void RedrawView(QTERecord *r) {
  HideSelection(r);
  HideDragCaret(r);
  DrawArea(r, ViewOf(r));
  ShowSelection(r);
  ShowDragCaret(r);
}

void Relayout(QTERecord *r) {
  RecordLayoutHost host(r);
  LayoutAll(r->core, EnvFor(r), &host);
}

// A port point in the text's coordinates.
Point TextPoint(const QTERecord *r, Point pt) {
  int32_t h = pt.h, v = pt.v;
  TurnFor(r).PointToText(&h, &v);
  return Point{S16(h), S16(v)};
}

bool InView(const QTERecord *r, Point pt) {
  const ShortRect &v = r->core.view;
  return pt.h >= v.left && pt.h < v.right && pt.v >= v.top && pt.v < v.bottom;
}

// The highlight of a range as the port shows it, added into rgn.
bool AddHighlight(QTERecord *r, int32_t start, int32_t end, HRGN rgn) {
  Turn turn = TurnFor(r);
  for (const PixelRect &text : HighlightRects(r->core, EnvFor(r), start, end)) {
    PixelRect p = turn.ToPort(text);
    HRGN one = CreateRectRgn(p.left, p.top, p.right, p.bottom);
    if (!one) return false;
    CombineRgn(rgn, rgn, one, RGN_XOR);
    DeleteObject(one);
  }
  return true;
}

// Drag feedback at a point: the offset under it becomes the drag position.
void DragAt(QTERecord *r, Point pt) {
  TextCore &c = r->core;
  pt = TextPoint(r, pt);
  Hit hit = HitTest(c, EnvFor(r), pt.h, pt.v);
  bool inside = pt.v >= c.dest.top && pt.v < c.dest.bottom && pt.h >= c.dest.left && pt.h < c.dest.right;
  c.flags = inside ? c.flags | kFlagDragInside : c.flags & ~kFlagDragInside;
  if (hit.offset == r->dragOffset) return;
  HideDragCaret(r);
  r->dragOffset = hit.offset;
  ShowDragCaret(r);
}

}  // namespace

void WINAPI QTEActivate(QTERecord *record) {
  if (!record || (record->core.flags & kFlagActive)) return;
  Guarded(Nothing, [&] {
    HideSelection(record);
    record->core.flags = (record->core.flags | kFlagActive) & ~kFlagKeepHighlight;
    ShowSelection(record);
    if (DrawPort(record)) CallControl(record, 2);
  });
}

void WINAPI QTEDeactivate(Boolean keepHighlight, QTERecord *record) {
  if (!record) return;
  TextCore &c = record->core;
  bool active = c.flags & kFlagActive;
  if (!active && !((c.flags & kFlagKeepHighlight) && !keepHighlight)) return;
  Guarded(Nothing, [&] {
    HideSelection(record);
    c.flags &= ~kFlagActive;
    c.flags = (keepHighlight & 1) ? c.flags | kFlagKeepHighlight : c.flags & ~kFlagKeepHighlight;
    ShowSelection(record);
    if (DrawPort(record)) CallControl(record, 2);
  });
}

void WINAPI QTEIdle(QTERecord *record) {
  if (!record) return;
  TextCore &c = record->core;
  if (!(c.flags & kFlagActive) || c.selStart != c.selEnd || !DrawPort(record)) return;
  uint32_t now = static_cast<uint32_t>(TickCount());
  if (!CaretBlinkDue(now, &record->blinkTick, static_cast<uint32_t>(GetCaretTime()))) return;
  Guarded(Nothing, [&] {
    if (c.flags & kFlagCaretShown) {
      HideSelection(record);
    } else {
      ShowSelection(record);
    }
    record->blinkTick = now;
  });
}

void WINAPI QTEUpdate(QTERecord *record) {
  GrafPort *port = DrawPort(record);
  if (!port) return;
  Guarded(Nothing, [&] {
    RECT box{};
    HRGN update = port->visRgn;
    if (update && GetRgnBox(update, &box) == NULLREGION) return;
    if (!update) GetClipBox(port->dc, &box);
    const ShortRect &b = record->core.bounds;
    PixelRect area = Intersect(TurnFor(record).ToText(PixelRect{box.left, box.top, box.right, box.bottom}),
                               PixelRect{b.left, b.top, b.right, b.bottom});
    if (IsEmpty(area)) return;
    // The host may have erased the area: taking the marks down everywhere and redrawing the
    // area leaves none anywhere, whatever the host did inside it.
    HideSelection(record);
    HideDragCaret(record);
    DrawArea(record, area);
    ShowSelection(record);
    ShowDragCaret(record);
    CallControl(record, 2);
  });
}

void WINAPI QTEDraw(const Rect *rect, Boolean hideSelection, QTERecord *record) {
  if (!DrawPort(record)) return;
  Guarded(Nothing, [&] {
    // A turned record's rectangle is where the port shows it: for the view, its own view.
    PixelRect area = rect ? TurnFor(record).ToText(PixelRect{rect->left, rect->top, rect->right, rect->bottom})
                          : ViewOf(record);
    // The marks always come down first: they may stand where an earlier selection was while
    // drawing was off, and come back up for the selection as it is now.
    (void)hideSelection;
    HideSelection(record);
    DrawArea(record, area);
    ShowSelection(record);
    CallControl(record, 2);
  });
}

void WINAPI QTESetSelect(long start, long end, QTERecord *record) {
  if (!record) return;
  Guarded(Nothing, [&] { ChangeSelection(record, start, end, false, false); });
}

long WINAPI QTEGetSelStart(QTERecord *record) { return record ? record->core.selStart : 0; }
long WINAPI QTEGetSelEnd(QTERecord *record) { return record ? record->core.selEnd : 0; }
void WINAPI QTEGetSelRange(long *start, long *end, QTERecord *record) {
  if (start) *start = record ? record->core.selStart : 0;
  if (end) *end = record ? record->core.selEnd : 0;
}

void WINAPI QTEClick(Point point, short extend, QTERecord *record) {
  GrafPort *port = DrawPort(record);
  if (!port) return;
  Guarded(Nothing, [&] {
    TextCore &c = record->core;
    c.refDest = c.dest;
    point = TextPoint(record, point);
    if ((c.flags & kFlagOutsideClicks) && !InView(record, point)) {
      CallControl(record, 3);
      return;
    }
    TextEnv env = EnvFor(record);
    bool shift = (extend & 0xFF) != 0;
    Hit hit = HitTest(c, env, point.h, point.v);
    auto now = static_cast<uint32_t>(TickCount());
    int count = NextClickCount(record->clickCount, record->clickOffset, record->clickTick,
                               static_cast<uint32_t>(GetDblTime()), now, hit.offset);
    Selection old{c.selStart, c.selEnd, (c.flags & kFlagMovingStart) != 0, (c.flags & kFlagCaretAtLineEnd) != 0};
    Selection s = ClickSelection(c, hit, count, shift, old);
    record->clickCount = count, record->clickOffset = hit.offset, record->clickTick = now;
    ChangeSelection(record, s.start, s.end, s.movingStart, count == 1 && !shift && hit.lineEnd);
    c.nullStyleValid = false;
    if (count == 1) FollowSelection(record);

    // Tracking: the selection follows the mouse in the click's unit from the anchor's unit.
    Range anchor = shift ? Range{s.movingStart ? s.end : s.start, s.movingStart ? s.end : s.start}
                         : ClickUnit(c, hit, count);
    if (shift && count > 1) anchor = Range{old.start, old.end};
    while (ML_StillDown(0)) {
      if (record->clickProc && !record->clickProc()) break;
      Point pt{};
      ML_GetMouse(&pt, port);
      pt = TextPoint(record, pt);
      // Outside the view the text scrolls toward the mouse, a line's worth at a time.
      const ShortRect &v = c.view;
      int32_t dv = pt.v < v.top ? 16 : pt.v >= v.bottom ? -16 : 0;
      int32_t dh = pt.h < v.left ? 16 : pt.h >= v.right ? -16 : 0;
      ScrollStep pin = PinScroll(dh, dv, c.dest, c.view);
      if (pin.Any()) ScrollBy(record, pin.dh, pin.dv);
      Hit h = HitTest(c, env, pt.h, pt.v);
      Selection d = DragSelection(c, anchor, h, count);
      if (d.start != c.selStart || d.end != c.selEnd) ChangeSelection(record, d.start, d.end, d.movingStart, false);
      Sleep(10);
    }
    CallScrollProc(record, false);
  });
}

Boolean WINAPI QTEIsPtInSelection(Point point, QTERecord *record) {
  if (!record || record->core.selStart >= record->core.selEnd) return 0;
  return Guarded(Boolean(0), [&]() -> Boolean {
    TextCore &c = record->core;
    point = TextPoint(record, point);
    for (const PixelRect &p : HighlightRects(c, EnvFor(record), c.selStart, c.selEnd))
      if (point.h >= p.left && point.h < p.right && point.v >= p.top && point.v < p.bottom) return 1;
    return 0;
  });
}

RgnHandle WINAPI QTEGetSelectionRgn(QTERecord *record) {
  if (!record || record->core.selStart >= record->core.selEnd) return nullptr;
  return Guarded(static_cast<RgnHandle>(nullptr), [&]() -> RgnHandle {
    TextCore &c = record->core;
    HRGN out = record->highlight[0];
    SetRectRgn(out, 0, 0, 0, 0);
    // Right after a change of a shown range: the area that changed on the screen.
    Range before{record->previousSelection.start, std::min(record->previousSelection.end, c.Length())};
    if (before.start < before.end && !AddHighlight(record, before.start, before.end, out)) return nullptr;
    return AddHighlight(record, c.selStart, c.selEnd, out) ? out : nullptr;
  });
}

void WINAPI QTEScroll(long dh, long dv, QTERecord *record) {
  if (!record) return;
  Guarded(Nothing, [&] {
    if (!DrawPort(record)) return;
    ScrollBy(record, dh, dv);
    CallControl(record, 4);
  });
}

void WINAPI QTEPinScroll(long dh, long dv, QTERecord *record) {
  if (!record) return;
  ScrollStep s = PinScroll(dh, dv, record->core.dest, record->core.view);
  if (s.Any()) QTEScroll(s.dh, s.dv, record);
}

void WINAPI QTESelView(Boolean wholeWidth, QTERecord *record) {
  if (!DrawPort(record)) return;
  Guarded(Nothing, [&] {
    FollowSelection(record);
    CallScrollProc(record, wholeWidth != 0);
  });
}

void WINAPI QTEOffsetView(long dh, long dv, QTERecord *record) {
  if (!record) return;
  OffsetRects(record->core, dh, dv);
  // The host moved the pixels: what is on the screen moved with them.
  OffsetRgn(record->highlight[1], dh, dv);
  OffsetRect(&record->caret.box, dh, dv);
  OffsetRect(&record->dragCaret.box, dh, dv);
}

void WINAPI QTESetViewRect(const Rect *rect, QTERecord *record) {
  if (record && rect) record->core.view = ToShort(*rect);
}
void WINAPI QTEGetViewRect(Rect *rect, QTERecord *record) {
  if (rect) *rect = record ? ToRect(record->core.view) : Rect{};
}
void WINAPI QTESetDestRect(const Rect *rect, QTERecord *record) {
  if (record && rect) record->core.dest = LongRect{rect->top, rect->left, rect->bottom, rect->right};
}
void WINAPI QTEGetDestRect(Rect *rect, QTERecord *record) {
  if (rect) *rect = record ? DestRect(record->core.dest) : Rect{};
}
void WINAPI QTEGetDVRects(Rect *dest, Rect *view, QTERecord *record) {
  QTEGetDestRect(dest, record);
  QTEGetViewRect(view, record);
}
void WINAPI QTEGetBounds(Rect *rect, QTERecord *record) {
  if (rect) *rect = record ? ToRect(record->core.bounds) : Rect{};
}

void WINAPI QTESetInfo(short patternIndex, const RGBColor *backColour, const short *margins, short border,
                       Boolean outsideClicks, QTERecord *record) {
  if (!record) return;
  Guarded(Nothing, [&] {
    TextCore &c = record->core;
    int16_t m[4] = {};
    if (margins) std::memcpy(m, margins, sizeof m);
    record->border = border;
    bool thin = m[0] < 1 || m[1] < 1 || m[2] < 1 || m[3] < 1;
    c.flags = border && thin ? c.flags | kFlagCustomMargin : c.flags & ~kFlagCustomMargin;
    c.bounds = c.refView = WidenedBy(c.view, m);
    if (patternIndex == 1) {
      std::memset(c.backPattern, 0, 8);
    } else if (patternIndex == 2) {
      std::memset(c.backPattern, 0xFF, 8);
    } else {
      Pattern pat{};
      ML_GetIndPattern(textState.resourceInstance, &pat, textState.patternListId, patternIndex);
      std::memcpy(c.backPattern, pat.pat, 8);
    }
    if (backColour) {
      c.background = RGB{backColour->red, backColour->green, backColour->blue};
      record->ownBackground = true;
    }
    c.flags = (outsideClicks & 1) ? c.flags | kFlagOutsideClicks : c.flags & ~kFlagOutsideClicks;
    if (outsideClicks & 1) CallControl(record, 1);
    RedrawView(record);
    FinishEdit(record, kEditDone);
  });
}

void WINAPI QTESetBkColor(const RGBColor *colour, QTERecord *record) {
  if (!record || !colour) return;
  record->core.background = RGB{colour->red, colour->green, colour->blue};
  record->ownBackground = true;
}

void WINAPI QTEGetBkColor(RGBColor *colour, QTERecord *record) {
  if (!colour) return;
  RGB c = record ? record->core.background : RGB{};
  *colour = RGBColor{c.red, c.green, c.blue};
}

void WINAPI QTESetVertJust(short just, QTERecord *record) {
  if (!record || record->core.vertJust == static_cast<uint16_t>(just)) return;
  Guarded(Nothing, [&] {
    record->core.vertJust = static_cast<uint16_t>(just);
    HideSelection(record);
    Relayout(record);
    RedrawView(record);
  });
}

short WINAPI QTEGetVertJust(QTERecord *record) { return record ? static_cast<short>(record->core.vertJust) : 0; }

void WINAPI QTERecalBounds(Boolean fitWidth, Boolean fitHeight, Boolean noWrap, Boolean bottomLimit,
                           QTERecord *record) {
  if (!record) return;
  Guarded(Nothing, [&] {
    TextCore &c = record->core;
    uint16_t previous = c.layoutFlags;
    c.layoutFlags = static_cast<uint16_t>((noWrap ? 1 : 0) | (bottomLimit ? 2 : 0) | (fitWidth ? 4 : 0) |
                                          (fitHeight ? 8 : 0));
    try {
      Relayout(record);
    } catch (...) {
      c.layoutFlags = previous;
      throw;
    }
    c.layoutFlags = previous;
    int32_t n = c.lines.Count();
    int32_t w = WidestLine(c, n - 1, 0);
    int32_t h = LineHeightSum(c, n - 1, 0, false);
    // The justification of the whole text, or none when paragraphs differ.
    int32_t just = c.paraRuns.Count() ? c.paras.Get(c.paraRuns[0].index).just : 0;
    for (size_t i = 1; i < c.paraRuns.Count(); ++i)
      if (c.paras.Get(c.paraRuns[i].index).just != just) just = -2;
    int16_t margins[4] = {S16(c.view.left - c.bounds.left), S16(c.view.top - c.bounds.top),
                          S16(c.bounds.right - c.view.right), S16(c.bounds.bottom - c.view.bottom)};
    c.dest = c.refDest = FitDestination(c.dest, w, h, just, fitWidth != 0, fitHeight != 0);
    // The view is 16-bit: its bottom stays at most 32767 however tall the text.
    c.view = ShortRect{S16(c.dest.left), S16(c.dest.top), S16(c.dest.right), S16(c.dest.bottom)};
    c.bounds = c.refView = WidenedBy(c.view, margins);
  });
}

long WINAPI QTEGetBaseline(long line, QTERecord *record) {
  if (!record || record->core.lines.Count() == 0) return 0;
  const LineTable &t = record->core.lines;
  long l = std::clamp<long>(line, 0, t.Count() - 1);
  const LineRecord &r = t.lines[static_cast<size_t>(l)];
  return t.origin + r.top + r.ascent;
}

void WINAPI QTEDragEnter(Point point, QTERecord *record) {
  if (record) Guarded(Nothing, [&] { DragAt(record, point); });
}
void WINAPI QTEDragWithin(Point point, QTERecord *record) {
  if (record) Guarded(Nothing, [&] { DragAt(record, point); });
}
void WINAPI QTEDragLeave(QTERecord *record) {
  if (!record) return;
  HideDragCaret(record);
  record->dragOffset = -1;
  record->dragCaret.box = RECT{};
  record->core.flags &= ~kFlagDragInside;
}
void WINAPI QTEDoShowDragCaret(QTERecord *record) {
  if (record) ShowDragCaret(record);
}
void WINAPI QTEDoHideDragCaret(QTERecord *record) {
  if (record) HideDragCaret(record);
}
long WINAPI QTEDoGetDragPosition(QTERecord *record) { return record ? record->dragOffset : -1; }
