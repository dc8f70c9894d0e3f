// The Memory Manager exports: their wiring onto the zone, and what only the Win32 heap and
// global blocks add. The zone's rules are the portable tests' and the model's.
#include <gtest/gtest.h>

#include <string>

#include <tstools/tstools.h>

namespace {

class MemoryExports : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(MemInitZone(), noErr); }
};

std::string Contents(Handle h) {
  Size size = 0;
  EXPECT_EQ(MemGetHandleSize(h, &size), noErr);
  return std::string(*h, static_cast<size_t>(size));
}

Handle HandleOf(const std::string &s) {
  Handle h = nullptr;
  EXPECT_EQ(PtrToHand(s.data(), &h, static_cast<Size>(s.size())), noErr);
  return h;
}

signed char State(Handle h) {
  signed char state = -1;
  MemGetHandleState(h, &state);
  return state;
}

TEST_F(MemoryExports, HandlesReachTheZone) {
  Handle h = reinterpret_cast<Handle>(1);
  EXPECT_EQ(MemNewHandle(&h, 16777214, 0), memFullErr);
  EXPECT_EQ(h, nullptr);
  ASSERT_EQ(MemNewHandle(&h, 10, 1), noErr);
  MemSetHandleLock(h, 1);
  // Hosts read the master record directly: the size-and-lock word after the data pointer.
  auto word = reinterpret_cast<unsigned long *>(h)[sizeof(Ptr) / sizeof(unsigned long)];
  EXPECT_EQ(word, 10u | 1u << 24);
  MemSetError(-7);
  EXPECT_EQ(MemSetHandleState(h, 1), -7) << "returns the error register, unchanged";
  EXPECT_EQ(State(h), 1);
  EXPECT_EQ(MemDisposeHandle(h), noErr);
}

// The Win32 heap may grow a locked block in place; it must never move it.
TEST_F(MemoryExports, UnlockedHandlesMoveLockedOnesNever) {
  Handle h = HandleOf("abcdef");
  char *before = *h;
  ASSERT_EQ(MemSetHandleSize(h, 1 << 20), noErr);
  EXPECT_NE(*h, before) << "an unlocked block that grows a lot moves";
  ASSERT_EQ(MemSetHandleSize(h, 6), noErr);
  ASSERT_EQ(MemSetHandleLock(h, 1), noErr);
  char *where = *h;
  OSErr err = MemSetHandleSize(h, 1 << 20);
  EXPECT_TRUE(*h == where && (err == noErr || err == memFullErr)) << "a locked block grows in place or not at all";
  EXPECT_EQ(MemSetHandleSize(h, 6), noErr);
  EXPECT_EQ(Contents(h), "abcdef");
  Ptr p = nullptr;
  ASSERT_EQ(MemNewPtr(&p, 10, 0), noErr);
  OSErr grow = MemSetPtrSize(p, 1 << 22);
  Size size = 0;
  EXPECT_EQ(MemGetPtrSize(p, &size), noErr);
  EXPECT_EQ(size, grow == noErr ? (1 << 22) : 10) << "a Ptr grows in place or not at all";
  MemDisposePtr(p);
  MemDisposeHandle(h);
}

// Any address a host hands in is checked before it is read.
TEST_F(MemoryExports, ForeignAndStaleBlocksAreRefused) {
  char stackBytes[64] = {};
  Ptr fake = stackBytes;
  Handle disposed = HandleOf("gone");
  ASSERT_EQ(MemDisposeHandle(disposed), noErr);
  for (Handle bad : {&fake, disposed, reinterpret_cast<Handle>(static_cast<uintptr_t>(0x12345678))}) {
    Size size = 99;
    EXPECT_EQ(MemGetHandleSize(bad, &size), memWZErr);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(MemDisposeHandle(bad), memWZErr);
    EXPECT_EQ(MemMunger(bad, 0, nullptr, 0, "x", 1), -1);
  }
  EXPECT_EQ(std::string(stackBytes, 64), std::string(64, '\0')) << "nothing written through it";
  EXPECT_EQ(MemDisposePtr(stackBytes), memWZErr);
}

// Each block utility reaches the zone; their rules are the model test's.
TEST_F(MemoryExports, BlockUtilitiesAndMunger) {
  Handle a = HandleOf("abc"), copy = a;
  ASSERT_EQ(HandToHand(&copy), noErr);
  EXPECT_EQ(HandAndHand(a, copy), noErr);
  EXPECT_EQ(PtrAndHand(*copy + 3, copy, 1), noErr);
  EXPECT_EQ(PtrToXHand("bcab", a, 4), noErr);
  EXPECT_EQ(MemMunger(a, 0, "ca", 2, "Q", 1), 2);
  EXPECT_EQ(Contents(copy) + "|" + Contents(a), "abcabca|bQb");
  char buffer[] = "0123456789";
  MemBlockMove(buffer, buffer + 2, 5);
  EXPECT_STREQ(buffer, "0101234789") << "overlapping moves";
  MemDisposeHandle(a);
  MemDisposeHandle(copy);
}

TEST_F(MemoryExports, HGlobalRoundTrip) {
  const char text[] = "global bytes";
  HGLOBAL g = nullptr;
  ASSERT_EQ(PtrToHGlobal(text, &g, sizeof text), noErr);
  EXPECT_EQ(GlobalFlags(g) & GMEM_DDESHARE, static_cast<UINT>(GMEM_DDESHARE));
  Handle h = nullptr;
  ASSERT_EQ(HGlobalToHand(g, &h), noErr);
  EXPECT_EQ(Contents(h).size(), GlobalSize(g));
  EXPECT_STREQ(*h, text);
  EXPECT_EQ(State(h), 0) << "handed over unlocked";
  MemDisposeHandle(h);
  GlobalFree(g);
}

// The slot rules are the portable RefConSlots tests'; here the global block grows and
// the codes reach the caller.
TEST_F(MemoryExports, RefConListsGrowInTheirGlobalBlock) {
  ASSERT_EQ(InitRefConList(), noErr);
  EXPECT_NE(GlobalFindAtomA("refCon"), 0);
  HGLOBAL list = GetNewRefList();
  ASSERT_NE(list, nullptr);
  short index = 0;
  for (long i = 1; i <= 32; ++i) ASSERT_EQ(AddToRefList(list, 1000 + i, &index), noErr);
  EXPECT_EQ(index, 32);
  EXPECT_EQ(GlobalSize(list), 64u * 4) << "the 31st addition grew the list";
  long value = 0;
  EXPECT_EQ(GetFromRefList(list, &value, 31), noErr);
  EXPECT_EQ(value, 1031) << "values survive the growth";
  EXPECT_EQ(DeleteFromRefList(list, 40), paramErr) << "a free slot";
  GlobalFree(list);
  DisposeRefList();
}

TEST_F(MemoryExports, FreeZoneReleasesEverything) {
  Handle h = HandleOf("bye");
  EXPECT_EQ(MemFreeZone(), 1);
  EXPECT_EQ(MemFreeZone(), -1) << "no zone";
  EXPECT_EQ(MemInitZone(), noErr);
  EXPECT_EQ(MemDisposeHandle(h), memWZErr) << "a handle of the released zone";
}

}  // namespace
