// Munger's documented cases, each from a fresh handle; the model test covers random calls.
#include <gtest/gtest.h>

#include <string>

#include "memory/zone.h"
#include "tests/memory/flaky_source.h"

namespace tstools::memory {
namespace {

class MungerTest : public testing::Test {
 protected:
  void Load(const std::string &s) {
    if (h) zone.DisposeHandle(h);
    ASSERT_EQ(PtrToHand(zone, s.data(), &h, static_cast<long>(s.size())), kNoErr);
  }
  std::string Contents() {
    long size = 0;
    zone.GetHandleSize(h, &size);
    return std::string(*h, static_cast<size_t>(size));
  }
  long Munge(long offset, const char *p1, long len1, const char *p2, long len2) {
    return Munger(zone, h, offset, p1, len1, p2, len2);
  }
  testing_support::FlakySource source;
  Zone zone{source};
  HandleRef h = nullptr;
};

TEST_F(MungerTest, DocumentedCases) {
  const std::string gap("ab\0z", 4);
  struct Case {
    std::string before;
    long offset;
    const char *p1;
    long len1;
    const char *p2;
    long len2;
    long result;
    std::string after;  // empty: unchanged
  } const cases[] = {
      // Find, and find and replace.
      {"xxabyy", 0, "ab", 2, nullptr, 0, 2, ""},
      {"xxabyy", 3, "ab", 2, nullptr, 0, -1, ""},  // the search starts at offset
      {"xxabyy", 0, "ab", 2, "Q", 1, 3, "xxQyy"},
      {"xxQyy", 0, "yy", 2, "1234", 4, 7, "xxQ1234"},
      {"xxQ1234", 0, "zz", 2, "!", 1, -1, ""},
      {"xxQ1234", 5, "34", 2, "", 0, 5, "xxQ12"},  // an empty replacement deletes
      {"xxQ12", 0, "2", 1, "", -1, -1, ""},        // negative replacement length
      // Insert (len1 0) and replace the tail (no pattern, len1 < 0).
      {"ab", 3, nullptr, 0, "z", 1, 4, gap},  // the gap is zero-filled
      {gap, 1, "ignored", 0, "--", 2, 3, std::string("a--b\0z", 6)},
      {"a--b", 2, nullptr, -1, "TAIL", 4, 6, "a-TAIL"},
      {"a-TAIL", 8, nullptr, -1, "!", 1, 9, std::string("a-TAIL\0\0!", 9)},
      {"", 0, nullptr, 0, "x", 1, 1, "x"},
      // Delete a range (no pattern), staying inside the data.
      {"0123456789", 2, nullptr, 3, "", 0, 2, "0156789"},
      {"0156789", 4, nullptr, 100, "", 0, 4, "0156"},  // a length past the end stops there
      {"0156", 1, nullptr, -1, "", 0, 1, "0"},
      {"0", 5, nullptr, 1, "", 0, -1, ""},  // offset past the end
      // Refused arguments change nothing.
      {"abcdef", -1, nullptr, 0, "x", 1, -1, ""},
      {"abcdef", -3, "a", 1, "x", 1, -1, ""},
      {"abcdef", 7, "a", 1, "x", 1, -1, ""},
      {"abcdef", 7, nullptr, 2, "x", 1, -1, ""},
      {"abcdef", 0, "abcdefg", 7, "x", 1, -1, ""},  // a pattern longer than the data
      {"abcdef", 0, "a", -1, "x", 1, -1, ""},       // a negative pattern length finds nothing
      {"abcdef", 0, nullptr, 2, "x", kMaxHandleSize, -1, ""},
      {"", 0, "a", 1, nullptr, 0, -1, ""},
      {"", 0, nullptr, 1, "b", 1, -1, ""},
  };
  for (const Case &c : cases) {
    Load(c.before);
    EXPECT_EQ(Munge(c.offset, c.p1, c.len1, c.p2, c.len2), c.result) << c.before << " at " << c.offset;
    EXPECT_EQ(Contents(), c.after.empty() ? c.before : c.after) << c.before << " at " << c.offset;
  }
}

TEST_F(MungerTest, PatternAndReplacementMayPointIntoTheHandle) {
  Load("abcabc");
  EXPECT_EQ(Munge(1, *h, 2, *h + 3, 3), 6) << "finds the second ab, replaces with abc";
  EXPECT_EQ(Contents(), "abcabcc");
  EXPECT_EQ(Munge(0, nullptr, 0, *h, 7), 7) << "inserting the handle into itself";
  EXPECT_EQ(Contents(), "abcabccabcabcc");
  EXPECT_EQ(Munge(0, nullptr, 1, *h + 10, 10), -1) << "a replacement running out of the data";
  EXPECT_EQ(Contents(), "abcabccabcabcc");
}

TEST_F(MungerTest, LockedHandleThatCannotGrowIsUnchanged) {
  Load("abc");
  zone.SetHandleLock(h, 1);
  EXPECT_EQ(Munge(0, "b", 1, "LONGER", 6), -1);
  EXPECT_EQ(Contents(), "abc");
  EXPECT_EQ(Munge(0, "bc", 2, "Z", 1), 2) << "shrinking works in place";
  EXPECT_EQ(Contents(), "aZ");
}

}  // namespace
}  // namespace tstools::memory
