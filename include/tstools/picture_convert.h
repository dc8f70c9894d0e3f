/* Writing Windows bitmaps and packed DIBs as PICT. */
#ifndef TSTOOLS_PICTURE_CONVERT_H
#define TSTOOLS_PICTURE_CONVERT_H

#include <tstools/picture.h>

/* Writes the bitmap as a PICT of one bit image at 72 per inch into picture (resized): a
 * version-1 picture for a one-bit bitmap, otherwise version 2 with 4 or 8 bits (colour table,
 * white first and black last) or 24 bits. The palette given, else the context's, is selected
 * into the context window's DC (the screen's for a null context) while the bits are read.
 * The bitmap must not be selected into a DC. Returns 0, -108 when memory, the DC or the bits
 * cannot be had or the picture would pass 16,777,213 bytes (the handle is then empty), or
 * -50 for a null picture handle. */
TSAPI(OSErr, ML_BitmapToPict,
      (const PictConvContext *context, HBITMAP bitmap, HPALETTE palette, PicHandle picture));

/* The same for a packed DIB in global memory (header, masks, colour table, bits; core and
 * version 4 and 5 headers, top-down, RLE and bit-field DIBs included): it becomes a device
 * bitmap of the context's DC first. Returns -1 when the block cannot be locked, is not a
 * DIB whose parts all lie inside it, or no DC can be had (the picture is then empty);
 * otherwise as ML_BitmapToPict. */
TSAPI(OSErr, ML_DIBToPict,
      (const PictConvContext *context, HGLOBAL dib, HPALETTE palette, PicHandle picture));

#endif
