// What the random model (model_test.cpp) cannot reach: the record layout hosts read, bogus
// addresses, lock saturation, Ptrs, many record pages and the size limit.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "memory/zone.h"

namespace tstools::memory {
namespace {

class ZoneTest : public testing::Test {
 protected:
  HandleRef Make(const std::string &s) {
    HandleRef h = nullptr;
    EXPECT_EQ(PtrToHand(zone, s.data(), &h, static_cast<long>(s.size())), kNoErr);
    return h;
  }
  MallocBlockSource source;
  Zone zone{source};
};

TEST_F(ZoneTest, RecordLayoutAndLockSaturation) {
  HandleRef h = Make("hello");
  zone.SetHandleLock(h, 1);
  zone.SetHandleLock(h, 1);
  const MasterRecord *r = reinterpret_cast<const MasterRecord *>(h);
  EXPECT_EQ(r->sizeAndLock, 5u | (2u << 24)) << "after the data pointer, size and lock count";
  for (int i = 0; i < 256; ++i) zone.SetHandleLock(h, 1);
  EXPECT_EQ(LockCount(*r), 255u) << "no wrap to unlocked";
  signed char state = 0;
  zone.GetHandleState(h, &state);
  EXPECT_EQ(state, 127) << "the state is capped";
  zone.SetHandleState(h, -3);
  EXPECT_EQ(LockCount(*r), 0u) << "a negative state unlocks";
  ASSERT_EQ(zone.MoveHandleHigh(h), kNoErr);
  std::uint16_t slack = 0;
  std::memcpy(&slack, *h + 5, 2);
  EXPECT_EQ(slack, kTrailerBytes) << "a fixed block records block size minus logical size";
}

TEST_F(ZoneTest, AddressesThatAreNotLiveRecordsAreRefused) {
  HandleRef h = Make("x");
  char *base = reinterpret_cast<char *>(h);
  long size = 7;
  EXPECT_EQ(zone.GetHandleSize(reinterpret_cast<HandleRef>(base + 1), &size), kMemWZErr) << "misaligned";
  EXPECT_EQ(size, 0);
  EXPECT_EQ(zone.Find(reinterpret_cast<HandleRef>(base + sizeof(MasterRecord))), nullptr) << "a free record";
  // A master pointer the caller overwrote is not trusted.
  char *real = *h, bogus[8];
  *h = bogus;
  EXPECT_EQ(zone.SetHandleSize(h, 100), kMemWZErr);
  EXPECT_EQ(zone.DisposeHandle(h), kMemWZErr);
  *h = real;
  EXPECT_EQ(zone.DisposeHandle(h), kNoErr);
  EXPECT_EQ(zone.DisposeHandle(nullptr), kNilHandleErr);
}

TEST_F(ZoneTest, PtrsAreRecognisedByAddressAndNeverMove) {
  char *p = nullptr;
  ASSERT_EQ(zone.NewPtr(&p, 10, true), kNoErr);
  EXPECT_EQ(std::string(p, 10), std::string(10, '\0'));
  EXPECT_EQ(zone.SetPtrSize(p, 1000), kMemFullErr) << "a malloc block cannot grow in place";
  long size = 0;
  EXPECT_EQ(zone.GetPtrSize(p, &size), kNoErr);
  EXPECT_EQ(size, 10);
  EXPECT_EQ(zone.GetPtrSize(p + 2, &size), kMemWZErr);
  EXPECT_EQ(zone.NewPtr(&p, -1, false), kMemFullErr);
  EXPECT_EQ(p, nullptr);
}

TEST_F(ZoneTest, ManyHandlesSpanPagesAndReleaseAllFreesThem) {
  std::vector<HandleRef> handles(3000);
  for (HandleRef &h : handles) ASSERT_EQ(zone.NewHandle(&h, 3, false), kNoErr);
  for (size_t i = 0; i < handles.size(); i += 2) ASSERT_EQ(zone.DisposeHandle(handles[i]), kNoErr);
  for (size_t i = 1; i < handles.size(); i += 2) ASSERT_NE(zone.Find(handles[i]), nullptr);
  zone.ReleaseAll();
  EXPECT_EQ(zone.Find(handles[1]), nullptr);
  EXPECT_EQ(zone.LiveHandles(), 0u);
}

TEST_F(ZoneTest, BlockUtilitiesRefuseBadSourcesAndSumsOverTheLimit) {
  HandleRef h = Make("bcab");
  EXPECT_EQ(PtrToXHand(zone, *h + 2, h, 20), kParamErr) << "runs past the data";
  EXPECT_EQ(PtrAndHand(zone, *h + 3, h, 2), kParamErr);
  EXPECT_EQ(PtrAndHand(zone, "z", h, -1), kParamErr);
  HandleRef big = nullptr;
  ASSERT_EQ(zone.NewHandle(&big, kMaxHandleSize - 1, false), kNoErr);
  EXPECT_EQ(HandAndHand(zone, h, big), kMemFullErr);
  EXPECT_EQ(Munger(zone, h, 1, nullptr, 0, "Z", 1), 2) << "an insertion";
  EXPECT_EQ(Munger(zone, h, 5, nullptr, 0, "Y", 1), 6) << "an insertion at the end";
  long size = 0;
  zone.GetHandleSize(h, &size);
  EXPECT_EQ(std::string(*h, size_t(size)), "bZcabY");
}

}  // namespace
}  // namespace tstools::memory
