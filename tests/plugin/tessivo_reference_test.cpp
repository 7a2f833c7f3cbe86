// The engine's output is part of the product's sound: stored sessions and
// presets were tuned with it to the last bit. This compares it with a plain,
// frame-by-frame statement of the algorithm (no block loop, no paired taps)
// over pitch shifts that exercise every fractional position and wrap. The
// statement takes nothing from the plug-in but its output: the line length,
// the fade window, the ratio and both gains are built here from their
// definitions, so a fault in any of them shows as well as one in the loop.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "plugin/Tessivo.h"
#include "tests/plugin/tessivo_support.h"

using namespace tessivo_test;

namespace {

// The line's length for a sample rate: 1024 up to 22050 Hz, doubled with
// every doubling of the rate up to 8192.
int32_t LineLengthFor(double rate) {
  int32_t n = 1024;
  for (double top = 22050; rate > top && n < 8192; top *= 2) n *= 2;
  return n;
}

class ReferenceEngine {
public:
  // The parameters' values as the plug-in holds them. They are read at run
  // time on purpose: with them known while compiling, the compiler could fold
  // pow, sin and cos to correctly rounded constants, which the C library the
  // engine calls need not match in the last bit.
  ReferenceEngine(double rate, double coarse, double fine, double mix) : n(LineLengthFor(rate)) {
    line.assign(size_t(n), 0.0);
    // Raised cosine over the phase accumulated step by step, not i × step.
    const double step = 6.283185307179586 / n;
    double phase = 0.0;
    for (int32_t i = 0; i < n; ++i) {
      window.push_back(0.5 - 0.5 * std::cos(phase));
      phase += step;
    }
    // Coarse and Fine count whole steps; a positive Fine lowers the pitch; the
    // base is 1.0594631, not the twelfth root of two.
    ratio = std::pow(1.0594631, double(int32_t(coarse)) - double(int32_t(fine)) * 0.01);
    const double t = mix * 0.01 * 1.5707963267948966;
    dry = std::cos(t);
    wet = std::sin(t);
  }

  int32_t Length() const { return n; }

  void Frame(double l, double r, double& outL, double& outR) {
    const int32_t m = n - 1;
    write = (write - 1) & m;
    line[size_t(write)] = (r + l) * 0.5;
    read = read - ratio;
    if (read < 0) read += n;
    const int32_t k = int32_t(read);
    const double f = read - k;
    const double a = Tap(k, f);
    const double b = Tap((k + n / 2) & m, f);
    const double g = window[size_t((k - write) & m)];
    const double shifted = (a - b) * g + b;
    outL = shifted * wet + l * dry;
    outR = shifted * wet + r * dry;
  }

private:
  double Tap(int32_t k, double f) const {
    const int32_t m = n - 1;
    const double p0 = line[size_t((k - 1) & m)];
    const double p1 = line[size_t(k & m)];
    const double p2 = line[size_t((k + 1) & m)];
    const double p3 = line[size_t((((k + 1) & m) + 1) & m)];
    const double c3 = (p1 - p2) * 1.5 + (p3 - p0) * 0.5;
    return ((((c3 * f + p0) - p1 * 2.5 + p2 * 2) - p3 * 0.5) * f + (p2 - p0) * 0.5) * f + p1;
  }

  int32_t n;
  std::vector<double> line, window;
  double ratio = 0.0, dry = 0.0, wet = 0.0;
  int32_t write = 0;
  double read = 0.0;
};

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(TessivoReference, EngineMatchesTheFrameByFrameDefinitionBitForBit) {
  const struct {
    double rate;
    int32_t coarse, fine;
    double mix;
  } cases[] = {{48000, 3, 0, 100}, {44100, 12, -100, 50}, {22050, -12, 0, 37.5}, {96000, 0, 15, 80},
               {48000, -7, 33, 100}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rate << " Hz, Coarse " << c.coarse << ", Fine " << c.fine);
    Tessivo plugin(nullptr);
    Prepare(plugin, c.rate);
    ChangeParam(plugin, Coarse, c.coarse);
    ChangeParam(plugin, Fine, c.fine);
    ChangeParam(plugin, Mix, c.mix);
    ReferenceEngine reference(c.rate, plugin.GetParam(Coarse)->Value(), plugin.GetParam(Fine)->Value(),
                              plugin.GetParam(Mix)->Value());
    ASSERT_EQ(plugin.LineLength, reference.Length());

    Stereo input(3 * size_t(plugin.LineLength) + 123);
    uint32_t state = 99u;
    for (size_t i = 0; i < input.Frames(); ++i) {
      state = state * 1664525u + 1013904223u;
      input.left[i] = double(int32_t(state)) / 2147483648.0;
      input.right[i] = double(int32_t(state * 69069u)) / 2147483648.0;
    }
    const Stereo output = ProcessSignal(plugin, input, 333);
    for (size_t i = 0; i < input.Frames(); ++i) {
      double l = 0, r = 0;
      reference.Frame(input.left[i], input.right[i], l, r);
      ASSERT_TRUE(SameBits(output.left[i], l)) << "frame " << i << ": " << output.left[i] << " vs " << l;
      ASSERT_TRUE(SameBits(output.right[i], r)) << "frame " << i;
    }
  }
}

} // namespace
