/* Toolbox bit utilities, small operating-system utilities and the stubs kept for source
 * compatibility, DebugStr, and file names shortened for menus. */
#ifndef TSTOOLS_UTILITIES_H
#define TSTOOLS_UTILITIES_H

#include <tstools/types.h>

/* a AND b. */
TSAPI(long, BitAnd, (long a, long b));
TSAPI(long, BAND, (long a, long b));
/* value shifted right by count modulo 32, the sign bit copied in. */
TSAPI(long, BSR, (long value, short count));

/* Bit n of the bytes, numbered the Toolbox way: bit 0 is the most significant bit of byte 0,
 * bit n the bit 0x80 >> (n & 7) of byte floor(n / 8) (a negative n reaches the bytes before
 * the pointer). BitTst returns whether it is set; a null pointer reads as clear and is not
 * written. */
TSAPI(Boolean, BitTst, (const void *bytes, long n));
TSAPI(void, BitSet, (void *bytes, long n));
TSAPI(void, BitClr, (void *bytes, long n));

/* Plays the system sound whose MessageBeep type is duration (0 the default beep). */
TSAPI(void, SysBeep, (short duration));

/* Fixed answers for hosts that still ask: ROM version 117, machine type 2. */
TSAPI(void, Environs, (short *rom, short *machine));
/* A 20-byte parameter-RAM block of the library, zeros; WriteParam keeps nothing and returns 0. */
TSAPI(Ptr, GetSysPPtr, (void));
TSAPI(OSErr, WriteParam, (void));
/* Always 0 (24-bit addressing); SwapMMUMode stores 0 in *mode (when not null). */
TSAPI(char, GetMMUMode, (void));
TSAPI(void, SwapMMUMode, (char *mode));
/* There are no traps: -1. */
TSAPI(long, GetTrapAddress, (short trap));
TSAPI(long, NGetTrapAddress, (short trap, short kind));

/* Unsupported Toolbox calls: each writes "<name> not finished" to the debugging output and
 * returns. KeyTrans returns keycode; DTInstall, Dequeue, SetCurrentA5 and SetA5 return -1. */
TSAPI(long, KeyTrans, (Ptr transData, unsigned short keycode, unsigned long *state));
TSAPI(OSErr, DTInstall, (void *task));
TSAPI(void, SetTrapAddress, (long address, short trap));
TSAPI(void, NSetTrapAddress, (long address, short trap, short kind));
TSAPI(void, Enqueue, (void *element, void *queue));
TSAPI(OSErr, Dequeue, (void *element, void *queue));
TSAPI(long, SetCurrentA5, (void));
TSAPI(long, SetA5, (long a5));
TSAPI(void, SetUpA5, (void));
TSAPI(void, RestoreA5, (void));
TSAPI(void, Restart, (void));

/* Writes the string and a line feed to the debugging output, then raises a debugger break
 * (EXCEPTION_BREAKPOINT) like Debugger. A null string writes the line feed alone. */
TSAPI(void, DebugStr, (ConstStr255Param message));

/* Rewrites path (a buffer of at least 261 bytes holding a full file path) as a menu shows it,
 * and returns its new length:
 * - a file of the home directory (the path up to its last "\", "/" or ":" has homeDirLength
 *   characters and equals homeDir, ignoring case) by its display title alone;
 * - any other path whole, with the file's display title, if it fits in maxLength;
 * - when the title alone is longer than maxLength: the title alone if keepName, else the path
 *   whole;
 * - else the drive and first directory (just the drive for "C:\name", "\\server\share" for a
 *   network path), "\...", as many of the last directories as fit in maxLength and the title;
 *   the title alone when that cannot fit.
 * Every "&" is then doubled as DoubleUpAmpersands does. A null path returns 0. */
TSAPI(short, GetDisplayName,
      (char *path, short maxLength, const char *homeDir, short homeDirLength, Boolean keepName));

/* Doubles every "&" of the C string in place so that a menu shows it, and returns the new
 * length. The result is cut after 254 characters (even between the two "&" of a pair): text
 * must have room for 255 bytes. A null text returns 0. */
TSAPI(short, DoubleUpAmpersands, (char *text));

#endif
