#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <thread>
#include <vector>

#include "core/IHeapBlock.h"
#include "plugin/Tessivo.h"
#include "tests/plugin/allocation_counter.h"
#include "tests/plugin/tessivo_support.h"
#include "tests/support/wait.h"

using namespace tessivo_test;

namespace {

// Deterministic, different signals for left and right.
Stereo Noise(size_t frames) {
  Stereo s(frames);
  uint32_t state = 12345u;
  auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return double(state >> 8) / double(1u << 24) * 2.0 - 1.0;
  };
  for (size_t i = 0; i < frames; ++i) {
    s.left[i] = next();
    s.right[i] = next();
  }
  return s;
}

struct RateCase {
  double rate;
  int32_t lineLength;
};

std::ostream& operator<<(std::ostream& os, const RateCase& c) { return os << c.rate << " Hz"; }

class LineLengthTest : public ::testing::TestWithParam<RateCase> {};

// At ratio 1 the first tap stays on the writer with weight 0, so the output
// is the second tap alone: the mono sum exactly half a line late.
TEST_P(LineLengthTest, ImpulseComesOutHalfALineLate) {
  const RateCase c = GetParam();
  Tessivo plugin(nullptr);
  Prepare(plugin, c.rate);
  ASSERT_EQ(plugin.LineLength, c.lineLength);
  ASSERT_EQ(plugin.TransposeRatio, 1.0);

  const size_t total = size_t(c.lineLength) + 100;
  Stereo input(total);
  input.left[0] = 1.0;
  input.right[0] = 1.0;
  const Stereo output = ProcessSignal(plugin, input, 256);

  const size_t delay = size_t(c.lineLength / 2);
  for (size_t i = 0; i < total; ++i) {
    const double expected = i == delay ? 1.0 : 0.0;
    // Frame 0 carries the impulse at the dry weight of Mix 100 (about 6e-17).
    ASSERT_NEAR(output.left[i], expected, 1e-15) << "frame " << i;
    ASSERT_NEAR(output.right[i], expected, 1e-15) << "frame " << i;
  }
  EXPECT_EQ(output.left[delay], 1.0);
}

INSTANTIATE_TEST_SUITE_P(SampleRates, LineLengthTest,
                         ::testing::Values(RateCase{8000, 1024}, RateCase{22050, 1024}, RateCase{22050.5, 2048},
                                           RateCase{44100, 2048}, RateCase{48000, 4096}, RateCase{88200, 4096},
                                           RateCase{96000, 8192}, RateCase{192000, 8192}));

TEST(TessivoEngine, MonoSumOfDifferentChannelsIsWhatIsDelayed) {
  Tessivo plugin(nullptr);
  Prepare(plugin, 44100);
  Stereo input(2048 + 10);
  input.left[3] = 0.75;
  input.right[3] = -0.25;
  const Stereo output = ProcessSignal(plugin, input);
  EXPECT_EQ(output.left[1024 + 3], 0.25);
  EXPECT_EQ(output.right[1024 + 3], 0.25);
}

TEST(TessivoEngine, FadeWindowIsARaisedCosineWithAccumulatedPhase) {
  for (double rate : {22050.0, 48000.0, 96000.0}) {
    Tessivo plugin(nullptr);
    Prepare(plugin, rate);
    const int32_t n = plugin.LineLength;
    ASSERT_NE(plugin.FadeWindow, nullptr);
    EXPECT_EQ(plugin.FadeWindow[0], 0.0);
    EXPECT_NEAR(plugin.FadeWindow[n / 2], 1.0, 1e-15);
    // Built by adding the step, not by multiplying it: stored sessions were
    // tuned with this table to the last bit.
    const double step = 6.283185307179586 / n;
    double phase = 0.0;
    for (int32_t i = 0; i < n; ++i, phase += step) {
      ASSERT_EQ(plugin.FadeWindow[i], 0.5 - 0.5 * std::cos(phase)) << "entry " << i << " of " << n;
      ASSERT_GE(plugin.FadeWindow[i], 0.0);
      ASSERT_LE(plugin.FadeWindow[i], 1.0);
    }
  }
}

