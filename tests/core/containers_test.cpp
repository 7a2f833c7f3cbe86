// IHeapBlock, IStringBuffer, IPointerArray, ISectionLock,
// ISectionGuard, TraceCall.
#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "core/IHeapBlock.h"
#include "core/IPointerArray.h"
#include "core/ISectionLock.h"
#include "core/IStringBuffer.h"
#include "core/TraceCall.h"

using namespace plugkit;

// ---- IHeapBlock --------------------------------------------------------------

TEST(HeapBlock, NewBlockIsEmpty) {
  IHeapBlock b(128);
  EXPECT_EQ(b.Data(), nullptr);
  EXPECT_EQ(b.DataOrNull(), nullptr);
  EXPECT_EQ(b.Size(), 0);
  EXPECT_EQ(b.Capacity(), 0);
  EXPECT_EQ(b.Granularity(), 128);
  EXPECT_EQ(IHeapBlock().Granularity(), IHeapBlock::kDefaultGranularity);
  EXPECT_EQ(IHeapBlock(-5).Granularity(), 0);
}

TEST(HeapBlock, SmallGranularityCapacities) {
  IHeapBlock b(128);
  void* p = b.SetSize(10);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p, b.Data());
  EXPECT_EQ(b.Size(), 10);
  EXPECT_EQ(b.Capacity(), 138);
  EXPECT_NE(b.SetSize(1, false), nullptr);
  EXPECT_EQ(b.Capacity(), 138);
  EXPECT_NE(b.SetSize(1, true), nullptr); // lower limit is 1
  EXPECT_EQ(b.Capacity(), 138);
  EXPECT_EQ(b.Size(), 1);
}

TEST(HeapBlock, ShrinkReallocatesWhenWellBelowCapacity) {
  IHeapBlock b(128);
  b.SetSize(1333);
  ASSERT_EQ(b.Capacity(), 1999); // 1333 + 1333 / 2
  b.SetSize(1000, false);
  ASSERT_EQ(b.Capacity(), 1999);
  ASSERT_EQ(b.Size(), 1000);
  std::memset(b.Data(), 'x', 1000);
  // Lower limit min(1999 / 2, 1999 - 512) = 999; 100 is below it.
  EXPECT_NE(b.SetSize(100, true), nullptr);
  EXPECT_EQ(b.Capacity(), 228);
  EXPECT_EQ(b.Size(), 100);
  EXPECT_EQ(b.As<char>()[99], 'x');
}

TEST(HeapBlock, SameSizeWithShrinkAboveHalfKeepsEverything) {
  IHeapBlock b(128);
  void* p = b.SetSize(200);
  EXPECT_EQ(b.SetSize(200, true), p);
  EXPECT_EQ(b.Capacity(), 328);
}

TEST(HeapBlock, PageGranularity) {
  IHeapBlock b(4096);
  ASSERT_NE(b.SetSize(5000), nullptr);
  EXPECT_EQ(b.Capacity(), 8192 - 96);
  IHeapBlock c(4096);
  ASSERT_NE(c.SetSize(8), nullptr);
  EXPECT_EQ(c.Capacity(), 4096 - 96);
  // The slack is clamped to 4 MiB.
  IHeapBlock d(4096);
  ASSERT_NE(d.SetSize(20000000), nullptr);
  EXPECT_EQ(d.Capacity(), ((20000000 + 96 + 4194304) / 4096) * 4096 - 96);
}

TEST(HeapBlock, GrowthKeepsContents) {
  IHeapBlock b(16);
  b.SetSize(4);
  std::memcpy(b.Data(), "abcd", 4);
  for (int n = 5; n < 5000; n += 97) {
    ASSERT_NE(b.SetSize(n), nullptr);
    ASSERT_EQ(0, std::memcmp(b.Data(), "abcd", 4));
  }
}

TEST(HeapBlock, SizeZeroFreesWhenShrinkAllowed) {
  IHeapBlock b(128);
  b.SetSize(50);
  EXPECT_EQ(b.SetSize(0), nullptr);
  EXPECT_EQ(b.Data(), nullptr);
  EXPECT_EQ(b.Capacity(), 0);
  EXPECT_EQ(b.Size(), 0);

  b.SetSize(50);
  EXPECT_EQ(b.SetSize(0, false), nullptr);
  EXPECT_EQ(b.Size(), 0);
  EXPECT_EQ(b.Capacity(), 178); // kept
  EXPECT_NE(b.Data(), nullptr);
  EXPECT_EQ(b.DataOrNull(), nullptr);
}

