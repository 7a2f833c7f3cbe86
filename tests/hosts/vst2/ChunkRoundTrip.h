#pragma once
// Saving a state chunk from one instance and loading it into a fresh one,
// as a host does when it reopens a project.

#include "tests/hosts/vst2/PluginInstance.h"

#include <string>
#include <vector>

namespace vst2host {

struct ChunkRoundTripResult {
  std::vector<uint8_t> saved;     // from the first instance
  std::vector<uint8_t> reloaded;  // from the second, after loading `saved`
  std::vector<float> savedParams;     // normalised values of the first instance
  std::vector<float> reloadedParams;  // and of the second after loading
};

// Creates and opens an instance, applies the "Name=value" assignments, saves
// its chunk (bank or program), loads the bytes into a second, fresh instance
// and saves that one's chunk again. True when both the bytes and every
// parameter value agree; otherwise *error names the first difference (or
// the step that failed). `result` is filled as far as the steps got.
bool ChunkRoundTrip(const PluginLibrary& library, bool bank, const std::vector<std::string>& assignments,
                    const HostSettings& settings, ChunkRoundTripResult& result, std::string* error);

} // namespace vst2host
