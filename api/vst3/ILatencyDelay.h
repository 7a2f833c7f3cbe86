#pragma once
// ILatencyDelay: the ring through which a bypassed plug-in that reports a
// latency passes its input, so that a host compensating for that latency
// hears the bypassed signal in time with every other track.
//
// The ring holds the last Length frames of every channel that is both an
// input and an output. The binding feeds it with each block's input, bypassed
// or not, so the moment bypass starts the output is already the input of
// exactly Length frames earlier; a fresh or cleared ring reads as silence.
//
// Threads:
// - Prepare and Collect run on the host's user-interface thread: they
//   allocate and free. Prepare may be called while blocks run: the new ring
//   is handed over whole and the audio thread takes it up at the start of its
//   next block; the ring it gives up is freed by a later Prepare or Collect
//   (or the destructor), never on the audio thread. Taking up the new ring
//   and giving up the old one is one atomic step, so however the two threads
//   interleave, the next block after Prepare always runs on the new ring
//   (or on a newer one, when another Prepare followed).
// - RequestClear may be called from any thread; the audio thread empties the
//   ring at the start of its next block.
// - BeginBlock, Feed and Pass run on the audio thread and never allocate,
//   lock or throw.
// The destructor frees every ring; no block may run then.

#include <atomic>
#include <cstdint>

namespace plugkit {

class ILatencyDelay {
public:
  ILatencyDelay() = default;
  ~ILatencyDelay();
  ILatencyDelay(const ILatencyDelay&) = delete;
  ILatencyDelay& operator=(const ILatencyDelay&) = delete;

  // Rings that cannot be addressed with 32-bit sample counts are refused.
  static constexpr int64_t kMaxSamples = int64_t{1} << 28;

  // Hands over a new silent ring of frames frames for channels channels. A
  // frames or channels count of 0 or less hands over "no delay" (Pass then
  // declines). False, and the ring in use stays, when channels x frames
  // exceeds kMaxSamples or memory ran out. User-interface thread.
  bool Prepare(int32_t channels, int32_t frames);
  // Frees the ring the audio thread gave up, if any. User-interface thread.
  void Collect();
  // The ring reads as silence from the next block on. Any thread.
  void RequestClear() { mClearRequested.store(true, std::memory_order_release); }

  // Audio thread, once at the start of each block: takes up a handed-over
  // ring and carries out a requested clear.
  void BeginBlock();
  // Length in frames of the ring in use (0: none). Audio thread.
  int32_t ActiveLength() const;
  // Stores the block's input (count channels, frames each; a null array or
  // channel stores silence) without producing output. Call it before the
  // block is processed, while in-place input buffers still hold the input.
  template <typename Sample>
  void Feed(Sample* const* inputs, int32_t inputCount, int32_t frames);
  // The bypass pass-through: every output channel c below the ring's
  // channels receives the input of channel c delayed by the ring's length,
  // and the input is stored; output channels beyond them are zeroed. A null
  // output array or channel is skipped; input and output may share buffers.
  // False, with nothing written, when no ring is in use.
  template <typename Sample>
  bool Pass(Sample* const* inputs, int32_t inputCount, Sample* const* outputs, int32_t outputCount,
            int32_t frames);

private:
  struct IRing;
  static void Free(IRing* ring);
  // A ring in the exchange slot: the address, with kGivenUp set for a ring
  // that the audio thread gave up (rings are allocated, so bit 0 is free).
  static constexpr uintptr_t kGivenUp = 1;
  static IRing* RingIn(uintptr_t slot) { return reinterpret_cast<IRing*>(slot & ~kGivenUp); }

  IRing* mActive = nullptr; // audio thread
  // The one slot between the threads: empty, a ring handed over and not yet
  // taken up, or the ring given up in exchange for it and not yet freed. The
  // audio thread swaps its ring in for a handed-over one; the user-interface
  // thread puts a new ring in, or takes a given-up one out, and frees what
  // it replaced or took.
  std::atomic<uintptr_t> mSlot{0};
  std::atomic<bool> mClearRequested{false};
};

} // namespace plugkit
