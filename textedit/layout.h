// Line layout: builds a record's line table from its text, style runs and paragraph formats
// with widths from the metric cache, and keeps it current after each edit. Portable.
#pragma once

#include <cstdint>

#include "textedit/text_core.h"

namespace tstools::text {

// Lays out the whole text again (QTECalText), then the after-layout steps (vertical
// justification, grid, destination bottom, no-wrap fit, auto-grow and bottom limit).
void LayoutAll(TextCore &core, const TextEnv &env, LayoutHost *host);

// After a change at [a, b) of the old text with n bytes inserted (negative when deleted):
// relays out from the line before the change to the first unchanged line, shifts the later
// lines, then the after-layout steps. Records firstChanged and lastChanged. Called once the
// text and runs are current: old offsets from b on are now n further. [a, b) must cover
// every paragraph whose format changed (a style change passes its range with n = 0). A table
// that does not fit the change (none yet, another text length) is laid out whole.
// Both layouts may throw std::bad_alloc, and then leave the line table as it was.
void Relayout(TextCore &core, const TextEnv &env, LayoutHost *host, int32_t a, int32_t b,
              int32_t n);

// The heights the style table keeps for a style (ascent, descent + leading), measured
// through the metric cache.
StyleHeights MeasureHeights(const TextStyle &style, const TextEnv &env);

// Queries over the line table (clamped; see the exports).
int32_t LineHeightSum(const TextCore &core, int32_t endLine, int32_t startLine,
                      bool useDrawHeight);
int32_t WidestLine(const TextCore &core, int32_t endLine, int32_t startLine);
// The x of a line's first pixel: left edge, indents and justification.
int32_t LineLeft(const TextCore &core, int32_t line);

}  // namespace tstools::text
