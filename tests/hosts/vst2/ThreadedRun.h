#pragma once
// Drives a plug-in the way a busy host does: one thread plays the audio
// thread and processes block after block, while several caller threads make
// whatever calls a test gives them, all at the same time, for a fixed time.
//
// Neither function object is called by more than its own thread(s): `block`
// only on the audio thread, `call` on each caller thread with that caller's
// number (0 .. callers - 1) and its own random generator, seeded from `seed`
// and the number, so a run's call mix can be repeated.
//
// The audio thread's blocks are timed one by one; the longest is reported,
// and a bound that 99.9 % of them stayed under (figures for people, not pass
// marks: they depend on the machine's load). The timing allocates nothing.

#include <cstdint>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <vector>

namespace vst2host {

struct ThreadedRunResult {
  uint64_t blocks = 0;          // blocks the audio thread processed
  uint64_t calls = 0;           // calls made by all caller threads together
  double longestBlockMs = 0.0;  // the slowest single block
  double mostBlocksUnderMs = 0.0;  // 99.9 % of the blocks took less (a power of two in microseconds)
};

// Runs until `seconds` have passed (the audio thread keeps going until every
// caller has stopped, so calls never outlive processing), then returns.
ThreadedRunResult RunThreaded(double seconds, int32_t callers, uint32_t seed, const std::function<void()>& block,
                              const std::function<void(int32_t caller, std::mt19937& random)>& call);

// One line for a test's output: calls, threads, blocks and the block times.
std::string DescribeRun(const ThreadedRunResult& result, int32_t callers);

// The audio thread's buffers for a stress run: `inputs` channels of a 440 Hz
// sine at half scale and `outputs` channels to write, `frames` long, with the
// channel-pointer arrays a process call takes (at least one channel each).
struct StressBuffers {
  StressBuffers(int32_t inputs, int32_t outputs, int32_t frames, double sampleRate);
  std::vector<std::vector<float>> in, out;
  std::vector<float*> inPointers, outPointers;
};

// A whole number from low to high (both included), from a caller's generator.
int32_t Pick(std::mt19937& random, int32_t low, int32_t high);

// What caller threads found wrong, collected from all of them at once; only
// the first 20 are kept, which is plenty to see what went wrong.
class FaultList {
 public:
  void Add(const std::string& fault);
  std::vector<std::string> Take();

 private:
  std::mutex mLock;
  std::vector<std::string> mFaults;
};

} // namespace vst2host
