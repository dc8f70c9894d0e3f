/* Toolbox resource calls over Windows module resources: raw resources copied into Handles,
 * strings and string lists, pattern lists, pictures, icons and cursors.
 *
 * The first part is plain preprocessor definitions: the library's resource script builds
 * its own pattern list from them, so the bytes below are the bytes TSTOOLS.DLL holds. */
#ifndef TSTOOLS_RESOURCES_H
#define TSTOOLS_RESOURCES_H

/* The library's own pattern list, list id 0 of ML_GetIndPattern (RCDATA "PAT#0" of
 * TSTOOLS.DLL): X(index, name, rows), eight rows top first, the leftmost pixel in bit 7. */
#define TSTOOLS_LIBRARY_PATTERNS(X)                                          \
  X(1, White,          0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00)      \
  X(2, LightGray,      0x88, 0x22, 0x88, 0x22, 0x88, 0x22, 0x88, 0x22)      \
  X(3, Gray,           0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55)      \
  X(4, DarkGray,       0x77, 0xDD, 0x77, 0xDD, 0x77, 0xDD, 0x77, 0xDD)      \
  X(5, Black,          0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF)      \
  X(6, HorizontalLines, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00)     \
  X(7, VerticalLines,  0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88)      \
  X(8, DiagonalDown,   0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01)      \
  X(9, DiagonalUp,     0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80)      \
  X(10, Grid,          0xFF, 0x88, 0x88, 0x88, 0xFF, 0x88, 0x88, 0x88)      \
  X(11, Dots,          0x80, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00)
#define TSTOOLS_LIBRARY_PATTERN_COUNT 11

#ifndef RC_INVOKED

#include <tstools/grafport.h>
#include <tstools/types.h>

/* Index of each pattern of the library's list: ML_GetIndPattern(module, &p, 0, tsPatGray). */
#define TSTOOLS_PATTERN_INDEX_(index, name, ...) tsPat##name = index,
enum { TSTOOLS_LIBRARY_PATTERNS(TSTOOLS_PATTERN_INDEX_) };
#undef TSTOOLS_PATTERN_INDEX_

enum { resNotFound = -192 /* the resource is missing, cannot be loaded, or has no such entry */ };

/* Copies a resource's bytes into a new Handle. type's four bytes, in memory order, are the
 * type name (so a little-endian host passes 'TCIP' for "PICT"); id 0 means 32767. Looks in
 * module, then in TSTOOLS.DLL itself. *err (err may be null): 0; the Memory Manager's code
 * when the Handle cannot be made; resNotFound when the resource is missing. Null on failure. */
TSAPI(Handle, ML_GetResource, (unsigned long type, short id, HINSTANCE module, short *err));

/* Disposes a Handle from ML_GetResource; the disposal's result, also stored in *err. */
TSAPI(OSErr, ML_ReleaseResource, (Handle h, short *err));

/* The "PICT" resource id (0 means 32767) of module in a new Handle. A missing picture gives
 * a Handle of 0 bytes; null only when the Handle cannot be made. */
TSAPI(Handle, ML_GetPicture, (HINSTANCE module, short id));

/* String resource id of module (at most 255 characters), converted to the Mac character
 * set, as a new Handle holding a Str255 (see ML_NewString). A missing string is empty. */
TSAPI(Handle, ML_GetString, (HINSTANCE module, short id));

/* A new Handle of s[0] + 1 bytes holding the Str255 s; maxLength is not used. Null when s is
 * null or the Handle cannot be made. */
TSAPI(Handle, ML_NewString, (short maxLength, ConstStr255Param s));

/* String index (from 1) of the string list id (0 means 32767) of type typeName in module,
 * converted to the Mac character set, into dst. A string list is a 16-bit count in the
 * machine's (little-endian) order, then that many strings, each a length byte and its
 * characters. The last list used stays loaded, so stepping through a list loads it once.
 * noErr; resNotFound with dst empty when the list is missing, index is below 1 or above the
 * count, or the string does not lie wholly within the resource. */
TSAPI(OSErr, ML_GetIndString, (HINSTANCE module, Str255 dst, short id, short index,
                               const char *typeName));

/* Pattern index (from 1) of a pattern list into *dst. List id 0 is the library's own list
 * (TSTOOLS_LIBRARY_PATTERNS above); any other id the RCDATA resource named "PAT#<id>" of
 * module (a 16-bit little-endian count, then 8-byte patterns). The last list used stays
 * loaded. A missing list, an index out of range or a pattern beyond the resource's end
 * leaves *dst unchanged. */
TSAPI(void, ML_GetIndPattern, (HINSTANCE module, Pattern *dst, short listId, short index));

/* Icon id: 0 the system stop icon, 1 the information icon, 2 the question icon; any other
 * id the icon resource of module. Null when missing. */
TSAPI(HICON, ML_GetIcon, (HINSTANCE module, short id));

/* Draws icon at its own size with its top-left corner at r's left-top (local coordinates),
 * through the port's DC and within the port's clip. */
TSAPI(void, ML_PlotIcon, (GrafPort *port, const Rect *r, HICON icon));

/* Cursor id: 1 the text I-beam, 2 and 3 the cross, 4 the wait cursor; any other id the
 * cursor resource of module. Null when missing. */
TSAPI(HCURSOR, ML_GetCursor, (HINSTANCE module, short id));

#endif /* RC_INVOKED */

#endif /* TSTOOLS_RESOURCES_H */
