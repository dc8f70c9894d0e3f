/* QuickDraw text: drawing and measuring single-byte Mac text in a port's font number, style
 * (txFace), size, mode and space extra.
 *
 * Text starts at the pen on the baseline and the pen advances by its width. Bytes are in
 * the Mac character set: ML_DrawText, ML_DrawAngleText and ML_TextWidth convert the
 * caller's bytes to the Windows character set in place for the length of the call and
 * back before returning, so the buffer must be writable (it holds its original bytes
 * again afterwards). Nothing is drawn, and widths are 0, for a null port or text, or a
 * negative firstByte or byteCount.
 *
 * Style bits of txFace: 1 bold, 2 italic, 4 underline, 8 outline and 16 shadow (no effect),
 * 32 condense, 64 extend, 128 strike-out.
 *
 * Text modes: 0 fills each character cell with the background colour, 3 draws in the
 * background colour, 16 draws grayed text; every other mode draws the glyphs only. */
#ifndef TSTOOLS_TEXT_H
#define TSTOOLS_TEXT_H

#include <tstools/grafport.h>

#pragma pack(push, 1)
typedef struct FontInfo {
  short ascent;
  short descent;
  short widMax;
  short leading;
} FontInfo;
#pragma pack(pop)

#ifdef __cplusplus
static_assert(sizeof(FontInfo) == 8, "FontInfo is four shorts");
#endif

/* Draws byteCount bytes from text + firstByte. A trailing carriage return is not drawn. */
TSAPI(void, ML_DrawText, (GrafPort *port, const char *text, short firstByte, short byteCount));
/* Draws the low byte of ch. */
TSAPI(void, ML_DrawChar, (GrafPort *port, short ch));
/* Draws a Str255's characters; the string itself is not modified. */
TSAPI(void, ML_DrawString, (GrafPort *port, ConstStr255Param s));
/* ML_DrawText along a baseline turned by angle tenths of a degree (counter-clockwise). */
TSAPI(void, ML_DrawAngleText, (GrafPort *port, const char *text, short firstByte, short byteCount, short angle));

/* Advance widths in the port's text settings (style, space extra included), truncated to
 * 16 bits: of the low byte of ch, of a Str255's characters (measured in a copy), or of
 * byteCount bytes from text + firstByte. 0 for a null port or text. */
TSAPI(short, ML_CharWidth, (GrafPort *port, short ch));
TSAPI(short, ML_StringWidth, (GrafPort *port, ConstStr255Param s));
TSAPI(short, ML_TextWidth, (GrafPort *port, const char *text, short firstByte, short byteCount));

/* Ascent, descent, widest character and leading of the port's current font. */
TSAPI(void, ML_GetFontInfo, (GrafPort *port, FontInfo *info));

#endif
