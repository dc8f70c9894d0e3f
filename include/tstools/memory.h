/* Memory Manager: handles, pointers, block utilities, global memory and RefCon lists.
 *
 * A Handle is the address of a master record: the data pointer (so *h is the data), then the
 * size-and-lock word (logical size in bits 0-23, lock count in bits 24-31). Relocatable
 * handles may move while their lock count is 0; locked and fixed ones never move. Every block
 * has two bytes after its logical data that belong to the Memory Manager.
 *
 * Results are Toolbox codes: noErr, memFullErr (-108: out of memory or size over the limit),
 * nilHandleErr (-109: a null handle or argument), memWZErr (-111: not one of our blocks; the
 * library recognises its own blocks by address, so a stale or foreign pointer is refused,
 * never dereferenced). Calls marked "sets the last error" also store their result in the
 * register read by MemLastError.
 *
 * The zone is created by MemInitZone; calls made before it create it on first use.
 */
#ifndef TSTOOLS_MEMORY_H
#define TSTOOLS_MEMORY_H

#include <tstools/types.h>

/* Creates the process's zone (if not yet there). 0, or -108. Sets the last error. */
TSAPI(OSErr, MemInitZone, (void));
/* Disposes every handle and Ptr and releases the zone: 1, or -1 when there was no zone. */
TSAPI(long, MemFreeZone, (void));
/* Returns free memory to the system: the size of the largest free block, or -1 without a zone. */
TSAPI(long, MemMaximize, (void));
/* The last-error register: the result of the last call that sets it (noErr at start). */
TSAPI(OSErr, MemLastError, (void));
/* Stores err in the last-error register and returns it. */
TSAPI(OSErr, MemSetError, (OSErr err));

/* New relocatable handle of logical size 0..16,777,213, zero-filled when clear is nonzero,
 * lock count 0. On failure *out is null and the result -108. Sets the last error. */
TSAPI(OSErr, MemNewHandle, (Handle *out, Size size, Boolean clear));
/* 0, -109 for null, -111 when h is not a live handle. Sets the last error. */
TSAPI(OSErr, MemDisposeHandle, (Handle h));
/* Logical size from the master record; 0 and -111 (or -109) for a bad handle. Sets the last error. */
TSAPI(OSErr, MemGetHandleSize, (Handle h, Size *size));
/* Resizes, keeping the data up to the smaller size. An unlocked relocatable handle may move
 * (*h is updated); a locked or fixed one grows only in place and otherwise fails with -108.
 * A failure leaves the handle as it was. Sets the last error. */
TSAPI(OSErr, MemSetHandleSize, (Handle h, Size size));
/* n > 0 adds a lock (saturating at 255), n < 0 removes one, n = 0 removes all and turns a
 * fixed handle back into a relocatable one. Locking requests leave fixed handles alone.
 * 0, or -111 (-109) for a bad handle, which is left unchanged. Sets the last error. */
TSAPI(OSErr, MemSetHandleLock, (Handle h, long n));
/* *state = lock count, capped at 127 (127 for a bad handle). Sets the last error. */
TSAPI(OSErr, MemGetHandleState, (Handle h, signed char *state));
/* Brings the lock count to state (a saved MemGetHandleState value); state 0 is
 * MemSetHandleLock(h, 0). Returns the last-error register. */
TSAPI(OSErr, MemSetHandleState, (Handle h, signed char state));
/* Makes a relocatable handle fixed (it never moves again) and adds one lock. Sets the last error. */
TSAPI(OSErr, MemMoveHandleHigh, (Handle h));

/* Non-relocatable block of size bytes (plus the two trailing bytes), zero-filled when clear
 * is nonzero; null and -108 on failure. Sets the last error. */
TSAPI(OSErr, MemNewPtr, (Ptr *out, Size size, Boolean clear));
/* Frees a block of MemNewPtr. 0, -109 for null, -111 when p is not a live block of ours
 * (a pointer into one is refused). Sets the last error. */
TSAPI(OSErr, MemDisposePtr, (Ptr p));
/* The size asked for at MemNewPtr or MemSetPtrSize; 0 and -111 (or -109) for a bad p. Sets
 * the last error. */
