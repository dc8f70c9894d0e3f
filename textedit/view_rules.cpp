#include "textedit/view_rules.h"

#include <algorithm>

namespace tstools::text {
namespace {

int16_t Short(int64_t v) { return static_cast<int16_t>(std::clamp<int64_t>(v, INT16_MIN, INT16_MAX)); }
int32_t Long(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

ScrollStep AutoViewStep(const PixelRect &sel, const ShortRect &view) {
  ScrollStep s;
  if (sel.top < view.top) {
    s.dv = view.top - sel.top;
  } else if (int64_t(sel.bottom) + 1 > view.bottom) {
    s.dv = -Long(std::min<int64_t>(int64_t(sel.top) - view.top, int64_t(sel.bottom) + 1 - view.bottom));
  } else if (sel.left < view.left) {
    s.dh = view.left - sel.left;
  } else if (sel.right > view.right) {
    s.dh = -(sel.right - view.right);
  }
  return s;
}

ScrollStep PinScroll(int32_t dh, int32_t dv, const LongRect &dest, const ShortRect &view) {
  auto pin = [](int32_t d, int32_t destLow, int32_t destHigh, int32_t viewLow, int32_t viewHigh) -> int32_t {
    if (d < 0) return destHigh > viewHigh ? Long(std::max<int64_t>(d, int64_t(viewHigh) - destHigh)) : 0;
    if (d > 0) return destLow < viewLow ? Long(std::min<int64_t>(d, int64_t(viewLow) - destLow)) : 0;
    return 0;
  };
  return {pin(dh, dest.left, dest.right, view.left, view.right), pin(dv, dest.top, dest.bottom, view.top, view.bottom)};
}

PixelRect SelectionRect(const TextCore &core, const TextEnv &env, int32_t moving, bool atLineEnd) {
  CaretPlace c = PlaceCaret(core, env, moving, atLineEnd);
  return {c.x, c.top, Long(int64_t(c.x) + 1), c.bottom};
}

PixelRect ScrollCallbackRect(const PixelRect &sel, const ShortRect &bounds, bool wholeWidth) {
  PixelRect r;
  r.top = Long(int64_t(sel.top) - 3);
  r.bottom = Long(int64_t(sel.bottom) + 3);
  if (wholeWidth) {
    r.left = bounds.left, r.right = bounds.right;
  } else {
    r.right = sel.right;
    r.left = Long(int64_t(sel.right) - 20);
  }
  r.left = std::min(r.left, 32767), r.top = std::min(r.top, 32767);
  r.right = std::min(r.right, 32767), r.bottom = std::min(r.bottom, 32767);
  return r;
}

void OffsetRects(TextCore &core, int32_t dh, int32_t dv) {
  auto moveLong = [&](LongRect &r) {
    r.left = Long(int64_t(r.left) + dh), r.right = Long(int64_t(r.right) + dh);
    r.top = Long(int64_t(r.top) + dv), r.bottom = Long(int64_t(r.bottom) + dv);
  };
  auto moveShort = [&](ShortRect &r) {
    r.left = Short(int64_t(r.left) + dh), r.right = Short(int64_t(r.right) + dh);
    r.top = Short(int64_t(r.top) + dv), r.bottom = Short(int64_t(r.bottom) + dv);
  };
  moveLong(core.dest);
  moveShort(core.view);
  moveShort(core.refView);
  moveShort(core.bounds);
}

ShortRect WidenedBy(const ShortRect &view, const int16_t margins[4]) {
  return {Short(int64_t(view.left) - margins[0]), Short(int64_t(view.top) - margins[1]),
          Short(int64_t(view.right) + margins[2]), Short(int64_t(view.bottom) + margins[3])};
}

LongRect FitDestination(const LongRect &dest, int32_t w, int32_t h, int32_t just, bool fitWidth, bool fitHeight) {
  LongRect r = dest;
  if (fitWidth) {
    w = std::max(w, 0);
    if (just == -1) {
      r.left = Long(int64_t(r.right) - w);
    } else if (just == 0 || just == 2) {
      r.right = Long(int64_t(r.left) + w);
    } else if (just == 1) {
      int64_t m = int64_t(r.left) + (int64_t(r.right) - r.left) / 2, half = (int64_t(w) + 1) / 2;
      r.left = Long(m - half), r.right = Long(m + half);
    }
  }
  if (fitHeight) r.bottom = Long(int64_t(r.top) + std::max(h, 0));
  return r;
}

int NextClickCount(int lastCount, int32_t lastOffset, uint32_t lastTick, uint32_t doubleTime, uint32_t now,
                   int32_t offset) {
  if (offset != lastOffset || lastCount == 0) return 1;
  // Ticks wrap: compare the time since the last click, not the sums.
  if (now - lastTick > doubleTime) return 1;
  return std::min(lastCount + 1, 5);
}

bool CaretBlinkDue(uint32_t now, uint32_t *lastBlink, uint32_t caretTime) {
  uint32_t last = static_cast<int32_t>(*lastBlink - now) > 0 ? now : *lastBlink;
  if (now - last < caretTime) {
    *lastBlink = last;
    return false;
  }
  *lastBlink = now;
  return true;
}

PixelRect Intersect(const PixelRect &a, const PixelRect &b) {
  PixelRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
  return IsEmpty(r) ? PixelRect{} : r;
}

std::vector<PixelRect> ChangedArea(const TextCore &core, const TextEnv &env, int32_t first, int32_t last,
                                   int32_t from, bool originMoved) {
  std::vector<PixelRect> area;
  int32_t n = core.lines.Count();
  if (n == 0) return area;
  first = std::clamp(first, 0, n - 1);
  last = originMoved ? n - 1 : std::clamp(last, first, n - 1);
  int32_t left = core.dest.left, right = core.dest.right;
  int32_t top = LineTop(core, first);
  int32_t bottom = Long(int64_t(LineTop(core, last)) + core.lines.lines[static_cast<size_t>(last)].height);
  // Below the last line nothing is drawn, but a shorter text must be erased there.
  if (last == n - 1) bottom = std::max(bottom, core.view.bottom + 0);
  const LineRecord &l = core.lines.lines[static_cast<size_t>(first)];
  int32_t lineEnd = first + 1 < n ? core.lines.lines[static_cast<size_t>(first + 1)].start : core.Length();
  if (!originMoved && from >= l.start && from <= lineEnd) {
    int32_t x = PlaceCaret(core, env, from, false).x;
    int32_t firstBottom = Long(int64_t(top) + l.height);
    area.push_back({x, top, right, firstBottom});
    if (bottom > firstBottom) area.push_back({left, firstBottom, right, bottom});
  } else {
    area.push_back({left, top, right, bottom});
  }
  return area;
}

Turn TurnOf(int32_t angle, const ShortRect &view) {
  Turn t;
  int32_t a = ((angle % 3600) + 3600) % 3600;
  if (a % 900) return t;
  t.quarters = a / 900;
  const int32_t l = view.left, top = view.top, w = view.right - view.left, h = view.bottom - view.top;
  switch (t.quarters) {
    case 1: t.m = {0, -1, 1, 0, l - top, top + w + l}; break;          // reads upward
    case 2: t.m = {-1, 0, 0, -1, 2 * l + w, 2 * top + h}; break;       // upside down
    case 3: t.m = {0, 1, -1, 0, l + h + top, top - l}; break;          // reads downward
    default: break;
  }
  return t;
}

namespace {
// The corners of r through the map (a, b, c, d, e, f), put back in order: a quarter turn
// maps rectangle edges onto rectangle edges.
PixelRect MapRect(const PixelRect &r, int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f) {
  int32_t x0 = a * r.left + c * r.top + e, y0 = b * r.left + d * r.top + f;
  int32_t x1 = a * r.right + c * r.bottom + e, y1 = b * r.right + d * r.bottom + f;
  return PixelRect{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
}
}  // namespace

PixelRect Turn::ToPort(const PixelRect &r) const { return MapRect(r, m.a, m.b, m.c, m.d, m.e, m.f); }

PixelRect Turn::ToText(const PixelRect &r) const {
  // The inverse of a quarter turn is its transpose.
  return MapRect(r, m.a, m.c, m.b, m.d, -(m.a * m.e + m.b * m.f), -(m.c * m.e + m.d * m.f));
}

void Turn::PointToText(int32_t *h, int32_t *v) const {
  PixelRect p = ToText(PixelRect{*h, *v, *h + 1, *v + 1});
  *h = p.left, *v = p.top;
}

void Turn::MoveToPort(int32_t *dh, int32_t *dv) const {
  int32_t x = m.a * *dh + m.c * *dv, y = m.b * *dh + m.d * *dv;
  *dh = x, *dv = y;
}

}  // namespace tstools::text
