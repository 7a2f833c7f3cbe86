#pragma once
// Offline rendering of a whole buffer through a plug-in instance.

#include "tests/hosts/vst2/PluginInstance.h"
#include "tests/hosts/vst2/WavFile.h"

#include <string>

namespace vst2host {

enum class EProcessEntry { kReplacing, kDoubleReplacing, kAccumulating };

struct RenderOptions {
  int32_t blockSize = 512;
  EProcessEntry entry = EProcessEntry::kReplacing;
};

// Parses "replacing", "double" or "accumulating" (also "accumulate").
bool ParseProcessEntry(const std::string& text, EProcessEntry& entry);

// Renders `input` through an instance that is created and opened (and has
// its parameters set): configures the input's sample rate and the block
// size, resumes, processes every block in order through the chosen entry,
// advances the host's transport after each block, and suspends again.
//
// Plug-in input channel i is fed from input channel i; a mono input feeds
// every plug-in input, and missing channels are silent. The output has the
// plug-in's output count and the input's length and sample rate. Output
// buffers are cleared before each block, so the accumulating entry yields
// the same result as a replacing one. Fails (output untouched) for an
// instance that has no such entry or no outputs, or a block size below 1.
bool RenderBuffer(PluginInstance& plugin, const AudioBuffer& input, AudioBuffer& output,
                  const RenderOptions& options, std::string* error);

} // namespace vst2host
