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

TEST_F(MungerTest, FindAndReplace) {
  Load("xxabyy");
  EXPECT_EQ(Munge(0, "ab", 2, nullptr, 0), 2);
  EXPECT_EQ(Munge(3, "ab", 2, nullptr, 0), -1) << "search starts at offset";
  EXPECT_EQ(Munge(0, "ab", 2, "Q", 1), 3);
  EXPECT_EQ(Contents(), "xxQyy");
  EXPECT_EQ(Munge(0, "yy", 2, "1234", 4), 7);
  EXPECT_EQ(Contents(), "xxQ1234");
  EXPECT_EQ(Munge(0, "zz", 2, "!", 1), -1);
  EXPECT_EQ(Contents(), "xxQ1234");
  EXPECT_EQ(Munge(5, "34", 2, "", 0), 5) << "an empty replacement deletes";
  EXPECT_EQ(Contents(), "xxQ12");
  EXPECT_EQ(Munge(0, "2", 1, "", -1), -1) << "negative replacement length";
  EXPECT_EQ(Contents(), "xxQ12");
}

TEST_F(MungerTest, InsertAndReplaceTail) {
  Load("ab");
  EXPECT_EQ(Munge(3, nullptr, 0, "z", 1), 4);
  EXPECT_EQ(Contents(), std::string("ab\0z", 4)) << "the gap is zero-filled";
  EXPECT_EQ(Munge(1, "ignored", 0, "--", 2), 3);
  EXPECT_EQ(Contents(), std::string("a--b\0z", 6));
  EXPECT_EQ(Munge(2, nullptr, -1, "TAIL", 4), 6);
  EXPECT_EQ(Contents(), "a-TAIL");
  EXPECT_EQ(Munge(8, nullptr, -1, "!", 1), 9);
  EXPECT_EQ(Contents(), std::string("a-TAIL\0\0!", 9));
  Load("");
  EXPECT_EQ(Munge(0, nullptr, 0, "x", 1), 1) << "inserting into an empty handle";
  EXPECT_EQ(Contents(), "x");
}

TEST_F(MungerTest, DeleteStaysInsideTheData) {
  Load("0123456789");
  EXPECT_EQ(Munge(2, nullptr, 3, "", 0), 2);
  EXPECT_EQ(Contents(), "0156789");
  EXPECT_EQ(Munge(4, nullptr, 100, "", 0), 4) << "a length past the end stops at the end";
  EXPECT_EQ(Contents(), "0156");
  EXPECT_EQ(Munge(1, nullptr, -1, "", 0), 1) << "negative length: to the end";
  EXPECT_EQ(Contents(), "0");
  EXPECT_EQ(Munge(5, nullptr, 1, "", 0), -1) << "offset past the end";
  EXPECT_EQ(Contents(), "0");
}

TEST_F(MungerTest, RefusedArgumentsChangeNothing) {
  Load("abcdef");
  EXPECT_EQ(Munge(-1, nullptr, 0, "x", 1), -1);
  EXPECT_EQ(Munge(-3, "a", 1, "x", 1), -1);
  EXPECT_EQ(Munge(7, "a", 1, "x", 1), -1);
  EXPECT_EQ(Munge(7, nullptr, 2, "x", 1), -1);
  EXPECT_EQ(Munge(0, "abcdefg", 7, "x", 1), -1) << "a pattern longer than the data";
  EXPECT_EQ(Munge(0, "a", -1, "x", 1), -1) << "a negative pattern length finds nothing";
  EXPECT_EQ(Munge(0, nullptr, 2, "x", kMaxHandleSize), -1);
  EXPECT_EQ(Contents(), "abcdef");
  Load("");
  EXPECT_EQ(Munge(0, "a", 1, nullptr, 0), -1);
  EXPECT_EQ(Munge(0, nullptr, 1, "b", 1), -1);
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
