// A host that changes the sample rate and the block size while its audio
// thread is still running blocks (a device switched during playback, a host
// that skips the suspend): every block runs whole, nothing crashes, the audio
// thread neither allocates nor frees, and the instance is left as whole as a
// fresh one at the last rate.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <thread>
#include <vector>

#include "api/vst2/VST2Interface.h"
#include "plugin/Tessivo.h"
#include "tests/plugin/allocation_counter.h"
#include "tests/plugin/watched_tessivo.h"
#include "tests/support/wait.h"

namespace vst2test {
namespace {

constexpr double kRates[] = {22050.0, 44100.0, 88200.0, 96000.0, 192000.0};
constexpr intptr_t kBlockSizes[] = {512, 64, 4096, 1000, 128, 2048};
// Host blocks shorter and longer than any block size announced.
constexpr int32_t kHostBlocks[] = {512, 37, 4096, 1000, 8000, 64};
constexpr int32_t kLongestHostBlock = 8000;

intptr_t Dispatch(AEffect* effect, int32_t opcode, intptr_t value = 0, float opt = 0.0f) {
  return effect->dispatcher(effect, opcode, 0, value, nullptr, opt);
}

// Opened, shifted by 5 semitones and 20 cents, 60 % wet, at rate and block
// size, switched on.
void StartShifted(AEffect* effect, double rate, intptr_t blockSize) {
  Dispatch(effect, effOpen);
  effect->setParameter(effect, Coarse, float((5.0 + 12.0) / 24.0));
  effect->setParameter(effect, Fine, float((20.0 + 100.0) / 200.0));
  effect->setParameter(effect, Mix, 0.6f);
  Dispatch(effect, effSetSampleRate, 0, float(rate));
  Dispatch(effect, effSetBlockSize, blockSize);
  Dispatch(effect, effMainsChanged, 1);
}

// The left and right outputs of a stereo noise run through the replacing
// entry in host blocks of `block` frames.
std::vector<float> Render(AEffect* effect, int32_t frames, int32_t block) {
  std::vector<float> heard;
  std::vector<float> in[2] = {std::vector<float>(size_t(block)), std::vector<float>(size_t(block))};
  std::vector<float> out[2] = {std::vector<float>(size_t(block)), std::vector<float>(size_t(block))};
  uint32_t noise = 99u;
  for (int32_t start = 0; start < frames; start += block) {
    for (std::vector<float>& channel : in)
      for (float& sample : channel) sample = float((noise = noise * 1664525u + 1013904223u) >> 9) / 8388608.0f - 1.0f;
    float* inputs[2] = {in[0].data(), in[1].data()};
    float* outputs[2] = {out[0].data(), out[1].data()};
    effect->processReplacing(effect, inputs, outputs, block);
    for (const std::vector<float>& channel : out) heard.insert(heard.end(), channel.begin(), channel.end());
  }
  return heard;
}

TEST(SetupWhileProcessing, RateAndBlockSizeChangesNeverMeetARunningBlock) {
  tessivo_test::TWatchedTessivo plugin(nullptr);
  AEffect* effect = plugin.EffectRecord();
  StartShifted(effect, 44100.0, 512);

  std::atomic<bool> stop{false};
  std::atomic<int64_t> blocks{0};
  int64_t nonFinite = 0, allocations = -1, frees = -1;
  std::thread audio([&] {
    // The host's buffers exist before the counting starts.
    std::vector<float> fIn[2], fOut[2];
    std::vector<double> dIn[2], dOut[2];
    for (int c = 0; c < 2; ++c) {
      fIn[c].resize(kLongestHostBlock), fOut[c].resize(kLongestHostBlock);
      dIn[c].resize(kLongestHostBlock), dOut[c].resize(kLongestHostBlock);
      for (int32_t i = 0; i < kLongestHostBlock; ++i) {
        fIn[c][size_t(i)] = float(std::sin(0.01 * (c + 1) * i));
        dIn[c][size_t(i)] = std::sin(0.013 * (c + 1) * i);
      }
    }
    float* fInputs[2] = {fIn[0].data(), fIn[1].data()};
    float* fOutputs[2] = {fOut[0].data(), fOut[1].data()};
    double* dInputs[2] = {dIn[0].data(), dIn[1].data()};
    double* dOutputs[2] = {dOut[0].data(), dOut[1].data()};
    tessivo_test::AllocationCounter counter;
    for (uint32_t n = 0; !stop.load(); ++n) {
      const int32_t frames = kHostBlocks[n % std::size(kHostBlocks)];
      // All three entries: replacing, double replacing and accumulating.
      switch (n % 3) {
      case 0: effect->processReplacing(effect, fInputs, fOutputs, frames); break;
      case 1: effect->processDoubleReplacing(effect, dInputs, dOutputs, frames); break;
      default:
        for (std::vector<float>& channel : fOut) std::fill(channel.begin(), channel.begin() + frames, 0.0f);
        effect->process(effect, fInputs, fOutputs, frames);
        break;
      }
      for (int c = 0; c < 2; ++c)
        for (int32_t i = 0; i < frames; ++i)
          if (!std::isfinite(n % 3 == 1 ? dOut[c][size_t(i)] : double(fOut[c][size_t(i)]))) ++nonFinite;
      blocks.fetch_add(1);
    }
    allocations = counter.Count();
    frees = counter.Frees();
  });

  ASSERT_TRUE(plugkit::test::WaitUntil("the first blocks", [&] { return blocks.load() > 10; }));
  // Every line length, back and forth, with the block size changing between
  // them, for several seconds.
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  int64_t changes = 0;
  double lastRate = 0.0;
  intptr_t lastBlockSize = 0;
  for (size_t i = 0; std::chrono::steady_clock::now() < end || changes < 200; ++i) {
    lastRate = kRates[i % std::size(kRates)];
    Dispatch(effect, effSetSampleRate, 0, float(lastRate));
    if (i % 3 == 0) {
      lastBlockSize = kBlockSizes[(i / 3) % std::size(kBlockSizes)];
      Dispatch(effect, effSetBlockSize, lastBlockSize);
    }
    ++changes;
  }
  const int64_t blocksWhileChanging = blocks.load();
  stop.store(true);
  audio.join();

  EXPECT_GT(blocksWhileChanging, 100) << "the changes hardly met any block";
  EXPECT_EQ(plugin.overlaps.load(), 0) << "stream resets ran beside blocks";
  EXPECT_EQ(nonFinite, 0);
  EXPECT_EQ(allocations, 0) << "the audio thread allocated";
  EXPECT_EQ(frees, 0) << "the audio thread freed";
  ASSERT_EQ(plugin.LineLength, lastRate <= 22050 ? 1024 : lastRate <= 44100 ? 2048 : lastRate <= 88200 ? 4096 : 8192);
  EXPECT_EQ(plugin.BlockSize(), lastBlockSize);

  // A host's suspend and resume, and the instance plays exactly what a fresh
  // one plays at the last rate and block size, in host blocks longer than
  // that as well.
  Dispatch(effect, effMainsChanged, 0);
  Dispatch(effect, effMainsChanged, 1);
  Tessivo fresh(nullptr);
  StartShifted(fresh.EffectRecord(), lastRate, lastBlockSize);
  for (int32_t hostBlock : {int32_t(lastBlockSize), 3000}) {
    SCOPED_TRACE(hostBlock);
    const std::vector<float> expected = Render(fresh.EffectRecord(), 24000, hostBlock);
    const std::vector<float> heard = Render(effect, 24000, hostBlock);
    ASSERT_EQ(heard, expected);
  }
}

} // namespace
} // namespace vst2test
