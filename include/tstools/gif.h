/* GIF import: a GIF file's bytes in a handle become a PICT picture. */
#ifndef TSTOOLS_GIF_H
#define TSTOOLS_GIF_H

#include <tstools/picture.h>

/* A new PICT (version 2, 72 dpi) of the GIF in the handle: the logical screen's background
 * colour painted over the frame (white when the file has no global colour table), then every
 * image of the file at its place, each an 8-bit pixel map drawn over the ones before.
 * Transparency is not applied. Damaged compressed data ends that image; the pixels it did
 * not reach take its colour 0, and colours beyond the file's table are black. NULL when
 * the handle is null or does not hold a GIF, the data ends early or holds an unknown block,
 * a side or an image's place passes 32,767, or the picture would pass the largest handle
 * (16,777,213 bytes) or the memory at hand. The caller disposes of the result. */
TSAPI(PicHandle, GIFtoPICT, (Handle gif));

/* The picture's frame without decoding: 0, 0, screen width, screen height (left, top,
 * right, bottom). All zero when the handle does not start with a GIF header or a side
 * passes 32,767. frame may not be null (a null frame does nothing). */
TSAPI(void, GIFRect, (Handle gif, Rect *frame));

#endif