TEST(TessivoEngine, ResetEmptiesTheLineAndKeepsRatioAndGains) {
  Tessivo plugin(nullptr);
  Prepare(plugin, 48000);
  ChangeParam(plugin, Coarse, 5);
  ChangeParam(plugin, Mix, 30);
  ProcessSignal(plugin, Noise(3000));
  const double ratio = plugin.TransposeRatio, dry = plugin.DryGain, wet = plugin.WetGain;

  plugin.SetSampleRate(96000);
  plugin.OnStreamReset();
  ASSERT_EQ(plugin.LineLength, 8192);
  EXPECT_EQ(plugin.WriteIndex, 0);
  EXPECT_EQ(plugin.ReadPosition, 0.0);
  for (int32_t i = 0; i < plugin.LineLength; ++i) ASSERT_EQ(plugin.DelayLine[i], 0.0) << i;
  EXPECT_EQ(plugin.TransposeRatio, ratio);
  EXPECT_EQ(plugin.DryGain, dry);
  EXPECT_EQ(plugin.WetGain, wet);
  EXPECT_EQ(plugin.CoarseSemitones, 5);
}

TEST(TessivoEngine, FirstFrameAfterResetWritesTheTopAndReadsBelowN) {
  Tessivo plugin(nullptr);
  Prepare(plugin, 48000);
  ChangeParam(plugin, Coarse, 3);
  double l = 0.5, r = 0.25, outL = 0, outR = 0;
  double* in[2] = {&l, &r};
  double* out[2] = {&outL, &outR};
  plugin.ProcessAudio(in, out, 1);
  EXPECT_EQ(plugin.WriteIndex, 4095);
  EXPECT_EQ(plugin.DelayLine[4095], 0.375);
  EXPECT_DOUBLE_EQ(plugin.TransposeRatio, std::pow(kSemitone, 3.0));
  EXPECT_EQ(plugin.ReadPosition, 4096.0 - plugin.TransposeRatio);
}

TEST(TessivoEngine, ZeroFramesChangesNothing) {
  Tessivo plugin(nullptr);
  Prepare(plugin, 44100);
  ChangeParam(plugin, Coarse, -4);
  ProcessSignal(plugin, Noise(777));
  const int32_t write = plugin.WriteIndex;
  const double read = plugin.ReadPosition;
  double l = 1, r = 1, outL = -7, outR = -7;
  double* in[2] = {&l, &r};
  double* out[2] = {&outL, &outR};
  plugin.ProcessAudio(in, out, 0);
  plugin.ProcessAudio(in, out, -5);
  EXPECT_EQ(plugin.WriteIndex, write);
  EXPECT_EQ(plugin.ReadPosition, read);
  EXPECT_EQ(outL, -7);
  EXPECT_EQ(outR, -7);
}

// Hosts may process before they set a sample rate or block size: no line
// length is in use yet, and the input passes unchanged.
TEST(TessivoEngine, BeforeAnyResetTheInputIsCopiedWithoutAllocating) {
  Tessivo plugin(nullptr);
  ASSERT_EQ(plugin.LineLength, 0);
  const Stereo input = Noise(300);
  Stereo output(300);
  {
    AllocationCounter allocations;
    double* in[2] = {const_cast<double*>(input.left.data()), const_cast<double*>(input.right.data())};
    double* out[2] = {output.left.data(), output.right.data()};
    plugin.ProcessAudio(in, out, 300);
    EXPECT_EQ(allocations.Count(), 0);
  }
  EXPECT_EQ(output.left, input.left);
  EXPECT_EQ(output.right, input.right);
  EXPECT_EQ(plugin.LineLength, 0);
  EXPECT_EQ(plugin.WriteIndex, 0);
}

