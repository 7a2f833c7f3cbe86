#include "tests/hosts/vst3/Renderer.h"

#include <cerrno>
#include <cstdlib>

#include "tests/hosts/vst3/ErrorReport.h"
#include "tests/hosts/vst3/HostText.h"
#include "tests/hosts/vst3/ParameterChanges.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace vst3host {

namespace {

bool ParseNumber(const std::string& text, double& out) {
  if (text.empty()) return false;
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  double value = std::strtod(begin, &end);
  if (errno != 0 || end != begin + text.size()) return false;
  out = value;
  return true;
}

double Clamp01(double v) { return v < 0.0 ? 0.0 : v > 1.0 ? 1.0 : v; }

}  // namespace

bool ParseParamSetting(const std::string& text, ParamSetting& out) {
  size_t eq = text.find('=');
  if (eq == std::string::npos || eq == 0) return false;
  out.name = text.substr(0, eq);
  out.value = text.substr(eq + 1);
  return true;
}

bool ResolveSettings(const PluginInstance& plugin, const std::vector<ParamSetting>& settings,
                     std::vector<ParamValue>& out, std::string* error) {
  std::vector<ParamValue> resolved;
  for (const ParamSetting& setting : settings) {
    ParamRecord param;
    if (!plugin.FindParameter(setting.name, param)) {
      SetError(error, "no parameter named \"" + setting.name + "\"");
      return false;
    }
    double plain = 0.0;
    double normalized = 0.0;
    if (ParseNumber(setting.value, plain))
      normalized = plugin.Controller()->plainParamToNormalized(param.id, plain);
    else {
      std::u16string wide = Utf8ToUtf16(setting.value);
      std::vector<TChar> text(wide.begin(), wide.end());
      text.push_back(0);
      if (plugin.Controller()->getParamValueByString(param.id, text.data(), normalized) != kResultOk) {
        SetError(error, "\"" + setting.value + "\" is no value of " + setting.name);
        return false;
      }
    }
    resolved.push_back({param.id, Clamp01(normalized)});
  }
  out = resolved;
  return true;
}

bool RenderThrough(PluginInstance& plugin, const std::vector<std::vector<float>>& input,
                   const std::vector<ParamValue>& settings, const RenderOptions& options,
                   std::vector<std::vector<float>>& output, std::string* error) {
  for (const std::vector<float>& channel : input)
    if (channel.size() != input[0].size()) {
      SetError(error, "input channels differ in length");
      return false;
    }
  int32 sampleSize = options.doublePrecision ? kSample64 : kSample32;
  if (!plugin.Start(options.sampleRate, options.blockSize, sampleSize, error)) return false;

  size_t frames = input.empty() ? 0 : input[0].size();
  size_t block = static_cast<size_t>(options.blockSize);
  size_t ins = static_cast<size_t>(plugin.InputChannels());
  size_t outs = static_cast<size_t>(plugin.OutputChannels());

  std::vector<std::vector<float>> in32(ins, std::vector<float>(block));
  std::vector<std::vector<double>> in64(ins, std::vector<double>(block));
  std::vector<std::vector<double>> out64(outs, std::vector<double>(block));
  std::vector<std::vector<float>> result(outs, std::vector<float>(frames));
  std::vector<float*> inPtr32(ins), outPtr32(outs);
  std::vector<double*> inPtr64(ins), outPtr64(outs);
  for (size_t c = 0; c < ins; ++c) {
    inPtr32[c] = in32[c].data();
    inPtr64[c] = in64[c].data();
  }
  for (size_t c = 0; c < outs; ++c) outPtr64[c] = out64[c].data();

  ParameterChanges changes(static_cast<int32>(settings.size() + 1), 4);
  for (const ParamValue& setting : settings) {
    plugin.Controller()->setParamNormalized(setting.id, setting.normalized);
    changes.Add(setting.id, 0, setting.normalized);
  }

  for (size_t start = 0; start < frames; start += block) {
    size_t n = frames - start < block ? frames - start : block;
    for (size_t c = 0; c < ins; ++c) {
      const std::vector<float>* source = nullptr;
      if (input.size() == 1)
        source = &input[0];
      else if (c < input.size())
        source = &input[c];
      for (size_t i = 0; i < n; ++i) {
        float v = source ? (*source)[start + i] : 0.0f;
        in32[c][i] = v;
        in64[c][i] = v;
      }
    }
    for (size_t c = 0; c < outs; ++c) outPtr32[c] = result[c].data() + start;
    IParameterChanges* blockChanges = start == 0 && !settings.empty() ? &changes : nullptr;
    tresult status =
        options.doublePrecision
            ? plugin.Process64(inPtr64.data(), outPtr64.data(), static_cast<int32>(n), blockChanges)
            : plugin.Process32(inPtr32.data(), outPtr32.data(), static_cast<int32>(n), blockChanges);
    if (status != kResultOk) {
      plugin.Stop();
      SetError(error, "process failed at frame " + std::to_string(start) + " (result " +
                          std::to_string(status) + ")");
      return false;
    }
    if (options.doublePrecision)
      for (size_t c = 0; c < outs; ++c)
        for (size_t i = 0; i < n; ++i) result[c][start + i] = static_cast<float>(out64[c][i]);
  }
  plugin.Stop();
  output = std::move(result);
  return true;
}

}  // namespace vst3host
