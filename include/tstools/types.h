/* Toolbox types shared by every TSTOOLS interface. C and C++. */
#ifndef TSTOOLS_TYPES_H
#define TSTOOLS_TYPES_H

#include <tstools/api.h>

typedef unsigned char Boolean; /* 0 false, nonzero true */
typedef short OSErr;           /* 0 success; negative Toolbox result codes */
typedef long Fixed;            /* 16.16 signed fixed point */
typedef unsigned long OSType;  /* four characters in reading order */
typedef long Size;
typedef char *Ptr;
/* A relocatable block: the address of its master record, whose first field is the data
 * pointer (so *h is the data) followed by the size-and-lock word. */
typedef Ptr *Handle;
typedef unsigned char Str255[256]; /* length byte, then up to 255 characters */
typedef unsigned char *StringPtr;
typedef const unsigned char *ConstStr255Param;

/* Rect keeps the library's field order (left, top, right, bottom), not the classic one;
 * empty when right <= left or bottom <= top. */
typedef struct Rect {
  short left, top, right, bottom;
} Rect;

/* Passed by value as one 32-bit word, h in the low half. */
typedef struct Point {
  short h, v;
} Point;

typedef struct RGBColor {
  unsigned short red, green, blue;
} RGBColor;

typedef struct Pattern {
  unsigned char pat[8]; /* one byte per row, top row first, leftmost pixel in bit 7 */
} Pattern;

enum {
  noErr = 0,
  paramErr = -50,
  memFullErr = -108,
  nilHandleErr = -109,
  memWZErr = -111,
  userCanceledErr = -128
};

#ifdef __cplusplus
static_assert(sizeof(Rect) == 8 && sizeof(Point) == 4, "Toolbox geometry records are packed shorts");
static_assert(sizeof(RGBColor) == 6 && sizeof(Pattern) == 8, "colour and pattern records");
static_assert(sizeof(Fixed) == 4 && sizeof(OSType) == 4, "Toolbox longs are 32 bits on Windows");
#endif

#endif