// Guards every "allocates nothing" test against passing because nothing is
// counted: operator new and delete, the C runtime's allocator that the
// framework's heap blocks use, and only the counting thread's calls.
TEST(TessivoEngine, AllocationCounterSeesAllocations) {
  {
    AllocationCounter allocations;
    std::vector<double>* v = new std::vector<double>(10);
    delete v;
    EXPECT_EQ(allocations.Count(), 2);
    EXPECT_EQ(allocations.Frees(), 2);
  }
  {
    AllocationCounter allocations;
    {
      plugkit::IHeapBlock block;
      block.SetSize(100);
      block.SetSize(1 << 20); // grows: realloc
    }
    EXPECT_EQ(allocations.Count(), 2);
    EXPECT_EQ(allocations.Frees(), 1);
    void* p = std::calloc(4, 8);
    std::free(std::realloc(p, 64));
    std::free(nullptr);
    EXPECT_EQ(allocations.Count(), 4);
    EXPECT_EQ(allocations.Frees(), 2);
  }

  std::atomic<bool> go{false}, done{false};
  int64_t workerCount = -1;
  std::thread worker([&] {
    EXPECT_TRUE(plugkit::test::WaitUntil("the go", [&] { return go.load(); }));
    AllocationCounter own;
    for (int i = 0; i < 100; ++i) plugkit::IHeapBlock(0).SetSize(8 + i);
    workerCount = own.Count();
    done.store(true);
  });
  int64_t here = -1;
  {
    AllocationCounter allocations;
    go.store(true);
    EXPECT_TRUE(plugkit::test::WaitUntil("the worker", [&] { return done.load(); }));
    here = allocations.Count();
  }
  worker.join();
  EXPECT_EQ(workerCount, 100);
  EXPECT_EQ(here, 0) << "another thread's allocations were counted here";
}

TEST(TessivoEngine, ProcessingAllocatesNothing) {
  Tessivo plugin(nullptr);
  Prepare(plugin, 48000);
  ChangeParam(plugin, Coarse, 7);
  ChangeParam(plugin, Mix, 60);
  const Stereo input = Noise(10000);
  Stereo output(input.Frames());
  AllocationCounter allocations;
  for (size_t start = 0; start < input.Frames(); start += 500) {
    double* in[2] = {const_cast<double*>(input.left.data()) + start, const_cast<double*>(input.right.data()) + start};
    double* out[2] = {output.left.data() + start, output.right.data() + start};
    plugin.ProcessAudio(in, out, 500);
  }
  EXPECT_EQ(allocations.Count(), 0);
}

// Missing arrays or channels are never dereferenced, before and after the
// line exists: a missing input reads as silence, a missing output is skipped.
TEST(TessivoEngine, NullArraysAndChannelsAreNeverTouched) {
  for (bool reset : {false, true}) {
    SCOPED_TRACE(reset ? "after reset" : "before reset");
    Tessivo plugin(nullptr);
    if (reset) Prepare(plugin, 48000);
    ChangeParam(plugin, Mix, 0); // output = input, whatever the wet path holds
    std::vector<double> l(64, 0.5), r(64, -0.5), outL(64, 9.0), outR(64, 9.0);
    double* in[2] = {l.data(), r.data()};
    double* out[2] = {outL.data(), outR.data()};
    double* inNoRight[2] = {l.data(), nullptr};
    double* outNoLeft[2] = {nullptr, outR.data()};

    plugin.ProcessAudio(nullptr, out, 64);
    plugin.ProcessAudio(in, nullptr, 64);
    plugin.ProcessAudio(nullptr, nullptr, 64);
    EXPECT_EQ(outL, std::vector<double>(64, 9.0));

    plugin.ProcessAudio(inNoRight, out, 64);
    EXPECT_EQ(outL, l);
    EXPECT_EQ(outR, std::vector<double>(64, 0.0));

    plugin.ProcessAudio(in, outNoLeft, 64);
    EXPECT_EQ(outR, r);
  }
}

