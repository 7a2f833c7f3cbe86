#pragma once
// ITransportState: what the host said about its transport for the current
// block. The binding replaces the whole record before every block, on the
// audio thread; the block processor reads it there. A position of -1.0 means
// the host did not tell it.

#include <cstdint>

namespace plugkit {

struct ITransportState {
  double tempoBpm = 120.0;
  double samplePosition = -1.0;  // frames since the start of the timeline
  double beatPosition = -1.0;    // in quarter notes
  double barStartBeat = -1.0;    // beat position of the current bar's start
  double loopStartBeat = -1.0;
  double loopEndBeat = -1.0;
  int32_t meterNumerator = 4;
  int32_t meterDenominator = 4;
  bool isPlaying = false;
  bool isLooping = false;
};

} // namespace plugkit
