#include "textedit/selection_rules.h"

#include <algorithm>

#include "textedit/word_finder.h"

namespace tstools::text {
namespace {

bool IsBlank(uint8_t c) { return c == ' ' || c == '\t' || c == '\r' || c == 0xCA; }

int32_t LineStartOf(const TextCore &core, int32_t line) {
  return core.lines.Count() ? core.lines.lines[static_cast<size_t>(std::clamp(line, 0, core.lines.Count() - 1))].start
                            : 0;
}

// The line a caret at p shows on: the one before when it stands at a wrapped line's end.
int32_t CaretLine(const TextCore &core, int32_t p, bool atLineEnd) {
  int32_t line = core.lines.Find(p);
  if (atLineEnd && line > 0 && LineStartOf(core, line) == p && core.Bytes()[p - 1] != '\r') --line;
  return line;
}

// The end of a line as a caret sees it: before its return, or the next line's start.
int32_t CaretLineEnd(const TextCore &core, int32_t line, bool *wrapped) {
  int32_t n = core.lines.Count();
  int32_t end = line + 1 < n ? LineStartOf(core, line + 1) : core.Length();
  *wrapped = line + 1 < n && end > 0 && core.Bytes()[end - 1] != '\r';
  if (end > LineStartOf(core, line) && core.Bytes()[end - 1] == '\r') --end;
  return end;
}

int32_t WordStartBefore(const TextCore &core, int32_t p) {
  const uint8_t *text = core.Bytes();
  while (p > 0 && IsBlank(text[p - 1])) --p;
  if (p == 0) return 0;
  return std::min(p, FindWord(text, core.Length(), p, false, WordSet::A).start);
}

int32_t WordEndAfter(const TextCore &core, int32_t p) {
  const uint8_t *text = core.Bytes();
  int32_t n = core.Length();
  while (p < n && IsBlank(text[p])) ++p;
  if (p == n) return n;
  return std::max(p, FindWord(text, n, p, true, WordSet::A).end);
}

Selection Spanning(int32_t anchor, int32_t moving) {
  Selection s;
  s.start = std::min(anchor, moving);
  s.end = std::max(anchor, moving);
  s.movingStart = moving < anchor;
  return s;
}

Selection Grown(const Range &anchor, const Range &unit) {
  Selection s;
  s.start = std::min(anchor.start, unit.start);
  s.end = std::max(anchor.end, unit.end);
  s.movingStart = unit.start < anchor.start;
  return s;
}

}  // namespace

Range ClickUnit(const TextCore &core, const Hit &hit, int count) {
  int32_t n = core.Length(), p = std::clamp(hit.offset, 0, n);
  switch (std::clamp(count, 1, 5)) {
    case 1:
      return {p, p};
    case 2: {
      // The character under the click decides, except past the end of a line or the text.
      bool leading = !hit.lineEnd && p < n;
      WordRange w = FindWord(core.Bytes(), n, p, leading, WordSet::A);
      return {w.start, w.end};
    }
    case 3: {
      int32_t line = std::clamp(hit.line, 0, std::max(core.lines.Count() - 1, 0));
      int32_t end = line + 1 < core.lines.Count() ? LineStartOf(core, line + 1) : n;
      return {LineStartOf(core, line), end};
    }
    case 4:
      // A click just after a return selects the paragraph that begins there.
      return {core.ParagraphStart(p), core.ParagraphEnd(p)};
    default:
      return {0, n};
  }
}

Selection ClickSelection(const TextCore &core, const Hit &hit, int count, bool extend, const Selection &old) {
  Range unit = ClickUnit(core, hit, count);
  if (!extend) {
    Selection s;
    s.start = unit.start, s.end = unit.end;
    s.caretAtLineEnd = count <= 1 && hit.lineEnd;
    return s;
  }
  if (count <= 1) return Spanning(old.Anchor(), unit.start);
  return Grown({old.start, old.end}, unit);
}

Selection DragSelection(const TextCore &core, const Range &anchorUnit, const Hit &hit, int count) {
  Range unit = ClickUnit(core, hit, count);
  if (count <= 1) return Spanning(anchorUnit.start, unit.start);
  return Grown(anchorUnit, unit);
}

ArrowResult ArrowKey(const TextCore &core, const TextEnv &env, const Selection &sel, uint8_t key,
                     uint16_t modifiers) {
  ArrowResult r;
  r.selection = sel;
  int32_t n = core.Length();
  bool shift = modifiers & kShiftKey, command = modifiers & kCommandKey, option = !command && (modifiers & kOptionKey);
  bool empty = sel.start == sel.end;
  // Without shift a range collapses first; the keys then act from the end they collapse to.
  int32_t from = shift ? sel.Moving() : key == kLeftArrow || key == kUpArrow ? sel.start : sel.end;
  bool atLineEnd = sel.caretAtLineEnd && (shift || empty);
  int32_t to = from;
  bool toLineEnd = false;
  switch (key) {
    case kLeftArrow:
    case kRightArrow: {
      bool left = key == kLeftArrow;
      if (empty && (left ? from == 0 : from == n)) return r;
      if (!shift && !empty && !command && !option) {
        to = from;  // a range collapses to its end
      } else if (command) {
        int32_t line = CaretLine(core, from, atLineEnd);
        to = left ? LineStartOf(core, line) : CaretLineEnd(core, line, &toLineEnd);
        if (left) toLineEnd = false;
      } else if (option) {
        to = left ? WordStartBefore(core, from) : WordEndAfter(core, from);
      } else {
        to = std::clamp(from + (left ? -1 : 1), 0, n);
      }
      break;
    }
    case kUpArrow:
    case kDownArrow: {
      bool up = key == kUpArrow;
      if (command) {
        to = up ? 0 : n;
        break;
      }
      CaretPlace caret = PlaceCaret(core, env, from, atLineEnd);
      int32_t target = caret.line + (up ? -1 : 1);
      if (target < 0) {
        to = 0;
      } else if (target >= core.lines.Count()) {
        to = n;
      } else {
        Hit hit = HitInLine(core, env, target, caret.x);
        to = hit.offset;
        toLineEnd = hit.lineEnd;
      }
      break;
    }
    default:
      return r;
  }
  Selection next = shift ? Spanning(sel.Anchor(), to) : Selection{to, to, false, false};
  next.caretAtLineEnd = next.start == next.end && toLineEnd;
  r.changed = next.start != sel.start || next.end != sel.end || next.caretAtLineEnd != sel.caretAtLineEnd;
  r.selection = next;
  return r;
}

Range DeleteRange(const TextCore &core, const TextEnv &env, const Selection &sel, uint8_t key, uint16_t modifiers) {
  (void)env;
  int32_t n = core.Length();
  if (key == kClearKey) return {0, n};
  int32_t start = std::clamp(std::min(sel.start, sel.end), 0, n), end = std::clamp(std::max(sel.start, sel.end), 0, n);
  if (start != end) return {start, end};
  int32_t p = start;
  bool command = modifiers & kCommandKey, option = !command && (modifiers & kOptionKey);
  if (key == kBackspaceKey) {
    if (p == 0) return {p, p};
    if (command) return {LineStartOf(core, CaretLine(core, p, sel.caretAtLineEnd)), p};
    if (option) return {WordStartBefore(core, p), p};
    return {p - 1, p};
  }
  if (key == kForwardDeleteKey) {
    if (p == n) return {p, p};
    if (command) {
      if (sel.caretAtLineEnd) return {p, p};
      int32_t line = core.lines.Find(p);
      return {p, line + 1 < core.lines.Count() ? LineStartOf(core, line + 1) : n};
    }
    if (option) return {p, WordEndAfter(core, p)};
    return {p, p + 1};
  }
  return {p, p};
}

}  // namespace tstools::text
