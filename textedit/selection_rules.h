// The selection model of a text record: what a click of each count selects, how dragging
// extends it, where the arrow keys move it and what the delete keys remove. Pure rules over
// the core and its lines; the record's glue draws the outcome. Portable.
#pragma once

#include <cstdint>

#include "textedit/line_walk.h"
#include "textedit/text_core.h"

namespace tstools::text {

struct Range {
  int32_t start = 0, end = 0;
  bool operator==(const Range &o) const { return start == o.start && end == o.end; }
};

// A selection with its moving end (the other is the anchor) and whether a caret at a wrapped
// line's start shows at the end of the line before.
struct Selection {
  int32_t start = 0, end = 0;
  bool movingStart = false;
  bool caretAtLineEnd = false;
  int32_t Moving() const { return movingStart ? start : end; }
  int32_t Anchor() const { return movingStart ? end : start; }
};

// The unit a click of `count` (1 caret, 2 word, 3 line, 4 paragraph, 5 everything) selects
// around a hit.
Range ClickUnit(const TextCore &core, const Hit &hit, int count);

// The selection after a click or a drag to `hit`: without extend the unit itself; with
// extend (or while dragging from `anchor`) the anchor's unit grown to take in the hit's.
Selection ClickSelection(const TextCore &core, const Hit &hit, int count, bool extend, const Selection &old);
Selection DragSelection(const TextCore &core, const Range &anchorUnit, const Hit &hit, int count);

// Modifier bits of a key, Mac layout.
enum KeyModifiers : uint16_t { kCommandKey = 0x0100, kShiftKey = 0x0200, kOptionKey = 0x0800 };
enum KeyCode : uint8_t {
  kBackspaceKey = 8, kClearKey = 27, kLeftArrow = 28, kRightArrow = 29, kUpArrow = 30, kDownArrow = 31,
  kForwardDeleteKey = 127
};

// Where an arrow key moves (or, with shift, extends) the selection. `changed` is false when
// nothing moves.
struct ArrowResult {
  Selection selection;
  bool changed = false;
};
ArrowResult ArrowKey(const TextCore &core, const TextEnv &env, const Selection &sel, uint8_t key,
                     uint16_t modifiers);

// What backspace, forward delete and clear remove: the selection when there is one, else
// the character, word (option) or line part (command) before or after the caret. Empty when
// nothing is deleted.
Range DeleteRange(const TextCore &core, const TextEnv &env, const Selection &sel, uint8_t key, uint16_t modifiers);

}  // namespace tstools::text
