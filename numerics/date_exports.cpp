// The date exports over the Windows clock. The clock sits behind tstools::dates::Clock so
// that the portable logic is tested with a stand-in and never sets the real one.
#include <windows.h>

#include "numerics/mac_dates.h"
#include "tstools/dates.h"

using tstools::dates::CivilTime;

namespace {

// Local time through file-time conversion, as the system keeps universal time. It holds no
// state: each call makes its own.
class SystemClock final : public tstools::dates::Clock {
 public:
  CivilTime ReadLocal() override {
    SYSTEMTIME utc, local;
    FILETIME utcFile, localFile;
    GetSystemTime(&utc);
    SystemTimeToFileTime(&utc, &utcFile);
    FileTimeToLocalFileTime(&utcFile, &localFile);
    FileTimeToSystemTime(&localFile, &local);
    CivilTime t;
    t.year = local.wYear;
    t.month = local.wMonth;
    t.day = local.wDay;
    t.hour = local.wHour;
    t.minute = local.wMinute;
    t.second = local.wSecond;
    t.dayOfWeek = local.wDayOfWeek;
    return t;
  }

  bool WriteLocal(const CivilTime &t) override {
    SYSTEMTIME local = {};
    local.wYear = static_cast<WORD>(t.year);
    local.wMonth = static_cast<WORD>(t.month);
    local.wDay = static_cast<WORD>(t.day);
    local.wHour = static_cast<WORD>(t.hour);
    local.wMinute = static_cast<WORD>(t.minute);
    local.wSecond = static_cast<WORD>(t.second);
    FILETIME localFile, utcFile;
    SYSTEMTIME utc;
    if (!SystemTimeToFileTime(&local, &localFile) || !LocalFileTimeToFileTime(&localFile, &utcFile) ||
        !FileTimeToSystemTime(&utcFile, &utc))
      return false;
    return SetSystemTime(&utc) != FALSE;
  }
};

CivilTime FromRecord(const DateTimeRec &d) {
  CivilTime t;
  t.year = d.year;
  t.month = d.month;
  t.day = d.day;
  t.hour = d.hour;
  t.minute = d.minute;
  t.second = d.second;
  t.dayOfWeek = d.dayOfWeek;
  return t;
}

void ToRecord(const CivilTime &t, DateTimeRec *d) {
  d->year = static_cast<short>(t.year);
  d->month = static_cast<short>(t.month);
  d->day = static_cast<short>(t.day);
  d->hour = static_cast<short>(t.hour);
  d->minute = static_cast<short>(t.minute);
  d->second = static_cast<short>(t.second);
  d->dayOfWeek = static_cast<short>(t.dayOfWeek);
}

}  // namespace

void WINAPI Date2Secs(const DateTimeRec *d, unsigned long *secs) {
  *secs = tstools::dates::DateToSeconds(FromRecord(*d));
}

void WINAPI SecondsToDate(unsigned long secs, DateTimeRec *d) {
  ToRecord(tstools::dates::SecondsToDate(static_cast<std::uint32_t>(secs)), d);
}

void WINAPI AGetTime(DateTimeRec *d) { ToRecord(SystemClock().ReadLocal(), d); }

void WINAPI GetTime(DateTimeRec *d) { AGetTime(d); }

BOOL WINAPI ASetTime(const DateTimeRec *d) {
  SystemClock clock;
  return tstools::dates::SetClockFromDate(clock, FromRecord(*d)) ? TRUE : FALSE;
}

BOOL WINAPI SetTime(const DateTimeRec *d) { return ASetTime(d); }

void WINAPI GetDateTime(unsigned long *secs) {
  SystemClock clock;
  *secs = tstools::dates::ReadClockSeconds(clock);
}

OSErr WINAPI ReadDateTime(unsigned long *secs) {
  GetDateTime(secs);
  return noErr;
}

OSErr WINAPI SetDateTime(unsigned long secs) {
  SystemClock clock;
  return tstools::dates::SetClockFromSeconds(clock, static_cast<std::uint32_t>(secs)) ? OSErr(noErr) : OSErr(clkWrErr);
}
