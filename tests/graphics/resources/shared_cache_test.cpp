// The shared cache: keys, ownership, reference counting and its lock.

#include <gtest/gtest.h>

#include <atomic>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "graphics/resources/ISharedCache.h"

namespace plugkit::canvas::test {
namespace {

// An item that records its deletion in a shared log.
struct Item {
  Item(std::vector<std::string>& log, std::string name) : mLog(log), mName(std::move(name)) {}
  ~Item() { mLog.push_back(mName); }
  std::vector<std::string>& mLog;
  std::string mName;
};
using Cache = ISharedCache<Item>;

TEST(SharedCache, HashesTheKeyText) {
  // 64-bit FNV-1a of "logo.png-2.0x", "-1.0x" and "Roboto-Regular-1.0x".
  EXPECT_EQ(Cache::HashCacheKey("logo.png", 2.0), 0x567edfdf35eb2b72ull);
  EXPECT_EQ(Cache::HashCacheKey("", 1.0), 0xcac6a695f1c40a3full);
  EXPECT_EQ(Cache::HashCacheKey(nullptr, 1.0), 0xcac6a695f1c40a3full);
  EXPECT_EQ(Cache::HashCacheKey("Roboto-Regular", 1.0), 0xaf2c870c47845953ull);
  // A scale too large for a short suffix still hashes (and differs).
  EXPECT_NE(Cache::HashCacheKey("x", 1.0e300), Cache::HashCacheKey("x", 1.0e299));
}

TEST(SharedCache, FindsByExactNameAndScaleFirstAddedFirst) {
  std::vector<std::string> log;
  Cache cache;
  Cache::LockedView view(cache);
  auto* one = new Item(log, "one");
  auto* two = new Item(log, "two");
  auto* shadowed = new Item(log, "shadowed");
  ASSERT_TRUE(view.Add(one, "knob.png", 1.0));
  ASSERT_TRUE(view.Add(two, "knob.png", 2.0));
  ASSERT_TRUE(view.Add(shadowed, "knob.png", 1.0));

  struct {
    const char* name;
    double scale;
    Item* found;
  } cases[] = {
      {"knob.png", 1.0, one},   {"knob.png", 2.0, two},       {"knob.png", 1.04, nullptr},  // same key text, other scale
      {"KNOB.PNG", 1.0, nullptr}, {"knob.pn", 1.0, nullptr}, {"knob.png", 3.0, nullptr},
  };
  for (const auto& c : cases) EXPECT_EQ(view.Find(c.name, c.scale), c.found) << c.name << " " << c.scale;
  EXPECT_EQ(view.Count(), 3);
}

TEST(SharedCache, RefusesWhatItCannotKeepAndLeavesItToTheCaller) {
  std::vector<std::string> log;
  Cache cache;
  Cache::LockedView view(cache);
  Item item(log, "kept by caller");
  EXPECT_FALSE(view.Add(nullptr, "x", 1.0));
  EXPECT_FALSE(view.Add(&item, "x", std::numeric_limits<double>::quiet_NaN()));
  EXPECT_FALSE(view.Add(&item, "x", std::numeric_limits<double>::infinity()));
  EXPECT_EQ(view.Count(), 0);
  EXPECT_TRUE(log.empty());
}

TEST(SharedCache, RemoveDeletesDetachHandsBack) {
  std::vector<std::string> log;
  Cache cache;
  {
    Cache::LockedView view(cache);
    Item* a = new Item(log, "a");
    Item* b = new Item(log, "b");
    Item* c = new Item(log, "c");
    view.Add(a, "a", 1.0);
    view.Add(b, "b", 1.0);
    view.Add(c, "c", 1.0);
    EXPECT_TRUE(view.Remove(b));
    EXPECT_EQ(log, std::vector<std::string>{"b"});
    EXPECT_FALSE(view.Remove(b));  // no entry holds it any more
    EXPECT_EQ(view.ItemAt(1), c);  // the gap is closed
    Item* back = view.Detach(a);
    EXPECT_EQ(back, a);
    EXPECT_EQ(view.Find("a", 1.0), nullptr);
    EXPECT_EQ(log.size(), 1u);
    delete back;
  }
  EXPECT_EQ(log, (std::vector<std::string>{"b", "a"}));
}

TEST(SharedCache, LastReleaseClearsLastEntryFirst) {
  std::vector<std::string> log;
  Cache cache;
  cache.Retain();
  cache.Retain();
  {
    Cache::LockedView view(cache);
    view.Add(new Item(log, "first"), "first", 1.0);
    view.Add(new Item(log, "second"), "second", 2.0);
  }
  cache.Release();
  EXPECT_EQ(cache.RefCount(), 1);
  EXPECT_EQ(cache.Count(), 2);
  EXPECT_TRUE(log.empty());
  cache.Release();
  EXPECT_EQ(cache.RefCount(), 0);
  EXPECT_EQ(cache.Count(), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"second", "first"}));

  // An unbalanced release does not go negative; a new user starts afresh.
  cache.Release();
  EXPECT_EQ(cache.RefCount(), 0);
  cache.Retain();
  EXPECT_EQ(cache.RefCount(), 1);
}

TEST(SharedCache, DestructionDeletesWhatIsLeft) {
  std::vector<std::string> log;
  {
    Cache cache;
    cache.Retain();
    Cache::LockedView(cache).Add(new Item(log, "left"), "left", 1.0);
  }
  EXPECT_EQ(log, std::vector<std::string>{"left"});
}

// Several editors on several threads fetching the same names: every name is
// made once, and every thread gets that one item.
TEST(SharedCache, FindOrAddUnderTheLockMakesEachItemOnce) {
  std::vector<std::string> log;
  Cache cache;
  std::atomic<int> made{0};
  constexpr int kThreads = 4;
  constexpr int kNames = 50;
  std::vector<std::vector<Item*>> seen(kThreads, std::vector<Item*>(kNames));
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      cache.Retain();
      for (int round = 0; round < 20; ++round) {
        for (int n = 0; n < kNames; ++n) {
          const std::string name = "item" + std::to_string(n);
          Cache::LockedView view(cache);
          Item* item = view.Find(name.c_str(), 1.0);
          if (!item) {
            item = new Item(log, name);
            ++made;
            view.Add(item, name.c_str(), 1.0);
          }
          if (round == 0) seen[t][n] = item;
          else EXPECT_EQ(seen[t][n], item);
        }
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(made.load(), kNames);
  for (int t = 1; t < kThreads; ++t) EXPECT_EQ(seen[t], seen[0]);
  EXPECT_EQ(cache.RefCount(), kThreads);
}

} // namespace
} // namespace plugkit::canvas::test
