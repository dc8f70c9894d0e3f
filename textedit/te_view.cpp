// The record on the screen: lines, marks, scrolling.
#include "textedit/te_view.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "quickdraw/drawing_state.h"
#include "textedit/layout.h"
#include "textedit/line_frame.h"
#include "tstools/quickdraw.h"
#include "tstools/shapes.h"
#include "tstools/text_measure.h"
#include "tstools/ticks.h"

namespace tstools::text {
namespace {

short S16(int64_t v) { return static_cast<short>(std::clamp<int64_t>(v, -32767, 32767)); }
Rect ToRect(const RECT &r) { return Rect{S16(r.left), S16(r.top), S16(r.right), S16(r.bottom)}; }
RECT ToRECT(const PixelRect &p) { return RECT{p.left, p.top, p.right, p.bottom}; }
PixelRect ToPixel(const RECT &r) { return PixelRect{r.left, r.top, r.right, r.bottom}; }
// A text-coordinate box as the port shows it.
RECT OnPort(const QTERecord *r, const RECT &box) { return ToRECT(TurnFor(r).ToPort(ToPixel(box))); }
bool Empty(const RECT &r) { return r.right <= r.left || r.bottom <= r.top; }

RECT Cut(const RECT &a, const RECT &b) {
  RECT o{};
  if (!IntersectRect(&o, &a, &b)) o = RECT{};
  return o;
}

RECT ViewRECT(const QTERecord *r) { return RECT{r->core.view.left, r->core.view.top, r->core.view.right, r->core.view.bottom}; }

// The port's drawing state the engine touches, put back on every way out.
class PortScope {
 public:
  explicit PortScope(GrafPort *port) : port_(port), font_(port->txFont), face_(port->txFace), size_(port->txSize),
                                       mode_(port->txMode), bkPat_(port->bkPat) {
    ML_GetPenState(port, &pen_);
    ML_GetForeColor(port, &fore_);
    ML_GetBackColor(port, &back_);
  }
  ~PortScope() {
    ML_TextFont(port_, font_);
    ML_TextFace(port_, face_);
    ML_TextSize(port_, size_);
    ML_TextMode(port_, mode_);
    ML_SetPenState(port_, &pen_);
    ML_RGBForeColor(port_, &fore_);
    ML_RGBBackColor(port_, &back_);
    ML_BackPat(port_, &bkPat_);
  }
  PortScope(const PortScope &) = delete;
  PortScope &operator=(const PortScope &) = delete;

 private:
  GrafPort *port_;
  short font_;
  unsigned char face_;
  short size_, mode_;
  Pattern bkPat_;
  PenState pen_{};
  RGBColor fore_{}, back_{};
};

// Narrows the port clip to a box for the scope, then puts the previous clip back.
class ClipScope {
 public:
  ClipScope(GrafPort *port, const RECT &box) : port_(port), saved_(NewRgn()) {
    RgnHandle narrowed = NewRgn();
    if (saved_ && narrowed) {
      ML_GetClip(port, saved_);
      Rect r = ToRect(box);
      RectRgn(narrowed, &r);
      SectRgn(saved_, narrowed, narrowed);
      ML_SetClip(port, narrowed);
    }
    if (narrowed) DisposeRgn(narrowed);
  }
  ~ClipScope() {
    if (!saved_) return;
    ML_SetClip(port_, saved_);
    DisposeRgn(saved_);
  }
  ClipScope(const ClipScope &) = delete;
  ClipScope &operator=(const ClipScope &) = delete;

 private:
  GrafPort *port_;
  RgnHandle saved_;
};

// A turned record's lines are drawn in the text's coordinates through the device's world
// transform; marks and clips are placed on the port directly.
class TurnScope {
 public:
  TurnScope(HDC dc, const Turn &turn) : dc_(turn.quarters ? dc : nullptr) {
    if (!dc_) return;
    mode_ = SetGraphicsMode(dc_, GM_ADVANCED);
    XFORM x{FLOAT(turn.m.a), FLOAT(turn.m.b), FLOAT(turn.m.c), FLOAT(turn.m.d), FLOAT(turn.m.e), FLOAT(turn.m.f)};
    SetWorldTransform(dc_, &x);
  }
  ~TurnScope() {
    if (!dc_) return;
    ModifyWorldTransform(dc_, nullptr, MWT_IDENTITY);
    SetGraphicsMode(dc_, mode_);
  }
  TurnScope(const TurnScope &) = delete;
  TurnScope &operator=(const TurnScope &) = delete;

