#pragma once
// A demanding host's worst afternoon, for one plug-in instance: audio runs on
// one thread while several other threads call, at random and all at once,
// the program, program-name and chunk opcodes (effSetProgram, also inside
// effBeginSetProgram / effEndSetProgram, effGetProgram, effSetProgramName,
// effGetProgramName, effGetProgramNameIndexed, effGetChunk, effSetChunk),
// setParameter, getParameter and the parameter text opcodes.
//
// What counts as a fault, besides a crash:
// - a non-finite output sample;
// - getParameter outside [0, 1], effGetProgram outside the program list;
// - a text written past the host's buffer (PluginInstance's overrun check);
// - a chunk that effGetChunk answered (and that no other effGetChunk could
//   rewrite while it was copied) and effSetChunk then refused;
// - a chunk lent by effGetChunk whose bytes changed while no other
//   effGetChunk was made: program and name calls must leave it alone.
//
// The instance must be created and opened; the run configures it, resumes,
// hammers it, and suspends it again. Parameters, programs and names are left
// in whatever state the random calls produced.

#include <cstdint>
#include <string>
#include <vector>

#include "tests/hosts/vst2/PluginInstance.h"
#include "tests/hosts/vst2/ThreadedRun.h"

namespace vst2host {

struct ConcurrentCallOptions {
  double seconds = 2.0;
  int32_t callers = 4;
  uint32_t seed = 1;
  double sampleRate = 44100.0;
  int32_t blockSize = 512;
};

struct ConcurrentCallReport {
  ThreadedRunResult run;
  std::vector<std::string> faults;  // the first few found, in the order found
};

ConcurrentCallReport RunConcurrentCalls(PluginInstance& plugin, const ConcurrentCallOptions& options);

} // namespace vst2host
