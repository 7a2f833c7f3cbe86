#pragma once
// Generated input signals for demo renders and tests.

#include "tests/hosts/vst2/WavFile.h"

namespace vst2host {

// A sine of `frequency` Hz, `seconds` long (rounded to whole frames), the
// same in every channel, starting at phase 0.
AudioBuffer MakeSine(double frequency, double seconds, uint32_t sampleRate, int32_t channels, float amplitude);

} // namespace vst2host
