#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "memory/zone.h"
#include "tests/memory/flaky_source.h"

namespace tstools::memory {
namespace {

using testing_support::FlakySource;

class ZoneTest : public testing::Test {
 protected:
  HandleRef Make(const std::string &s) {
    HandleRef h = nullptr;
    EXPECT_EQ(PtrToHand(zone, s.data(), &h, static_cast<long>(s.size())), kNoErr);
    return h;
  }
  std::string Contents(HandleRef h) {
    long size = 0;
    EXPECT_EQ(zone.GetHandleSize(h, &size), kNoErr);
    return std::string(*h, static_cast<size_t>(size));
  }
  FlakySource source;
  Zone zone{source};
};

TEST_F(ZoneTest, MasterRecordHoldsDataPointerThenSizeAndLock) {
  HandleRef h = Make("hello");
  zone.SetHandleLock(h, 1);
  zone.SetHandleLock(h, 1);
  const MasterRecord *r = reinterpret_cast<const MasterRecord *>(h);
  EXPECT_EQ(r->data, *h);
  EXPECT_EQ(r->sizeAndLock, 5u | (2u << 24));
  EXPECT_EQ(zone.Find(h), r);
}

// Growth, locking and failed allocations are the model test's; these are the cases it
// cannot reach: out-parameters on failure, saturation, bogus addresses, the size limit.
TEST_F(ZoneTest, FailuresClearTheOutParameterAndSetTheError) {
  source.SetFailPercent(100);
  HandleRef other = reinterpret_cast<HandleRef>(8);
  EXPECT_EQ(zone.NewHandle(&other, 10, false), kMemFullErr);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(zone.LastError(), kMemFullErr);
  source.SetFailPercent(0);
  EXPECT_EQ(zone.LiveHandles(), 0u);
}

TEST_F(ZoneTest, AddressesInsideARecordPageAreCheckedExactly) {
  HandleRef h = Make("x");
  char *base = reinterpret_cast<char *>(h);
  EXPECT_EQ(zone.Find(reinterpret_cast<HandleRef>(base + 1)), nullptr) << "misaligned";
  EXPECT_EQ(zone.Find(reinterpret_cast<HandleRef>(base + sizeof(MasterRecord))), nullptr)
      << "the next record is free";
  long size = 7;
  EXPECT_EQ(zone.GetHandleSize(reinterpret_cast<HandleRef>(base + 1), &size), kMemWZErr);
  EXPECT_EQ(size, 0);
  // A master pointer the caller overwrote is not trusted.
  char *real = *h;
  char bogus[8];
  *h = bogus;
  EXPECT_EQ(zone.SetHandleSize(h, 100), kMemWZErr);
  EXPECT_EQ(zone.DisposeHandle(h), kMemWZErr);
  *h = real;
  EXPECT_EQ(zone.DisposeHandle(h), kNoErr);
  EXPECT_EQ(zone.DisposeHandle(h), kMemWZErr) << "double dispose";
  EXPECT_EQ(zone.DisposeHandle(nullptr), kNilHandleErr);
}

TEST_F(ZoneTest, LockCountSaturatesAndStateIsCapped) {
  HandleRef h = Make("l");
  for (int i = 0; i < 256; ++i) zone.SetHandleLock(h, 1);
  EXPECT_EQ(LockCount(*zone.Find(h)), 255u) << "no wrap to unlocked";
  signed char state = 0;
  EXPECT_EQ(zone.GetHandleState(h, &state), kNoErr);
  EXPECT_EQ(state, 127);
  zone.SetHandleLock(h, -1);
  EXPECT_EQ(LockCount(*zone.Find(h)), 254u);
  EXPECT_EQ(zone.SetHandleState(h, 5), kNoErr);
  EXPECT_EQ(LockCount(*zone.Find(h)), 5u);
  EXPECT_EQ(zone.SetHandleState(h, -4), kNoErr);
  EXPECT_EQ(LockCount(*zone.Find(h)), 0u);
  EXPECT_EQ(zone.GetHandleState(reinterpret_cast<HandleRef>(&state), &state), kMemWZErr);
  EXPECT_EQ(state, 127);
}

TEST_F(ZoneTest, FixedHandlesKeepSizeAndSlackRecord) {
  HandleRef h = Make("fixed!");
  zone.SetHandleLock(h, 1);
  ASSERT_EQ(zone.MoveHandleHigh(h), kNoErr);
  EXPECT_EQ(zone.KindOf(h), HandleKind::kFixed);
  EXPECT_EQ(LockCount(*zone.Find(h)), 2u);
  std::uint16_t slack = 0;
  std::memcpy(&slack, *h + 6, 2);
  EXPECT_EQ(slack, kTrailerBytes) << "block size minus logical size";
  EXPECT_EQ(zone.SetHandleState(h, 7), kNoErr);
  EXPECT_EQ(LockCount(*zone.Find(h)), 2u) << "state changes other than 0 leave a fixed handle";
  EXPECT_EQ(zone.SetHandleState(h, 0), kNoErr);
  EXPECT_EQ(zone.KindOf(h), HandleKind::kRelocatable);
  EXPECT_EQ(Contents(h), "fixed!");
}

TEST_F(ZoneTest, PtrsAreRecognisedByAddress) {
  char *p = nullptr;
  ASSERT_EQ(zone.NewPtr(&p, 10, true), kNoErr);
  EXPECT_EQ(std::string(p, 10), std::string(10, '\0'));
  std::uint16_t slack = 0;
  std::memcpy(&slack, p + 10, 2);
  EXPECT_EQ(slack, 2);
  EXPECT_EQ(zone.SetPtrSize(p, 4), kNoErr);
  EXPECT_EQ(zone.SetPtrSize(p, 1000), kMemFullErr) << "Ptrs never move";
  long size = 0;
  EXPECT_EQ(zone.GetPtrSize(p, &size), kNoErr);
  EXPECT_EQ(size, 4);
  EXPECT_EQ(zone.GetPtrSize(p + 2, &size), kMemWZErr);
  EXPECT_EQ(zone.NewPtr(&p, -1, false), kMemFullErr);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(zone.LivePtrs(), 1u);
}

TEST_F(ZoneTest, ManyHandlesSpanPagesAndReleaseAllFreesThem) {
  std::vector<HandleRef> handles;
  for (int i = 0; i < 3000; ++i) {
    HandleRef h = nullptr;
    ASSERT_EQ(zone.NewHandle(&h, i % 50, false), kNoErr);
    handles.push_back(h);
  }
  for (size_t i = 0; i < handles.size(); i += 2) ASSERT_EQ(zone.DisposeHandle(handles[i]), kNoErr);
  for (size_t i = 1; i < handles.size(); i += 2) {
    long size = 0;
    ASSERT_EQ(zone.GetHandleSize(handles[i], &size), kNoErr);
    EXPECT_EQ(size, static_cast<long>(i % 50));
  }
  zone.ReleaseAll();
  EXPECT_EQ(zone.Find(handles[1]), nullptr);
  EXPECT_EQ(zone.LiveHandles(), 0u);
}

TEST_F(ZoneTest, BlockUtilitiesRefuseBadSourcesAndSumsOverTheLimit) {
  HandleRef h = Make("bcab");
  EXPECT_EQ(PtrToXHand(zone, *h + 2, h, 20), kParamErr) << "runs past the data";
  EXPECT_EQ(PtrAndHand(zone, *h + 3, h, 2), kParamErr);
  EXPECT_EQ(PtrAndHand(zone, "z", h, -1), kParamErr);
  EXPECT_EQ(Contents(h), "bcab");
  HandleRef big = nullptr;
  ASSERT_EQ(zone.NewHandle(&big, kMaxHandleSize - 1, false), kNoErr);
  EXPECT_EQ(HandAndHand(zone, h, big), kMemFullErr);
  long size = 0;
  zone.GetHandleSize(big, &size);
  EXPECT_EQ(size, kMaxHandleSize - 1);
}

}  // namespace
}  // namespace tstools::memory
