// Black-box tests of the Memory Manager through TSTOOLS.DLL's exports.
#include <gtest/gtest.h>

#include <cstring>
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

TEST_F(MemoryExports, NewHandleSizesAndLimits) {
  Handle h = nullptr;
  ASSERT_EQ(MemNewHandle(&h, 0, 0), noErr);
  ASSERT_NE(h, nullptr);
  EXPECT_NE(*h, nullptr) << "an empty handle still has data";
  Size size = -1;
  EXPECT_EQ(MemGetHandleSize(h, &size), noErr);
  EXPECT_EQ(size, 0);
  EXPECT_EQ(MemDisposeHandle(h), noErr);

  ASSERT_EQ(MemNewHandle(&h, 100, 1), noErr);
  EXPECT_EQ(std::string(*h, 100), std::string(100, '\0')) << "clear asks for zeros";
  EXPECT_EQ(MemSetHandleSize(h, 16777214), memFullErr);
  EXPECT_EQ(MemLastError(), memFullErr);
  EXPECT_EQ(MemGetHandleSize(h, &size), noErr);
  EXPECT_EQ(size, 100) << "a refused resize leaves the handle as it was";
  EXPECT_EQ(MemDisposeHandle(h), noErr);

  h = reinterpret_cast<Handle>(1);
  EXPECT_EQ(MemNewHandle(&h, 16777214, 0), memFullErr);
  EXPECT_EQ(h, nullptr);
  EXPECT_EQ(MemNewHandle(&h, -1, 0), memFullErr);
  EXPECT_EQ(MemLastError(), memFullErr);
}

TEST_F(MemoryExports, ResizeKeepsContentsAndUnlockedHandlesMove) {
  Handle h = HandleOf("abcdef");
  Handle neighbour = HandleOf("xyz");
  char *before = *h;
  ASSERT_EQ(MemSetHandleSize(h, 1 << 20), noErr);
  EXPECT_EQ(std::string(*h, 6), "abcdef");
  EXPECT_NE(*h, before) << "an unlocked block that grows a lot moves";
  Size size = 0;
  MemGetHandleSize(h, &size);
  EXPECT_EQ(size, 1 << 20);
  ASSERT_EQ(MemSetHandleSize(h, 3), noErr);
  EXPECT_EQ(Contents(h), "abc");
  EXPECT_EQ(Contents(neighbour), "xyz");
  MemDisposeHandle(h);
  MemDisposeHandle(neighbour);
}

TEST_F(MemoryExports, LockedAndFixedHandlesNeverMove) {
  Handle h = HandleOf("locked");
  Handle neighbour = HandleOf("n");
  ASSERT_EQ(MemSetHandleLock(h, 1), noErr);
  char *where = *h;
  OSErr err = MemSetHandleSize(h, 1 << 20);
  EXPECT_EQ(*h, where) << "a locked block grows in place or not at all";
  EXPECT_TRUE(err == noErr || err == memFullErr);
  if (err == memFullErr) {
    EXPECT_EQ(Contents(h), "locked");
  }
  EXPECT_EQ(MemSetHandleSize(h, 6), noErr);
  EXPECT_EQ(*h, where);
  EXPECT_EQ(MemSetHandleLock(h, -1), noErr);

  ASSERT_EQ(MemMoveHandleHigh(h), noErr);
  where = *h;
  err = MemSetHandleSize(h, 1 << 20);
  EXPECT_EQ(*h, where);
  MemSetHandleSize(h, 6);
  EXPECT_EQ(Contents(h), "locked");
  MemDisposeHandle(h);
  MemDisposeHandle(neighbour);
}

