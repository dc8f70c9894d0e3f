// The numerics and date exports through TSTOOLS.DLL.
#include <gtest/gtest.h>

#include <float.h>

#include <string>

#include "tstools/tstools.h"

namespace {

struct RoundingGuard {
  ~RoundingGuard() { SetRound(TONEAREST); }
};

std::string Text(const unsigned char *s) { return std::string(reinterpret_cast<const char *>(s + 1), s[0]); }

// The direction is the processor's: the host's runtime sees what SetRound sets, and the
// library reads back what the runtime sets.
TEST(NumericsExports, SetRoundIsTheProcessorsDirection) {
  RoundingGuard guard;
  EXPECT_EQ(SetRound(7), 7u);
  EXPECT_EQ(SetRound(-1), 0xFFFFu);
  EXPECT_EQ(GetRound(), TONEAREST);
  const std::pair<short, unsigned> rows[] = {{UPWARD, _RC_UP}, {DOWNWARD, _RC_DOWN}, {TOWARDZERO, _RC_CHOP}};
  for (const auto &row : rows) {
    EXPECT_EQ(SetRound(row.first) & _MCW_RC, row.second) << row.first;
    EXPECT_EQ(_controlfp(0, 0) & _MCW_RC, row.second);
    EXPECT_EQ(GetRound(), row.first);
  }
  _controlfp(_RC_UP, _MCW_RC);
  EXPECT_EQ(GetRound(), UPWARD);
}

// The conversions take the direction from the processor too; their rules are the portable tests'.
TEST(NumericsExports, ConversionsFollowTheDirection) {
  RoundingGuard guard;
  double out;
  decform f = {FIXEDDECIMAL, 0};
  Str255 s;
  EXPECT_EQ(Num2Str(&f, 2.5, s), 1);
  EXPECT_EQ(Text(s), "3");
  SetRound(DOWNWARD);
  Num2Str(&f, 2.5, s);
  EXPECT_EQ(Text(s), "2");
  decimal d;
  f = {FLOATDECIMAL, 5};
  EXPECT_EQ(Num2Dec(&f, -1234.56, &d), 0);
  EXPECT_EQ(Text(d.sig) + " " + std::to_string(d.sgn) + " " + std::to_string(d.exp), "12345 1 -1");
  SetRound(TONEAREST);
  EXPECT_EQ(*ML_Dec2Num(&d, &out), -1234.5);
  f = {FLOATDECIMAL, 25};
  Num2Str(&f, 1234.5, s);
  EXPECT_EQ(f.digits, 20) << "the caller's decform sees the reduction";
  Str255 text = {9, ' ', '-', '1', '.', '5', 'e', '3', 'x', 'y'};
  EXPECT_EQ(*ML_Str2Num(text, &out), -1500.0);
}

TEST(NumericsExports, SmallFunctionsAndDates) {
  double seed = 1;
  EXPECT_EQ(Num2Longint(-7.9), -7);
  EXPECT_EQ(ML_RandomX(&seed), &seed);
  EXPECT_EQ(seed, 16807.0);
  DateTimeRec d = {2000, 3, 1, 0, 0, 0, 0};
  unsigned long secs = 0;
  Date2Secs(&d, &secs);
  EXPECT_EQ(secs, 3034713600ul);
  d.month = 13;
  EXPECT_EQ(ASetTime(&d), FALSE) << "a record outside the range never reaches the clock";
}

// GetTime uses the Windows day of week (0 Sunday); SecondsToDate the Mac one (1 Sunday).
TEST(DateExports, GetTimeGivesTheWindowsDayOfWeek) {
  SYSTEMTIME st;
  GetLocalTime(&st);
  DateTimeRec now, mac;
  GetTime(&now);
  unsigned long secs;
  GetDateTime(&secs);
  SecondsToDate(secs, &mac);
  if (st.wHour == 23 && st.wMinute == 59) GTEST_SKIP() << "too close to midnight";
  EXPECT_EQ(now.year * 10000 + now.month * 100 + now.day, st.wYear * 10000 + st.wMonth * 100 + st.wDay);
  EXPECT_NEAR(now.hour * 60 + now.minute, st.wHour * 60 + st.wMinute, 1);
  EXPECT_EQ(mac.dayOfWeek * 10 + now.dayOfWeek, (st.wDayOfWeek + 1) * 10 + st.wDayOfWeek);
}

}  // namespace
