#include "tests/hosts/vst2/Render.h"

#include <algorithm>

namespace vst2host {
namespace {

bool Fail(std::string* error, const std::string& reason) {
  if (error) *error = reason;
  return false;
}

bool HasEntry(const AEffect& effect, EProcessEntry entry) {
  switch (entry) {
    case EProcessEntry::kReplacing: return effect.processReplacing != nullptr;
    case EProcessEntry::kDoubleReplacing: return effect.processDoubleReplacing != nullptr;
    case EProcessEntry::kAccumulating: return effect.process != nullptr;
  }
  return false;
}

const char* EntryName(EProcessEntry entry) {
  switch (entry) {
    case EProcessEntry::kReplacing: return "processReplacing";
    case EProcessEntry::kDoubleReplacing: return "processDoubleReplacing";
    case EProcessEntry::kAccumulating: return "process";
  }
  return "?";
}

// Per-channel block buffers in both precisions with their pointer arrays.
// Every array gets at least one channel so the pointer arrays are never null.
struct BlockBuffers {
  BlockBuffers(int32_t channels, int32_t frames)
      : floats(static_cast<size_t>(std::max(channels, 1)), std::vector<float>(static_cast<size_t>(frames))),
        doubles(floats.size(), std::vector<double>(static_cast<size_t>(frames))) {
    for (auto& channel : floats) floatPointers.push_back(channel.data());
    for (auto& channel : doubles) doublePointers.push_back(channel.data());
  }
  std::vector<std::vector<float>> floats;
  std::vector<std::vector<double>> doubles;
  std::vector<float*> floatPointers;
  std::vector<double*> doublePointers;
};

} // namespace

bool ParseProcessEntry(const std::string& text, EProcessEntry& entry) {
  if (text == "replacing") entry = EProcessEntry::kReplacing;
  else if (text == "double") entry = EProcessEntry::kDoubleReplacing;
  else if (text == "accumulating" || text == "accumulate") entry = EProcessEntry::kAccumulating;
  else return false;
  return true;
}

bool RenderBuffer(PluginInstance& plugin, const AudioBuffer& input, AudioBuffer& output,
                  const RenderOptions& options, std::string* error) {
  if (!plugin.IsCreated()) return Fail(error, "no plug-in instance");
  const AEffect& effect = *plugin.Effect();
  if (!HasEntry(effect, options.entry))
    return Fail(error, std::string("the plug-in has no ") + EntryName(options.entry) + " entry");
  if (effect.numOutputs < 1) return Fail(error, "the plug-in has no outputs");
  if (effect.numInputs < 0) return Fail(error, "the plug-in reports a negative input count");
  if (options.blockSize < 1) return Fail(error, "the block size must be at least 1");

  const int32_t inputs = effect.numInputs, outputs = effect.numOutputs, block = options.blockSize;
  const size_t frames = input.Frames();
  BlockBuffers in(inputs, block), out(outputs, block);
  AudioBuffer result;
  result.sampleRate = input.sampleRate;
  result.channels.assign(static_cast<size_t>(outputs), std::vector<float>(frames));

  plugin.Configure(input.sampleRate, block);
  plugin.Resume();
  for (size_t start = 0; start < frames; start += static_cast<size_t>(block)) {
    const int32_t count = static_cast<int32_t>(std::min(frames - start, static_cast<size_t>(block)));
    for (int32_t ch = 0; ch < inputs; ++ch) {
      const std::vector<float>* source = nullptr;
      if (ch < input.ChannelCount()) source = &input.channels[static_cast<size_t>(ch)];
      else if (input.ChannelCount() == 1) source = &input.channels[0];
      auto& f = in.floats[static_cast<size_t>(ch)];
      auto& d = in.doubles[static_cast<size_t>(ch)];
      for (int32_t i = 0; i < count; ++i) {
        f[static_cast<size_t>(i)] = source ? (*source)[start + static_cast<size_t>(i)] : 0.0f;
        d[static_cast<size_t>(i)] = f[static_cast<size_t>(i)];
      }
    }
    for (auto& channel : out.floats) std::fill(channel.begin(), channel.end(), 0.0f);
    for (auto& channel : out.doubles) std::fill(channel.begin(), channel.end(), 0.0);

    switch (options.entry) {
      case EProcessEntry::kReplacing:
        plugin.ProcessReplacing(in.floatPointers.data(), out.floatPointers.data(), count);
        break;
      case EProcessEntry::kDoubleReplacing:
        plugin.ProcessDoubleReplacing(in.doublePointers.data(), out.doublePointers.data(), count);
        break;
      case EProcessEntry::kAccumulating:
        plugin.ProcessAccumulating(in.floatPointers.data(), out.floatPointers.data(), count);
        break;
    }
    bool fromDoubles = options.entry == EProcessEntry::kDoubleReplacing;
    for (int32_t ch = 0; ch < outputs; ++ch) {
      auto& target = result.channels[static_cast<size_t>(ch)];
      for (int32_t i = 0; i < count; ++i) {
        target[start + static_cast<size_t>(i)] =
            fromDoubles ? static_cast<float>(out.doubles[static_cast<size_t>(ch)][static_cast<size_t>(i)])
                        : out.floats[static_cast<size_t>(ch)][static_cast<size_t>(i)];
      }
    }
    plugin.Host().AdvanceTransport(count);
  }
  plugin.Suspend();
  output = std::move(result);
  return true;
}

} // namespace vst2host
