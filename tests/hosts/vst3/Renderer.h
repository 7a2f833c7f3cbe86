#pragma once

// Renders audio through a plug-in instance, the way an offline bounce in a
// host would: the settings are applied before the first block (through the
// controller's setParamNormalized and as points at offset 0 of the first
// block's input parameter changes, as hosts send automation to a
// single-component plug-in), then the input is processed in blocks.
//
// Input channels map onto the plug-in's main input bus: a mono input feeds
// every input channel, extra input channels are dropped, missing ones are
// silent. The output has the main output bus's channel count and the input's
// length (no tail, no latency compensation).

#include <string>
#include <vector>

#include "tests/hosts/vst3/PluginInstance.h"

namespace vst3host {

// "Name=value" from the command line. The value is a plain value in the
// parameter's own range ("Coarse=3", "Mix=50") or, when it is not a number,
// a display text the plug-in parses ("Bypass=on").
struct ParamSetting {
  std::string name;
  std::string value;
};

struct ParamValue {
  Steinberg::Vst::ParamID id;
  double normalized;
};

// False for text without "=" or with an empty name.
bool ParseParamSetting(const std::string& text, ParamSetting& out);

// Looks each name up among the plug-in's parameters and converts its value
// to a normalised one (clamped to [0, 1]). False with a reason for an
// unknown name or a value the plug-in cannot parse.
bool ResolveSettings(const PluginInstance& plugin, const std::vector<ParamSetting>& settings,
                     std::vector<ParamValue>& out, std::string* error);

struct RenderOptions {
  double sampleRate = 44100.0;
  Steinberg::int32 blockSize = 512;
  bool doublePrecision = false;
};

// Starts the plug-in with the options, renders, stops it. False with a reason
// when the plug-in cannot start or a process call fails; `output` is then
// untouched.
bool RenderThrough(PluginInstance& plugin, const std::vector<std::vector<float>>& input,
                   const std::vector<ParamValue>& settings, const RenderOptions& options,
                   std::vector<std::vector<float>>& output, std::string* error);

}  // namespace vst3host
