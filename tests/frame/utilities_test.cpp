// Bits, tick arithmetic and menu display names: the portable cores behind the utility exports.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "frame/bit_utilities.h"
#include "frame/display_name.h"
#include "frame/tick_math.h"

namespace tstools {
namespace {

#include "ampersand_cases.inc"

// One bit each, never the bit number itself used as a mask; negative n reaches back.
TEST(Bits, SetTestClearTouchExactlyOneToolboxBit) {
  const struct {
    int32_t n, byte;
    uint8_t mask;
  } cases[] = {{0, 0, 0x80}, {7, 0, 0x01}, {8, 1, 0x80}, {13, 1, 0x04}, {23, 2, 0x01}, {-1, -1, 0x01}, {-9, -2, 0x01}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.n);
    unsigned char bytes[6] = {}, expected[6] = {};
    unsigned char *base = bytes + 3;
    expected[3 + c.byte] = c.mask;
    SetBit(base, c.n);
    EXPECT_EQ(0, std::memcmp(bytes, expected, 6));
    EXPECT_TRUE(TestBit(base, c.n));
    EXPECT_FALSE(TestBit(base, c.n ^ 1));
    std::memset(bytes, 0xFF, 6);
    ClearBit(base, c.n);
    EXPECT_EQ(bytes[3 + c.byte], 0xFF ^ c.mask);
    EXPECT_FALSE(TestBit(base, c.n));
  }
}

TEST(Bits, ShiftRightCopiesTheSignByCountModulo32) {
  const struct {
    int32_t value, count, expected;
  } cases[] = {{-8, 1, -4}, {-1, 31, -1}, {0x40000000, 30, 1}, {-16, 33, -8}, {5, 32, 5}, {-256, -28, -16}};
  for (const auto &c : cases) EXPECT_EQ(ShiftRightArithmetic(c.value, c.count), c.expected) << c.value << " " << c.count;
}

// The 8.3-day mark (2^32 / 6 ms) and the 49.7-day wrap of the millisecond count.
TEST(Ticks, MillisecondsConvertWithoutThirtyTwoBitOverflow) {
  const uint64_t cases[][2] = {{1000, 60}, {715827883, 42949672}, {0xFFFFFFFF, 257698037}, {(1ull << 32) + 1000, 257698097}};
  for (const auto &c : cases) EXPECT_EQ(MillisecondsToTicks(c[0]), c[1]) << c[0];
}

TEST(Ticks, CountRunsOnAcrossTheMillisecondWrap) {
  TickState state;
  uint64_t before = MillisecondsToTicks(state.Extend(0xFFFFFFFFu - 999));
  uint64_t after = MillisecondsToTicks(state.Extend(1000));
  EXPECT_EQ(after - before, 120u);
  state.Reset();
  EXPECT_EQ(state.Extend(5), 5u);
}

// 16.5 ms per tick from the unsigned difference: start times past 2^31 (24.8 days, where
// doubling the start overflows) and a wrap between start and now.
TEST(Ticks, DelayDeadlineAndElapsedTicks) {
  const struct {
    uint32_t start, now;
    int32_t ticks;
    bool due;
    int32_t elapsed;
  } cases[] = {{0, 989, 60, false, 59},          {0, 990, 60, true, 60},
               {0x80000064, 0x80000441, 60, false, 59}, {0x80000064, 0x80000442, 60, true, 60},
               {0xFFFFFF00, 0x2DD, 60, false, 59}, {0xFFFFFF00, 0x2DE, 60, true, 60},
               {5, 5, 0, true, 0},               {5, 5, -3, true, 0},
               {0, 0xFFFFFFFF, 0x7FFFFFFF, false, 260301048}};
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << c.start << " " << c.now << " " << c.ticks);
    EXPECT_EQ(DelayIsDue(c.start, c.now, c.ticks), c.due);
    EXPECT_EQ(DelayTicksElapsed(c.start, c.now), c.elapsed);
  }
}