TEST_F(MemoryExports, LockCountsAndStates) {
  Handle h = nullptr;
  ASSERT_EQ(MemNewHandle(&h, 10, 0), noErr);
  EXPECT_EQ(MemSetHandleLock(h, 5), noErr);
  EXPECT_EQ(MemSetHandleLock(h, 5), noErr);
  EXPECT_EQ(State(h), 2) << "any positive request adds one lock";
  for (int i = 0; i < 3; ++i) EXPECT_EQ(MemSetHandleLock(h, -1), noErr);
  EXPECT_EQ(State(h), 0) << "unlocking stops at zero";

  for (int i = 0; i < 300; ++i) MemSetHandleLock(h, 1);
  EXPECT_EQ(State(h), 127) << "the state is capped at 127";
  // The count saturates at 255 instead of wrapping to 0.
  auto word = reinterpret_cast<unsigned long *>(h)[sizeof(Ptr) / sizeof(unsigned long)];
  EXPECT_EQ(word >> 24, 255u);
  EXPECT_EQ(word & 0xFFFFFFu, 10u) << "the size-and-lock word after the data pointer";
  EXPECT_EQ(MemSetHandleLock(h, 0), noErr);
  EXPECT_EQ(State(h), 0);

  EXPECT_EQ(MemSetHandleState(h, 3), noErr);
  EXPECT_EQ(State(h), 3);
  MemSetError(-7);
  EXPECT_EQ(MemSetHandleState(h, 1), -7) << "returns the register, unchanged";
  EXPECT_EQ(State(h), 1);
  EXPECT_EQ(MemSetHandleState(h, 0), noErr);
  EXPECT_EQ(MemLastError(), noErr);
  EXPECT_EQ(State(h), 0);
  MemDisposeHandle(h);
}

TEST_F(MemoryExports, FixedHandleRoundTrip) {
  Handle h = HandleOf("fixed data");
  ASSERT_EQ(MemSetHandleLock(h, 1), noErr);
  ASSERT_EQ(MemMoveHandleHigh(h), noErr);
  EXPECT_EQ(State(h), 2);
  EXPECT_EQ(MemSetHandleLock(h, 1), noErr);
  EXPECT_EQ(MemSetHandleLock(h, -1), noErr);
  EXPECT_EQ(MemSetHandleLock(h, -1), noErr);
  EXPECT_EQ(State(h), 2) << "lock requests leave a fixed handle alone";
  EXPECT_EQ(MemMoveHandleHigh(h), noErr);
  EXPECT_EQ(State(h), 2) << "already fixed";
  EXPECT_EQ(MemSetHandleLock(h, 0), noErr);
  EXPECT_EQ(State(h), 0);
  EXPECT_EQ(Contents(h), "fixed data") << "back in relocatable storage, size intact";
  EXPECT_EQ(MemSetHandleLock(h, 1), noErr);
  EXPECT_EQ(State(h), 1) << "relocatable again: locks count";
  MemDisposeHandle(h);
}

TEST_F(MemoryExports, ForeignAndStaleHandlesAreRefused) {
  char stackBytes[64] = {};
  Ptr fake = stackBytes;
  Handle stack = &fake;
  Handle disposed = HandleOf("gone");
  ASSERT_EQ(MemDisposeHandle(disposed), noErr);
  Handle garbage = reinterpret_cast<Handle>(static_cast<uintptr_t>(0x12345678));
  for (Handle bad : {stack, disposed, garbage}) {
    Size size = 99;
    EXPECT_EQ(MemGetHandleSize(bad, &size), memWZErr);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(MemLastError(), memWZErr);
    EXPECT_EQ(MemSetHandleSize(bad, 10), memWZErr);
    EXPECT_EQ(MemDisposeHandle(bad), memWZErr);
    EXPECT_EQ(MemSetHandleLock(bad, 1), memWZErr);
    EXPECT_EQ(State(bad), 127);
    EXPECT_EQ(MemMoveHandleHigh(bad), memWZErr);
    EXPECT_EQ(MemMunger(bad, 0, nullptr, 0, "x", 1), -1);
  }
  EXPECT_EQ(std::string(stackBytes, 64), std::string(64, '\0')) << "nothing written through it";
  EXPECT_EQ(MemDisposeHandle(nullptr), nilHandleErr);

  Ptr p = nullptr;
  ASSERT_EQ(MemNewPtr(&p, 8, 0), noErr);
  EXPECT_EQ(MemDisposePtr(p + 1), memWZErr);
  EXPECT_EQ(MemDisposePtr(stackBytes), memWZErr);
  EXPECT_EQ(MemDisposePtr(p), noErr);
  EXPECT_EQ(MemDisposePtr(p), memWZErr) << "double dispose";
  Size size = 5;
  EXPECT_EQ(MemGetPtrSize(p, &size), memWZErr);
  EXPECT_EQ(size, 0);
}

