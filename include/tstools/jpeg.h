/* JPEG import and export. Import gives a PICT of one bit image (a 32-bit direct image, or an
 * 8-bit indexed one for greyscale files and reduced depths); export compresses a
 * device-independent bitmap at libjpeg's default quality. */
#ifndef TSTOOLS_JPEG_H
#define TSTOOLS_JPEG_H

#include <tstools/picture.h>

#include <stddef.h>

/* A device-independent bitmap to compress. Row n starts at bits + n * rowBytes (a bottom-up
 * DIB passes its last row and a negative rowBytes). 8 bits: indices into colors, 4-byte
 * entries blue, green, red, reserved (as RGBQUAD); 16 bits: little-endian 5-5-5 words; 24
 * bits: blue, green, red. */
typedef struct BitmapDesc {
  const void *bits;
  const void *colors; /* 8 bits only */
  long rowBytes;
  long bitsPerPixel; /* 8, 16 or 24 */
  long width, height;
} BitmapDesc;

#ifdef __cplusplus
static_assert(sizeof(void *) != 4 || (sizeof(BitmapDesc) == 24 && offsetof(BitmapDesc, rowBytes) == 8 &&
                                      offsetof(BitmapDesc, height) == 20),
              "two pointers, then four 32-bit fields");
#endif

/* Decodes the JPEG data in the handle into a new picture. maxRect (or NULL) asks for a
 * reduced decode: 1/2, 1/4 or 1/8 while the image is more than twice its size in both
 * directions. depth (or NULL) below 16 asks for an indexed picture: greyscale files get 2
 * levels below 4, 4 below 8, else 16; colour files white and black below 4, 16 colours chosen
 * for the image below 8, else the library's fixed 256-colour map "CLUT256". The frame is the
 * image's size at its JFIF density (72 per inch when it has none, or one the frame cannot be
 * divided by). Decoding errors, a picture larger than a handle holds (error 53) and data
 * beyond 500 scans give an error picture instead: frame 0, 0, 200 wide, 16 high, with the
 * text "JPEG error #n". NULL only for a NULL handle or when memory is exhausted. */
TSAPI(PicHandle, JPEGtoPICT, (Handle jpeg, const Rect *maxRect, const short *depth));
/* The frame JPEGtoPICT would give, from the header alone: left and top 0, right and bottom
 * the size in points. All zero when the header cannot be read. */
TSAPI(void, JPEGRect, (Handle jpeg, Rect *frame));
/* A new handle of JPEG data (JFIF, float DCT, libjpeg's default quality), or NULL for another
 * depth, a NULL pointer, no area, or when memory is exhausted. */
TSAPI(Handle, BitmapToJPEG, (const BitmapDesc *bitmap));

#endif