TEST(DisplayName, AmpersandsDoubledAsPythonDoesThem) {
  for (const auto &c : kAmpersandCases) {
    std::string text = c.text;
    text.resize(std::max<size_t>(text.size(), kMenuTextCapacity) + 1);
    EXPECT_EQ(DoubleUpAmpersandsInPlace(&text[0]), std::strlen(c.expected));
    EXPECT_STREQ(text.c_str(), c.expected);
  }
}

// The system hides the extension of shortcuts; other names have no title of their own.
size_t HideLnkExtension(const char *name, char *title, size_t capacity) {
  size_t length = std::strlen(name);
  if (length < 4 || std::strcmp(name + length - 4, ".lnk") != 0) return 0;
  return std::snprintf(title, capacity, "%.*s", int(length - 4), name);
}

bool ShiftJisLead(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

TEST(DisplayName, WorkedPaths) {
  const struct {
    const char *path;
    long maxLength;
    const char *home;
    bool keepName, shiftJis;
    const char *expected;
  } cases[] = {
      {"C:\\Project\\alpha\\beta\\gamma\\delta\\epsilon\\zeta\\eta\\notes.txt", 30, nullptr, false, false,
       "C:\\Project\\...\\eta\\notes.txt"},
      {"c:\\HOME\\Docs\\Plan.lnk", 5, "C:\\home\\docs\\", false, false, "Plan"},
      {"C:\\home\\docs\\sub\\a.txt", 40, "C:\\home\\docs\\", false, false, "C:\\home\\docs\\sub\\a.txt"},
      {"C:\\d\\Tom & Jerry.lnk", 40, nullptr, false, false, "C:\\d\\Tom && Jerry"},
      {"\\\\server\\share\\one\\two\\three\\file.txt", 30, nullptr, false, false, "\\\\server\\share\\...\\file.txt"},
      {"\\\\server\\name_of_file.txt", 20, nullptr, false, false, "name_of_file.txt"},
      {"/usr/local/share/doc/readme.txt", 20, nullptr, false, false, "readme.txt"},
      {"/", 0, nullptr, false, false, ""},
      {"", 0, nullptr, true, false, ""},
      {"C:\\longfilename.txt", 18, nullptr, false, false, "longfilename.txt"},
      {"C:\\dir\\averyveryverylongname.txt", 10, nullptr, true, false, "averyveryverylongname.txt"},
      {"C:\\dir\\averyveryverylongname.txt", 10, nullptr, false, false, "C:\\dir\\averyveryverylongname.txt"},
      {"no_separator&name.txt", 5, nullptr, true, false, "no_separator&&name.txt"},
      {"C:\\dir\\\x95\x5Cname.txt", 8, "C:\\dir\\", false, true, "\x95\x5Cname.txt"},
      {"C:\\dir\\\x95\x5Cname.txt", 8, "C:\\dir\\", false, false, "name.txt"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.path);
    char path[kDisplayPathCapacity] = {};
    std::strcpy(path, c.path);
    DisplayNameRequest request;
    request.maxLength = c.maxLength;
    request.homeDir = c.home;
    request.homeDirLength = c.home ? long(std::strlen(c.home)) : -1;
    request.keepName = c.keepName;
    request.fileTitle = HideLnkExtension;
    request.isLeadByte = c.shiftJis ? ShiftJisLead : nullptr;
    EXPECT_EQ(ShortenDisplayNameInPlace(path, request), std::strlen(c.expected));
    EXPECT_STREQ(path, c.expected);
  }
}

// A home directory given a longer length than its text never matches, and is not read past.
TEST(DisplayName, HomeDirectoryShorterThanItsLength) {
  char path[kDisplayPathCapacity] = "C:\\a\\b.txt";
  DisplayNameRequest request;
  request.maxLength = 40;
  request.homeDir = "C:\\a";
  request.homeDirLength = 5;
  EXPECT_EQ(ShortenDisplayNameInPlace(path, request), 10u);
}

}  // namespace
}  // namespace tstools