TEST(HeapBlock, NegativeSizeCountsAsZero) {
  IHeapBlock b(128);
  b.SetSize(10);
  EXPECT_EQ(b.SetSize(-3, false), nullptr);
  EXPECT_EQ(b.Size(), 0);
}

TEST(HeapBlock, CapacityAboveInt32IsAllocationFailure) {
  for (int32_t granularity : {128, 4096}) {
    IHeapBlock b(granularity);
    void* p = b.SetSize(10);
    ASSERT_NE(p, nullptr);
    std::memcpy(p, "123456789", 10);
    const int32_t cap = b.Capacity();
    // The capacity for INT32_MAX exceeds INT32_MAX: a failure, not a success with null data.
    EXPECT_EQ(b.SetSize(INT32_MAX), p);
    EXPECT_EQ(b.Size(), 10);
    EXPECT_EQ(b.Capacity(), cap);
    EXPECT_STREQ(b.As<char>(), "123456789");
    EXPECT_EQ(b.SetSize(INT32_MAX - 100, false), p);
    EXPECT_EQ(b.Size(), 10);

    IHeapBlock empty(granularity);
    EXPECT_EQ(empty.SetSize(INT32_MAX), nullptr);
    EXPECT_EQ(empty.Size(), 0);
    EXPECT_EQ(empty.Capacity(), 0);
  }
}

TEST(HeapBlock, ReleaseMoveAndCopy) {
  IHeapBlock a(128);
  a.SetSize(3);
  std::memcpy(a.Data(), "xy", 3);
  IHeapBlock c(64);
  ASSERT_TRUE(c.CopyFrom(a));
  EXPECT_EQ(c.Size(), 3);
  EXPECT_STREQ(c.As<char>(), "xy");
  EXPECT_EQ(c.Granularity(), 64);

  IHeapBlock m(std::move(a));
  EXPECT_EQ(a.Data(), nullptr);
  EXPECT_EQ(a.Size(), 0);
  EXPECT_EQ(m.Size(), 3);
  EXPECT_STREQ(m.As<char>(), "xy");

  IHeapBlock n(8);
  n = std::move(m);
  EXPECT_STREQ(n.As<char>(), "xy");
  EXPECT_EQ(n.Granularity(), 128);

  n.Release();
  EXPECT_EQ(n.Data(), nullptr);
  EXPECT_EQ(n.Size(), 0);
  EXPECT_EQ(n.Capacity(), 0);

  IHeapBlock empty;
  ASSERT_TRUE(c.CopyFrom(empty));
  EXPECT_EQ(c.Size(), 0);
}

// ---- IStringBuffer -----------------------------------------------------------

TEST(StringBuffer, EmptyReadsAsEmptyText) {
  IStringBuffer s;
  EXPECT_STREQ(s.Get(), "");
  EXPECT_EQ(s.Length(), 0);
  EXPECT_EQ(s.Buffer(), nullptr);
  EXPECT_EQ(s.Block().Granularity(), 128);
}

TEST(StringBuffer, Assign) {
  IStringBuffer s;
  EXPECT_TRUE(s.Assign("hello"));
  EXPECT_STREQ(s.Get(), "hello");
  EXPECT_EQ(s.Length(), 5);
  EXPECT_EQ(s.Block().Size(), 6);
  EXPECT_TRUE(s.Assign("hello", 3));
  EXPECT_STREQ(s.Get(), "hel");
  EXPECT_EQ(s.Block().Size(), 4);
  EXPECT_TRUE(s.Assign("hi", 10));
  EXPECT_STREQ(s.Get(), "hi");
  EXPECT_TRUE(s.Assign("abc", -1));
  EXPECT_STREQ(s.Get(), "abc");
  EXPECT_TRUE(s.Assign(nullptr));
  EXPECT_STREQ(s.Get(), "");
  EXPECT_EQ(s.Length(), 0);
  s.Assign("x");
  EXPECT_TRUE(s.Assign(""));
  EXPECT_STREQ(s.Get(), "");
  IStringBuffer t("constructed", 5);
  EXPECT_STREQ(t.Get(), "const");
}