 private:
  HDC dc_;
  int mode_ = GM_COMPATIBLE;
};

// Exclusive-or of a box: the caret's pen (black, or the inactive grey).
void XorBox(GrafPort *port, const RECT &box, bool grey) {
  if (Empty(box)) return;
  PenState pen{};
  ML_GetPenState(port, &pen);
  ML_PenNormal(port);
  if (grey) {
    Pattern g{{0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55}};
    ML_PenPat(port, &g);
  }
  ML_PenMode(port, patXor);
  Rect r = ToRect(box);
  ML_PaintRect(port, &r);
  ML_SetPenState(port, &pen);
}

// Inverts rgn, or only its part inside clip when clip is given.
void InvertPart(GrafPort *port, HRGN rgn, const RECT *clip) {
  if (!clip) {
    ML_InvertRgn(port, rgn);
    return;
  }
  HRGN part = CreateRectRgnIndirect(clip);
  if (!part) return;
  CombineRgn(part, part, rgn, RGN_AND);
  ML_InvertRgn(port, part);
  DeleteObject(part);
}

// The highlight of the selection, cut to the view, into rgn.
void BuildHighlight(QTERecord *r, HRGN rgn, bool outline) {
  TextCore &c = r->core;
  SetRectRgn(rgn, 0, 0, 0, 0);
  TextEnv env = EnvFor(r);
  RECT view = ViewRECT(r);
  for (const PixelRect &p : HighlightRects(c, env, c.selStart, c.selEnd)) {
    RECT box = OnPort(r, Cut(ToRECT(p), view));
    if (Empty(box)) continue;
    HRGN one = CreateRectRgnIndirect(&box);
    if (!one) continue;
    CombineRgn(rgn, rgn, one, RGN_OR);
    DeleteObject(one);
  }
  if (!outline) return;
  // The outline: the area minus the area shrunk by one pixel on every side.
  HRGN inner = CreateRectRgn(0, 0, 0, 0), moved = CreateRectRgn(0, 0, 0, 0);
  if (inner && moved) {
    CombineRgn(inner, rgn, nullptr, RGN_COPY);
    const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (const auto &s : steps) {
      CombineRgn(moved, rgn, nullptr, RGN_COPY);
      OffsetRgn(moved, s[0], s[1]);
      CombineRgn(inner, inner, moved, RGN_AND);
    }
    CombineRgn(rgn, rgn, inner, RGN_DIFF);
  }
  if (inner) DeleteObject(inner);
  if (moved) DeleteObject(moved);
}

bool RegionEmpty(HRGN rgn) {
  RECT box{};
  return GetRgnBox(rgn, &box) == NULLREGION;
}

RECT CaretBox(QTERecord *r, int32_t offset, bool atLineEnd, int width) {
  TextEnv env = EnvFor(r);
  CaretPlace place = PlaceCaret(r->core, env, offset, atLineEnd);
  RECT box{place.x, place.top, place.x + width, place.bottom};
  RECT view = ViewRECT(r);
  // Shown only while it lies vertically within the view; cut at its sides.
  if (box.top < view.top || box.bottom > view.bottom) return RECT{};
  return OnPort(r, Cut(box, view));
}

// The colours a run is drawn in: its own colour, or with classic colours (ML_QTEInit's flag
// byte zero) the nearest of the eight on white. Text is drawn in srcOr, so a white run
// paints exactly what srcBic over the white background would.
void RunColour(GrafPort *port, const TextStyle &style, bool classic) {
  RGBColor c{style.color.red, style.color.green, style.color.blue};
  long nearest = qd::ClassicConstant(qd::QdColor{c.red, c.green, c.blue});
  if (classic) {
    ML_ForeColor(port, nearest);
    ML_BackColor(port, whiteColor);
    return;
  }
  ML_RGBForeColor(port, &c);
  ML_BackColor(port, nearest == blackColor ? whiteColor : blackColor);
}

// Draws bytes [p, q) of one style at x on a line.
void DrawPiece(GrafPort *port, const QTERecord *r, int32_t p, int32_t q, int32_t x, int32_t top, int16_t ascent) {
  const TextCore &c = r->core;
  const TextStyle &style = c.StyleAt(p);
  ML_TextFont(port, style.font);
  ML_TextSize(port, style.size);
  RunColour(port, style, r->measuringFlags == 0);
  unsigned short face = style.face;
  unsigned char str[256];
  while (p < q) {
    int n = std::min<int32_t>(q - p, 255);
    str[0] = static_cast<unsigned char>(n);
    std::memcpy(str + 1, c.Bytes() + p, static_cast<size_t>(n));
    Rect box{S16(x), S16(top), 32767, S16(int64_t(top) + ascent + 64)};
    VTBDrawStringPtr(str, &box, 0, 0, ascent, &face, 0, 0, 0, 0);
    // A long piece goes on where the first part ended, measured by the drawer's own widths.
    x += VTBTextWidth(reinterpret_cast<const char *>(c.Bytes()), p, n, &face);
    p += n;
  }
}

void DrawLine(QTERecord *r, GrafPort *port, int32_t line) {
  TextCore &c = r->core;
  TextEnv env = EnvFor(r);
  LinePositions lp = WalkLine(c, env, line);
  const LineRecord &l = c.lines.lines[static_cast<size_t>(lp.line)];
  int32_t top = LineTop(c, lp.line);
  Justification j = JustificationOf(c, env, lp.line);
  const uint8_t *text = c.Bytes();
  const ParaFormat &pf = LayoutPara(c, lp.start);
  LineFrame frame = FrameFor(c, pf, StartsParagraph(c, lp.start), c.layoutFlags & kNoWordWrap);
  int32_t p = lp.start;
  while (p < lp.end) {
    uint8_t ch = text[p];
    if (ch == '\r') {
      ++p;
      continue;
    }
    if (ch == '\t') {
      size_t k = static_cast<size_t>(p - lp.start);
      TabTarget tab = ChooseTab(pf, frame, lp.x[k], env.tabInterval);
      if (tab.leader > 0 && tab.leader < 256) {
        // The gap filled with whole copies of the leader, in the tab's style.
        const TextStyle &s = c.StyleAt(p);
        Fixed w = LayoutMetrics(s, env).widths[tab.leader];
        int64_t advance = lp.x[k + 1] - lp.x[k];
        int64_t copies = w > 0 ? advance / w : 0;
        uint8_t fill[32];
        std::memset(fill, tab.leader, sizeof fill);
        int64_t x = lp.x[k];
        ML_TextFont(port, s.font);
        ML_TextSize(port, s.size);
        RunColour(port, s, r->measuringFlags == 0);
        unsigned short face = s.face;
        for (int64_t done = 0; done < copies; done += 32) {
          int n = static_cast<int>(std::min<int64_t>(32, copies - done));
          unsigned char str[33];
          str[0] = static_cast<unsigned char>(n);
          std::memcpy(str + 1, fill, static_cast<size_t>(n));
          int32_t px = lp.left + static_cast<int32_t>((x + 0x8000) >> 16);
          Rect box{S16(px), S16(top), 32767, S16(int64_t(top) + l.ascent + 64)};
          VTBDrawStringPtr(str, &box, 0, 0, l.ascent, &face, 0, 0, 0, 0);
          x += int64_t(n) * w;
        }
      }
      ++p;
      continue;
    }
    int32_t runEnd = std::min(lp.end, c.styleRuns.End(c.styleRuns.Find(p), c.Length()));
    int32_t q = p;
    // A justified line is drawn word by word at the walk's positions, so that every blank
    // gets exactly the share hit testing gives it.
    while (q < runEnd && text[q] != '\t' && text[q] != '\r') {
      ++q;
      if (j.blanks && text[q - 1] == ' ' && q - 1 >= j.from && q - 1 < j.to) break;
    }
    DrawPiece(port, r, p, q, lp.PixelAt(p), top, l.ascent);
    p = q;
  }
}

void EraseArea(QTERecord *r, GrafPort *port, const RECT &box) {
  if (r->ownBackground) {
    RGBColor b{r->core.background.red, r->core.background.green, r->core.background.blue};
    ML_RGBBackColor(port, &b);
  }
  Pattern pat;
  std::memcpy(pat.pat, r->core.backPattern, 8);
  ML_BackPat(port, &pat);
  Rect rr = ToRect(box);
  ML_EraseRect(port, &rr);
}

}  // namespace

Turn TurnFor(const QTERecord *r) { return TurnOf(r->core.angle, r->core.view); }

GrafPort *DrawPort(QTERecord *r) {
  if (!r || !(r->core.flags & kFlagDrawing) || !r->measuringPort) return nullptr;
  GrafPort *port = *r->measuringPort;
  return port && port->dc ? port : nullptr;
}

PixelRect ViewOf(const QTERecord *r) {
  return PixelRect{r->core.view.left, r->core.view.top, r->core.view.right, r->core.view.bottom};
}

void HideSelection(QTERecord *r) {
  r->previousSelection = Range{};
  GrafPort *port = DrawPort(r);
  if (!port) return;
  TextCore &c = r->core;
  if (c.flags & kFlagCaretShown) XorBox(port, r->caret.box, r->caret.grey);
  c.flags &= ~kFlagCaretShown;
  if (!RegionEmpty(r->highlight[1])) ML_InvertRgn(port, r->highlight[1]);
  SetRectRgn(r->highlight[1], 0, 0, 0, 0);
}

void ShowSelection(QTERecord *r) {
  GrafPort *port = DrawPort(r);
  if (!port) return;
  TextCore &c = r->core;
  bool active = c.flags & kFlagActive, kept = c.flags & kFlagKeepHighlight;
  if (c.selStart == c.selEnd) {
    // Inactive, a kept selection shows a grey caret that does not blink.
    if ((!active && !kept) || (c.flags & kFlagCaretShown)) return;
    r->caret.box = CaretBox(r, c.selStart, c.flags & kFlagCaretAtLineEnd, 1);
    r->caret.grey = !active;
    XorBox(port, r->caret.box, r->caret.grey);
    c.flags |= kFlagCaretShown;
    r->blinkTick = static_cast<uint32_t>(TickCount());
    return;
  }
  if (!active && !kept) return;
  if (!RegionEmpty(r->highlight[1])) return;  // already up
  r->highlightFramed = !active;
  BuildHighlight(r, r->highlight[1], !active);
  ML_InvertRgn(port, r->highlight[1]);
}

void ChangeSelection(QTERecord *r, int32_t start, int32_t end, bool movingStart, bool atLineEnd) {
  TextCore &c = r->core;
  start = std::clamp(start, 0, c.Length());
  end = std::clamp(end, 0, c.Length());
  if (start > end) std::swap(start, end);
  GrafPort *port = DrawPort(r);
  bool active = c.flags & kFlagActive;
  bool wasRange = c.selStart < c.selEnd;
  auto store = [&] {
    c.selStart = start, c.selEnd = end;
    c.flags = start < end ? c.flags | kFlagSelection : c.flags & ~kFlagSelection;
    c.flags = movingStart ? c.flags | kFlagMovingStart : c.flags & ~kFlagMovingStart;
    c.flags = atLineEnd ? c.flags | kFlagCaretAtLineEnd : c.flags & ~kFlagCaretAtLineEnd;
  };
  if (port && active && wasRange && start < end && !RegionEmpty(r->highlight[1]) && !r->highlightFramed) {
    // Only the difference between the old and the new highlight changes on the screen.
    r->previousSelection = Range{c.selStart, c.selEnd};
    store();
    HRGN next = r->highlight[0];
    BuildHighlight(r, next, false);
    CombineRgn(r->highlight[2], r->highlight[1], next, RGN_XOR);
    ML_InvertRgn(port, r->highlight[2]);
    CombineRgn(r->highlight[1], next, nullptr, RGN_COPY);
    return;
  }
  HideSelection(r);
  store();
  ShowSelection(r);
}

void DrawArea(QTERecord *r, const PixelRect &area) {
  GrafPort *port = DrawPort(r);
  if (!port) return;
  RECT box = Cut(ToRECT(area), ViewRECT(r));
  if (Empty(box)) return;
  TextCore &c = r->core;
  RECT onPort = OnPort(r, box);
  {
    PortScope state(port);
    ClipScope clip(port, onPort);
    TurnScope turn(port->dc, TurnFor(r));
    GrafPort **savedPort = textState.measuringPort;
    textState.measuringPort = r->measuringPort;  // the line drawer draws on the record's port
    EraseArea(r, port, box);
    int32_t n = c.lines.Count();
    for (int32_t line = 0; line < n; ++line) {
      const LineRecord &l = c.lines.lines[static_cast<size_t>(line)];
      int64_t top = LineTop(c, line);
      int64_t bottom = top + std::max(l.height, l.drawHeight);
      if (bottom <= box.top) continue;
      if (top >= box.bottom) break;
      DrawLine(r, port, line);
    }
    textState.measuringPort = savedPort;
  }
  // The erase took the marks inside the box away: put them back there.
  if (c.flags & kFlagCaretShown) XorBox(port, Cut(r->caret.box, onPort), r->caret.grey);
  if (c.flags & kFlagDragCaret) XorBox(port, Cut(r->dragCaret.box, onPort), false);
  if (!RegionEmpty(r->highlight[1])) InvertPart(port, r->highlight[1], &onPort);
}

void RedrawChanged(QTERecord *r, int32_t from, int32_t oldLines, int32_t oldBottom) {
  if (!DrawPort(r)) return;
  TextCore &c = r->core;
  TextEnv env = EnvFor(r);
  bool originMoved = c.flags & kFlagOriginChanged;
  for (PixelRect p : ChangedArea(c, env, c.firstChanged, c.lastChanged, from, originMoved)) {
    // Glyphs reach past their advance (a j's tail under the letter before, italics): the area
    // starts a little left of the change, and the whole line is drawn again inside it.
    p.left -= std::max<int32_t>(2, (p.bottom - p.top) / 3);
    DrawArea(r, p);
  }
  if (c.lines.Count() != oldLines || c.dest.bottom != oldBottom) {
    // Lines came or went: everything below the first changed line moved.
    int32_t top = LineTop(c, std::min(c.firstChanged, std::max(c.lines.Count() - 1, 0)));
    DrawArea(r, PixelRect{c.view.left, top, c.view.right, c.view.bottom});
  }
}

void ScrollBy(QTERecord *r, int32_t dh, int32_t dv) {
  if (!dh && !dv) return;
  TextCore &c = r->core;
  GrafPort *port = DrawPort(r);
  HideSelection(r);
  HideDragCaret(r);
  c.dest.left += dh, c.dest.right += dh, c.dest.top += dv, c.dest.bottom += dv;
  if (port) {
    PixelRect v = ViewOf(r);
    int32_t w = v.right - v.left, h = v.bottom - v.top;
    if (std::abs(dh) < w && std::abs(dv) < h) {
      Rect vr = ToRect(OnPort(r, ViewRECT(r)));
      int32_t moveH = dh, moveV = dv;
      TurnFor(r).MoveToPort(&moveH, &moveV);
      RgnHandle uncovered = NewRgn();
      {
        PortScope state(port);
        ML_ScrollRect(port, &vr, S16(moveH), S16(moveV), uncovered);
      }
      if (uncovered) DisposeRgn(uncovered);
      if (dv > 0) DrawArea(r, {v.left, v.top, v.right, v.top + dv});
      if (dv < 0) DrawArea(r, {v.left, v.bottom + dv, v.right, v.bottom});
      if (dh > 0) DrawArea(r, {v.left, v.top, v.left + dh, v.bottom});
      if (dh < 0) DrawArea(r, {v.right + dh, v.top, v.right, v.bottom});
    } else {
      DrawArea(r, v);
    }
  }
  ShowSelection(r);
  ShowDragCaret(r);
}

void FollowSelection(QTERecord *r) {
  TextCore &c = r->core;
  if (!(c.flags & kFlagAutoView) || !DrawPort(r)) return;
  TextEnv env = EnvFor(r);
  int32_t moving = c.flags & kFlagMovingStart ? c.selStart : c.selEnd;
  PixelRect sel = SelectionRect(c, env, moving, c.flags & kFlagCaretAtLineEnd);
  ScrollStep step = AutoViewStep(sel, c.view);
  if (step.Any()) ScrollBy(r, step.dh, step.dv);
}

void CallScrollProc(QTERecord *r, bool wholeWidth) {
  if (!r->scrollProc) return;
  TextCore &c = r->core;
  TextEnv env = EnvFor(r);
  int32_t moving = c.flags & kFlagMovingStart ? c.selStart : c.selEnd;
  PixelRect p = ScrollCallbackRect(SelectionRect(c, env, moving, c.flags & kFlagCaretAtLineEnd), c.bounds, wholeWidth);
  p = TurnFor(r).ToPort(p);
  Rect rect{S16(p.left), S16(p.top), S16(p.right), S16(p.bottom)};
  r->scrollProc(&rect, r);
}

void CallControl(QTERecord *r, short code) {
  if (r->cntrlProc) r->cntrlProc(code, r);
}

void ShowDragCaret(QTERecord *r) {
  TextCore &c = r->core;
  GrafPort *port = DrawPort(r);
  if (!port || r->dragOffset < 0 || (c.flags & kFlagDragCaret)) return;
  r->dragCaret.box = CaretBox(r, r->dragOffset, false, 2);
  XorBox(port, r->dragCaret.box, false);
  c.flags |= kFlagDragCaret;
}

void HideDragCaret(QTERecord *r) {
  TextCore &c = r->core;
  GrafPort *port = DrawPort(r);
  if (!port || !(c.flags & kFlagDragCaret)) return;
  XorBox(port, r->dragCaret.box, false);
  c.flags &= ~kFlagDragCaret;
}

}  // namespace tstools::text
