#pragma once
// ISetupGate: keeps a host's set-up calls (sample rate, block size, switching,
// channel arrangements) and the audio thread's blocks apart, so that no
// set-up call changes, frees or moves what a running block uses.
//
// Hosts are asked to make set-up calls only while they hold processing, but
// some do not: a device switched in the middle of playback, a host that skips
// the suspend. The gate makes that safe without ever making the audio thread
// wait:
// - A block asks to pass (TryEnterBlock). It passes unless a set-up call holds
//   the gate or waits for it; a block that does not pass touches nothing of
//   the processor and leaves silence, and the binding tries again with the
//   next block. A passed block ends with LeaveBlock.
// - A set-up call holds the gate for its whole length (ISetupHold). Holding
//   first bars new blocks, then waits until the running block, if any, has
//   ended; a set-up call may wait, the audio thread never does. Set-up calls
//   on several threads hold the gate one after the other; a thread that holds
//   it may hold it again (a set-up call inside another one).
// Everything a set-up call wrote is seen by the next block that passes, and
// everything a block wrote by the set-up call that holds the gate after it.
//
// A block must not hold the gate, nor call anything that does: the set-up
// call would wait for the block that made it.

#include <atomic>
#include <cstdint>

namespace plugkit {

class ISetupGate {
public:
  ISetupGate() = default;
  ISetupGate(const ISetupGate&) = delete;
  ISetupGate& operator=(const ISetupGate&) = delete;

  // Audio thread, at the start of a block: true when the block may run, and
  // then LeaveBlock must follow. Never waits, locks or allocates.
  bool TryEnterBlock();
  void LeaveBlock();

  // Set-up side: waits until no block runs and bars blocks until the matching
  // Release. Any thread but one that is running a block.
  void Hold();
  void Release();

private:
  // Bit 0: a block runs. The bits above count the set-up calls that hold the
  // gate or wait for it (in steps of kSetupStep); blocks pass only at 0.
  static constexpr uint32_t kBlockRunning = 1;
  static constexpr uint32_t kSetupStep = 2;
  std::atomic<uint32_t> mState{0};
  // The thread that holds the gate (0: none), and how often it holds it; the
  // depth is only touched by that thread.
  std::atomic<uint32_t> mOwner{0};
  int32_t mDepth = 0;
};

// Holds a gate for a scope: a set-up call from start to end.
class ISetupHold {
public:
  explicit ISetupHold(ISetupGate& gate) : mGate(gate) { mGate.Hold(); }
  ~ISetupHold() { mGate.Release(); }
  ISetupHold(const ISetupHold&) = delete;
  ISetupHold& operator=(const ISetupHold&) = delete;

private:
  ISetupGate& mGate;
};

// A block's pass for a scope: Passed() tells whether the block may run; a
// pass that was granted is given back at the end of the scope.
class IBlockPass {
public:
  explicit IBlockPass(ISetupGate& gate) : mGate(gate), mPassed(gate.TryEnterBlock()) {}
  ~IBlockPass() {
    if (mPassed) mGate.LeaveBlock();
  }
  IBlockPass(const IBlockPass&) = delete;
  IBlockPass& operator=(const IBlockPass&) = delete;

  bool Passed() const { return mPassed; }

private:
  ISetupGate& mGate;
  const bool mPassed;
};

} // namespace plugkit