TEST(TessivoEngine, MixZeroReturnsTheInputExactly) {
  Tessivo plugin(nullptr);
  Prepare(plugin, 44100);
  ChangeParam(plugin, Coarse, 7);
  ChangeParam(plugin, Mix, 0);
  EXPECT_EQ(plugin.DryGain, 1.0);
  EXPECT_EQ(plugin.WetGain, 0.0);
  const Stereo input = Noise(6000);
  const Stereo output = ProcessSignal(plugin, input);
  EXPECT_EQ(output.left, input.left);
  EXPECT_EQ(output.right, input.right);
}

// cos(pi/2) in float64 is not 0: the dry signal stays in at about 6.1e-17
// (the last digits depend on the maths library). While the line still plays
// the silence of the reset, that is all there is.
TEST(TessivoEngine, MixHundredKeepsATinyDryWeight) {
  Tessivo plugin(nullptr);
  Prepare(plugin, 48000);
  ChangeParam(plugin, Mix, 100);
  EXPECT_EQ(plugin.WetGain, 1.0);
  EXPECT_GT(plugin.DryGain, 6.12e-17);
  EXPECT_LT(plugin.DryGain, 6.13e-17);

  const Stereo input = Noise(1000);
  const Stereo output = ProcessSignal(plugin, input);
  for (size_t i = 0; i < input.Frames(); ++i) {
    ASSERT_EQ(output.left[i], input.left[i] * plugin.DryGain) << i;
    ASSERT_EQ(output.right[i], input.right[i] * plugin.DryGain) << i;
  }
  EXPECT_NE(output.left[10], 0.0);
}

TEST(TessivoEngine, MixFiftyWeighsDryAndWetEqually) {
  Tessivo plugin(nullptr);
  Prepare(plugin, 22050);
  ChangeParam(plugin, Mix, 50);
  EXPECT_NEAR(plugin.DryGain, plugin.WetGain, 2.3e-16);
  EXPECT_NEAR(plugin.DryGain, std::sqrt(0.5), 1e-15);

  // At ratio 1 the wet signal is the mono sum 512 frames late.
  const Stereo input = Noise(3000);
  const Stereo output = ProcessSignal(plugin, input);
  for (size_t i = 512; i < input.Frames(); ++i) {
    const double mono = (input.left[i - 512] + input.right[i - 512]) * 0.5;
    ASSERT_DOUBLE_EQ(output.left[i], mono * plugin.WetGain + input.left[i] * plugin.DryGain) << i;
    ASSERT_DOUBLE_EQ(output.right[i], mono * plugin.WetGain + input.right[i] * plugin.DryGain) << i;
  }
}

TEST(TessivoEngine, WetPartIsTheSameMonoSignalInBothOutputs) {
  Tessivo stereo(nullptr), mono(nullptr);
  for (Tessivo* p : {&stereo, &mono}) {
    Prepare(*p, 48000);
    ChangeParam(*p, Coarse, 5);
    ChangeParam(*p, Fine, -30);
    ChangeParam(*p, Mix, 50);
  }
  const Stereo input = Noise(12000);
  Stereo summed(input.Frames());
  for (size_t i = 0; i < input.Frames(); ++i)
    summed.left[i] = summed.right[i] = (input.left[i] + input.right[i]) * 0.5;
  const Stereo a = ProcessSignal(stereo, input);
  const Stereo b = ProcessSignal(mono, summed);

  const double dry = stereo.DryGain;
  double wetEnergy = 0.0;
  for (size_t i = 0; i < input.Frames(); ++i) {
    const double wetLeft = a.left[i] - input.left[i] * dry;
    const double wetRight = a.right[i] - input.right[i] * dry;
    ASSERT_NEAR(wetLeft, wetRight, 1e-12) << i;
    ASSERT_NEAR(wetLeft, b.left[i] - summed.left[i] * dry, 1e-12) << i;
    wetEnergy += wetLeft * wetLeft;
  }
  EXPECT_GT(wetEnergy, 100.0); // the shifted signal is really there
  EXPECT_NE(a.left[8000], a.right[8000]);
}

