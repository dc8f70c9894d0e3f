// Bits, tick arithmetic and menu display names: the portable cores behind the utility exports.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frame/bit_utilities.h"
#include "frame/display_name.h"
#include "frame/tick_math.h"

using namespace tstools;

namespace {

#include "ampersand_cases.inc"

// One bit each (n, its byte, its mask), never the bit number itself as a mask; negative n reaches back.
TEST(Bits, SetTestClearTouchExactlyOneToolboxBit) {
  const int32_t cases[][3] = {{0, 0, 0x80}, {7, 0, 0x01}, {13, 1, 0x04}, {23, 2, 0x01}, {-1, -1, 0x01}, {-9, -2, 0x01}};
  for (const auto &c : cases) {
    unsigned char bytes[6] = {}, expected[6] = {}, *base = bytes + 3;
    expected[3 + c[1]] = uint8_t(c[2]);
    SetBit(base, c[0]);
    EXPECT_TRUE(!std::memcmp(bytes, expected, 6) && TestBit(base, c[0]) && !TestBit(base, c[0] ^ 1)) << c[0];
    std::memset(bytes, 0xFF, 6);
    ClearBit(base, c[0]);
    EXPECT_TRUE(bytes[3 + c[1]] == (0xFF ^ c[2]) && !TestBit(base, c[0])) << c[0];
  }
  const int32_t shifts[][3] = {{-8, 1, -4}, {-1, 31, -1}, {0x40000000, 30, 1}, {-16, 33, -8}, {-256, -28, -16}};
  for (const auto &s : shifts) EXPECT_EQ(ShiftRightArithmetic(s[0], s[1]), s[2]) << s[0] << ">>" << s[1];
}

// Tick products past the 8.3-day mark (2^32 / 6 ms), the count running on across the 49.7-day
// wrap, and Delay's 16.5 ms per tick for starts past 2^31 ms (24.8 days) and across the wrap.
TEST(Ticks, NoOverflowAtTheEightDayTwentyFiveDayAndWrapMarks) {
  EXPECT_EQ(MillisecondsToTicks(0xFFFFFFFF), 257698037u);
  TickState state;
  uint64_t before = MillisecondsToTicks(state.Extend(0xFFFFFFFFu - 999));
  EXPECT_EQ(MillisecondsToTicks(state.Extend(1000)) - before, 120u);
  const struct { uint32_t start, now; int32_t ticks; bool due; int32_t elapsed; } delays[] = {
      {0, 989, 60, false, 59}, {0, 990, 60, true, 60}, {0x80000064, 0x80000441, 60, false, 59},
      {0xFFFFFF00, 0x2DE, 60, true, 60}, {5, 5, -3, true, 0}, {0, 0xFFFFFFFF, 0x7FFFFFFF, false, 260301048}};
  for (const auto &d : delays)
    EXPECT_TRUE(DelayIsDue(d.start, d.now, d.ticks) == d.due && DelayTicksElapsed(d.start, d.now) == d.elapsed)
        << d.start << " " << d.now;
}

TEST(DisplayName, AmpersandsDoubledAsPythonDoesThem) {
  for (const auto &c : kAmpersandCases) {
    std::string text = c.text + std::string(kMenuTextCapacity, '\0');
    EXPECT_TRUE(DoubleUpAmpersandsInPlace(&text[0]) == std::strlen(c.expected) && text.c_str() == std::string(c.expected))
        << c.text;
  }
}

bool ShiftJisLead(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

TEST(DisplayName, WorkedPaths) {
  const struct { const char *path; long maxLength; const char *home; bool keepName; const char *expected; } cases[] = {
      {"C:\\Project\\alpha\\beta\\gamma\\delta\\epsilon\\zeta\\eta\\notes.txt", 30, "", 0, "C:\\Project\\...\\eta\\notes.txt"},
      {"c:\\HOME\\Docs\\Plan&.txt", 5, "C:\\home\\docs\\", 0, "Plan&&.txt"},
      {"\\\\server\\share\\one\\two\\three\\file.txt", 30, "", 0, "\\\\server\\share\\...\\file.txt"},
      {"\\\\server\\name_of_file.txt", 20, "", 0, "name_of_file.txt"},
      {"/usr/local/share/doc/readme.txt", 20, "", 0, "readme.txt"},
      {"C:\\dir\\averyveryverylongname.txt", 10, "", 1, "averyveryverylongname.txt"},
      {"C:\\dir\\averyveryverylongname.txt", 10, "", 0, "C:\\dir\\averyveryverylongname.txt"},
      {"C:\\dir\\\x95\x5Cname.txt", 8, "C:\\dir\\", 0, "\x95\x5Cname.txt"},  // a trail byte, no separator
  };
  for (const auto &c : cases) {
    char path[kDisplayPathCapacity] = {};
    std::strcpy(path, c.path);
    DisplayNameRequest request{c.maxLength, c.home, long(std::strlen(c.home)), c.keepName, nullptr, ShiftJisLead};
    EXPECT_TRUE(ShortenDisplayNameInPlace(path, request) == std::strlen(c.expected) && !std::strcmp(path, c.expected))
        << c.path << " -> " << path;
  }
}

}  // namespace
