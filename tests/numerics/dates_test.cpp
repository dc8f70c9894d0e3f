#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "numerics/mac_dates.h"
#include "oracle_file.h"

namespace tstools::dates {
namespace {

CivilTime Date(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  CivilTime t;
  t.year = y, t.month = mo, t.day = d, t.hour = h, t.minute = mi, t.second = s;
  return t;
}

// "y m d h mi s", to compare records in one expectation.
std::string Fields(const CivilTime &t) {
  std::ostringstream out;
  out << t.year << ' ' << t.month << ' ' << t.day << ' ' << t.hour << ' ' << t.minute << ' ' << t.second;
  return out.str();
}

// Every day of the 32-bit range against Python's datetime, both ways.
TEST(MacDates, EveryDayMatchesPythonDatetime) {
  int days = 0;
  for (const std::string &line : testing::ReadOracleLines("dates.txt")) {
    std::istringstream in(line);
    int y, mo, d, h, mi, s, dow;
    unsigned long long secs;
    in >> y >> mo >> d >> h >> mi >> s >> dow >> secs;
    SCOPED_TRACE(line);
    ASSERT_EQ(DateToSeconds(Date(y, mo, d, h, mi, s)), secs);
    CivilTime t = SecondsToDate(static_cast<std::uint32_t>(secs));
    ASSERT_EQ(Fields(t) + ' ' + std::to_string(t.dayOfWeek), line.substr(0, line.rfind(' ')));
    ASSERT_EQ(DateToSeconds(Date(y, mo, d)), secs - (h * 3600 + mi * 60 + s));
    ++days;
  }
  EXPECT_EQ(days, 49711);
}

// The oracle covers every day, both range ends and odd seconds; these are the rest.
TEST(MacDates, WrapsPastTheRangeAndChecksRecords) {
  EXPECT_EQ(SecondsToDate(0).dayOfWeek, 6) << "1 January 1904 was a Friday";
  EXPECT_EQ(DateToSeconds(Date(2040, 2, 6, 6, 28, 16)), 0u);
  // Extreme 16-bit fields compute without overflow.
  DateToSeconds(Date(32767, 32767, 32767, 32767, 32767, 32767));
  DateToSeconds(Date(-32768, -32768, -32768, -32768, -32768, -32768));

  const std::pair<CivilTime, bool> records[] = {
      {Date(1904, 1, 1), true},           {Date(2040, 2, 6, 6, 28, 15), true}, {Date(2000, 2, 29), true},
      {Date(2001, 2, 29), false},         {Date(2040, 2, 6, 6, 28, 16), false}, {Date(1903, 12, 31, 23, 59, 59), false},
      {Date(1999, 13, 1), false},         {Date(1999, 4, 31), false},           {Date(1999, 1, 1, 0, 60), false},
  };
  for (const auto &r : records)
    EXPECT_EQ(IsRepresentable(r.first), r.second) << Fields(r.first);
}

// Stands in for the computer's clock.
struct FakeClock : Clock {
  CivilTime now = Date(2024, 5, 17, 13, 45, 31);
  std::vector<CivilTime> writes;
  CivilTime ReadLocal() override { return now; }
  bool WriteLocal(const CivilTime &t) override { return writes.push_back(t), writes.size() < 3; }
};

// Odd seconds and years before 1980 reach the clock as they are; records outside the
// range never reach it; the clock's refusal is reported.
TEST(MacDates, ClockIsReadAndSetToTheSecondOnlyFromValidRecords) {
  FakeClock clock;
  EXPECT_EQ(ReadClockSeconds(clock), DateToSeconds(clock.now));
  ASSERT_TRUE(SetClockFromDate(clock, Date(1975, 7, 4, 12, 0, 31)));
  EXPECT_FALSE(SetClockFromDate(clock, Date(2041, 1, 1)));
  ASSERT_TRUE(SetClockFromSeconds(clock, 0xFFFFFFFFu));
  EXPECT_FALSE(SetClockFromSeconds(clock, 12345));
  ASSERT_EQ(clock.writes.size(), 3u);
  EXPECT_EQ(Fields(clock.writes[0]) + "|" + Fields(clock.writes[1]), "1975 7 4 12 0 31|2040 2 6 6 28 15");
}

}  // namespace
}  // namespace tstools::dates