TEST_F(MemoryExports, PtrsKnowTheirSizeAndResizeInPlace) {
  Ptr p = nullptr;
  ASSERT_EQ(MemNewPtr(&p, 40, 1), noErr);
  EXPECT_EQ(std::string(p, 40), std::string(40, '\0'));
  Size size = 0;
  EXPECT_EQ(MemGetPtrSize(p, &size), noErr);
  EXPECT_EQ(size, 40);
  EXPECT_EQ(MemSetPtrSize(p, 10), noErr);
  MemGetPtrSize(p, &size);
  EXPECT_EQ(size, 10);
  OSErr grow = MemSetPtrSize(p, 1 << 22);
  MemGetPtrSize(p, &size);
  EXPECT_EQ(size, grow == noErr ? (1 << 22) : 10);
  EXPECT_EQ(MemDisposePtr(p), noErr);
}

TEST_F(MemoryExports, BlockUtilities) {
  Handle a = HandleOf("abc");
  Handle copy = a;
  ASSERT_EQ(HandToHand(&copy), noErr);
  EXPECT_NE(copy, a);
  EXPECT_EQ(Contents(copy), "abc");

  EXPECT_EQ(HandAndHand(a, copy), noErr);
  EXPECT_EQ(Contents(copy), "abcabc");
  EXPECT_EQ(HandAndHand(copy, copy), noErr) << "a handle appended to itself";
  EXPECT_EQ(Contents(copy), "abcabcabcabc");
  EXPECT_EQ(PtrAndHand(*copy + 3, copy, 3), noErr) << "a source inside the destination";
  EXPECT_EQ(Contents(copy), "abcabcabcabcabc");
  EXPECT_EQ(PtrToXHand("xy", a, 2), noErr);
  EXPECT_EQ(Contents(a), "xy");
  EXPECT_EQ(PtrToXHand(*copy + 1, a, 4), noErr);
  EXPECT_EQ(Contents(a), "bcab");
  EXPECT_EQ(PtrToXHand("q", nullptr, 1), memWZErr);
  EXPECT_EQ(HandAndHand(nullptr, a), nilHandleErr);
  EXPECT_EQ(PtrAndHand("q", nullptr, 1), nilHandleErr);

  char buffer[] = "0123456789";
  MemBlockMove(buffer, buffer + 2, 5);
  EXPECT_STREQ(buffer, "0101234789");
  MemDisposeHandle(a);
  MemDisposeHandle(copy);
}

TEST_F(MemoryExports, MungerFindReplaceInsert) {
  Handle h = HandleOf("xxabyy");
  EXPECT_EQ(MemMunger(h, 0, "ab", 2, nullptr, 0), 2);
  EXPECT_EQ(Contents(h), "xxabyy");
  EXPECT_EQ(MemMunger(h, 0, "ab", 2, "Q", 1), 3);
  EXPECT_EQ(Contents(h), "xxQyy");
  MemDisposeHandle(h);

  h = HandleOf("ab");
  EXPECT_EQ(MemMunger(h, 3, nullptr, 0, "z", 1), 4);
  EXPECT_EQ(Contents(h), std::string("ab\0z", 4));
  MemDisposeHandle(h);

  Handle empty = nullptr;
  MemNewHandle(&empty, 0, 0);
  EXPECT_EQ(MemMunger(empty, 0, "a", 1, "b", 1), -1);
  MemDisposeHandle(empty);
}

