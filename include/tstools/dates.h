/* Mac dates: an unsigned 32-bit count of seconds since midnight, 1 January 1904, local time,
 * and the broken-down record. Leap years are every fourth year, exact over the 1904..2040
 * range the count covers. */
#ifndef TSTOOLS_DATES_H
#define TSTOOLS_DATES_H

#include <tstools/types.h>

/* dayOfWeek: SecondsToDate writes 1 (Sunday) to 7 (Saturday); AGetTime and GetTime write the
 * Windows day, 0 (Sunday) to 6 (Saturday); Date2Secs ignores it. */
typedef struct DateTimeRec {
  short year; /* full year, e.g. 1999 */
  short month; /* 1..12 */
  short day;   /* 1..31 */
  short hour, minute, second;
  short dayOfWeek;
} DateTimeRec;

#ifdef __cplusplus
static_assert(sizeof(DateTimeRec) == 14, "seven 16-bit fields");
#endif

enum { clkRdErr = -85, clkWrErr = -86 };

/* Record to seconds, dayOfWeek ignored. Fields are not checked: a day 32 or month 13 counts
 * on into the next month or year, and the count wraps modulo 2^32 outside 1904..2040. */
TSAPI(void, Date2Secs, (const DateTimeRec *d, unsigned long *secs));
/* Seconds to the record, with dayOfWeek 1 (Sunday) .. 7 (Saturday). */
TSAPI(void, SecondsToDate, (unsigned long secs, DateTimeRec *d));

/* AGetTime and GetTime (the same call): the current local date and time, with the Windows
 * day of the week 0 (Sunday) .. 6. */
TSAPI(void, AGetTime, (DateTimeRec *d));
TSAPI(void, GetTime, (DateTimeRec *d));

/* ASetTime and SetTime (the same call) set the system clock to the local time in *d, to the
 * second; setting it needs the system-time privilege. A record outside 1904-01-01
 * 00:00:00 .. 2040-02-06 06:28:15 or with a field out of range returns 0 and changes
 * nothing; otherwise returns the system's result (non-zero on success). */
TSAPI(BOOL, ASetTime, (const DateTimeRec *d));
TSAPI(BOOL, SetTime, (const DateTimeRec *d));

/* The current local time in seconds since 1904; ReadDateTime always returns noErr. */
TSAPI(void, GetDateTime, (unsigned long *secs));
TSAPI(OSErr, ReadDateTime, (unsigned long *secs));

/* Sets the clock to the local time secs; returns noErr, or clkWrErr when the system refuses. */
TSAPI(OSErr, SetDateTime, (unsigned long secs));

#endif
