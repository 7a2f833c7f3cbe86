#pragma once
// IHandoffQueue: a fixed-size single-producer, single-consumer ring that hands
// plain records between the audio thread and the user-interface thread.
//
// Contract:
// - The ring is sized once, at construction, to N slots and never resized; it
//   holds at most N - 1 elements (one slot stays free so that "full" and
//   "empty" can be told apart from the two indices alone).
// - Exactly one thread pushes and exactly one thread takes at any time. The
//   producer alone writes the write index, the consumer alone the read index.
//   An element is published with a release store of the write index and
//   consumed after an acquire load of it (and the other way round for the
//   read index), so the bytes of an element are complete before the other
//   side can see it.
// - Push and Take copy one fixed-size element and never allocate, lock or
//   throw, so either side may be the audio thread.
// - A full queue drops the new element (Push returns false); an empty queue
//   leaves the output untouched (Take returns false).
// - When the buffer could not be allocated the queue has no slots: every Push
//   and every Take fails.
//
// The element type must be trivially copyable: it is copied as bytes.

#include <atomic>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "core/IHeapBlock.h"

namespace plugkit {

template <typename T>
class IHandoffQueue {
  static_assert(std::is_trivially_copyable<T>::value,
                "hand-off queue elements are copied as bytes");
  // A lock behind the indices would make the audio side wait on the other.
  static_assert(std::atomic<uint64_t>::is_always_lock_free, "queue indices must be lock-free");

public:
  // slots: N, the ring size in elements (usable capacity N - 1). Values below
  // 2 give a queue that holds nothing.
  explicit IHandoffQueue(int32_t slots) : mBuffer(kGranularity) {
    if (slots < 2) return;
    const int64_t bytes = static_cast<int64_t>(slots) * static_cast<int64_t>(sizeof(T));
    if (bytes > INT32_MAX) return;
    mBuffer.SetSize(static_cast<int32_t>(bytes), false);
    if (mBuffer.Size() == static_cast<int32_t>(bytes)) mSlots = static_cast<uint64_t>(slots);
  }

  IHandoffQueue(const IHandoffQueue&) = delete;
  IHandoffQueue& operator=(const IHandoffQueue&) = delete;

  // Producer side. False when the queue is full (the element is dropped).
  bool Push(const T& element) {
    if (mSlots == 0) return false;
    const uint64_t w = mWrite.load(std::memory_order_relaxed);
    const uint64_t next = (w + 1) % mSlots;
    if (next == mRead.load(std::memory_order_acquire)) return false;
    std::memcpy(mBuffer.As<unsigned char>() + w * sizeof(T), &element, sizeof(T));
    mWrite.store(next, std::memory_order_release);
    return true;
  }

  // Consumer side. False when the queue is empty (out is not touched).
  bool Take(T& out) {
    if (mSlots == 0) return false;
    const uint64_t r = mRead.load(std::memory_order_relaxed);
    if (r == mWrite.load(std::memory_order_acquire)) return false;
    std::memcpy(&out, mBuffer.As<unsigned char>() + r * sizeof(T), sizeof(T));
    mRead.store((r + 1) % mSlots, std::memory_order_release);
    return true;
  }

  // Ring size N (0 when the buffer could not be allocated).
  int32_t Slots() const { return static_cast<int32_t>(mSlots); }
  // Elements the queue can hold at once: N - 1.
  int32_t Capacity() const { return mSlots > 0 ? static_cast<int32_t>(mSlots - 1) : 0; }

  // Number of waiting elements. Exact on a quiet queue; while the other side
  // is running it is a snapshot that may already be out of date.
  int32_t Count() const {
    if (mSlots == 0) return 0;
    const uint64_t w = mWrite.load(std::memory_order_acquire);
    const uint64_t r = mRead.load(std::memory_order_acquire);
    return static_cast<int32_t>((w + mSlots - r) % mSlots);
  }
  bool IsEmpty() const { return Count() == 0; }

private:
  // Small granularity: the buffer is sized exactly once, slack is wasted.
  static constexpr int32_t kGranularity = 16;

  IHeapBlock mBuffer;
  uint64_t mSlots = 0;
  // The two indices sit on separate cache lines so that the producer's and
  // the consumer's stores do not contend for one line.
  char mPadBeforeWrite[64];
  std::atomic<uint64_t> mWrite{0};
  char mPadBetween[64 - sizeof(std::atomic<uint64_t>)];
  std::atomic<uint64_t> mRead{0};
};

} // namespace plugkit
