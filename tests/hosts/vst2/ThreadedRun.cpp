#include "tests/hosts/vst2/ThreadedRun.h"

#include <atomic>
#include <cmath>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace vst2host {
namespace {

constexpr int32_t kBuckets = 40;

} // namespace

ThreadedRunResult RunThreaded(double seconds, int32_t callers, uint32_t seed, const std::function<void()>& block,
                              const std::function<void(int32_t caller, std::mt19937& random)>& call) {
  using Clock = std::chrono::steady_clock;
  std::atomic<bool> callersStop{false};
  std::atomic<bool> audioStop{false};
  std::atomic<int32_t> callersStarted{0};
  std::atomic<uint64_t> calls{0};
  ThreadedRunResult result;

  std::thread audio([&] {
    Clock::duration longest{};
    uint64_t blocks = 0;
    // Bucket k counts the blocks that took less than 2^k microseconds (and
    // at least 2^(k-1)).
    uint64_t buckets[kBuckets] = {};
    while (!audioStop.load(std::memory_order_acquire)) {
      const Clock::time_point start = Clock::now();
      block();
      const Clock::duration took = Clock::now() - start;
      if (took > longest) longest = took;
      ++blocks;
      uint64_t micros = static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(took).count());
      int32_t k = 0;
      while (micros > 0 && k < kBuckets - 1) {
        micros >>= 1;
        ++k;
      }
      ++buckets[k];
    }
    result.blocks = blocks;
    result.longestBlockMs = std::chrono::duration<double, std::milli>(longest).count();
    uint64_t counted = 0;
    for (int32_t k = 0; k < kBuckets; ++k) {
      counted += buckets[k];
      if (counted * 1000 >= blocks * 999) {
        result.mostBlocksUnderMs = static_cast<double>(uint64_t{1} << k) / 1000.0;
        break;
      }
    }
  });

  std::vector<std::thread> threads;
  for (int32_t n = 0; n < callers; ++n) {
    threads.emplace_back([&, n] {
      std::mt19937 random(seed * 7919u + static_cast<uint32_t>(n));
      uint64_t made = 0;
      callersStarted.fetch_add(1);
      // Every caller starts before any gets far: the point is overlap.
      while (callersStarted.load() < callers) std::this_thread::yield();
      while (!callersStop.load(std::memory_order_acquire)) {
        call(n, random);
        ++made;
      }
      calls.fetch_add(made);
    });
  }

  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  callersStop.store(true, std::memory_order_release);
  for (std::thread& thread : threads) thread.join();
  audioStop.store(true, std::memory_order_release);
  audio.join();
  result.calls = calls.load();
  return result;
}

std::string DescribeRun(const ThreadedRunResult& result, int32_t callers) {
  char line[200];
  std::snprintf(line, sizeof line,
                "%llu calls from %d threads beside %llu audio blocks; longest block %.3f ms, 99.9 %% under %.3f ms",
                static_cast<unsigned long long>(result.calls), callers, static_cast<unsigned long long>(result.blocks),
                result.longestBlockMs, result.mostBlocksUnderMs);
  return line;
}

StressBuffers::StressBuffers(int32_t inputs, int32_t outputs, int32_t frames, double sampleRate)
    : in(static_cast<size_t>(inputs > 0 ? inputs : 1), std::vector<float>(static_cast<size_t>(frames))),
      out(static_cast<size_t>(outputs > 0 ? outputs : 1), std::vector<float>(static_cast<size_t>(frames))) {
  for (auto& channel : in) {
    for (size_t i = 0; i < channel.size(); ++i)
      channel[i] = static_cast<float>(0.5 * std::sin(2.0 * 3.141592653589793 * 440.0 * i / sampleRate));
    inPointers.push_back(channel.data());
  }
  for (auto& channel : out) outPointers.push_back(channel.data());
}

int32_t Pick(std::mt19937& random, int32_t low, int32_t high) {
  return std::uniform_int_distribution<int32_t>(low, high)(random);
}

void FaultList::Add(const std::string& fault) {
  constexpr size_t kMaxFaults = 20;
  std::lock_guard<std::mutex> guard(mLock);
  if (mFaults.size() < kMaxFaults) mFaults.push_back(fault);
}

std::vector<std::string> FaultList::Take() {
  std::lock_guard<std::mutex> guard(mLock);
  return std::move(mFaults);
}

} // namespace vst2host
