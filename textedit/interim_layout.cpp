// INTERIM (removed when the line builder is merged): one line per paragraph, heights from
// the style table, so the core's edits can be exercised before the real layout exists.
#include "textedit/layout.h"

namespace tstools::text {

int32_t LineTable::Find(int32_t p) const {
  int32_t lo = 0, hi = Count();
  while (hi - lo > 1) {
    int32_t mid = (lo + hi) / 2;
    (lines[size_t(mid)].start <= p ? lo : hi) = mid;
  }
  return lo;
}

void LayoutAll(TextCore &core, const TextEnv &, LayoutHost *) {
  core.lines.lines.clear();
  int32_t len = core.Length(), top = 0, p = 0;
  for (;;) {
    LineRecord l;
    l.start = p;
    l.top = top;
    const StyleHeights &h = core.styles[size_t(core.styleRuns.IndexAt(p))].extra;
    l.ascent = int16_t(RoundFixed(h.ascent));
    l.height = l.drawHeight = int16_t(RoundFixed(h.descentLeading) + l.ascent);
    if (p == len && len > 0) l.width = kEmptyLineWidth;
    core.lines.lines.push_back(l);
    top += l.height;
    if (p >= len) break;
    p = core.ParagraphEnd(p);
    core.lines.lines.back().flags = core.Bytes()[p - 1] == '\r' ? kLineEndsParagraph : 0;
    if (p == len && core.Bytes()[len - 1] != '\r') break;
  }
  core.lines.textLength = len;
  core.firstChanged = 0;
  core.lastChanged = core.lines.Count() - 1;
  core.dest.bottom = core.dest.top + top;
}

void Relayout(TextCore &core, const TextEnv &env, LayoutHost *host, int32_t, int32_t, int32_t) {
  LayoutAll(core, env, host);
}

StyleHeights MeasureHeights(const TextStyle &, const TextEnv &) { return {}; }

}  // namespace tstools::text
