#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ostream>

#include "plugin/Tessivo.h"
#include "tests/plugin/tessivo_support.h"

using namespace tessivo_test;

namespace {

// The two taps read the signal half a line apart. A tone with a whole number
// of periods in half a line is in phase at both taps, so their cross-fade is
// the shifted tone itself at full amplitude, and its frequency can be read
// precisely from the zero crossings. Other tones also shift, but the fade
// between two phases wobbles their instantaneous frequency.
double AlignedTone(double sampleRate, int32_t lineLength, int periods) {
  return periods * sampleRate / (lineLength / 2);
}

struct ShiftCase {
  double rate;
  int32_t coarse;
  int32_t fine;
};

std::ostream& operator<<(std::ostream& os, const ShiftCase& c) {
  return os << c.rate << " Hz, Coarse " << c.coarse << ", Fine " << c.fine;
}

class PitchShiftTest : public ::testing::TestWithParam<ShiftCase> {};

// Measured after two line lengths, once both taps read signal, over about
// half a second. 1e-5 is under a fiftieth of a cent.
TEST_P(PitchShiftTest, ToneComesOutAtRatioTimesItsFrequency) {
  const ShiftCase c = GetParam();
  Tessivo plugin(nullptr);
  Prepare(plugin, c.rate);
  ChangeParam(plugin, Coarse, c.coarse);
  ChangeParam(plugin, Fine, c.fine);
  const double ratio = std::pow(kSemitone, c.coarse - c.fine / 100.0);
  const double tone = AlignedTone(c.rate, plugin.LineLength, 20);

  const size_t settle = 2 * size_t(plugin.LineLength);
  const Stereo output = ProcessSignal(plugin, Sine(settle + 24000, tone, c.rate));
  const double measured = ZeroCrossingFrequency(output.left, settle, c.rate);
  EXPECT_NEAR(measured, tone * ratio, tone * ratio * 1e-5) << "input " << tone << " Hz";
  EXPECT_NEAR(Rms(output.left, settle), std::sqrt(0.5), 0.01);
  // The cubic taps keep the shifted tone clean: reading the nearest sample
  // instead leaves about 1e-2 of distortion, a wrong fourth point about 1e-3.
  EXPECT_LT(ResidualAfterSineFit(output.left, settle, tone * ratio, c.rate), 1e-4);
  EXPECT_EQ(output.left, output.right);
}

INSTANTIATE_TEST_SUITE_P(Shifts, PitchShiftTest,
                         ::testing::Values(ShiftCase{48000, 3, 0}, ShiftCase{48000, 12, 0}, ShiftCase{48000, -12, 0},
                                           ShiftCase{44100, 3, 0}, ShiftCase{44100, 12, 0}, ShiftCase{44100, -12, 0},
                                           ShiftCase{96000, 12, -100}, ShiftCase{48000, 0, 50},
                                           ShiftCase{48000, 0, -50}));

TEST(PitchShift, PositiveFineLowersThePitch) {
  const double rate = 48000;
  double measured[2] = {};
  const int32_t fines[2] = {15, -15};
  for (int k = 0; k < 2; ++k) {
    Tessivo plugin(nullptr);
    Prepare(plugin, rate);
    ChangeParam(plugin, Fine, fines[k]);
    const Stereo output = ProcessSignal(plugin, Sine(8192 + 24000, AlignedTone(rate, 4096, 20), rate));
    measured[k] = ZeroCrossingFrequency(output.left, 8192, rate);
  }
  const double tone = AlignedTone(rate, 4096, 20);
  EXPECT_LT(measured[0], tone * 0.995); // 15 cents is 0.87 %
  EXPECT_GT(measured[1], tone * 1.005);
}

// The tap about to cross the writer is always faded out, so even a tone whose
// taps disagree in phase changes by no more per frame than a clean sine of
// the shifted frequency would: a click would show as a far larger step.
TEST(PitchShift, TapCrossingsMakeNoClicks) {
  for (int32_t coarse : {12, -12, 5}) {
    SCOPED_TRACE(coarse);
    const double rate = 48000, tone = 440;
    Tessivo plugin(nullptr);
    Prepare(plugin, rate);
    ChangeParam(plugin, Coarse, coarse);
    const size_t settle = 8192;
    const Stereo output = ProcessSignal(plugin, Sine(settle + 48000, tone, rate));
    double largestStep = 0.0;
    for (size_t i = settle + 1; i < output.Frames(); ++i)
      largestStep = std::max(largestStep, std::fabs(output.left[i] - output.left[i - 1]));
    const double sineStep = 2.0 * kPi * tone * plugin.TransposeRatio / rate;
    EXPECT_LT(largestStep, sineStep * 1.1);
    EXPECT_GT(Rms(output.left, settle), 0.3);
  }
}

} // namespace
