#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "core/ISetupGate.h"
#include "tests/support/wait.h"

namespace plugkit {
namespace {

// A little work inside a block or a set-up call, so that the two sides
// would meet there if the gate let them.
void Work() {
  static std::atomic<uint32_t> sink{0};
  for (int i = 0; i < 200; ++i) sink.fetch_add(1, std::memory_order_relaxed);
}

TEST(SetupGate, BlocksPassOnlyWhileNoSetUpHoldsTheGate) {
  ISetupGate gate;
  {
    IBlockPass pass(gate);
    EXPECT_TRUE(pass.Passed());
  }
  {
    ISetupHold hold(gate);
    IBlockPass refused(gate);
    EXPECT_FALSE(refused.Passed());
    // A set-up call inside another one on the same thread goes on.
    ISetupHold inner(gate);
  }
  IBlockPass again(gate);
  EXPECT_TRUE(again.Passed()) << "a refused pass or a released hold left the gate shut";
}

// One thread runs blocks back to back, the way a busy audio thread does,
// while two others make set-up calls: no set-up call ever runs beside a
// block or beside another set-up call, and the set-up calls get their turn
// however little room the blocks leave.
TEST(SetupGate, SetUpCallsAndBlocksNeverOverlap) {
  ISetupGate gate;
  std::atomic<int32_t> blocksInside{0}, setupsInside{0}, overlaps{0};
  std::atomic<int64_t> blocks{0}, refused{0};
  std::atomic<bool> stop{false};
  std::thread audio([&] {
    while (!stop.load()) {
      IBlockPass pass(gate);
      if (!pass.Passed()) {
        refused.fetch_add(1);
        continue;
      }
      blocksInside.fetch_add(1);
      Work();
      if (setupsInside.load() != 0) overlaps.fetch_add(1);
      blocks.fetch_add(1);
      blocksInside.fetch_sub(1);
    }
  });
  ASSERT_TRUE(test::WaitUntil("the first blocks", [&] { return blocks.load() > 0; }));

  constexpr int32_t kHolds = 20000;
  std::atomic<int32_t> holdsDone{0};
  std::vector<std::thread> setups;
  for (int t = 0; t < 2; ++t) {
    setups.emplace_back([&] {
      // Until some block has met a set-up call, too: on a loaded machine the
      // audio thread may sit out the first few thousand.
      for (int32_t i = 0; (i < kHolds || refused.load() == 0) && !stop.load(); ++i) {
        ISetupHold hold(gate);
        if (setupsInside.fetch_add(1) != 0) overlaps.fetch_add(1);
        Work();
        if (blocksInside.load() != 0) overlaps.fetch_add(1);
        setupsInside.fetch_sub(1);
      }
      holdsDone.fetch_add(1);
    });
  }
  EXPECT_TRUE(test::WaitUntil("set-up calls that met blocks", [&] { return holdsDone.load() == 2; }));
  stop.store(true);
  for (std::thread& t : setups) t.join();
  audio.join();

  EXPECT_EQ(overlaps.load(), 0);
  EXPECT_GT(refused.load(), 0) << "no block ever met a set-up call";
  IBlockPass after(gate);
  EXPECT_TRUE(after.Passed());
}

} // namespace
} // namespace plugkit
