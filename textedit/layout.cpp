// The line builder, incremental relayout and the steps after each layout. All widths are
// Fixed and summed in 64 bits (hanging blanks may run far past any line); what the line table
// stores is clamped to its fields.
#include "textedit/layout.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "textedit/line_frame.h"
#include "textedit/spacing_units.h"

namespace tstools::text {
namespace {

constexpr int64_t kOne = kFixedOne;

int32_t Saturate32(int64_t v) {
  return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int32_t>(v);
}
int16_t Saturate16(int64_t v) {
  return v > INT16_MAX ? INT16_MAX : v < INT16_MIN ? INT16_MIN : static_cast<int16_t>(v);
}
int64_t Round64(int64_t fixed) { return (fixed + 0x8000) >> 16; }
int64_t FloorDiv(int64_t a, int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

const CaseTables &NoCases() {
  static const CaseTables tables;
  return tables;
}

// What layout measures with when the engine has no measuring port: widths of 1.0 and no
// height, so every offset still has a line.
const StyleMetrics &Unmeasured() {
  static const StyleMetrics m = [] {
    StyleMetrics s;
    for (Fixed &w : s.widths) w = kFixedOne;
    return s;
  }();
  return m;
}

const StyleMetrics &MetricsOf(const TextStyle &style, const TextEnv &env) {
  if (!env.measurer || !env.cache) return Unmeasured();
  return env.cache->Lookup(style, *env.measurer, env.cases ? *env.cases : NoCases(),
                           env.ticks ? env.ticks() : 0);
}

const ParaFormat &ParaOf(const TextCore &core, int32_t p) {
  static const ParaFormat plain;
  return core.paraRuns.Count() ? core.ParaAt(p) : plain;
}

int TabCount(const ParaFormat &pf) { return std::clamp<int>(pf.tabCount, 0, kMaxTabs); }

class LineBuilder {
 public:
  LineBuilder(const TextCore &core, const TextEnv &env)
      : core_(core), env_(env), cases_(env.cases ? *env.cases : NoCases()), text_(core.Bytes()),
        length_(core.Length()), noWrap_(core.layoutFlags & kNoWordWrap) {}

  // The line starting at s (s < length); *next receives the start of the following line.
  LineRecord Build(int32_t s, int32_t top, int32_t *next);
  // The empty line at s (after a final return, or of an empty text).
  LineRecord Empty(int32_t s, int32_t top, uint16_t width);

 private:
  struct RunHeights {
    int32_t from;
    Fixed ascent, descentLeading;
  };
  uint8_t Shown(uint8_t c, int32_t p, uint16_t face) const {
    return (face & kTitleCase) == kTitleCase ? cases_.ToTitle(c, p > 0 ? text_[p - 1] : 0) : c;
  }
  const TextStyle &StyleAt(int32_t p) const {
    static const TextStyle plain;
    return core_.styleRuns.Count() ? core_.StyleAt(p) : plain;
  }
  // The metrics of the style at p. A document may alternate more styles than the shared cache
  // holds: each style is looked up there once per layout and kept here by its table index.
  const StyleMetrics &MetricsAt(int32_t p) {
    if (!core_.styleRuns.Count()) return MetricsOf(StyleAt(p), env_);
    size_t i = static_cast<size_t>(core_.styleRuns.IndexAt(p));
    if (i >= known_.size()) known_.resize(i + 1);
    if (!known_[i]) known_[i] = std::make_unique<StyleMetrics>(MetricsOf(StyleAt(p), env_));
    return *known_[i];
  }
  int32_t RunEnd(int32_t p) const {
    if (!core_.styleRuns.Count()) return length_;
    return std::min(length_, core_.styleRuns.End(core_.styleRuns.Find(p), length_));
  }
  int64_t SegmentWidth(int32_t from, int alignChar);
  void Finish(LineRecord *r, const ParaFormat &pf, const LineFrame &f, int32_t s, int32_t end,
              int64_t width, Fixed ascent, Fixed descentLeading) const;

  const TextCore &core_;
  const TextEnv &env_;
  const CaseTables &cases_;
  const uint8_t *text_;
  int32_t length_;
  bool noWrap_;
  std::vector<RunHeights> runs_;  // the styles met on the line being built
  std::vector<std::unique_ptr<StyleMetrics>> known_;
};

// The width of the text from `from` to the next tab or return (or alignChar when it is 0 to
// 255): what a right, centre or character stop aligns.
int64_t LineBuilder::SegmentWidth(int32_t from, int alignChar) {
  int64_t w = 0;
  for (int32_t p = from; p < length_;) {
    const TextStyle &style = StyleAt(p);
    const StyleMetrics &m = MetricsAt(p);
    for (int32_t end = RunEnd(p); p < end; ++p) {
      uint8_t c = text_[p];
      if (c == '\t' || c == '\r' || c == alignChar) return w;
      w += m.widths[Shown(c, p, style.face)];
    }
  }
  return w;
}

LineRecord LineBuilder::Build(int32_t s, int32_t top, int32_t *next) {
  const ParaFormat &pf = ParaOf(core_, s);
  LineFrame f = FrameFor(core_, pf, StartsParagraph(core_, s), noWrap_);
  LineRecord r;
  r.top = top;
  runs_.clear();

  int64_t committed = 0;  // words, the blanks between them and tabs
  int64_t blanks = 0;     // blanks after the last committed word
  int64_t word = 0;       // the word being read
  int32_t wordChars = 0;
  int32_t breakAt = -1;   // the next line's start when breaking at the last blank or tab
  int32_t end = length_;
  int64_t width = 0;
  bool done = false;

  for (int32_t p = s; p < length_ && !done;) {
    const TextStyle &style = StyleAt(p);
    const StyleMetrics *m = &MetricsAt(p);
    runs_.push_back({p, m->info.ascent, m->info.descent + m->info.leading});
    int64_t slant = style.face & kItalic ? m->info.widMax / 2 : 0;
    for (int32_t runEnd = RunEnd(p); p < runEnd; ++p) {
      uint8_t c = text_[p];
      if (c == '\r') {
        width = wordChars ? committed + blanks + word : committed;
        end = p + 1;
        r.flags |= kLineEndsParagraph;
        done = true;
        break;
      }
      if (c == '\t') {
        int64_t x = committed + blanks + word;
        TabTarget tab = ChooseTab(pf, f, x, env_.tabInterval);
        int64_t advance = TabAdvance(tab, f, x, tab.kind ? SegmentWidth(p + 1, tab.alignChar) : 0);
        if (x + advance > f.limit) {
          if (p > s) {  // the stop is out of reach: the line ends before the tab
            width = wordChars ? x : committed + (noWrap_ ? blanks : 0);
            end = p;
            r.flags |= kLineWrapped;
            done = true;
            break;
          }
          advance = std::max<int64_t>(f.limit - x, 0);  // a leading tab goes to the right edge
        }
        committed = x + advance;
        blanks = word = 0;
        wordChars = 0;
        breakAt = p + 1;
        r.flags |= kLineHasTab | (tab.kind != 0 ? kLineHasOtherTab : 0);
        continue;
      }
      int64_t w = m->widths[Shown(c, p, style.face)];
      if (c == ' ') {
        if (wordChars) {
          committed += blanks + word;
          blanks = word = 0;
          wordChars = 0;
        }
        blanks += w;  // blanks hang past the edge: they never break a line
        breakAt = p + 1;
        continue;
      }
      if (p > s && committed + blanks + word + w + slant > f.limit) {
        if (breakAt > s) {
          width = committed + (noWrap_ ? blanks : 0);
          end = breakAt;
        } else {
          width = committed + blanks + word;
          end = p;
        }
        r.flags |= kLineWrapped;
        done = true;
        break;
      }
      word += w;
      ++wordChars;
    }
  }
  if (!done) width = wordChars || noWrap_ ? committed + blanks + word : committed;

  Fixed ascent = 0, descentLeading = 0;
  for (const RunHeights &h : runs_)
    if (h.from < end) {
      ascent = std::max(ascent, h.ascent);
      descentLeading = std::max(descentLeading, h.descentLeading);
    }
  r.start = s;
  Finish(&r, pf, f, s, end, width, ascent, descentLeading);
  *next = end;
  return r;
}

LineRecord LineBuilder::Empty(int32_t s, int32_t top, uint16_t width) {
  // An empty text shows the null style; the line after a final return the pending null style
  // or else the style the text ends in.
  const TextStyle &style = length_ == 0 || core_.nullStyleValid || !core_.styleRuns.Count()
                               ? core_.nullStyle
                               : StyleAt(length_);
  const ParaFormat &pf = ParaOf(core_, s);
  const StyleMetrics &m = MetricsOf(style, env_);
  LineRecord r;
  r.start = s;
  r.top = top;
  Finish(&r, pf, FrameFor(core_, pf, true, noWrap_), s, s, 0, m.info.ascent,
         m.info.descent + m.info.leading);
  r.width = width;
  return r;
}

// Width, heights with paragraph spacing, count of visible characters.
void LineBuilder::Finish(LineRecord *r, const ParaFormat &pf, const LineFrame &f, int32_t s,
                         int32_t end, int64_t width, Fixed ascent,
                         Fixed descentLeading) const {
  r->width = static_cast<uint16_t>(std::clamp<int64_t>(Round64(width), 0, kEmptyLineWidth - 1));
  int64_t asc = Round64(ascent);
  int64_t height = Round64(descentLeading) + asc;
  unsigned unit = SpacingUnit(pf.units, 0);
  if (unit != 0)
    height = Round64(SpacingToPixels(pf.lineSpacing, unit, kDefaultResolution, env_.lineUnit));
  else if (pf.lineSpacing != kFixedOne)
    height = Round64(height * pf.lineSpacing);
  if (f.first && s > 0) {
    int64_t before = Round64(SpacingToPixels(pf.spaceBefore, SpacingUnit(pf.units, 1),
                                             kDefaultResolution, env_.lineUnit));
    height += before;
    asc += before;
  }
  if (r->flags & kLineEndsParagraph)
    height += Round64(SpacingToPixels(pf.spaceAfter, SpacingUnit(pf.units, 2),
                                      kDefaultResolution, env_.lineUnit));
  // Never negative, so tops never go back up.
  r->height = static_cast<int16_t>(std::clamp<int64_t>(height, 0, INT16_MAX));
  r->drawHeight = r->height;
  r->ascent = Saturate16(asc);
  int32_t e = end;
  if (e > s && text_[e - 1] == '\r') --e;
  while (e > s && text_[e - 1] == ' ') --e;
  r->visibleCount = Saturate16(e - s);
}

// Builds lines from offset p into out until the text end (adding the empty last line after a
// final return) or until the table would pass cap lines (0: no cap). `before` lines precede
// out in the table. stopAt, when given, is asked before each line whether to stop there.
template <typename StopAt>
void BuildLines(LineBuilder &builder, const TextCore &core, int32_t p, int32_t top,
                size_t before, int32_t cap, std::vector<LineRecord> *out, StopAt stopAt) {
  int32_t length = core.Length();
  for (;;) {
    if (cap > 0 && before + out->size() >= static_cast<size_t>(cap)) return;
    if (p >= length) {
      if (length == 0)
        out->push_back(builder.Empty(0, top, 0));
      else if (core.Bytes()[length - 1] == '\r')
        out->push_back(builder.Empty(length, top, kEmptyLineWidth));
      return;
    }
    if (stopAt(p)) return;
    int32_t next;
    out->push_back(builder.Build(p, top, &next));
    top = Saturate32(static_cast<int64_t>(top) + out->back().height);
    p = next;
  }
}

// The justification shared by every paragraph, or INT32_MIN when they differ.
int32_t WholeJustification(const TextCore &core) {
  const auto &runs = core.paraRuns.Runs();
  if (runs.empty()) return 0;
  int32_t just = core.paras.Get(runs[0].index).just;
  for (const Run &r : runs)
    if (core.paras.Get(r.index).just != just) return INT32_MIN;
  return just;
}

int64_t WidestLineImpl(const TextCore &core, int32_t endLine, int32_t startLine,
                       bool fullIsDestWidth) {
  int32_t n = core.lines.Count();
  if (n == 0) return 0;
  endLine = std::clamp(endLine, 0, n - 1);
  startLine = std::clamp(startLine, 0, n - 1);
  if (startLine > endLine) std::swap(startLine, endLine);
  int64_t widest = 0;
  for (int32_t i = startLine; i <= endLine; ++i) {
    const LineRecord &l = core.lines.lines[static_cast<size_t>(i)];
    const ParaFormat &pf = ParaOf(core, l.start);
    if (fullIsDestWidth && pf.just == 2)
      return 1 + (static_cast<int64_t>(core.dest.right) - core.dest.left);
    int64_t w = LineTable::UsableWidth(l) * kOne + pf.leftIndent + pf.rightIndent +
                (StartsParagraph(core, l.start) ? pf.firstIndent : 0);
    widest = std::max(widest, w);
  }
  return 1 + Round64(widest);
}

// The vertical origin, grid, destination bottom, no-wrap fit and auto-grow that follow every
// layout.
void AfterLayout(TextCore &core, LayoutHost *host) {
  core.flags &= ~kFlagOriginChanged;
  std::vector<LineRecord> &lines = core.lines.lines;
  if (lines.empty()) return;
  if (core.gridPitch > 0) {  // the grid moved tops last time: start again from the heights
    int64_t top = 0;
    for (LineRecord &l : lines) {
      l.top = Saturate32(top);
      top += l.height;
    }
  }
  auto bottomOfText = [&] {
    const LineRecord &last = lines.back();
    return static_cast<int64_t>(last.top) + std::max(last.height, last.drawHeight);
  };
  int64_t textHeight = bottomOfText();
  int64_t origin = 0;
  if (core.vertJust != 0) {
    int64_t view = static_cast<int64_t>(core.view.bottom) - core.view.top;
    int64_t free = view > textHeight ? view - textHeight : 0;
    const LineRecord &last = lines.back();
    origin = core.vertJust == 1
                 ? ((std::max(last.height, last.drawHeight) - last.ascent) / 2 + free) / 2
                 : free;
  }
  if (origin != core.lines.origin) core.flags |= kFlagOriginChanged;
  core.lines.origin = Saturate32(origin);

  if (core.gridPitch > 0) {
    // A line that would cross the next grid line below its top starts on that grid line
    // instead; lines taller than the pitch stay where they are.
    int64_t pitch = core.gridPitch, pos = core.lines.origin;
    for (LineRecord &l : lines) {
      int64_t grid = core.gridOrigin + (FloorDiv(pos - core.gridOrigin - 1, pitch) + 1) * pitch;
      if (l.height <= pitch && pos < grid && pos + l.height > grid) pos = grid;
      l.top = Saturate32(pos - core.lines.origin);
      pos += l.height;
    }
    textHeight = bottomOfText();
  }
  core.dest.bottom = Saturate32(core.dest.top + textHeight + core.lines.origin);

  if (core.layoutFlags & kNoWordWrap) {
    int64_t w = WidestLineImpl(core, core.lines.Count() - 1, 0, false);
    int32_t just = WholeJustification(core);
    int64_t left = core.dest.left, right = core.dest.right;
    if (just == 0 || just == 2) {
      right = left + w;
    } else if (just == 1) {
      int64_t mid = left + (right - left) / 2, half = (w + 1) / 2;
      left = mid - half;
      right = mid + half;
    } else if (just != INT32_MIN) {
      left = right - w;
    }
    core.dest.left = Saturate32(left);
    core.dest.right = Saturate32(right);
  }

  if (core.layoutFlags & kBottomLimit) {
    int64_t bottom = std::min<int64_t>(core.dest.bottom, INT16_MAX);
    if (bottom > core.view.bottom) {
      int16_t proposed = static_cast<int16_t>(bottom);
      uint8_t autoView = core.flags & kFlagAutoView ? 1 : 0;
      bool answered = false;
      if (host) {
        core.inBottomLimit = true;  // the record refuses edits while the client decides
        answered = host->BottomLimit(&proposed, &autoView);
        core.inBottomLimit = false;
      }
      if (answered) {
        core.flags = autoView ? core.flags | kFlagAutoView : core.flags & ~kFlagAutoView;
        if (!autoView) {
          core.bottomLimit = static_cast<uint16_t>(proposed);
          core.pendingError = 1;
          return;
        }
      }
      if (proposed > core.view.bottom) core.view.bottom = proposed;
    }
  }
}

}  // namespace

const StyleMetrics &LayoutMetrics(const TextStyle &style, const TextEnv &env) { return MetricsOf(style, env); }

uint8_t ShownByte(const TextCore &core, const TextEnv &env, uint8_t c, int32_t p, uint16_t face) {
  const CaseTables &cases = env.cases ? *env.cases : NoCases();
  return (face & kTitleCase) == kTitleCase ? cases.ToTitle(c, p > 0 ? core.Bytes()[p - 1] : 0) : c;
}

const ParaFormat &LayoutPara(const TextCore &core, int32_t p) { return ParaOf(core, p); }

StyleHeights MeasureHeights(const TextStyle &style, const TextEnv &env) {
  const StyleMetrics &m = MetricsOf(style, env);
  return StyleHeights{m.info.ascent, m.info.descent + m.info.leading};
}

void LayoutAll(TextCore &core, const TextEnv &env, LayoutHost *host) {
  LineBuilder builder(core, env);
  std::vector<LineRecord> lines;
  BuildLines(builder, core, 0, 0, 0, core.lineCap, &lines, [](int32_t) { return false; });
  core.lines.lines.swap(lines);
  core.lines.textLength = core.Length();
  core.firstChanged = 0;
  core.lastChanged = core.lines.Count() - 1;
  core.resyncOffset = -1;
  AfterLayout(core, host);
}

void Relayout(TextCore &core, const TextEnv &env, LayoutHost *host, int32_t a, int32_t b,
              int32_t n) {
  LineTable &table = core.lines;
  int32_t length = core.Length();
  int64_t oldLength = table.textLength;
  if (table.lines.empty() || oldLength + n != length || a < 0 || b < a || b > oldLength ||
      static_cast<int64_t>(b) + n < a) {
    LayoutAll(core, env, host);  // no usable old table: nothing to resynchronise with
    return;
  }
  const int32_t changeEnd = b + n;  // the end of the changed text in the new offsets
  const uint8_t *text = core.Bytes();
  std::vector<LineRecord> &old = table.lines;
  const int32_t oldCount = table.Count();

  // Start a line early: a word of the changed line may now fit on the one before.
  int32_t first = std::max(0, table.Find(a) - 1);
  int32_t firstStart = old[static_cast<size_t>(first)].start;
  if (core.paraRuns.Count()) {
    // Right, centre and character stops align text up to the next tab, which may lie in the
    // changed lines: go back to the paragraph's first line.
    const ParaFormat &pf = core.ParaAt(firstStart);
    if (pf.firstIndent != 0 || pf.tabCount > 0) {
      first = table.Find(core.ParagraphStart(firstStart));
      firstStart = old[static_cast<size_t>(first)].start;
    }
  }

  // A return inserted or deleted moves paragraph bounds, and an edit at a paragraph's start
  // may give it another format run: the paragraph after the change may have another format,
  // so its lines cannot be taken over.
  int32_t syncFrom = changeEnd;
  bool returns = StartsParagraph(core, a) ||
                 std::find(text + a, text + changeEnd, '\r') != text + changeEnd;
  for (int32_t i = table.Find(a); !returns && i < oldCount; ++i) {
    const LineRecord &l = old[static_cast<size_t>(i)];
    if (l.start >= b) break;
    int32_t lineEnd = i + 1 < oldCount ? old[static_cast<size_t>(i) + 1].start : table.textLength;
    returns = (l.flags & kLineEndsParagraph) && lineEnd - 1 >= a && lineEnd - 1 < b;
  }
  if (returns) syncFrom = core.ParagraphEnd(changeEnd);

  // Build until a new line starts where an old line past the change started (shifted by n):
  // from there on the old lines are what a fresh layout would build.
  LineBuilder builder(core, env);
  std::vector<LineRecord> built;
  int32_t j = first, sync = -1;
  BuildLines(builder, core, firstStart, old[static_cast<size_t>(first)].top,
             static_cast<size_t>(first), core.lineCap, &built, [&](int32_t p) {
               if (p <= changeEnd || p < syncFrom) return false;
               while (j < oldCount && old[static_cast<size_t>(j)].start + n < p) ++j;
               if (j < oldCount && old[static_cast<size_t>(j)].start + n == p &&
                   old[static_cast<size_t>(j)].width != kEmptyLineWidth) {
                 sync = j;
                 return true;
               }
               return false;
             });

  size_t keep = sync >= 0 ? static_cast<size_t>(oldCount - sync) : 0;
  size_t count = static_cast<size_t>(first) + built.size() + keep;
  if (core.lineCap > 0) count = std::min(count, static_cast<size_t>(core.lineCap));
  int64_t newTop = built.empty() ? old[static_cast<size_t>(first)].top
                                 : static_cast<int64_t>(built.back().top) + built.back().height;
  int64_t delta = sync >= 0 ? newTop - old[static_cast<size_t>(sync)].top : 0;
  // The new table's line i, before the table is changed.
  auto newLine = [&](size_t i) {
    if (i < static_cast<size_t>(first)) return old[i];
    if (i < first + built.size()) return built[i - static_cast<size_t>(first)];
    LineRecord l = old[static_cast<size_t>(sync) + i - first - built.size()];
    l.start += n;
    l.top = Saturate32(l.top + delta);
    return l;
  };

  // A table the cap cut short that lost lines ends before the text does: it is continued.
  // The empty last line follows the pending null style, which any edit may change: it is
  // rebuilt. Both are built before anything changes, so a failure leaves the old table.
  std::vector<LineRecord> tail;
  bool capped = core.lineCap > 0 && oldCount >= core.lineCap && count < static_cast<size_t>(core.lineCap);
  if (sync >= 0 && count > 0 && (capped || newLine(count - 1).width == kEmptyLineWidth)) {
    LineRecord last = newLine(--count);
    BuildLines(builder, core, last.start, last.top, count, core.lineCap, &tail,
               [](int32_t) { return false; });
  }
  old.reserve(std::max({first + built.size() + keep, count + tail.size(), old.size()}));

  size_t replaced = static_cast<size_t>((sync >= 0 ? sync : oldCount) - first);
  auto at = old.begin() + first;
  if (replaced == built.size()) {
    std::copy(built.begin(), built.end(), at);
  } else {
    at = old.erase(at, at + static_cast<std::ptrdiff_t>(replaced));
    old.insert(at, built.begin(), built.end());
  }
  for (size_t i = static_cast<size_t>(first) + built.size(); i < old.size(); ++i) {
    old[i].start += n;
    old[i].top = Saturate32(old[i].top + delta);
  }
  old.resize(std::min(old.size(), count));
  old.insert(old.end(), tail.begin(), tail.end());
  table.textLength = length;

  core.firstChanged = first;
  core.lastChanged = sync >= 0 && delta == 0 ? first + static_cast<int32_t>(built.size()) - 1
                                             : table.Count() - 1;
  core.lastChanged = std::max(core.lastChanged, first);
  core.resyncOffset = a;
  AfterLayout(core, host);
}

int32_t LineHeightSum(const TextCore &core, int32_t endLine, int32_t startLine,
                      bool useDrawHeight) {
  int32_t n = core.lines.Count();
  if (n == 0) return 0;
  endLine = std::clamp(endLine, 0, n - 1);
  startLine = std::clamp(startLine, 0, n - 1);
  if (startLine > endLine) std::swap(startLine, endLine);
  const LineRecord &e = core.lines.lines[static_cast<size_t>(endLine)];
  int64_t h = useDrawHeight ? std::max(e.height, e.drawHeight) : e.height;
  return Saturate32(static_cast<int64_t>(e.top) + h -
                    core.lines.lines[static_cast<size_t>(startLine)].top);
}

int32_t WidestLine(const TextCore &core, int32_t endLine, int32_t startLine) {
  return Saturate32(WidestLineImpl(core, endLine, startLine, true));
}

int32_t LineLeft(const TextCore &core, int32_t line) {
  int32_t n = core.lines.Count();
  if (n == 0) return core.dest.left;
  const LineRecord &l = core.lines.lines[static_cast<size_t>(std::clamp(line, 0, n - 1))];
  const ParaFormat &pf = ParaOf(core, l.start);
  LineFrame f = FrameFor(core, pf, StartsParagraph(core, l.start), false);
  int64_t width = LineTable::UsableWidth(l) * kOne, offset = 0;
  if (pf.just == 1)
    offset = f.limit / 2 - (LineTable::UsableWidth(l) + 1) / 2 * kOne;
  else if (pf.just != 0 && pf.just != 2)
    offset = f.limit - width;
  return Saturate32(core.dest.left + Round64(f.indent + std::max<int64_t>(offset, 0)));
}

LineFrame FrameFor(const TextCore &core, const ParaFormat &pf, bool first, bool noWrap) {
  LineFrame f;
  f.first = first;
  f.indent = static_cast<int64_t>(pf.leftIndent) + (first ? pf.firstIndent : 0);
  int64_t width = (static_cast<int64_t>(core.dest.right) - core.dest.left) * kOne;
  if (noWrap) {
    f.limit = std::max<int64_t>(0, static_cast<int64_t>(core.maxLineWidth) - 2) * kOne;
    f.rightEdge = f.indent + f.limit + kOne;
  } else {
    f.rightEdge = width - pf.rightIndent;
    f.limit = f.rightEdge - f.indent - kOne;
  }
  return f;
}

TabTarget ChooseTab(const ParaFormat &pf, const LineFrame &f, int64_t x, Fixed tabInterval) {
  TabTarget t;
  int64_t here = f.indent + x;
  // The first paragraph stop past x, unless it lies past the right edge.
  for (int i = 0; i < TabCount(pf); ++i)
    if (pf.tabs[i].position > here) {
      if (pf.tabs[i].position <= f.rightEdge) {
        const TabStop &stop = pf.tabs[i];
        t.at = stop.position;
        t.kind = stop.kind <= 3 ? stop.kind : 0;
        t.alignChar = t.kind == 3 ? stop.alignChar : -1;
        t.leader = stop.leader;
        t.paragraphStop = true;
        return t;
      }
      break;
    }
  if (f.first && pf.leftIndent > here) {
    t.at = pf.leftIndent;
  } else {
    int64_t interval = tabInterval > 0 ? tabInterval : 36 * kOne;
    t.at = (FloorDiv(here, interval) + 1) * interval;
  }
  return t;
}

int64_t TabAdvance(const TabTarget &t, const LineFrame &f, int64_t x, int64_t segment) {
  int64_t here = f.indent + x;
  int64_t advance = t.at - here;
  if (t.kind != 0) advance -= t.kind == 2 ? segment / 2 : segment;
  return std::max<int64_t>(advance, 0);
}

int32_t LineTable::Find(int32_t p) const {
  auto it = std::upper_bound(lines.begin(), lines.end(), p,
                             [](int32_t v, const LineRecord &l) { return v < l.start; });
  return it == lines.begin() ? 0 : static_cast<int32_t>(it - lines.begin()) - 1;
}

}  // namespace tstools::text
