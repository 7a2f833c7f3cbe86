#pragma once
// A demanding VST 3 host's worst afternoon, for one started plug-in instance:
// audio runs on one thread (with a random parameter point in some blocks)
// while several other threads call, at random and all at once, getState,
// setState, setComponentState, setParamNormalized (a program change through
// the program parameter when one is named, and ordinary parameters),
// getParamNormalized and the parameter text calls.
//
// What counts as a fault, besides a crash:
// - a process call that does not answer kResultOk, or a non-finite sample;
// - getState failing, or setState refusing bytes that getState produced;
// - getParamNormalized outside [0, 1];
// - a parameter text without its terminator inside the host's String128, or
//   written past it;
// - when the options carry a wholeState check, a state from getState that
//   fails it. Each state call and program change must see and leave a whole
//   state; a test that limits the one-at-a-time changes (changedParams) to
//   parameters outside some relation between the others can check that no
//   state ever mixes two whole ones.
//
// The instance must be started (PluginInstance::Start with 32-bit samples and
// at least options.blockSize frames); it is left started, in whatever state
// the random calls produced.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/hosts/vst2/ThreadedRun.h"
#include "tests/hosts/vst3/PluginInstance.h"

namespace vst3host {

struct ConcurrentCallOptions {
  double seconds = 2.0;
  int32_t callers = 4;
  uint32_t seed = 1;
  int32_t blockSize = 512;
  double sampleRate = 44100.0;
  // The parameter through which the host changes programs; none by default.
  bool hasProgramParam = false;
  Steinberg::Vst::ParamID programParamId = 0;
  // The parameters that callers and the audio thread change one at a time
  // (setParamNormalized, process parameter changes); empty: all of them.
  // Reads and texts always cover every parameter.
  std::vector<Steinberg::Vst::ParamID> changedParams;
  // When set, every state getState answers during the run must pass it.
  std::function<bool(const std::vector<uint8_t>& state)> wholeState;
};

struct ConcurrentCallReport {
  vst2host::ThreadedRunResult run;
  std::vector<std::string> faults;  // the first few found, in the order found
};

ConcurrentCallReport RunConcurrentCalls(PluginInstance& plugin, const ConcurrentCallOptions& options);

}  // namespace vst3host