struct RatioCase {
  int32_t coarse;
  int32_t fine;
  double exponent; // of 1.0594631
};

// The semitone base is 1.0594631 as written, not 2^(1/12); Fine counts down.
TEST(TessivoEngine, RatioFollowsCoarseMinusFine) {
  const RatioCase cases[] = {{0, 0, 0.0},      {3, 0, 3.0},   {12, 0, 12.0}, {-12, 0, -12.0},
                             {0, 15, -0.15},   {0, -50, 0.5}, {12, -100, 13.0}, {-12, 100, -13.0}};
  Tessivo plugin(nullptr);
  SendAllParams(plugin);
  for (const RatioCase& c : cases) {
    ChangeParam(plugin, Coarse, c.coarse);
    ChangeParam(plugin, Fine, c.fine);
    EXPECT_EQ(plugin.CoarseSemitones, c.coarse);
    EXPECT_EQ(plugin.FineCents, c.fine);
    EXPECT_DOUBLE_EQ(plugin.TransposeRatio, std::pow(kSemitone, c.exponent)) << c.coarse << " " << c.fine;
  }
  ChangeParam(plugin, Fine, 0);
  ChangeParam(plugin, Coarse, 0);
  EXPECT_EQ(plugin.TransposeRatio, 1.0);
  ChangeParam(plugin, Coarse, 12);
  EXPECT_GT(plugin.TransposeRatio, 2.0 + 5e-8);
  ChangeParam(plugin, Coarse, -12);
  EXPECT_LT(plugin.TransposeRatio, 0.5 - 5e-9);
  ChangeParam(plugin, Coarse, 0);
  ChangeParam(plugin, Fine, 15);
  EXPECT_LT(plugin.TransposeRatio, 1.0);
}

TEST(TessivoEngine, UnknownParameterIndicesChangeNothing) {
  Tessivo plugin(nullptr);
  SendAllParams(plugin);
  ChangeParam(plugin, Coarse, 2);
  ChangeParam(plugin, Mix, 20);
  const double ratio = plugin.TransposeRatio, dry = plugin.DryGain, wet = plugin.WetGain;
  for (int32_t index : {-1, 3, 1000}) plugin.OnParamChange(index, plugkit::IChangeSource::Host, -1);
  EXPECT_EQ(plugin.TransposeRatio, ratio);
  EXPECT_EQ(plugin.DryGain, dry);
  EXPECT_EQ(plugin.WetGain, wet);
}

} // namespace

