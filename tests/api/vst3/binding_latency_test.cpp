// The bypass path of a plug-in that reports latency: the input comes back
// delayed by exactly the latency, across blocks, after a latency change and
// without allocating; processing switched off and on from the audio thread
// without allocating or freeing; and the ring's hand-over between the two
// threads.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "api/vst3/ILatencyDelay.h"
#include "tests/api/vst3/vst3_fixture.h"
#include "tests/hosts/vst3/ComponentHandler.h"
#include "tests/plugin/allocation_counter.h"
#include "tests/support/wait.h"

namespace vst3test {
namespace {

using plugkit::IVST3ControllerBase;
constexpr ParamID kBypass = IVST3ControllerBase::kBypassParamId;

// A small stereo effect on the VST 3 binding that reports a latency. It
// doubles its input while active and, like a product should, passes the input
// on when it is asked to process while bypassed.
class TLatencyProduct : public plugkit::IVST3Binding {
public:
  static plugkit::IPluginDescriptor Describe(int32_t latency) {
    plugkit::IPluginDescriptor d;
    d.paramCount = 1;
    d.channelIO = "2-2";
    d.pluginName = "Latency";
    d.makerName = "Test";
    d.latency = latency;
    return d;
  }
  explicit TLatencyProduct(int32_t latency) : IVST3Binding(Describe(latency)) {}

  void ProcessAudio(double** inputs, double** outputs, int32_t frames) override {
    ++processed;
    const double gain = IsBypassed() ? 1.0 : 2.0;
    for (int32_t c = 0; c < 2; ++c)
      for (int32_t i = 0; i < frames; ++i) outputs[c][i] = gain * inputs[c][i];
  }
  int processed = 0;
};

// A host stream of two channels: a block at a time goes in, what comes out is
// appended, so whole streams can be compared whatever the block sizes.
template <typename Sample>
class Stream {
public:
  explicit Stream(TLatencyProduct& plugin) : mPlugin(plugin) {}

  // The next frames of the input: distinct, non-zero, different per channel.
  static Sample InputAt(int32_t channel, int64_t frame) {
    return static_cast<Sample>((channel ? -1.0 : 1.0) * (1.0 + static_cast<double>(frame % 997) / 1024.0));
  }

  // One process call of frames frames; inPlace hands the same buffers in and out.
  void Run(int32_t frames, bool inPlace = false) {
    Signal<Sample> in(2, frames), out(2, frames);
    for (int32_t c = 0; c < 2; ++c)
      for (int32_t i = 0; i < frames; ++i) in.data[c][i] = InputAt(c, mPosition + i);
    Signal<Sample>& result = inPlace ? in : out;
    AudioBusBuffers inBus = HostBus(2, in.pointers.data());
    AudioBusBuffers outBus = HostBus(2, result.pointers.data());
    const int32 size = sizeof(Sample) == sizeof(float) ? kSample32 : kSample64;
    ASSERT_EQ(ProcessBuses(mPlugin, inBus, outBus, frames, size, {}), kResultOk);
    for (int32_t c = 0; c < 2; ++c)
      output[c].insert(output[c].end(), result.data[c].begin(), result.data[c].end());
    mPosition += frames;
  }

  // Whether output frames [from, to) are the input delayed by delay frames
  // (silence before the stream's start or before restartFrame).
  ::testing::AssertionResult DelayedBy(int32_t delay, int64_t from, int64_t to, int64_t restartFrame = 0) const {
    for (int32_t c = 0; c < 2; ++c) {
      for (int64_t f = from; f < to; ++f) {
        const int64_t source = f - delay;
        const Sample expected = source < restartFrame ? Sample(0) : InputAt(c, source);
        if (output[c][static_cast<size_t>(f)] != expected)
          return ::testing::AssertionFailure() << "channel " << c << " frame " << f << ": "
                                               << output[c][static_cast<size_t>(f)] << " instead of " << expected;
      }
    }
    return ::testing::AssertionSuccess();
  }

  int64_t Position() const { return mPosition; }
  std::vector<Sample> output[2];

private:
  TLatencyProduct& mPlugin;
  int64_t mPosition = 0;
};

template <typename Sample>
class VST3Latency : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(plugin->setComponentHandler(handler), kResultTrue);
    Start(*plugin, 44100.0, 256, sizeof(Sample) == sizeof(float) ? kSample32 : kSample64);
  }
  void TearDown() override {
    plugin->setProcessing(false);
    plugin->setActive(false);
    plugin->setComponentHandler(nullptr);
    plugin->terminate();
  }
  Held<TLatencyProduct> plugin{new TLatencyProduct(37)};
  IPtr<vst3host::ComponentHandler> handler{new vst3host::ComponentHandler(), false};
};

using SampleTypes = ::testing::Types<float, double>;
TYPED_TEST_SUITE(VST3Latency, SampleTypes);

