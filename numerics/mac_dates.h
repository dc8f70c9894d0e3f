// Mac dates: seconds since midnight 1 January 1904 (local time, unsigned 32 bits) and the
// broken-down date record, with the clock behind a small interface so that nothing but the
// DLL's own glue ever touches the real one.
#pragma once

#include <cstdint>

namespace tstools::dates {

// The fields of the host's DateTimeRec, in its order.
struct CivilTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  int dayOfWeek = 0;
};

// Record to seconds: integer arithmetic on the four-year cycle, wrapping modulo 2^32. Fields
// out of their usual ranges are used as they are; dayOfWeek is ignored.
std::uint32_t DateToSeconds(const CivilTime &date);

// Seconds to record; dayOfWeek 1 (Sunday) to 7 (Saturday).
CivilTime SecondsToDate(std::uint32_t seconds);

// True when every field is in range and the moment lies within the 32-bit count
// (1904-01-01 00:00:00 to 2040-02-06 06:28:15). dayOfWeek is not checked.
bool IsRepresentable(const CivilTime &date);

// The computer's clock in local time. Windows day of week: 0 Sunday to 6 Saturday.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual CivilTime ReadLocal() = 0;
  // Sets the clock to a local time (already validated); false when the system refuses.
  virtual bool WriteLocal(const CivilTime &local) = 0;
};

// The current local time in Mac seconds (GetDateTime).
std::uint32_t ReadClockSeconds(Clock &clock);

// Sets `clock` from a record: a record outside the representable range returns false and
// leaves the clock alone. The seconds are kept exactly.
bool SetClockFromDate(Clock &clock, const CivilTime &date);

// SetDateTime: the record of `seconds`, then SetClockFromDate.
bool SetClockFromSeconds(Clock &clock, std::uint32_t seconds);

}  // namespace tstools::dates
