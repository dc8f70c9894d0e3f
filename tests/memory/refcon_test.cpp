#include <gtest/gtest.h>

#include <vector>

#include "memory/refcon_list.h"

namespace tstools::memory {
namespace {

// A list in a vector standing in for the global block; Grow mirrors AddToRefList.
struct List {
  std::vector<std::uint32_t> block = std::vector<std::uint32_t>(kRefConInitialSlots);
  List() { View().Format(); }
  RefConSlots View() { return RefConSlots(block.data(), block.size()); }
  short Add(std::uint32_t value) {
    if (View().Full()) {
      std::uint32_t capacity = View().Capacity();
      block.resize(capacity + kRefConGrowth);
      View().Extend(capacity);
    }
    short index = 0;
    EXPECT_EQ(View().Add(value, &index), 0);
    return index;
  }
};

TEST(RefConSlots, IndicesGrowthReuseAndBadIndices) {
  List list;
  for (short i = 1; i <= 31; ++i) EXPECT_EQ(list.Add(100u + i), i);
  EXPECT_EQ(list.View().Capacity(), 64u) << "the 31st addition grew the list first";
  ASSERT_EQ(list.View().Delete(5), 0);
  std::vector<std::uint32_t> before = list.block;
  std::uint32_t value = 99;
  for (short bad : {0, -1, 5, 32, 64}) EXPECT_EQ(list.View().Delete(bad), -50) << bad;  // 5, 32: free slots
  for (short bad : {0, -1, 64}) EXPECT_EQ(list.View().Get(bad, &value), -50) << bad;    // 64: past the list
  EXPECT_EQ(value, 99u);
  EXPECT_EQ(list.block, before) << "refused calls change nothing";
  EXPECT_EQ(list.Add(8), 5);
  EXPECT_EQ(list.Add(9), 32);
  EXPECT_EQ(list.View().Get(5, &value), 0);
  EXPECT_EQ(value, 8u);
  EXPECT_EQ(list.View().Get(31, &value), 0);
  EXPECT_EQ(value, 131u);
}

TEST(RefConSlots, DamagedHeadersAreDetected) {
  std::vector<std::uint32_t> block(32);
  RefConSlots view(block.data(), block.size());
  view.Format();
  EXPECT_TRUE(view.Valid());
  block[0] = 40u | (1u << 16);
  EXPECT_FALSE(view.Valid()) << "capacity larger than the block";
  block[0] = 32u | (32u << 16);
  EXPECT_FALSE(view.Valid()) << "first free outside the list";
  block[0] = 32u | (3u << 16);
  block[3] = 500;
  short index = 0;
  EXPECT_EQ(view.Add(1, &index), -111) << "a chain leading out of the list";
}

}  // namespace
}  // namespace tstools::memory