TYPED_TEST(VST3Latency, BypassedOutputIsTheInputDelayedAcrossBlocks) {
  ASSERT_EQ(this->plugin->setParamNormalized(kBypass, 1.0), kResultOk);
  Stream<TypeParam> s(*this->plugin);
  // Blocks shorter, equal to and longer than the latency, one above the
  // announced maximum (run in sub-blocks), and in-place buffers.
  for (int32_t frames : {1, 10, 37, 64, 5, 300, 36, 2})
    s.Run(frames, frames == 64 || frames == 5);
  EXPECT_EQ(this->plugin->getLatencySamples(), 37u);
  EXPECT_TRUE(s.DelayedBy(37, 0, s.Position()));
  EXPECT_EQ(this->plugin->processed, 0); // the product is not run while bypassed
}

TYPED_TEST(VST3Latency, SwitchingBypassOnIsSeamlessAndOffRunsTheProduct) {
  Stream<TypeParam> s(*this->plugin);
  s.Run(100);
  s.Run(20, true);
  const int64_t switchedOn = s.Position();
  ASSERT_EQ(this->plugin->setParamNormalized(kBypass, 1.0), kResultOk);
  s.Run(15);
  s.Run(90);
  // The first bypassed frames already carry the input of 37 frames before.
  EXPECT_TRUE(s.DelayedBy(37, switchedOn, s.Position()));

  ASSERT_EQ(this->plugin->setParamNormalized(kBypass, 0.0), kResultOk);
  const int64_t switchedOff = s.Position();
  s.Run(50);
  for (int64_t f = switchedOff; f < s.Position(); ++f)
    ASSERT_EQ(s.output[0][static_cast<size_t>(f)], TypeParam(2) * Stream<TypeParam>::InputAt(0, f)) << f;
}

TYPED_TEST(VST3Latency, ChangedLatencyTellsTheHostAndDelaysByTheNewLength) {
  Stream<TypeParam> s(*this->plugin);
  ASSERT_EQ(this->plugin->setParamNormalized(kBypass, 1.0), kResultOk);
  s.Run(80);
  this->handler->ClearCalls();

  // Changed while processing runs: the next block takes up a silent ring.
  this->plugin->ChangeLatency(100);
  const std::vector<vst3host::HandlerCall> calls = this->handler->Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].kind, vst3host::HandlerCall::EKind::RestartComponent);
  EXPECT_EQ(calls[0].flags, kLatencyChanged);
  EXPECT_EQ(this->plugin->getLatencySamples(), 100u);
  const int64_t changed = s.Position();
  for (int32_t frames : {30, 99, 7, 256}) s.Run(frames);
  EXPECT_TRUE(s.DelayedBy(100, changed, s.Position(), changed));

  // Shortened twice before any block runs: only the last length counts.
  this->plugin->ChangeLatency(300);
  this->plugin->ChangeLatency(3);
  const int64_t shortened = s.Position();
  s.Run(64);
  s.Run(64);
  EXPECT_TRUE(s.DelayedBy(3, shortened, s.Position(), shortened));

  // Without latency bypass is the product's own: the input as it is.
  this->plugin->ChangeLatency(0);
  const int64_t none = s.Position();
  s.Run(40);
  EXPECT_TRUE(s.DelayedBy(0, none, s.Position()));
  EXPECT_EQ(this->plugin->processed, 1);
}

TYPED_TEST(VST3Latency, RestartedStreamStartsFromSilence) {
  Stream<TypeParam> s(*this->plugin);
  ASSERT_EQ(this->plugin->setParamNormalized(kBypass, 1.0), kResultOk);
  s.Run(60);
  ASSERT_EQ(this->plugin->setProcessing(false), kResultOk);
  ASSERT_EQ(this->plugin->setProcessing(true), kResultOk);
  const int64_t restarted = s.Position();
  s.Run(60);
  EXPECT_TRUE(s.DelayedBy(37, restarted, s.Position(), restarted));
}

TYPED_TEST(VST3Latency, NothingAllocatesOnTheAudioPath) {
  // The host's buffers are made before counting; only the process calls count.
  Signal<TypeParam> in(2, 256), out(2, 256);
  const int32 size = sizeof(TypeParam) == sizeof(float) ? kSample32 : kSample64;
  auto block = [&](int32_t frames) {
    return ProcessBuses(*this->plugin, HostBus(2, in.pointers.data()), HostBus(2, out.pointers.data()), frames, size,
                        {});
  };
  ASSERT_EQ(block(256), kResultOk);
  ASSERT_EQ(this->plugin->setParamNormalized(kBypass, 1.0), kResultOk);
  this->plugin->ChangeLatency(500); // allocates here, on the user-interface thread
  tessivo_test::AllocationCounter counter;
  for (int32_t frames : {256, 13, 200}) ASSERT_EQ(block(frames), kResultOk);
  ASSERT_EQ(this->plugin->setParamNormalized(kBypass, 0.0), kResultOk);
  ASSERT_EQ(block(100), kResultOk);
  EXPECT_EQ(counter.Count(), 0);
}