TEST(StringBuffer, AssignOwnTextAfterReallocation) {
  IStringBuffer s;
  s.Assign("hello world");
  const char* before = s.Block().As<char>();
  std::string big(1000, 'z');
  s.Append(big.c_str()); // grows the block, normally moving it
  (void)before;
  ASSERT_EQ(s.Length(), 1011);
  EXPECT_TRUE(s.Assign(s.Get() + 6, 5));
  EXPECT_STREQ(s.Get(), "world");
  EXPECT_TRUE(s.Assign(s.Get() + 1));
  EXPECT_STREQ(s.Get(), "orld");
}

TEST(StringBuffer, SpliceAppendsAndPrepends) {
  IStringBuffer s("ab");
  EXPECT_TRUE(s.Splice(2, "c", 1, 0));
  EXPECT_STREQ(s.Get(), "abc");
  s.Assign("ab");
  EXPECT_TRUE(s.Splice(0, "c", 1, 2));
  EXPECT_STREQ(s.Get(), "cab");
  s.Assign("abc");
  EXPECT_TRUE(s.Splice(1, "XY", 2, 1)); // tail "b"; "c" is dropped
  EXPECT_STREQ(s.Get(), "aXYb");
  EXPECT_EQ(s.Length(), 4);
  IStringBuffer e;
  EXPECT_TRUE(e.Splice(0, "new", 3, 0));
  EXPECT_STREQ(e.Get(), "new");
}

TEST(StringBuffer, SpliceRejectsAndClamps) {
  IStringBuffer s("ab");
  EXPECT_FALSE(s.Splice(5, "x", 1, 0)); // beyond the text
  EXPECT_STREQ(s.Get(), "ab");
  EXPECT_FALSE(s.Splice(-1, "x", 1, 0));
  EXPECT_FALSE(s.Splice(0, "x", -1, 0));
  EXPECT_FALSE(s.Splice(1, "x", 0, 0));
  EXPECT_FALSE(s.Splice(0, "x", 0, 1));
  EXPECT_FALSE(s.Splice(0, nullptr, 1, 0));
  EXPECT_STREQ(s.Get(), "ab");
  EXPECT_TRUE(s.Splice(1, "X", 1, 10)); // tail clamped to 1
  EXPECT_STREQ(s.Get(), "aXb");
  EXPECT_TRUE(s.Splice(1, "Y", 1, -4)); // negative tail counts as 0
  EXPECT_STREQ(s.Get(), "aY");
  EXPECT_TRUE(s.Splice(0, "", 0, 0)); // empties
  EXPECT_STREQ(s.Get(), "");
  EXPECT_EQ(s.Length(), 0);
}

TEST(StringBuffer, SpliceFromOwnStorage) {
  IStringBuffer s("abcdef");
  // Source overlaps the moved tail.
  EXPECT_TRUE(s.Splice(1, s.Get() + 2, 3, 5));
  EXPECT_STREQ(s.Get(), "acdebcdef");
  // Source lies in the part that is dropped.
  s.Assign("abcdef");
  EXPECT_TRUE(s.Splice(1, s.Get() + 4, 2, 1));
  EXPECT_STREQ(s.Get(), "aefb");
  // Source is the whole text, with growth that moves the block.
  std::string big(300, 'q');
  big[0] = 'A';
  big[299] = 'Z';
  s.Assign(big.c_str());
  const int32_t cap = s.Block().Capacity();
  EXPECT_TRUE(s.Append(s.Get()));
  EXPECT_GT(s.Block().Capacity(), cap);
  EXPECT_EQ(std::string(s.Get()), big + big);
  EXPECT_EQ(s.Length(), 600);
  EXPECT_EQ(s.Block().Size(), 601);
}