namespace {

// A host switching processing off and on again at the same rate resets the
// stream on whatever thread it uses; that must not allocate.
TEST(TessivoEngine, ResetAtTheSameRateEmptiesTheLineWithoutAllocating) {
  Tessivo plugin(nullptr);
  Prepare(plugin, 44100);
  ProcessSignal(plugin, Noise(5000));
  const double* line = plugin.DelayLine;
  {
    AllocationCounter counter;
    plugin.OnStreamReset();
    EXPECT_EQ(counter.Count(), 0);
  }
  EXPECT_EQ(plugin.DelayLine, line);
  EXPECT_EQ(plugin.WriteIndex, 0);
  EXPECT_EQ(plugin.ReadPosition, 0.0);
  for (int32_t i = 0; i < plugin.LineLength; ++i) ASSERT_EQ(plugin.DelayLine[i], 0.0) << i;
}

// A reset to any rate keeps the line and the window where they are and
// allocates and frees nothing: a block still running on them could go on.
TEST(TessivoEngine, ResetsAtEveryRateNeitherAllocateNorMoveTheLine) {
  Tessivo plugin(nullptr);
  const double* line = plugin.DelayLine;
  const double* window = plugin.FadeWindow;
  ASSERT_NE(line, nullptr);
  for (double rate : {22050.0, 192000.0, 44100.0, 96000.0, 88200.0, 22050.0, 48000.0}) {
    SCOPED_TRACE(rate);
    plugin.SetSampleRate(rate);
    AllocationCounter counter;
    plugin.OnStreamReset();
    EXPECT_EQ(counter.Count(), 0);
    EXPECT_EQ(counter.Frees(), 0);
    EXPECT_EQ(plugin.DelayLine, line);
    EXPECT_EQ(plugin.FadeWindow, window);
  }
}

// After any sequence of rates, what a reset leaves sounds exactly like a
// fresh instance at the last one: neither the longer line's old samples nor
// its window entries reach a shorter line.
TEST(TessivoEngine, EveryRateChangeSoundsLikeAFreshInstance) {
  Tessivo travelled(nullptr);
  ChangeParam(travelled, Coarse, 5);
  ChangeParam(travelled, Fine, 30);
  ChangeParam(travelled, Mix, 80);
  const Stereo noise = Noise(9000);
  for (double rate : {192000.0, 22050.0, 96000.0, 44100.0, 88200.0, 22050.0, 192000.0, 48000.0, 22050.0}) {
    SCOPED_TRACE(rate);
    travelled.SetSampleRate(rate);
    travelled.OnStreamReset();
    Tessivo fresh(nullptr);
    Prepare(fresh, rate);
    ChangeParam(fresh, Coarse, 5);
    ChangeParam(fresh, Fine, 30);
    ChangeParam(fresh, Mix, 80);
    const Stereo expected = ProcessSignal(fresh, noise, 300);
    const Stereo heard = ProcessSignal(travelled, noise, 300);
    ASSERT_EQ(heard.left, expected.left);
    ASSERT_EQ(heard.right, expected.right);
  }
}

// The engine's ratio is that of the parameters as they stand, whichever of
// the two reports last: a change reported on one thread while the other
// parameter changed on another must not leave a stale ratio behind.
TEST(TessivoEngine, EitherReportComputesTheRatioFromBothParameters) {
  Tessivo plugin(nullptr);
  SendAllParams(plugin);
  plugin.GetParam(Coarse)->Set(7);
  plugin.GetParam(Fine)->Set(-40);
  plugin.OnParamChange(Fine, plugkit::IChangeSource::UI, -1);
  EXPECT_EQ(plugin.CoarseSemitones, 7);
  EXPECT_EQ(plugin.FineCents, -40);
  EXPECT_DOUBLE_EQ(plugin.TransposeRatio, std::pow(kSemitone, 7.4));
}

// While bypassed the line keeps following the input, so switching the effect
// back on sounds exactly as if it had never been off: no burst of the audio
// that stood in the line before the bypass.
TEST(TessivoEngine, BypassKeepsTheLineInStepWithTheInput) {
  const Stereo input = Noise(20000);
  Tessivo reference(nullptr), bypassed(nullptr);
  for (Tessivo* plugin : {&reference, &bypassed}) {
    Prepare(*plugin, 48000);
    ChangeParam(*plugin, Coarse, 4);
    ChangeParam(*plugin, Mix, 70);
  }
  const Stereo expected = ProcessSignal(reference, input);

  Stereo head(6000), tail(input.Frames() - 6000);
  std::copy(input.left.begin(), input.left.begin() + 6000, head.left.begin());
  std::copy(input.right.begin(), input.right.begin() + 6000, head.right.begin());
  std::copy(input.left.begin() + 6000, input.left.end(), tail.left.begin());
  std::copy(input.right.begin() + 6000, input.right.end(), tail.right.begin());

  bypassed.SetBypassed(true);
  const Stereo passed = ProcessSignal(bypassed, head);
  EXPECT_EQ(passed.left, head.left);
  EXPECT_EQ(passed.right, head.right);
  bypassed.SetBypassed(false);
  const Stereo resumed = ProcessSignal(bypassed, tail);
  for (size_t i = 0; i < tail.Frames(); ++i) {
    ASSERT_EQ(resumed.left[i], expected.left[6000 + i]) << i;
    ASSERT_EQ(resumed.right[i], expected.right[6000 + i]) << i;
  }
}

} // namespace