TEST_F(MemoryExports, HGlobalRoundTrip) {
  const char text[] = "global bytes";
  HGLOBAL g = nullptr;
  ASSERT_EQ(PtrToHGlobal(text, &g, sizeof text), noErr);
  EXPECT_GE(GlobalSize(g), sizeof text);
  EXPECT_EQ(GlobalFlags(g) & GMEM_DDESHARE, static_cast<UINT>(GMEM_DDESHARE));
  Handle h = nullptr;
  ASSERT_EQ(HGlobalToHand(g, &h), noErr);
  Size size = 0;
  MemGetHandleSize(h, &size);
  EXPECT_EQ(static_cast<SIZE_T>(size), GlobalSize(g));
  EXPECT_STREQ(*h, text);
  EXPECT_EQ(State(h), 0) << "handed over unlocked";
  MemDisposeHandle(h);
  GlobalFree(g);

  EXPECT_EQ(PtrToHGlobal(nullptr, &g, 4), nilHandleErr);
  EXPECT_EQ(PtrToHGlobal(text, nullptr, 4), nilHandleErr);
  EXPECT_EQ(HGlobalToHand(nullptr, &h), nilHandleErr);
}

TEST_F(MemoryExports, RefConListsGrowAndReuse) {
  ASSERT_EQ(InitRefConList(), noErr);
  EXPECT_NE(GlobalFindAtomA("refCon"), 0);
  HGLOBAL list = GetNewRefList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(GlobalSize(list), 32u * 4);
  short index = 0;
  for (long i = 1; i <= 32; ++i) {
    ASSERT_EQ(AddToRefList(list, 1000 + i, &index), noErr);
    EXPECT_EQ(index, i);
  }
  EXPECT_EQ(GlobalSize(list), 64u * 4) << "the 31st addition grew the list";
  long value = 0;
  EXPECT_EQ(GetFromRefList(list, &value, 31), noErr);
  EXPECT_EQ(value, 1031);
  EXPECT_EQ(DeleteFromRefList(list, 5), noErr);
  EXPECT_EQ(DeleteFromRefList(list, 9), noErr);
  EXPECT_EQ(AddToRefList(list, 7, &index), noErr);
  EXPECT_EQ(index, 9) << "the last freed slot comes back first";
  EXPECT_EQ(AddToRefList(list, 8, &index), noErr);
  EXPECT_EQ(index, 5);
  EXPECT_EQ(AddToRefList(list, 9, &index), noErr);
  EXPECT_EQ(index, 33);

  // Refused without changing anything: the header, index past the list, double delete.
  EXPECT_EQ(DeleteFromRefList(list, 0), paramErr);
  EXPECT_EQ(DeleteFromRefList(list, 64), paramErr);
  EXPECT_EQ(GetFromRefList(list, &value, 0), paramErr);
  EXPECT_EQ(GetFromRefList(list, &value, -3), paramErr);
  EXPECT_EQ(DeleteFromRefList(list, 12), noErr);
  EXPECT_EQ(DeleteFromRefList(list, 12), paramErr);
  EXPECT_EQ(AddToRefList(list, 1, &index), noErr);
  EXPECT_EQ(index, 12);
  EXPECT_EQ(AddToRefList(list, 2, &index), noErr);
  EXPECT_EQ(index, 34) << "the free chain survived the refused calls";

  EXPECT_EQ(AddToRefList(nullptr, 1, &index), nilHandleErr);
  EXPECT_EQ(GetFromRefList(nullptr, &value, 1), nilHandleErr);
  EXPECT_EQ(DeleteFromRefList(nullptr, 1), nilHandleErr);
  GlobalFree(list);
  DisposeRefList();
}

TEST_F(MemoryExports, FreeZoneReleasesEverything) {
  Handle h = HandleOf("bye");
  Ptr p = nullptr;
  MemNewPtr(&p, 4, 0);
  EXPECT_EQ(MemFreeZone(), 1);
  EXPECT_EQ(MemMaximize(), -1) << "no zone";
  EXPECT_EQ(MemFreeZone(), -1);
  Size size = 0;
  EXPECT_EQ(MemGetHandleSize(h, &size), memWZErr) << "a handle of the released zone";
  EXPECT_EQ(MemDisposePtr(p), memWZErr);
  EXPECT_EQ(MemInitZone(), noErr);
  EXPECT_GE(MemMaximize(), 0);
}

}  // namespace