TEST(StringBuffer, AppendAndClear) {
  IStringBuffer s;
  EXPECT_TRUE(s.Append("one"));
  EXPECT_TRUE(s.Append(" two", 2));
  EXPECT_STREQ(s.Get(), "one t");
  EXPECT_TRUE(s.Append(nullptr));
  EXPECT_TRUE(s.Append(""));
  EXPECT_STREQ(s.Get(), "one t");
  const int32_t cap = s.Block().Capacity();
  s.Clear();
  EXPECT_STREQ(s.Get(), "");
  EXPECT_EQ(s.Block().Capacity(), cap);
}

TEST(StringBuffer, Print) {
  IStringBuffer s("old");
  EXPECT_TRUE(s.Print(5, "%s", "123456789"));
  EXPECT_STREQ(s.Get(), "12345");
  EXPECT_EQ(s.Length(), 5);
  EXPECT_TRUE(s.Print(32, "%d-%s", 7, "x"));
  EXPECT_STREQ(s.Get(), "7-x");
  EXPECT_EQ(s.Block().Size(), 4);
  EXPECT_TRUE(s.PrintMore(32, "+%.2f", 1.5));
  EXPECT_STREQ(s.Get(), "7-x+1.50");
  EXPECT_TRUE(s.PrintMore(2, "%s", "abcdef"));
  EXPECT_STREQ(s.Get(), "7-x+1.50ab");
  EXPECT_TRUE(s.Print(32, "%s", ""));
  EXPECT_STREQ(s.Get(), "");
  EXPECT_EQ(s.Block().Size(), 1);
}

TEST(StringBuffer, PrintWithZeroOrNegativeMaxLenWritesOnlyTheNul) {
  IStringBuffer s("keep");
  EXPECT_TRUE(s.Print(0, "%s", "abc"));
  EXPECT_STREQ(s.Get(), "");
  EXPECT_EQ(s.Block().Size(), 1);
  s.Assign("keep");
  EXPECT_TRUE(s.Print(-7, "%s", "abc"));
  EXPECT_STREQ(s.Get(), "");
  s.Assign("keep");
  EXPECT_TRUE(s.PrintMore(-1, "%s", "abc"));
  EXPECT_STREQ(s.Get(), "keep");
  EXPECT_EQ(s.Block().Size(), 5);
}

TEST(StringBuffer, PrintMoreOnEmptyBuffer) {
  IStringBuffer s;
  EXPECT_TRUE(s.PrintMore(10, "%d", 42));
  EXPECT_STREQ(s.Get(), "42");
}

TEST(StringBuffer, SetLength) {
  IStringBuffer s("abcdef");
  EXPECT_TRUE(s.SetLength(3));
  EXPECT_STREQ(s.Get(), "abc");
  EXPECT_TRUE(s.SetLength(5));
  EXPECT_EQ(s.Length(), 5);
  s.Buffer()[3] = 'x';
  s.Buffer()[4] = 'y';
  EXPECT_STREQ(s.Get(), "abcxy");
  EXPECT_FALSE(s.SetLength(-1));
  EXPECT_FALSE(s.SetLength(INT32_MAX));
  EXPECT_STREQ(s.Get(), "abcxy");
}

// ---- IPointerArray -----------------------------------------------------------

namespace {
struct Tracked {
  explicit Tracked(int id, std::vector<int>* log) : id(id), log(log) {}
  ~Tracked() { if (log) log->push_back(id); }
  int id;
  std::vector<int>* log;
};
} // namespace

