// Hosts that call setupProcessing with new sample rates and block sizes
// while their audio thread processes. Through the x86_64 build of
// Tessivo.vst3: while processing is on, every such set-up is refused, no
// block goes wrong, the audio thread neither allocates nor frees, and
// afterwards the instance plays exactly what a fresh one plays at the rate
// set before processing began. In process: a host that never switches
// processing on has its set-ups taken, each between two blocks.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/api/vst3/test_module.h"
#include "tests/api/vst3/vst3_fixture.h"
#include "tests/hosts/vst3/HostApplication.h"
#include "tests/hosts/vst3/PluginInstance.h"
#include "tests/hosts/vst3/PluginModule.h"
#include "tests/plugin/allocation_counter.h"
#include "tests/plugin/watched_tessivo.h"
#include "tests/support/wait.h"

namespace vst3test {
namespace {

using vst3host::PluginInstance;
using vst3host::PluginModule;

constexpr double kStartRate = 44100.0;
constexpr int32 kStartBlock = 512;
constexpr double kRates[] = {22050.0, 44100.0, 88200.0, 96000.0, 192000.0};
constexpr int32 kBlockSizes[] = {64, 4096, 512, 1000, 128};
constexpr int32 kHostBlocks[] = {512, 37, 256, 500, 64};

// Shifted by 5 semitones and 20 cents, 60 % wet, as a host's automation sets it.
void Shift(PluginInstance& plugin) {
  plugin.Controller()->setParamNormalized(0, (5.0 + 12.0) / 24.0);
  plugin.Controller()->setParamNormalized(1, (20.0 + 100.0) / 200.0);
  plugin.Controller()->setParamNormalized(2, 0.6);
}

// Both outputs of a stereo noise run in blocks of kStartBlock frames.
std::vector<float> Render(PluginInstance& plugin, int32_t blocks) {
  std::vector<float> heard;
  std::vector<float> in[2] = {std::vector<float>(kStartBlock), std::vector<float>(kStartBlock)};
  std::vector<float> out[2] = {std::vector<float>(kStartBlock), std::vector<float>(kStartBlock)};
  uint32_t noise = 7u;
  for (int32_t b = 0; b < blocks; ++b) {
    for (std::vector<float>& channel : in)
      for (float& sample : channel) sample = float((noise = noise * 1664525u + 1013904223u) >> 9) / 8388608.0f - 1.0f;
    float* inputs[2] = {in[0].data(), in[1].data()};
    float* outputs[2] = {out[0].data(), out[1].data()};
    EXPECT_EQ(plugin.Process32(inputs, outputs, kStartBlock), kResultOk);
    for (const std::vector<float>& channel : out) heard.insert(heard.end(), channel.begin(), channel.end());
  }
  return heard;
}

TEST(SetupWhileProcessing, ModuleRefusesEverySetUpWhileBlocksRun) {
  std::string error;
  std::unique_ptr<PluginModule> module = PluginModule::Load(TestModulePath(), &error);
  ASSERT_TRUE(module) << error;
  ASSERT_TRUE(tessivo_test::CountAllocationsIn(module->Handle()));
  vst3host::ClassRecord tessivo;
  ASSERT_TRUE(module->FindAudioClass(tessivo));
  IPtr<vst3host::HostApplication> host{new vst3host::HostApplication(), false};
  std::unique_ptr<PluginInstance> plugin = PluginInstance::Create(*module, tessivo.cid, host, &error);
  ASSERT_TRUE(plugin) << error;

  {
    // The counter sees the module's own allocations: a larger block size
    // grows its buffers, which the host's side of the call does not.
    ProcessSetup larger{kRealtime, kSample32, 8192, kStartRate};
    tessivo_test::AllocationCounter counter;
    ASSERT_EQ(plugin->Processor()->setupProcessing(larger), kResultOk);
    ASSERT_GT(counter.Count(), 0) << "the module's allocations are not counted";
  }
  ASSERT_TRUE(plugin->Start(kStartRate, kStartBlock, kSample32, &error)) << error;
  Shift(*plugin);

  std::atomic<bool> stop{false};
  std::atomic<int64_t> blocks{0};
  int64_t nonFinite = 0, failed = 0, allocations = -1, frees = -1;
  std::thread audio([&] {
    std::vector<float> in[2] = {std::vector<float>(kStartBlock), std::vector<float>(kStartBlock)};
    std::vector<float> out[2] = {std::vector<float>(kStartBlock), std::vector<float>(kStartBlock)};
    for (int c = 0; c < 2; ++c)
      for (int32 i = 0; i < kStartBlock; ++i) in[c][size_t(i)] = float(std::sin(0.01 * (c + 1) * i));
    float* inputs[2] = {in[0].data(), in[1].data()};
    float* outputs[2] = {out[0].data(), out[1].data()};
    tessivo_test::AllocationCounter counter;
    for (uint32_t n = 0; !stop.load(); ++n) {
      const int32 frames = kHostBlocks[n % std::size(kHostBlocks)];
      if (plugin->Process32(inputs, outputs, frames) != kResultOk) ++failed;
      for (int c = 0; c < 2; ++c)
        for (int32 i = 0; i < frames; ++i)
          if (!std::isfinite(out[c][size_t(i)])) ++nonFinite;
      blocks.fetch_add(1);
    }
    allocations = counter.Count();
    frees = counter.Frees();
  });

  ASSERT_TRUE(plugkit::test::WaitUntil("the first blocks", [&] { return blocks.load() > 10; }));
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  int64_t setups = 0, accepted = 0;
  for (size_t i = 0; std::chrono::steady_clock::now() < end || setups < 200; ++i) {
    ProcessSetup setup{kRealtime, kSample32, kBlockSizes[(i / 5) % std::size(kBlockSizes)],
                       kRates[i % std::size(kRates)]};
    if (plugin->Processor()->setupProcessing(setup) != kResultFalse) ++accepted;
    ++setups;
  }
  const int64_t blocksWhileChanging = blocks.load();
  stop.store(true);
  audio.join();

  EXPECT_GT(blocksWhileChanging, 100) << "the set-ups hardly met any block";
  EXPECT_EQ(accepted, 0) << "of " << setups << " set-ups while processing";
  EXPECT_EQ(failed, 0);
  EXPECT_EQ(nonFinite, 0);
  EXPECT_EQ(allocations, 0) << "the audio thread allocated";
  EXPECT_EQ(frees, 0) << "the audio thread freed";

  // Processing switched off and on again: the instance sounds like a fresh one
  // at the rate and block size it was started with.
  ASSERT_EQ(plugin->Processor()->setProcessing(false), kResultOk);
  ASSERT_EQ(plugin->Processor()->setProcessing(true), kResultOk);
  std::unique_ptr<PluginInstance> fresh = PluginInstance::Create(*module, tessivo.cid, host, &error);
  ASSERT_TRUE(fresh) << error;
  ASSERT_TRUE(fresh->Start(kStartRate, kStartBlock, kSample32, &error)) << error;
  Shift(*fresh);
  const std::vector<float> expected = Render(*fresh, 60);
  EXPECT_EQ(Render(*plugin, 60), expected);
  fresh.reset();
  plugin.reset();
}

// A host that never switches processing on (so its set-ups are taken) and
// ends processing on another thread now and then, while its audio thread
// runs blocks: every set-up and every end of processing waits for the block
// that runs, no stream reset ever runs beside a block, and the audio thread
// neither allocates nor frees.
TEST(SetupWhileProcessing, SetUpsThatAreTakenWaitForTheRunningBlock) {
  Held<tessivo_test::TWatchedTessivo> plugin(new tessivo_test::TWatchedTessivo());
  ASSERT_EQ(plugin->initialize(nullptr), kResultOk);
  plugin->activateBus(kAudio, kInput, 0, true);
  plugin->activateBus(kAudio, kOutput, 0, true);
  ProcessSetup first{kRealtime, kSample32, kStartBlock, kStartRate};
  ASSERT_EQ(plugin->setupProcessing(first), kResultOk);
  ASSERT_EQ(plugin->setActive(true), kResultOk);
  plugin->setParamNormalized(0, (5.0 + 12.0) / 24.0);
  plugin->setParamNormalized(2, 0.6);

  std::atomic<bool> stop{false};
  std::atomic<int64_t> blocks{0};
  int64_t nonFinite = 0, allocations = -1, frees = -1;
  std::thread audio([&] {
    Signal<float> in = Ramp<float>(2, kStartBlock), out(2, kStartBlock);
    tessivo_test::AllocationCounter counter;
    for (uint32_t n = 0; !stop.load(); ++n) {
      const int32 frames = kHostBlocks[n % std::size(kHostBlocks)];
      ProcessBlock(*plugin, in.pointers.data(), 2, out.pointers.data(), 2, frames);
      for (const std::vector<float>& channel : out.data)
        for (int32 i = 0; i < frames; ++i)
          if (!std::isfinite(channel[size_t(i)])) ++nonFinite;
      blocks.fetch_add(1);
    }
    allocations = counter.Count();
    frees = counter.Frees();
  });

  ASSERT_TRUE(plugkit::test::WaitUntil("the first blocks", [&] { return blocks.load() > 10; }));
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  int64_t setups = 0, refused = 0;
  double lastRate = kStartRate;
  for (size_t i = 0; std::chrono::steady_clock::now() < end || setups < 200; ++i) {
    if (i % 4 == 3) {
      EXPECT_EQ(plugin->setProcessing(false), kResultOk);
      continue;
    }
    lastRate = kRates[i % std::size(kRates)];
    ProcessSetup setup{kRealtime, kSample32, kBlockSizes[(i / 4) % std::size(kBlockSizes)], lastRate};
    if (plugin->setupProcessing(setup) != kResultOk) ++refused;
    ++setups;
  }
  stop.store(true);
  audio.join();

  EXPECT_EQ(refused, 0) << "of " << setups << " set-ups of a host that never switched processing on";
  EXPECT_EQ(plugin->overlaps.load(), 0) << "stream resets ran beside blocks";
  EXPECT_EQ(nonFinite, 0);
  EXPECT_EQ(allocations, 0) << "the audio thread allocated";
  EXPECT_EQ(frees, 0) << "the audio thread freed";
  EXPECT_EQ(plugin->LineLength, lastRate <= 22050 ? 1024 : lastRate <= 44100 ? 2048 : lastRate <= 88200 ? 4096 : 8192);
  plugin->setActive(false);
  plugin->terminate();
}

} // namespace
} // namespace vst3test
