// Where a line's characters go horizontally: its frame (start and width limit) and the tab
// rules. Shared by the line builder and by everything that walks a built line (hit testing,
// carets, highlight, drawing), so that both place every tab alike. Portable.
#pragma once

#include <cstdint>

#include "textedit/metric_cache.h"
#include "textedit/text_core.h"

namespace tstools::text {

// The horizontal frame of a line, in Fixed pixels from the destination's left edge.
struct LineFrame {
  bool first = false;     // first line of its paragraph
  int64_t indent = 0;     // the line's start
  int64_t limit = 0;      // widest the line's characters may be
  int64_t rightEdge = 0;  // stops past it are not used
};

LineFrame FrameFor(const TextCore &core, const ParaFormat &pf, bool first, bool noWrap);

// The metrics a style lays out with: the metric cache's, or widths of 1.0 when the engine has
// no measuring port. Valid until the next lookup.
const StyleMetrics &LayoutMetrics(const TextStyle &style, const TextEnv &env);
// The byte a style shows for c at p (title case looks at the byte before).
uint8_t ShownByte(const TextCore &core, const TextEnv &env, uint8_t c, int32_t p, uint16_t face);
// The paragraph format at p (the default one when the record has no paragraph runs).
const ParaFormat &LayoutPara(const TextCore &core, int32_t p);
inline bool StartsParagraph(const TextCore &core, int32_t p) { return p == 0 || core.Bytes()[p - 1] == '\r'; }

// The stop a tab at x (from the line's start) goes to.
struct TabTarget {
  int64_t at = 0;  // the stop, from the destination's left edge
  int kind = 0;    // 0 left, 1 right, 2 centre, 3 on alignChar
  int alignChar = -1;
  int leader = 0;  // the stop's leader character, 0 for none
  bool paragraphStop = false;
};
TabTarget ChooseTab(const ParaFormat &pf, const LineFrame &f, int64_t x, Fixed tabInterval);

// The tab's advance; segment is the width of the text it aligns (to the next tab, return or
// alignChar), used by right, centre and character stops only. Never negative.
int64_t TabAdvance(const TabTarget &t, const LineFrame &f, int64_t x, int64_t segment);

}  // namespace tstools::text