TEST(PointerArray, AddGetInsertRemove) {
  int a = 1, b = 2, c = 3, d = 4;
  IPointerArray<int> arr;
  EXPECT_EQ(arr.Count(), 0);
  EXPECT_EQ(arr.Get(0), nullptr);
  EXPECT_TRUE(arr.Add(&a));
  EXPECT_TRUE(arr.Add(&b));
  EXPECT_TRUE(arr.InsertFront(&c));
  ASSERT_EQ(arr.Count(), 3);
  EXPECT_EQ(arr.Get(0), &c);
  EXPECT_EQ(arr.Get(1), &a);
  EXPECT_EQ(arr.Get(2), &b);
  EXPECT_EQ(arr.Get(3), nullptr);
  EXPECT_EQ(arr.Get(-1), nullptr);
  EXPECT_TRUE(arr.Insert(2, &d));
  EXPECT_EQ(arr.Get(2), &d);
  EXPECT_EQ(arr.Get(3), &b);
  EXPECT_EQ(arr.Find(&d), 2);
  EXPECT_EQ(arr.Find(nullptr), -1);

  EXPECT_EQ(arr.Remove(0), &c);
  ASSERT_EQ(arr.Count(), 3);
  EXPECT_EQ(arr.Get(0), &a);
  EXPECT_EQ(arr.Get(1), &d);
  EXPECT_EQ(arr.Get(2), &b);
  EXPECT_EQ(arr.Remove(3), nullptr);
  EXPECT_EQ(arr.Remove(-1), nullptr);
  EXPECT_EQ(arr.Remove(2), &b);
  EXPECT_EQ(arr.Count(), 2);

  int sum = 0;
  for (int* p : arr) sum += *p;
  EXPECT_EQ(sum, 5);

  arr.Clear();
  EXPECT_EQ(arr.Count(), 0);
  EXPECT_EQ(arr.begin(), arr.end());
  EXPECT_EQ(a, 1); // nothing deleted
}

TEST(PointerArray, CountIsSizeOverPointerWidthAndGrowsInPages) {
  IPointerArray<int> arr;
  static int x;
  for (int i = 0; i < 10000; ++i) ASSERT_TRUE(arr.Add(&x));
  EXPECT_EQ(arr.Count(), 10000);
  for (int i = 0; i < 10000; ++i) ASSERT_EQ(arr.Get(i), &x);
  arr.Clear(true);
  EXPECT_EQ(arr.Count(), 0);
}

TEST(PointerArray, DeleteAllDeletesFromLastToFirst) {
  std::vector<int> log;
  IPointerArray<Tracked> arr;
  for (int i = 0; i < 4; ++i) arr.Add(new Tracked(i, &log));
  arr.DeleteAll();
  EXPECT_EQ(arr.Count(), 0);
  EXPECT_EQ(log, (std::vector<int>{3, 2, 1, 0}));
}

TEST(PointerArray, DoesNotOwnItsPointees) {
  std::vector<int> log;
  Tracked t(7, nullptr);
  {
    IPointerArray<Tracked> arr;
    arr.Add(&t);
  }
  EXPECT_EQ(t.id, 7);
  EXPECT_TRUE(log.empty());
}

// ---- ISectionLock / ISectionGuard --------------------------------------------

namespace {
bool TryFromOtherThread(ISectionLock& lock) {
  std::atomic<bool> entered{false};
  std::thread t([&] {
    if (lock.TryEnter()) {
      entered = true;
      lock.Leave();
    }
  });
  t.join();
  return entered;
}
} // namespace

TEST(SectionLock, RecursiveForOwnerExclusiveForOthers) {
  ISectionLock lock;
  lock.Enter();
  lock.Enter(); // recursive
  EXPECT_TRUE(lock.TryEnter());
  EXPECT_FALSE(TryFromOtherThread(lock));
  lock.Leave();
  lock.Leave();
  EXPECT_FALSE(TryFromOtherThread(lock));
  lock.Leave();
  EXPECT_TRUE(TryFromOtherThread(lock));
}

TEST(SectionLock, GuardEntersAndLeaves) {
  ISectionLock lock;
  {
    ISectionGuard guard(&lock);
    EXPECT_FALSE(TryFromOtherThread(lock));
    ISectionGuard inner(lock);
    EXPECT_FALSE(TryFromOtherThread(lock));
  }
  EXPECT_TRUE(TryFromOtherThread(lock));
  ISectionGuard none(nullptr); // holds nothing
  EXPECT_TRUE(TryFromOtherThread(lock));
}

TEST(SectionLock, ExcludesConcurrentWriters) {
  ISectionLock lock;
  long counter = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 20000; ++i) {
        ISectionGuard guard(lock);
        counter = counter + 1;
      }
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(counter, 80000);
}

// ---- TraceCall -----------------------------------------------------------------

TEST(TraceCall, DoesNothing) {
  TraceCall("plugkit::IPluginBase::SerializeParams", __LINE__, "%d %s %f\n", 1, "x", 2.0);
  TraceCall("plugkit::Test", __LINE__, "no arguments\n");
  SUCCEED();
}
