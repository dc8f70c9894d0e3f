// The shared object cache driven with random gets, releases, failed creations and a close with
// objects still held, next to a model of which objects are alive and how often each is held.
// Recycling order is the glue's exhaustion tests'.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "quickdraw/object_cache.h"

namespace {

using Cache = tstools::qd::ObjectCache<int, int>;

// The objects the hooks made and have not destroyed.
std::set<uintptr_t> alive;
uintptr_t nextObject = 100;
bool failCreate = false;

Cache::Hooks Hooks() {
  return Cache::Hooks{
      [](Cache::Entry &e, const int &key, int) { return e.key == key; },
      [](Cache::Entry &, int) -> uintptr_t {
        if (failCreate) return 0;
        alive.insert(nextObject);
        return nextObject++;
      },
      [](uintptr_t o) { EXPECT_TRUE(alive.erase(o)) << "destroyed twice or never made"; }};
}

}  // namespace

TEST(ObjectCache, RandomUseNeverHandsOutADestroyedObject) {
  std::mt19937 rng(21);
  for (int round = 0; round < 20; ++round) {
    alive.clear();
    Cache cache(5, Hooks());
    std::multiset<uintptr_t> held;   // one element per reference we hold
    std::map<uintptr_t, int> keyOf;  // key each live object was made for
    for (int step = 0; step < 3000; ++step) {
      failCreate = rng() % 50 == 0;
      if (rng() % 3 && held.size() < 12) {
        int key = static_cast<int>(rng() % 9);
        uintptr_t o = cache.Get(key, 0);
        if (o) {
          ASSERT_TRUE(alive.count(o)) << "handed out a destroyed object";
          if (keyOf.count(o)) {
            ASSERT_EQ(keyOf[o], key);
          }
          keyOf[o] = key;
          held.insert(o);
        } else {
          // Nothing only when every entry is held or creation failed.
          std::set<uintptr_t> distinct(held.begin(), held.end());
          ASSERT_TRUE(distinct.size() == cache.capacity() || failCreate);
        }
      } else if (!held.empty()) {
        auto it = held.begin();
        std::advance(it, rng() % held.size());
        ASSERT_TRUE(cache.Release(*it));
        held.erase(it);
      }
      for (uintptr_t o : held) {
        ASSERT_TRUE(alive.count(o)) << "a held object was destroyed";
        ASSERT_EQ(cache.References(o), static_cast<int32_t>(held.count(o)));
      }
      ASSERT_LE(alive.size(), cache.capacity());
    }
    std::set<uintptr_t> distinct(held.begin(), held.end());
    EXPECT_EQ(cache.Close(), distinct.size());
    for (uintptr_t o : held) cache.Release(o);
    EXPECT_TRUE(alive.empty()) << "everything destroyed after the last release";
  }
}
