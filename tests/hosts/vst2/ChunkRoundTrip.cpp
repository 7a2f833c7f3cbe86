#include "tests/hosts/vst2/ChunkRoundTrip.h"

#include "tests/hosts/vst2/ParamAssign.h"

#include <cstdio>

namespace vst2host {
namespace {

bool Fail(std::string* error, const std::string& reason) {
  if (error) *error = reason;
  return false;
}

std::vector<float> ParamValues(PluginInstance& plugin) {
  std::vector<float> values;
  for (int32_t i = 0; i < plugin.Effect()->numParams; ++i) values.push_back(plugin.GetParameter(i));
  return values;
}

} // namespace

bool ChunkRoundTrip(const PluginLibrary& library, bool bank, const std::vector<std::string>& assignments,
                    const HostSettings& settings, ChunkRoundTripResult& result, std::string* error) {
  const char* kind = bank ? "bank" : "program";
  PluginInstance first(settings), second(settings);
  std::string reason;
  if (!first.Create(library, &reason) || !second.Create(library, &reason)) return Fail(error, reason);
  first.Open();
  second.Open();
  for (const auto& assignment : assignments)
    if (!ApplyAssignment(first, assignment, nullptr, &reason)) return Fail(error, reason);

  if (!first.GetChunk(bank, result.saved)) return Fail(error, std::string("the plug-in gave no ") + kind + " chunk");
  result.savedParams = ParamValues(first);
  if (!second.SetChunk(bank, result.saved))
    return Fail(error, std::string("the fresh instance refused the ") + kind + " chunk");
  result.reloadedParams = ParamValues(second);
  if (!second.GetChunk(bank, result.reloaded))
    return Fail(error, std::string("the fresh instance gave no ") + kind + " chunk after loading");

  for (size_t i = 0; i < result.savedParams.size(); ++i) {
    if (i >= result.reloadedParams.size() || result.savedParams[i] != result.reloadedParams[i]) {
      char line[160];
      std::snprintf(line, sizeof line, "parameter %zu is %.9g after loading, %.9g before", i,
                    i < result.reloadedParams.size() ? static_cast<double>(result.reloadedParams[i]) : 0.0,
                    static_cast<double>(result.savedParams[i]));
      return Fail(error, line);
    }
  }
  if (result.saved.size() != result.reloaded.size())
    return Fail(error, std::string("the ") + kind + " chunk is " + std::to_string(result.reloaded.size()) +
                           " bytes after loading, " + std::to_string(result.saved.size()) + " before");
  for (size_t i = 0; i < result.saved.size(); ++i) {
    if (result.saved[i] != result.reloaded[i])
      return Fail(error, std::string("the ") + kind + " chunks differ first at byte " + std::to_string(i));
  }
  return true;
}

} // namespace vst2host
