/* The text engine's line layout: whole-text layout, the layout flags and the line queries.
 * Every call takes the record last except QTEGetHeight, whose last argument chooses the
 * drawing height. A null record gives 0 and changes nothing. */
#ifndef TSTOOLS_TEXT_LAYOUT_H
#define TSTOOLS_TEXT_LAYOUT_H

#include <tstools/api.h>
#include <tstools/textedit.h>

/* Lays out the whole text again. */
TSAPI(void, QTECalText, (QTERecord *record));
/* Stores the layout flags (bit 0: lines break only at returns or past the maximum line width;
 * bit 1: the view grows with the text, as the bottom-limit callback allows); when they
 * changed, lays out the whole text without calling the bottom-limit callback. */
TSAPI(void, QTESetExpandOpt, (short flags, QTERecord *record));
TSAPI(long, QTENumLines, (QTERecord *record));
/* The first offset of a line; the text length for a line at or past the count, 0 for a
 * negative line. */
TSAPI(long, QTELineOffset, (long line, QTERecord *record));
/* True when some line was broken because the next character did not fit. */
TSAPI(Boolean, QTEDoesWordWrap, (QTERecord *record));
/* The height of lines startLine to endLine (either order, clamped to the lines); with
 * useDrawHeight the last line counts with the larger of its two heights. */
TSAPI(long, QTEGetHeight, (long endLine, long startLine, QTERecord *record, Boolean useDrawHeight));
/* 1 plus the widest line of the range with its paragraph's indents (an empty last line is 0
 * wide); 1 plus the destination's width when a line of the range is fully justified. */
TSAPI(long, QTEGetWidth, (long endLine, long startLine, QTERecord *record));

#endif
