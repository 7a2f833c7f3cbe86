#pragma once
// Helpers for the product tests: a plug-in object ready to process at a given
// sample rate, parameter changes the way a host makes them, block runs over
// whole signals and a frequency estimate.

#include <cmath>
#include <cstdint>
#include <vector>

#include "core/IChangeSource.h"
#include "core/IParam.h"
#include "plugin/Tessivo.h"

namespace tessivo_test {

constexpr double kSemitone = 1.0594631;
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kPi = 3.141592653589793;

// A real value on parameter index, then the handler, as a host's change does.
inline void ChangeParam(Tessivo& plugin, int32_t index, double value) {
  plugin.GetParam(index)->Set(value);
  plugin.OnParamChange(index, plugkit::IChangeSource::Host, -1);
}

// Sends every parameter's current value to the handler, as the host's open
// call does, so ratio and gains hold their values for the defaults.
inline void SendAllParams(Tessivo& plugin) {
  for (int32_t i = 0; i < plugin.ParamCount(); ++i) plugin.OnParamChange(i, plugkit::IChangeSource::Reset, -1);
}

// Sample rate set, line built, parameters sent.
inline void Prepare(Tessivo& plugin, double sampleRate) {
  plugin.SetSampleRate(sampleRate);
  plugin.OnStreamReset();
  SendAllParams(plugin);
}

struct Stereo {
  explicit Stereo(size_t frames = 0) : left(frames, 0.0), right(frames, 0.0) {}
  size_t Frames() const { return left.size(); }
  std::vector<double> left;
  std::vector<double> right;
};

// Runs input through ProcessAudio in blocks of blockSize frames.
inline Stereo ProcessSignal(Tessivo& plugin, const Stereo& input, int32_t blockSize = 512) {
  Stereo output(input.Frames());
  const int32_t total = static_cast<int32_t>(input.Frames());
  for (int32_t start = 0; start < total; start += blockSize) {
    const int32_t frames = total - start < blockSize ? total - start : blockSize;
    double* in[2] = {const_cast<double*>(input.left.data()) + start, const_cast<double*>(input.right.data()) + start};
    double* out[2] = {output.left.data() + start, output.right.data() + start};
    plugin.ProcessAudio(in, out, frames);
  }
  return output;
}

inline Stereo Sine(size_t frames, double frequency, double sampleRate) {
  Stereo s(frames);
  for (size_t i = 0; i < frames; ++i) s.left[i] = s.right[i] = std::sin(2.0 * kPi * frequency * double(i) / sampleRate);
  return s;
}

// Average frequency in Hz over x[first, end): rising zero crossings, each
// placed by linear interpolation, counted between the first and the last.
// Returns 0 when fewer than two crossings are found.
inline double ZeroCrossingFrequency(const std::vector<double>& x, size_t first, double sampleRate) {
  double firstCrossing = -1.0, lastCrossing = -1.0;
  int crossings = 0;
  for (size_t i = first + 1; i < x.size(); ++i) {
    if (x[i - 1] < 0.0 && x[i] >= 0.0) {
      const double t = double(i - 1) + x[i - 1] / (x[i - 1] - x[i]);
      if (crossings == 0) firstCrossing = t;
      lastCrossing = t;
      ++crossings;
    }
  }
  if (crossings < 2) return 0.0;
  return double(crossings - 1) * sampleRate / (lastCrossing - firstCrossing);
}

// RMS of what is left of x[first, end) after removing the sinusoid of the
// given frequency that fits it best (least squares on sine and cosine).
inline double ResidualAfterSineFit(const std::vector<double>& x, size_t first, double frequency, double sampleRate) {
  double ss = 0, sc = 0, cc = 0, xs = 0, xc = 0;
  for (size_t i = first; i < x.size(); ++i) {
    const double w = 2.0 * kPi * frequency * double(i - first) / sampleRate;
    const double s = std::sin(w), c = std::cos(w);
    ss += s * s, sc += s * c, cc += c * c, xs += x[i] * s, xc += x[i] * c;
  }
  const double det = ss * cc - sc * sc;
  const double a = (xs * cc - xc * sc) / det, b = (xc * ss - xs * sc) / det;
  double sum = 0.0;
  for (size_t i = first; i < x.size(); ++i) {
    const double w = 2.0 * kPi * frequency * double(i - first) / sampleRate;
    const double e = x[i] - a * std::sin(w) - b * std::cos(w);
    sum += e * e;
  }
  return x.size() > first ? std::sqrt(sum / double(x.size() - first)) : 0.0;
}

inline double Rms(const std::vector<double>& x, size_t first) {
  double sum = 0.0;
  for (size_t i = first; i < x.size(); ++i) sum += x[i] * x[i];
  return x.size() > first ? std::sqrt(sum / double(x.size() - first)) : 0.0;
}

} // namespace tessivo_test
