/* Mac time in ticks, 60ths of a second. */
#ifndef TSTOOLS_TICKS_H
#define TSTOOLS_TICKS_H

#include <tstools/types.h>

/* Ticks since Windows started; runs on across the wrap of the system's 32-bit millisecond
 * count (49.7 days) and wraps itself only at 2^32 ticks. */
TSAPI(unsigned long, TickCount, (void));
/* The caret blink time and the double-click time, in ticks. */
TSAPI(unsigned long, GetCaretTime, (void));
TSAPI(unsigned long, GetDblTime, (void));

/* Waits ticks x 16.5 ms (busy, without dispatching messages), then returns the time that
 * passed in ticks of 16.5 ms and stores it in *finalTicks when finalTicks is not null. A count
 * of 0 or less returns at once. */
TSAPI(long, Delay, (long ticks, long *finalTicks));

#endif
