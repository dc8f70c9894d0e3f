#include "numerics/mac_dates.h"

namespace tstools::dates {
namespace {

bool IsLeapYear(int year) { return year % 4 == 0; }  // exact for 1904..2040

int DaysInMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

std::uint32_t DateToSeconds(const CivilTime &date) {
  // 64-bit intermediates: the fields are 16-bit, so nothing overflows before the final wrap.
  long long m = date.month - 1;
  long long d = date.day - 1;
  long long a = 0;
  if (m > 1) {  // March or later: count from 1 March, adding January and February
    m -= 2;
    a = IsLeapYear(date.year) ? 60 : 59;
  }
  long long y = date.year - 1904LL;
  long long days = a + (y * 1461 + 3) / 4 + (m * 3917 + 52) / 128 + d;
  long long seconds = (date.hour * 60LL + date.minute) * 60 + date.second + days * 86400;
  return static_cast<std::uint32_t>(static_cast<unsigned long long>(seconds));
}

CivilTime SecondsToDate(std::uint32_t seconds) {
  CivilTime t;
  std::uint32_t half = seconds / 2;
  std::uint32_t days = half / 43200;
  std::uint32_t timeOfDay = seconds % 2 + (half % 43200) * 2;
  t.dayOfWeek = static_cast<int>((days + 5) % 7 + 1);  // 1 January 1904 was a Friday
  t.hour = static_cast<int>(timeOfDay / 3600);
  t.minute = static_cast<int>(timeOfDay % 3600 / 60);
  t.second = static_cast<int>(timeOfDay % 60);
  t.year = static_cast<int>(days * 4 / 1461 + 1904);
  int r = static_cast<int>(days * 4 % 1461 / 4);  // zero-based day of the year
  int lastOfFebruary = IsLeapYear(t.year) ? 59 : 58;
  if (r > lastOfFebruary) {
    r -= lastOfFebruary + 1;
    t.month = 3 + (r * 128 + 71) / 3919;
  } else {
    t.month = 1 + (r * 128 + 71) / 3919;
  }
  t.day = (r * 128 + 71) % 3919 / 128 + 1;
  return t;
}

bool IsRepresentable(const CivilTime &date) {
  if (date.year < 1904 || date.year > 2040) return false;
  if (date.month < 1 || date.month > 12) return false;
  if (date.day < 1 || date.day > DaysInMonth(date.year, date.month)) return false;
  if (date.hour < 0 || date.hour > 23 || date.minute < 0 || date.minute > 59) return false;
  if (date.second < 0 || date.second > 59) return false;
  // The last moment of the count is 2040-02-06 06:28:15; past it the seconds would wrap.
  CivilTime last = SecondsToDate(0xFFFFFFFFu);
  const int a[6] = {date.year, date.month, date.day, date.hour, date.minute, date.second};
  const int b[6] = {last.year, last.month, last.day, last.hour, last.minute, last.second};
  for (int i = 0; i < 6; ++i)
    if (a[i] != b[i]) return a[i] < b[i];
  return true;
}

std::uint32_t ReadClockSeconds(Clock &clock) { return DateToSeconds(clock.ReadLocal()); }

bool SetClockFromDate(Clock &clock, const CivilTime &date) {
  if (!IsRepresentable(date)) return false;
  return clock.WriteLocal(date);
}

bool SetClockFromSeconds(Clock &clock, std::uint32_t seconds) {
  return SetClockFromDate(clock, SecondsToDate(seconds));
}

}  // namespace tstools::dates
