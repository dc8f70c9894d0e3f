// The numerics and date exports through TSTOOLS.DLL.
#include <gtest/gtest.h>

#include <float.h>

#include <cmath>
#include <cstring>
#include <string>

#include "tstools/tstools.h"

namespace {

struct RoundingGuard {
  ~RoundingGuard() { SetRound(TONEAREST); }
};

std::string Text(const unsigned char *s) { return std::string(reinterpret_cast<const char *>(s + 1), s[0]); }

double Divide(double a, double b) {
  volatile double x = a, y = b;
  return x / y;
}

// The direction is the processor's: the host's own division follows SetRound, and the
// library reads back what the host's runtime sets.
TEST(NumericsExports, SetRoundGovernsTheHostsArithmetic) {
  RoundingGuard guard;
  EXPECT_EQ(SetRound(7), 7u);
  EXPECT_EQ(SetRound(-1), 0xFFFFu);
  EXPECT_EQ(GetRound(), TONEAREST);
  unsigned int word = SetRound(UPWARD);
  EXPECT_EQ(word & _MCW_RC, static_cast<unsigned>(_RC_UP));
  EXPECT_EQ(GetRound(), UPWARD);
  double up = Divide(1, 3);
  SetRound(DOWNWARD);
  EXPECT_EQ(GetRound(), DOWNWARD);
  double down = Divide(1, 3);
  EXPECT_EQ(std::nextafter(down, 1.0), up);
  SetRound(TOWARDZERO);
  EXPECT_EQ(Divide(-1, 3), -down);
  EXPECT_EQ(GetRound(), TOWARDZERO);
  _controlfp(_RC_UP, _MCW_RC);
  EXPECT_EQ(GetRound(), UPWARD);
}

TEST(NumericsExports, RIntFollowsTheDirection) {
  RoundingGuard guard;
  double out;
  EXPECT_EQ(*ML_RInt(2.5, &out), 2.0);
  SetRound(UPWARD);
  EXPECT_EQ(*ML_RInt(2.5, &out), 3.0);
  SetRound(DOWNWARD);
  EXPECT_EQ(*ML_RInt(-2.5, &out), -3.0);
}

TEST(NumericsExports, Num2StrRoundsInTheCurrentDirection) {
  RoundingGuard guard;
  decform f = {FIXEDDECIMAL, 0};
  Str255 s;
  EXPECT_EQ(Num2Str(&f, 2.5, s), 1);
  EXPECT_EQ(Text(s), "3");
  SetRound(TOWARDZERO);
  Num2Str(&f, 2.5, s);
  EXPECT_EQ(Text(s), "2");
  SetRound(TONEAREST);
  f = {FLOATDECIMAL, 25};
  EXPECT_EQ(Num2Str(&f, 1234.5, s), 25);
  EXPECT_EQ(f.digits, 20);
  EXPECT_EQ(Text(s), " 1.2345000000000000000e+3");
  f = {FLOATDECIMAL, 5};
  EXPECT_EQ(Num2Str(&f, -HUGE_VAL, s), 1);
  EXPECT_EQ(Text(s), "INF");
}

TEST(NumericsExports, DecimalRecords) {
  decform f = {FLOATDECIMAL, 5};
  decimal d;
  EXPECT_EQ(Num2Dec(&f, -1234.5, &d), 0);
  EXPECT_EQ(d.sgn, 1);
  EXPECT_EQ(d.exp, -1);
  EXPECT_EQ(Text(d.sig), "12345");
  double out;
  EXPECT_EQ(*ML_Dec2Num(&d, &out), -1234.5);

  decimal untouched;
  std::memset(&untouched, 0x77, sizeof untouched);
  decimal copy = untouched;
  f = {FIXEDDECIMAL, 5};
  EXPECT_EQ(Num2Dec(&f, 3.0, &untouched), FIXEDDECIMAL);
  EXPECT_EQ(std::memcmp(&untouched, &copy, sizeof copy), 0);

  f = {FLOATDECIMAL, 300};
  Num2Dec(&f, 0.1, &d);
  EXPECT_EQ(d.sig[0], 255);

  Str255 s = {9, ' ', '-', '1', '.', '5', 'e', '3', 'x', 'y'};
  EXPECT_EQ(*ML_Str2Num(s, &out), -1500.0);
  Str255 inf = {3, 'I', 'N', 'F'};
  EXPECT_EQ(*ML_Str2Num(inf, &out), HUGE_VAL);
}

TEST(NumericsExports, SmallFunctions) {
  double out;
  EXPECT_EQ(Num2Longint(-7.9), -7);
  EXPECT_EQ(*ML_Num2Double(2.25, &out), 2.25);
  EXPECT_EQ(*ML_XpwrY(2, 0.5, &out), std::sqrt(2.0));
  EXPECT_EQ(*ML_Annuity(0, 7, &out), 7.0);
  EXPECT_TRUE(std::isnan(*ML_Compound(std::nan(""), 2, &out)));
  double seed = 1;
  EXPECT_EQ(ML_RandomX(&seed), &seed);
  EXPECT_EQ(seed, 16807.0);
  EXPECT_EQ(*ML_Log2(8, &out), 3.0);
  EXPECT_NEAR(*ML_Ln(std::exp(1.0), &out), 1.0, 1e-15);
  EXPECT_EQ(*ML_Log2(0, &out), -HUGE_VAL);
  EXPECT_TRUE(std::isnan(*ML_Ln(-1, &out)));
  EXPECT_EQ(*ML_Infinity(&out), HUGE_VAL);
  EXPECT_TRUE(std::isnan(*ML_NaN(9, &out)));
}

TEST(DateExports, ConversionsThroughTheDll) {
  DateTimeRec d = {2040, 2, 6, 6, 28, 15, 0};
  unsigned long secs = 0;
  Date2Secs(&d, &secs);
  EXPECT_EQ(secs, 0xFFFFFFFFul);
  SecondsToDate(0, &d);
  EXPECT_EQ(d.year, 1904);
  EXPECT_EQ(d.dayOfWeek, 6);
}

// GetTime uses the Windows day of week (0 Sunday); SecondsToDate the Mac one (1 Sunday).
TEST(DateExports, GetTimeGivesTheWindowsDayOfWeek) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    SYSTEMTIME before, after;
    GetLocalTime(&before);
    DateTimeRec now;
    GetTime(&now);
    unsigned long secs;
    GetDateTime(&secs);
    GetLocalTime(&after);
    if (before.wDay != after.wDay || before.wMinute != after.wMinute) continue;  // crossed a boundary
    EXPECT_EQ(now.year, after.wYear);
    EXPECT_EQ(now.month, after.wMonth);
    EXPECT_EQ(now.day, after.wDay);
    EXPECT_EQ(now.hour, after.wHour);
    EXPECT_EQ(now.minute, after.wMinute);
    EXPECT_EQ(now.dayOfWeek, after.wDayOfWeek);
    DateTimeRec mac;
    SecondsToDate(secs, &mac);
    EXPECT_EQ(mac.dayOfWeek, now.dayOfWeek + 1);
    unsigned long read = 0;
    EXPECT_EQ(ReadDateTime(&read), noErr);
    EXPECT_GE(read, secs);
    return;
  }
  FAIL() << "the clock kept crossing minute boundaries";
}

// Only records the clock can never be set from: these must fail without touching it.
TEST(DateExports, SetTimeRejectsRecordsOutsideTheRange) {
  const DateTimeRec bad[] = {{1999, 13, 1, 0, 0, 0, 0}, {1999, 1, 0, 0, 0, 0, 0},
                             {1903, 12, 31, 0, 0, 0, 0}, {2040, 2, 6, 6, 28, 16, 0},
                             {2001, 2, 29, 0, 0, 0, 0},  {2000, 1, 1, 24, 0, 0, 0}};
  for (const DateTimeRec &d : bad) {
    EXPECT_EQ(ASetTime(&d), FALSE);
    EXPECT_EQ(SetTime(&d), FALSE);
  }
}

}  // namespace
