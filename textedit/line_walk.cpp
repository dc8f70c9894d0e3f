#include "textedit/line_walk.h"

#include <algorithm>
#include <cstring>

#include "textedit/layout.h"
#include "textedit/line_frame.h"

namespace tstools::text {
namespace {

constexpr int64_t kOne = kFixedOne;

int64_t Round64(int64_t fixed) { return (fixed + 0x8000) >> 16; }

int32_t Saturate32(int64_t v) {
  return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int32_t>(v);
}

const TextStyle &StyleOf(const TextCore &core, int32_t p) {
  static const TextStyle plain;
  return core.styleRuns.Count() ? core.StyleAt(p) : plain;
}

int32_t RunEnd(const TextCore &core, int32_t p) {
  if (!core.styleRuns.Count()) return core.Length();
  return std::min(core.Length(), core.styleRuns.End(core.styleRuns.Find(p), core.Length()));
}

// The widths of the style run holding p, copied: the cache's entry lasts only until its next
// lookup.
struct RunWidths {
  int32_t end = -1;
  uint16_t face = 0;
  Fixed widths[256] = {};

  void Load(const TextCore &core, const TextEnv &env, int32_t p) {
    const TextStyle &style = StyleOf(core, p);
    std::memcpy(widths, LayoutMetrics(style, env).widths, sizeof widths);
    face = style.face;
    end = RunEnd(core, p);
  }
  int64_t Width(const TextCore &core, const TextEnv &env, int32_t p) {
    if (p >= end) Load(core, env, p);
    return widths[ShownByte(core, env, core.Bytes()[p], p, face)];
  }
};

// What a right, centre or character stop aligns: the text up to the next tab, return or
// alignChar.
int64_t SegmentWidth(const TextCore &core, const TextEnv &env, int32_t from, int alignChar) {
  RunWidths run;
  int64_t w = 0;
  for (int32_t p = from; p < core.Length(); ++p) {
    uint8_t c = core.Bytes()[p];
    if (c == '\t' || c == '\r' || c == alignChar) break;
    w += run.Width(core, env, p);
  }
  return w;
}

int32_t LineEnd(const TextCore &core, int32_t line) {
  int32_t n = core.lines.Count();
  int32_t end = line + 1 < n ? core.lines.lines[static_cast<size_t>(line + 1)].start : core.Length();
  return std::clamp(end, 0, core.Length());
}

}  // namespace

int32_t LinePositions::PixelAt(int32_t p) const {
  size_t k = static_cast<size_t>(std::clamp(p, start, end) - start);
  return Saturate32(left + Round64(k < x.size() ? x[k] : 0));
}

int32_t LineTop(const TextCore &core, int32_t line) {
  int32_t n = core.lines.Count();
  if (n == 0) return Saturate32(static_cast<int64_t>(core.dest.top) + core.lines.origin);
  const LineRecord &l = core.lines.lines[static_cast<size_t>(std::clamp(line, 0, n - 1))];
  return Saturate32(static_cast<int64_t>(core.dest.top) + core.lines.origin + l.top);
}

Justification JustificationOf(const TextCore &core, const TextEnv &env, int32_t line) {
  Justification j;
  int32_t n = core.lines.Count();
  if (line < 0 || line >= n) return j;
  const LineRecord &l = core.lines.lines[static_cast<size_t>(line)];
  const ParaFormat &pf = LayoutPara(core, l.start);
  if (pf.just != 2 || !(l.flags & kLineWrapped) || (core.layoutFlags & kNoWordWrap)) return j;
  LineFrame f = FrameFor(core, pf, StartsParagraph(core, l.start), false);
  int64_t extra = Round64(f.limit) - LineTable::UsableWidth(l);
  if (extra <= 0) return j;
  const uint8_t *text = core.Bytes();
  j.to = std::min(l.start + std::max<int32_t>(l.visibleCount, 0), LineEnd(core, line));
  j.from = l.start;
  for (int32_t p = l.start; p < j.to; ++p)
    if (text[p] == '\t') j.from = p + 1;
  for (int32_t p = j.from; p < j.to; ++p) j.blanks += text[p] == ' ';
  (void)env;
  if (j.blanks) j.extra = Saturate32(extra);
  return j;
}

LinePositions WalkLine(const TextCore &core, const TextEnv &env, int32_t line) {
  LinePositions lp;
  int32_t n = core.lines.Count();
  lp.left = LineLeft(core, line);
  if (n == 0) {
    lp.x.assign(1, 0);
    return lp;
  }
  line = std::clamp(line, 0, n - 1);
  const LineRecord &l = core.lines.lines[static_cast<size_t>(line)];
  lp.line = line;
  lp.start = std::clamp(l.start, 0, core.Length());
  lp.end = std::max(lp.start, LineEnd(core, line));
  const uint8_t *text = core.Bytes();
  lp.endsInReturn = lp.end > lp.start && text[lp.end - 1] == '\r';
  const ParaFormat &pf = LayoutPara(core, lp.start);
  LineFrame f = FrameFor(core, pf, StartsParagraph(core, lp.start), core.layoutFlags & kNoWordWrap);
  Justification j = JustificationOf(core, env, line);

  lp.x.resize(static_cast<size_t>(lp.end - lp.start) + 1);
  RunWidths run;
  int64_t x = 0;
  int32_t shared = 0;  // blanks that got their share of the justification so far
  for (int32_t p = lp.start; p < lp.end; ++p) {
    lp.x[static_cast<size_t>(p - lp.start)] = x;
    uint8_t c = text[p];
    if (c == '\r') continue;
    if (c == '\t') {
      TabTarget tab = ChooseTab(pf, f, x, env.tabInterval);
      int64_t advance = TabAdvance(tab, f, x, tab.kind ? SegmentWidth(core, env, p + 1, tab.alignChar) : 0);
      if (x + advance > f.limit) advance = std::max<int64_t>(f.limit - x, 0);
      x += advance;
      continue;
    }
    x += run.Width(core, env, p);
    if (c == ' ' && j.blanks && p >= j.from && p < j.to) {
      // The device spreads the remainder one pixel each over the first blanks.
      x += (j.extra / j.blanks + (shared < j.extra % j.blanks ? 1 : 0)) * kOne;
      ++shared;
    }
  }
  lp.x.back() = x;
  return lp;
}

Hit HitTest(const TextCore &core, const TextEnv &env, int32_t h, int32_t v) {
  Hit hit;
  int32_t n = core.lines.Count();
  if (n == 0 || v < core.dest.top) return hit;
  if (v >= core.dest.bottom) {
    hit.offset = core.Length();
    hit.line = n - 1;
    return hit;
  }
  int64_t rel = static_cast<int64_t>(v) - core.dest.top - core.lines.origin;
  const auto &lines = core.lines.lines;
  auto it = std::upper_bound(lines.begin(), lines.end(), rel,
                             [](int64_t value, const LineRecord &l) { return value < l.top; });
  int32_t line = it == lines.begin() ? 0 : static_cast<int32_t>(it - lines.begin()) - 1;
  return HitInLine(core, env, line, h);
}

Hit HitInLine(const TextCore &core, const TextEnv &env, int32_t line, int32_t h) {
  Hit hit;
  int32_t n = core.lines.Count();
  if (n == 0) return hit;
  LinePositions lp = WalkLine(core, env, line);
  int64_t target = (static_cast<int64_t>(h) - lp.left) * kOne;
  int32_t last = lp.endsInReturn ? lp.end - 1 : lp.end;
  int32_t offset = lp.start;
  while (offset < last) {
    int64_t leftEdge = lp.x[static_cast<size_t>(offset - lp.start)];
    int64_t rightEdge = lp.x[static_cast<size_t>(offset - lp.start) + 1];
    if (target - leftEdge <= rightEdge - target) break;  // nearer its left edge
    ++offset;
  }
  hit.offset = offset;
  hit.line = lp.line;
  hit.lineEnd = offset == lp.end && lp.line + 1 < n && !lp.endsInReturn;
  return hit;
}

CaretPlace PlaceCaret(const TextCore &core, const TextEnv &env, int32_t offset, bool atLineEnd) {
  CaretPlace place;
  offset = std::clamp(offset, 0, core.Length());
  int32_t line = core.lines.Find(offset);
  int32_t n = core.lines.Count();
  if (atLineEnd && line > 0 && line < n && core.lines.lines[static_cast<size_t>(line)].start == offset &&
      core.Bytes()[offset - 1] != '\r')
    --line;
  LinePositions lp = WalkLine(core, env, line);
  place.line = lp.line;
  place.x = lp.PixelAt(offset);
  place.top = LineTop(core, lp.line);
  int32_t height = n ? core.lines.lines[static_cast<size_t>(lp.line)].height : 0;
  place.bottom = Saturate32(static_cast<int64_t>(place.top) + height);
  return place;
}

std::vector<PixelRect> HighlightRects(const TextCore &core, const TextEnv &env, int32_t start, int32_t end) {
  std::vector<PixelRect> rects;
  start = std::clamp(start, 0, core.Length());
  end = std::clamp(end, 0, core.Length());
  if (start >= end || core.lines.Count() == 0) return rects;
  CaretPlace a = PlaceCaret(core, env, start, false);
  CaretPlace b = PlaceCaret(core, env, end, true);
  if (a.line == b.line) {
    rects.push_back({a.x, a.top, b.x, a.bottom});
    return rects;
  }
  int32_t right = core.dest.right, left = core.dest.left;
  rects.push_back({a.x, a.top, right, a.bottom});
  if (b.top > a.bottom) rects.push_back({left, a.bottom, right, b.top});
  // An end just after a return closes its line: nothing of the end's own line is selected.
  if (core.lines.lines[static_cast<size_t>(b.line)].start == end) return rects;
  rects.push_back({left, b.top, b.x, b.bottom});
  return rects;
}

}  // namespace tstools::text
