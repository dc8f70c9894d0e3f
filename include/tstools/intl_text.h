/* International text utilities: case conversion through the text engine's case tables
 * (loaded by QTEInit; before it, and for values above 255, every character is its own form),
 * word boundaries, the code set of a font, and three bitmap services. */
#ifndef TSTOOLS_INTL_TEXT_H
#define TSTOOLS_INTL_TEXT_H

#include <tstools/types.h>

/* mode 0: upper case; 1: lower case; any other: title case, lower after a previous character
 * of at least 0x21 other than 0xCA, else upper. */
TSAPI(unsigned short, VIUToCase, (unsigned short ch, unsigned short previous, short ignored, short mode));
/* Converts length bytes in place (none for length < 1): mode 0 upper, 2 title case (each
 * byte after the converted byte before it, the first after previous), any other lower. */
TSAPI(void, VIUChangeCase, (unsigned char *text, long length, unsigned short previous, short ignored, short mode));
/* ch is its own form in the mode's table (1 lower case, any other upper case). */
TSAPI(Boolean, VIUIsCase, (unsigned short ch, short ignored, short mode));

/* The word around offset in the first length bytes (table -1 selects the operator-separated
 * set, any other value the standard one); leadingEdge: the character at offset is examined,
 * otherwise the one before. offsets receives six values: start, end, then four zeros. */
TSAPI(void, VIUFindWord, (const unsigned char *text, short length, short offset, Boolean leadingEdge, short table, unsigned short *offsets, long ignored));
/* The engine's 32-bit form. mode bit 0: first skip separators next to offset (forward from
 * it with bit 1, else backward before it); bit 1 is also the leading edge. */
TSAPI(void, VIUFindWordEx, (const unsigned char *text, long length, long offset, long ignored, short mode, long *start, long *end));

/* The code set of the font's Windows character set (codeset.h). */
TSAPI(short, VIUFontToCodeSet, (short font));

/* The bitmap services take no buffer sizes: a bitmap's bits start at its rectangle's
 * top-left pixel and hold one row of rowBytes (masked with 0x7FFF) per row; a row holds its
 * planes one after another (rowBytes / planes bytes each), pixels most significant bit
 * first, 16- and 32-bit pixels little-endian, a 24-bit pixel read as its first byte << 16
 * combined with the next two bytes as a little-endian u16. pixelFormat: low byte bits per
 * pixel (1, 2, 4, 8, 16, 24, 32), high byte planes (0 means 1). A call whose format,
 * rectangles or strides do not fit returns false and touches nothing. */
/* Rotates counter-clockwise by angle (modulo 360; 90, 180, 270); destinationRect must have
 * the rotated size, and the two bitmaps must not overlap. */
TSAPI(Boolean, VIURotateBitmapLeft, (const void *source, void *destination, const Rect *sourceRect, const Rect *destinationRect, short sourceRowBytes, short destinationRowBytes, short pixelFormat, short angle));
/* Pixels of rect (inside sourceBounds, the source's rectangle) equal to keyColour become
 * replacement, and their bits are set in mask (one row of maskRowBytes per row of rect,
 * times the planes when planeMode >= 2, each plane's copy marked; cleared first). */
TSAPI(Boolean, VIUMaskBitmap, (void *source, void *mask, const Rect *sourceBounds, const Rect *rect, short sourceRowBytes, short maskRowBytes, short pixelFormat, short planeMode, unsigned long keyColour, unsigned long replacement));
/* The first two pixel values of the first row (a one-pixel-wide bitmap gives its pixel twice). */
TSAPI(Boolean, VIUGetBitmapColors, (const void *bits, const Rect *rect, short rowBytes, short pixelFormat, unsigned long *second, unsigned long *first));

#endif
