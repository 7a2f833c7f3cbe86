#include "tests/hosts/vst2/TestSignal.h"

#include <cmath>

namespace vst2host {

AudioBuffer MakeSine(double frequency, double seconds, uint32_t sampleRate, int32_t channels, float amplitude) {
  const double kTwoPi = 6.283185307179586;
  AudioBuffer buffer;
  buffer.sampleRate = sampleRate;
  size_t frames = seconds > 0.0 ? static_cast<size_t>(std::llround(seconds * sampleRate)) : 0;
  std::vector<float> wave(frames);
  for (size_t i = 0; i < frames; ++i)
    wave[i] = amplitude * static_cast<float>(std::sin(kTwoPi * frequency * static_cast<double>(i) / sampleRate));
  buffer.channels.assign(static_cast<size_t>(channels > 0 ? channels : 0), wave);
  return buffer;
}

} // namespace vst2host