TSAPI(OSErr, MemGetPtrSize, (Ptr p, Size *size));
/* Resizes in place only; -108 when the block cannot grow where it is. Sets the last error. */
TSAPI(OSErr, MemSetPtrSize, (Ptr p, Size size));
/* memmove: overlapping ranges are safe; nothing happens for count <= 0. */
TSAPI(void, MemBlockMove, (const void *src, void *dst, Size count));

/* Replaces *h with a new handle holding a copy of its data; *h is null after an allocation failure. */
TSAPI(OSErr, HandToHand, (Handle *h));
/* A new handle holding a copy of size bytes at src. *out is null on failure: -109 for a null
 * out (or a null src with size > 0), -108 for a bad size or no memory. */
TSAPI(OSErr, PtrToHand, (const void *src, Handle *out, Size size));
/* Resizes h to size and copies src into it (src may lie in h). -111 for a null or bad h,
 * -108 for a negative size or no memory, -109 for a null src with size > 0, -50 when src
 * overlaps h's block without lying within its data. */
TSAPI(OSErr, PtrToXHand, (const void *src, Handle h, Size size));
/* Appends hA's data to hB (hA may be hB). -109 for a null handle. */
TSAPI(OSErr, HandAndHand, (Handle hA, Handle hB));
/* Appends size bytes of src to h (src may point into h). -109 for a null handle or src,
 * -50 for a negative size or a src overlapping h's block without lying within its data. */
TSAPI(OSErr, PtrAndHand, (const void *src, Handle h, Size size));
/* Search and replace in h from offset:
 *   ptr1 null, len1 < 0, ptr2 given: replace everything from offset with ptr2;
 *   len1 = 0, ptr2 given: insert ptr2 at offset (past the end pads with zeros);
 *   ptr1 given: the target is the first match at or after offset; ptr1 null: the len1 bytes
 *   at offset (len1 < 0: to the end; clamped to the data);
 *   ptr2 null: returns the target's position, changing nothing;
 *   otherwise the target is replaced with ptr2 (len2 = 0 deletes it).
 * Returns the position after the inserted bytes, or -1 (nothing changed) when there is no
 * target, offset is negative or the handle cannot grow. ptr1 and ptr2 may point into h. */
TSAPI(long, MemMunger, (Handle h, long offset, const void *ptr1, long len1, const void *ptr2,
                        long len2));

/* A new moveable, shareable global block holding size bytes of src. -109 for a null
 * argument, -108 (with *out null) when the block cannot be made. */
TSAPI(OSErr, PtrToHGlobal, (const void *src, HGLOBAL *out, Size size));
/* A new handle holding the whole global block (GlobalSize bytes). -109 for a null argument,
 * -108 when the block cannot be locked or the handle made. */
TSAPI(OSErr, HGlobalToHand, (HGLOBAL hglobal, Handle *out));

/* RefCon lists: 32-bit values in a moveable global block, found again by a 16-bit index
 * (1 and up). InitRefConList adds the global atom "refCon" (-108 if it cannot). */
TSAPI(OSErr, InitRefConList, (void));
/* Deletes the "refCon" atom. Lists are not touched: free each with GlobalFree. */
TSAPI(void, DisposeRefList, (void));
/* A new empty list of 32 slots; null when out of memory. Free it with GlobalFree. */
TSAPI(HGLOBAL, GetNewRefList, (void));
/* Stores value in a free slot (the most recently freed first), growing the list by 32 slots
 * when needed. -109 for a null list, -108 when it cannot grow, -111 for a damaged list. */
TSAPI(OSErr, AddToRefList, (HGLOBAL list, long value, short *index));
/* -109 for a null list; -50 for index 0 or one past the list. */
TSAPI(OSErr, GetFromRefList, (HGLOBAL list, long *value, short index));
/* Frees a slot for reuse. -109 for a null list; -50 (nothing changed) for index 0, an index
 * past the list or a slot that is already free. */
TSAPI(OSErr, DeleteFromRefList, (HGLOBAL list, short index));

#endif