// A host may end and restart processing on its audio thread. After a latency
// change the next block gives up the old ring; it is freed on the
// user-interface thread (here by the next set-up), never in setProcessing.
TYPED_TEST(VST3Latency, SetProcessingOnTheAudioThreadNeitherAllocatesNorFrees) {
  Stream<TypeParam> s(*this->plugin);
  ASSERT_EQ(this->plugin->setParamNormalized(kBypass, 1.0), kResultOk);
  s.Run(64);
  this->plugin->ChangeLatency(500);
  s.Run(64);  // takes up the new ring

  int64_t allocations = -1, frees = -1;
  tresult stopped = kResultFalse, started = kResultFalse;
  std::thread audio([&] {
    tessivo_test::AllocationCounter counter;
    stopped = this->plugin->setProcessing(false);
    started = this->plugin->setProcessing(true);
    allocations = counter.Count();
    frees = counter.Frees();
  });
  audio.join();
  EXPECT_EQ(stopped, kResultOk);
  EXPECT_EQ(started, kResultOk);
  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(frees, 0);

  // The restart still empties the ring, and the ring given up is not lost.
  const int64_t restarted = s.Position();
  for (int i = 0; i < 3; ++i) s.Run(200);
  EXPECT_TRUE(s.DelayedBy(500, restarted, s.Position(), restarted));
  ProcessSetup setup{kRealtime, sizeof(TypeParam) == sizeof(float) ? kSample32 : kSample64, 256, 44100.0};
  ASSERT_EQ(this->plugin->setProcessing(false), kResultOk);
  tessivo_test::AllocationCounter counter;
  ASSERT_EQ(this->plugin->setupProcessing(setup), kResultOk);
  EXPECT_GE(counter.Frees(), 2);  // the old ring and its samples
}

// The hand-over under load: one thread runs blocks while the other replaces
// the ring again and again. Every sample that comes out is either silence or
// the constant input, and each ring, once taken up, delays by its length.
TEST(LatencyDelay, RingsHandedOverWhileBlocksRun) {
  plugkit::ILatencyDelay delay;
  ASSERT_TRUE(delay.Prepare(2, 16));
  std::atomic<bool> stop{false};
  std::atomic<int> wrong{0};
  std::thread audio([&] {
    float ones[64], out0[64], out1[64];
    for (float& v : ones) v = 1.0f;
    float* inputs[2] = {ones, ones};
    float* outputs[2] = {out0, out1};
    while (!stop.load()) {
      delay.BeginBlock();
      if (!delay.Pass<float>(inputs, 2, outputs, 2, 64)) continue;
      for (int i = 0; i < 64; ++i)
        if ((out0[i] != 0.0f && out0[i] != 1.0f) || out0[i] != out1[i]) wrong.fetch_add(1);
    }
  });
  for (int i = 0; i < 2000; ++i) ASSERT_TRUE(delay.Prepare(2, 1 + i % 97));
  stop.store(true);
  audio.join();
  EXPECT_EQ(wrong.load(), 0);

  // Unaddressable and empty rings.
  EXPECT_FALSE(delay.Prepare(1 << 20, 1 << 20));
  ASSERT_TRUE(delay.Prepare(0, 50));
  delay.BeginBlock();
  float sample = 0.5f;
  float* channel[1] = {&sample};
  EXPECT_EQ(delay.ActiveLength(), 0);
  EXPECT_FALSE(delay.Pass<float>(channel, 1, channel, 1, 1));
}

// However a hand-over falls between the steps of a block that is taking up
// the ring before it, the first block to start after Prepare has returned
// runs on the new ring: two rings go over back to back while blocks run, and
// the block after them must have the second.
TEST(LatencyDelay, TheNextBlockAlwaysRunsOnTheLastRingHandedOver) {
  plugkit::ILatencyDelay delay;
  std::atomic<bool> stop{false};
  std::atomic<uint32_t> asked{0}, answered{0};
  std::atomic<int32_t> length{-1};
  std::thread audio([&] {
    while (!stop.load()) {
      // Read before the block starts: this block began after every Prepare
      // made before the question.
      const uint32_t question = asked.load();
      delay.BeginBlock();
      if (question != answered.load()) {
        length.store(delay.ActiveLength());
        answered.store(question);
      }
    }
  });
  for (uint32_t i = 1; i <= 500; ++i) {
    ASSERT_TRUE(delay.Prepare(2, 100 + int32_t(i % 7)));
    const int32_t last = 200 + int32_t(i % 11);
    ASSERT_TRUE(delay.Prepare(2, last));
    asked.store(i);
    ASSERT_TRUE(plugkit::test::WaitUntil("the next block", [&] { return answered.load() == i; }));
    ASSERT_EQ(length.load(), last) << "hand-over " << i << " was left for a later set-up";
  }
  stop.store(true);
  audio.join();
}

} // namespace
} // namespace vst3test
