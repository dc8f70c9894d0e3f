/* The text engine's string measurers and line drawer, on the engine's measuring port (set by
 * ML_QTEInit) in the port's font and size, with a 16-bit face word: the high byte is the
 * QuickDraw face, the low byte the engine's own styles (1 strike-through, 2 small capitals,
 * 4 superscript, 8 subscript, 0x10 all capitals, 0x20 all lower case, 0x30 title case,
 * 0x40 word underline, 0x80 double underline). With a low byte of 0 the port's plain text
 * calls measure; otherwise the engine's metric cache. With no measuring port every width
 * is 0 and nothing is drawn. A null face word counts as 0. */
#ifndef TSTOOLS_TEXT_MEASURE_H
#define TSTOOLS_TEXT_MEASURE_H

#include <tstools/text.h>

/* Empties the metric cache; also run whenever the font table is rebuilt. Call it when the
 * measuring port's resolution changes. */
TSAPI(void, InitMetricCache, (void));
/* Widths in pixels: of the low byte of ch, of a Str255's characters, of byteCount bytes from
 * text + firstByte (0 for a negative firstByte or byteCount); summed exactly and rounded once. */
TSAPI(long, VTBCharWidth, (short ch, const unsigned short *faceWord));
TSAPI(long, VTBStringWidth, (ConstStr255Param s, const unsigned short *faceWord));
TSAPI(long, VTBTextWidth, (const char *text, long firstByte, long byteCount, const unsigned short *faceWord));
/* Ascent, descent, widest character and leading with the face word. */
TSAPI(void, VTBGetFontInfo, (const unsigned short *faceWord, FontInfo *info));
/* Draws one styled line of s into box: just 0 or 2 from the left, -1 from the right, any other
 * centred; the baseline at box top + baselineOffset; with clip, clipped to the box as well.
 * With any underline, trailing blanks and returns are not drawn. The port's text state, pen
 * and clip are as before afterwards. lineHeight, codeSetSource, flag and extra are accepted
 * for the engine's line drawer and not read. */
TSAPI(void, VTBDrawStringPtr, (ConstStr255Param s, const Rect *box, short just, short lineHeight, short baselineOffset, const unsigned short *faceWord, short codeSetSource, Boolean clip, short flag, long extra));

#endif
