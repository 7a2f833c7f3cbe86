#include <gtest/gtest.h>

#include <emmintrin.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "core/IHandoffQueue.h"
#include "core/IParamUpdate.h"
#include "core/ISysExPacket.h"
#include "core/IMidiShortMessage.h"
#include "core/ISysExView.h"

namespace plugkit {
namespace {

// For a thread that waits for the other side of a queue by spinning: it gives
// up its time slice only after many tries, so that the two sides mostly run
// at the same time on two processors instead of taking turns on one.
void YieldNowAndThen(int spins) {
  if (spins % 4096 == 0) std::this_thread::yield();
}

TEST(HandoffQueue, HoldsOneLessThanItsSlots) {
  struct Case { int32_t slots; int32_t usable; };
  // The sizes the plug-in uses: parameter updates, MIDI, SysEx.
  for (Case c : {Case{513, 512}, Case{33, 32}, Case{5, 4}, Case{2, 1}}) {
    SCOPED_TRACE(c.slots);
    IHandoffQueue<IParamUpdate> q(c.slots);
    EXPECT_EQ(c.slots, q.Slots());
    EXPECT_EQ(c.usable, q.Capacity());
    for (int32_t i = 0; i < c.usable; ++i) ASSERT_TRUE(q.Push({i, i * 0.5}));
    EXPECT_EQ(c.usable, q.Count());
    EXPECT_FALSE(q.Push({-1, -1.0})) << "the element after the last usable slot is dropped";

    IParamUpdate u;
    ASSERT_TRUE(q.Take(u));
    EXPECT_EQ(0, u.index);
    EXPECT_TRUE(q.Push({c.usable, 0.0})) << "one take makes room for one push";
    EXPECT_FALSE(q.Push({-1, -1.0}));

    // Everything comes out in order, and the dropped elements never appear.
    for (int32_t i = 1; i <= c.usable; ++i) {
      ASSERT_TRUE(q.Take(u));
      EXPECT_EQ(i, u.index);
    }
    EXPECT_FALSE(q.Take(u));
    EXPECT_TRUE(q.IsEmpty());
  }
}

TEST(HandoffQueue, EmptyTakeLeavesOutputAlone) {
  IHandoffQueue<IParamUpdate> q(5);
  IParamUpdate u{7, 3.5};
  EXPECT_FALSE(q.Take(u));
  EXPECT_EQ(7, u.index);
  EXPECT_EQ(3.5, u.value);
}

TEST(HandoffQueue, TooFewSlotsHoldsNothing) {
  for (int32_t slots : {-3, 0, 1}) {
    IHandoffQueue<IParamUpdate> q(slots);
    EXPECT_EQ(0, q.Capacity());
    EXPECT_FALSE(q.Push({1, 1.0}));
    IParamUpdate u;
    EXPECT_FALSE(q.Take(u));
  }
}

TEST(HandoffQueue, KeepsOrderAcrossManyWraps) {
  // Offsets of 0..4 elements in the ring, run past the end many times, so
  // every slot is read while the write index is behind the read index.
  IHandoffQueue<IMidiShortMessage> q(5);
  uint32_t produced = 0, consumed = 0;
  for (int round = 0; round < 200; ++round) {
    const int burst = 1 + round % 4;
    for (int i = 0; i < burst; ++i) {
      IMidiShortMessage m{};
      m.frameOffset = static_cast<int32_t>(produced++);
      ASSERT_TRUE(q.Push(m));
    }
    IMidiShortMessage m{};
    while (q.Take(m)) ASSERT_EQ(static_cast<int32_t>(consumed++), m.frameOffset);
  }
  EXPECT_EQ(produced, consumed);
}

// One producer thread, one consumer thread: every value arrives exactly once
// and in order. The producer retries when the ring is full, so nothing is lost.
TEST(HandoffQueue, PassesValuesBetweenTwoThreadsInOrder) {
  constexpr int32_t kCount = 100000;
  IHandoffQueue<IParamUpdate> q(513);
  std::atomic<bool> go{false};

  std::thread producer([&] {
    while (!go.load()) std::this_thread::yield();
    for (int32_t i = 0; i < kCount; ++i) {
      const IParamUpdate u{i, static_cast<double>(i) * 0.25};
      while (!q.Push(u)) std::this_thread::yield();
    }
  });

  int32_t expected = 0;
  bool inOrder = true;
  go.store(true);
  while (expected < kCount) {
    IParamUpdate u;
    if (!q.Take(u)) { std::this_thread::yield(); continue; }
    if (u.index != expected || u.value != static_cast<double>(expected) * 0.25) inOrder = false;
    ++expected;
  }
  producer.join();
  EXPECT_TRUE(inOrder);
  EXPECT_EQ(kCount, expected);
  EXPECT_TRUE(q.IsEmpty());
}

// A packet is copied in many machine stores, so a queue that publishes the
// write index before the packet is in its slot lets the consumer copy a slot
// that is half old, half new. Each packet is filled with its own number, so
// any mixture shows. To make that window wide and often met: the producer
// pushes each packet from memory it has just flushed out of the cache, so
// its copy into the slot is slow; the consumer compares with ready-made
// packets, so it is the faster side and mostly waits; both spin while
// waiting, so the consumer meets a new index at once.
//
// What this cannot show: on x86 the processor keeps stores in program order
// and loads in program order, so index accesses made relaxed instead of
// release and acquire behave the same here as long as the compiler keeps the
// order of the program; only a weakly ordered processor would tear packets
// then. Nor does it reliably show a read index given back before the packet
// is copied out: the producer fills the ring's one free slot before it
// reaches the slot just given back, so the consumer's copy is mostly done by
// then. The release and acquire pairs stand on the queue's contract, not on
// this test.
TEST(HandoffQueue, LargeElementsArriveWhole) {
  constexpr int kCount = 50000;
  IHandoffQueue<ISysExPacket> q(5);

  std::thread producer([&] {
    ISysExPacket p;
    for (int i = 0; i < kCount; ++i) {
      p.frameOffset = i;
      p.size = kSysExPacketBytes;
      std::memset(p.data, i & 0xff, sizeof p.data);
      for (size_t line = 0; line < sizeof p; line += 64) _mm_clflush(reinterpret_cast<const char*>(&p) + line);
      for (int spins = 1; !q.Push(p); ++spins) YieldNowAndThen(spins);
    }
  });

  std::vector<std::vector<uint8_t>> patterns(256, std::vector<uint8_t>(kSysExPacketBytes));
  for (int b = 0; b < 256; ++b) std::memset(patterns[size_t(b)].data(), b, kSysExPacketBytes);
  int received = 0;
  int torn = 0;
  ISysExPacket p;
  while (received < kCount) {
    for (int spins = 1; !q.Take(p); ++spins) YieldNowAndThen(spins);
    const std::vector<uint8_t>& expected = patterns[size_t(received & 0xff)];
    if (p.frameOffset != received || std::memcmp(p.data, expected.data(), kSysExPacketBytes) != 0) ++torn;
    ++received;
  }
  producer.join();
  EXPECT_EQ(0, torn);
}

// A producer that never waits (the audio thread) loses only what did not fit:
// whatever arrives is in order, and the count of arrivals plus drops is exact.
TEST(HandoffQueue, DropsWhenFullButNeverReorders) {
  constexpr int32_t kCount = 50000;
  IHandoffQueue<IParamUpdate> q(33);
  std::atomic<bool> done{false};
  std::atomic<int32_t> dropped{0};

  std::thread producer([&] {
    for (int32_t i = 0; i < kCount; ++i)
      if (!q.Push({i, 0.0})) dropped.fetch_add(1);
    done.store(true);
  });

  int32_t last = -1, received = 0;
  bool increasing = true;
  for (;;) {
    const bool finished = done.load();
    IParamUpdate u;
    while (q.Take(u)) {
      if (u.index <= last) increasing = false;
      last = u.index;
      ++received;
    }
    if (finished) break;
    std::this_thread::yield();
  }
  producer.join();
  EXPECT_TRUE(increasing);
  EXPECT_EQ(kCount, received + dropped.load());
}

TEST(SysExPacket, PacksWhatFitsAndRefusesTheRest) {
  uint8_t bytes[kSysExPacketBytes + 1];
  for (int i = 0; i < static_cast<int>(sizeof bytes); ++i) bytes[i] = static_cast<uint8_t>(i * 7);

  struct Case { int32_t size; bool ok; };
  for (Case c : {Case{0, true}, Case{3, true}, Case{kSysExPacketBytes, true},
                 Case{kSysExPacketBytes + 1, false}, Case{-1, false}, Case{INT32_MIN, false}}) {
    SCOPED_TRACE(c.size);
    ISysExPacket p;
    p.frameOffset = -99;
    std::memset(p.data, 0xEE, sizeof p.data);
    ISysExView v{};
    v.frameOffset = 17;
    v.size = c.size;
    v.data = bytes;
    EXPECT_EQ(c.ok, PackSysEx(v, p));
    if (!c.ok) {
      EXPECT_EQ(-99, p.frameOffset) << "a refused message leaves the packet untouched";
      EXPECT_EQ(0xEE, p.data[0]);
      continue;
    }
    EXPECT_EQ(17, p.frameOffset);
    EXPECT_EQ(c.size, p.size);
    EXPECT_EQ(0, std::memcmp(p.data, bytes, static_cast<size_t>(c.size)));
    for (int i = c.size; i < kSysExPacketBytes; ++i) ASSERT_EQ(0, p.data[i]) << i;

    const ISysExView back = ViewOfPacket(p);
    EXPECT_EQ(17, back.frameOffset);
    EXPECT_EQ(c.size, back.size);
    EXPECT_EQ(static_cast<const void*>(p.data), static_cast<const void*>(back.data));
  }
}

TEST(SysExPacket, NullBytesGiveZeroedData) {
  ISysExPacket p;
  std::memset(p.data, 0xEE, sizeof p.data);
  ISysExView v{};
  v.frameOffset = 2;
  v.size = 6;
  v.data = nullptr;
  ASSERT_TRUE(PackSysEx(v, p));
  EXPECT_EQ(6, p.size);
  for (uint8_t b : p.data) ASSERT_EQ(0, b);
}

} // namespace
} // namespace plugkit
