// Drives the zone and a plain model (a std::vector, a lock count and a fixed flag per handle)
// with the same long random sequences, injecting allocation failures, and compares after
// every step: contents, sizes, lock counts, storage class, and that locked blocks stay put.
// Munger is the fuzz target's, against its own model.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>
#include <vector>

#include "memory/address_map.h"
#include "memory/zone.h"

namespace tstools::memory {
namespace {

// malloc underneath, so every movable growth really moves, refusing a share of allocations and
// growths; TakeFailed tells whether one was refused since the last call.
class FlakySource : public MallocBlockSource {
 public:
  explicit FlakySource(unsigned seed) : rng_(seed) {}
  bool TakeFailed() { return std::exchange(failed_, false); }
  void *Allocate(std::size_t bytes, bool zeroed) override {
    return Fail() ? nullptr : MallocBlockSource::Allocate(bytes, zeroed);
  }
  void *Resize(void *block, std::size_t oldBytes, std::size_t newBytes, bool mayMove) override {
    return newBytes > oldBytes && Fail() ? nullptr : MallocBlockSource::Resize(block, oldBytes, newBytes, mayMove);
  }

 private:
  bool Fail() {
    bool fail = rng_() % 100 < 3;
    failed_ = failed_ || fail;
    return fail;
  }
  std::mt19937 rng_;
  bool failed_ = false;
};

struct ModelHandle {
  HandleRef h = nullptr;
  std::vector<char> data;
  unsigned lock = 0;
  bool fixed = false;
  bool Pinned() const { return fixed || lock > 0; }
};

class ModelRun {
 public:
  explicit ModelRun(unsigned seed) : rng_(seed), source_(seed), zone_(source_) {}

  void Step() {
    std::size_t n = handles_.size();
    int op = Pick(0, 6);
    if (n == 0 || op == 0) return New();
    ModelHandle &m = handles_[Pick(0, static_cast<int>(n) - 1)];
    char *where = *m.h;
    bool pinned = m.Pinned();
    switch (op) {
      case 1: return Dispose(m);
      case 2: return Resize(m, where, pinned);
      case 3: return Lock(m);
      case 4:
        EXPECT_EQ(zone_.MoveHandleHigh(m.h), kNoErr);
        if (!m.fixed) m.lock = std::min(m.lock + 1, 255u);
        m.fixed = true;
        break;
      case 5: return Append(m, handles_[Pick(0, static_cast<int>(n) - 1)], where, pinned);
      case 6: return Replace(m, where, pinned);
    }
  }

  void Check() {
    ASSERT_EQ(zone_.LiveHandles(), handles_.size());
    for (const ModelHandle &m : handles_) {
      const MasterRecord *r = zone_.Find(m.h);
      ASSERT_NE(r, nullptr);
      ASSERT_EQ(LogicalSize(*r), m.data.size());
      ASSERT_EQ(LockCount(*r), m.lock);
      ASSERT_EQ(zone_.KindOf(m.h), m.fixed ? HandleKind::kFixed : HandleKind::kRelocatable);
      ASSERT_TRUE(std::equal(m.data.begin(), m.data.end(), *m.h));
    }
  }

  void Finish() {
    for (ModelHandle &m : handles_) EXPECT_EQ(zone_.DisposeHandle(m.h), kNoErr);
    handles_.clear();
  }

 private:
  int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  long Length() { return Pick(0, 9) == 0 ? Pick(0, 3000) : Pick(0, 40); }
  void Fill(ModelHandle &m, std::size_t from) {
    for (std::size_t i = from; i < m.data.size(); ++i) m.data[i] = (*m.h)[i] = static_cast<char>(Pick(0, 3) + 'a');
  }
  // After a failed growth nothing may have changed.
  void ExpectUntouched(const ModelHandle &m, char *where) {
    EXPECT_EQ(*m.h, where);
    ASSERT_EQ(LogicalSize(*zone_.Find(m.h)), m.data.size());
  }

  void New() {
    if (handles_.size() >= 8) return;
    ModelHandle m;
    long size = Length();
    bool clear = Pick(0, 1);
    short err = zone_.NewHandle(&m.h, size, clear);
    if (source_.TakeFailed()) {
      EXPECT_EQ(err, kMemFullErr);
      EXPECT_EQ(m.h, nullptr);
      return;
    }
    ASSERT_EQ(err, kNoErr);
    m.data.assign(static_cast<std::size_t>(size), 0);  // Check() compares a cleared block with these zeros
    if (!clear) Fill(m, 0);
    handles_.push_back(m);
  }

  void Dispose(ModelHandle &m) {
    EXPECT_EQ(zone_.DisposeHandle(m.h), kNoErr);
    EXPECT_EQ(zone_.DisposeHandle(m.h), kMemWZErr);
    handles_.erase(handles_.begin() + (&m - handles_.data()));
  }

  void Resize(ModelHandle &m, char *where, bool pinned) {
    std::size_t old = m.data.size();
    std::vector<char> expected = m.data;
    expected.resize(static_cast<std::size_t>(Length()));
    if (!Grow(m, where, pinned, expected, [&] { return zone_.SetHandleSize(m.h, long(expected.size())); })) return;
    if (pinned) {
      EXPECT_EQ(*m.h, where) << "locked and fixed blocks never move";
    } else if (m.data.size() > old) {
      EXPECT_NE(*m.h, where) << "growth moves";
    }
    Fill(m, old);
  }

  void Lock(ModelHandle &m) {
    long n = Pick(-2, 2);
    EXPECT_EQ(zone_.SetHandleLock(m.h, n * Pick(1, 300)), kNoErr);
    if (n > 0 && !m.fixed) m.lock = std::min(m.lock + 1, 255u);
    if (n < 0 && !m.fixed && m.lock > 0) --m.lock;
    if (n == 0) m.lock = 0, m.fixed = false;
  }

  // Runs an operation whose model result is known, accounting for growth the zone refused;
  // true when it succeeded.
  template <typename Real>
  bool Grow(ModelHandle &m, char *where, bool pinned, const std::vector<char> &expected, Real real) {
    short err = real();
    if (expected.size() > m.data.size() && (source_.TakeFailed() || pinned)) {
      EXPECT_EQ(err, kMemFullErr);
      ExpectUntouched(m, where);
      return false;
    }
    EXPECT_EQ(err, kNoErr);
    m.data = expected;
    return err == kNoErr;
  }

  void Append(ModelHandle &m, const ModelHandle &from, char *where, bool pinned) {
    std::vector<char> expected = m.data;
    expected.insert(expected.end(), from.data.begin(), from.data.end());
    Grow(m, where, pinned, expected, [&] { return HandAndHand(zone_, from.h, m.h); });
  }

  // PtrToXHand from outside or from a slice of the handle itself.
  void Replace(ModelHandle &m, char *where, bool pinned) {
    std::vector<char> outside(static_cast<std::size_t>(Length()), 'R');
    const char *src = outside.data();
    long n = static_cast<long>(outside.size());
    if (!m.data.empty() && Pick(0, 1)) {
      long at = Pick(0, static_cast<int>(m.data.size()) - 1);
      src = *m.h + at;
      n = Pick(0, static_cast<int>(m.data.size()) - at);
    }
    Grow(m, where, pinned, std::vector<char>(src, src + n), [&] { return PtrToXHand(zone_, src, m.h, n); });
  }

  std::mt19937 rng_;
  FlakySource source_;
  Zone zone_;
  std::vector<ModelHandle> handles_;
};

TEST(ZoneModel, LongRandomSequencesMatchTheModel) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    ModelRun run(seed);
    for (int step = 0; step < 2000; ++step) {
      run.Step();
      run.Check();
      if (testing::Test::HasFatalFailure() || testing::Test::HasNonfatalFailure()) {
        ADD_FAILURE() << "at step " << step;
        return;
      }
    }
    run.Finish();
  }
}

// The map that recognises Ptrs and record pages, against a set, with keys close enough to
// share probe runs so that erasing must pull later members back.
TEST(AddressMapModel, RandomInsertsAndErasesMatchASet) {
  std::mt19937 rng(3);
  AddressMap<char> map;
  std::set<std::uintptr_t> model;
  for (int step = 0; step < 20000; ++step) {
    std::uintptr_t key = 8 * (1 + rng() % 40);
    if (rng() % 2) {
      ASSERT_TRUE(map.Insert(key, 1));
      model.insert(key);
    } else {
      ASSERT_EQ(map.Erase(key), model.erase(key) == 1);
    }
    ASSERT_EQ(map.Count(), model.size());
    for (std::uintptr_t k = 8; k <= 320; k += 8) ASSERT_EQ(map.Find(k) != nullptr, model.count(k) == 1) << step;
  }
}

}  // namespace
}  // namespace tstools::memory
