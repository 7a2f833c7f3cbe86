#pragma once
// In-process VST 3 tests: plug-in objects created directly and driven through
// their VST 3 interfaces, with the test host's streams, parameter changes,
// event lists and component handler answering them.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "api/vst3/IVST3Binding.h"
#include "core/IParam.h"
#include "plugin/Tessivo.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "tests/hosts/vst3/MemoryStream.h"

namespace vst3test {

using namespace Steinberg;
using namespace Steinberg::Vst;

struct ChangeRecord {
  int32_t index;
  plugkit::IChangeSource source;
  int32_t sampleOffset;
};

// Tessivo with probes on the hooks the binding drives.
class TProbe : public Tessivo {
public:
  using plugkit::IVST3Binding::BypassParameter;
  using plugkit::IVST3Binding::RestartHostComponent;

  void OnParamChange(int32_t index, plugkit::IChangeSource source, int32_t sampleOffset) override {
    changes.push_back({index, source, sampleOffset});
    Tessivo::OnParamChange(index, source, sampleOffset);
  }
  void OnStreamReset() override {
    ++streamResets;
    Tessivo::OnStreamReset();
  }
  void OnHostKnown() override {
    ++hostKnown;
    Tessivo::OnHostKnown();
  }

  std::vector<ChangeRecord> changes;
  int streamResets = 0;
  int hostKnown = 0;
};

// Holds one reference to an FObject-counted plug-in and releases it.
template <typename T>
class Held {
public:
  explicit Held(T* object) : mObject(object) {}
  ~Held() {
    if (mObject) mObject->release();
  }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  T* operator->() const { return mObject; }
  T& operator*() const { return *mObject; }
  T* get() const { return mObject; }

private:
  T* mObject;
};

inline std::u16string U16(const char* text) {
  std::u16string out;
  for (; *text; ++text) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(*text)));
  return out;
}

inline std::u16string FromString128(const TChar* text) { return std::u16string(reinterpret_cast<const char16_t*>(text)); }

// initialize (null context), main buses active, set-up, active, processing.
inline void Start(plugkit::IVST3Binding& plugin, double rate = 44100.0, int32 maxBlock = 512,
                  int32 sampleSize = kSample32) {
  ASSERT_EQ(plugin.initialize(nullptr), kResultOk);
  plugin.activateBus(kAudio, kInput, 0, true);
  plugin.activateBus(kAudio, kOutput, 0, true);
  ProcessSetup setup{kRealtime, sampleSize, maxBlock, rate};
  ASSERT_EQ(plugin.setupProcessing(setup), kResultOk);
  ASSERT_EQ(plugin.setActive(true), kResultOk);
  ASSERT_EQ(plugin.setProcessing(true), kResultOk);
}

inline std::vector<uint8_t> SaveState(plugkit::IVST3Binding& plugin) {
  IPtr<vst3host::MemoryStream> stream(new vst3host::MemoryStream(), false);
  EXPECT_EQ(plugin.getState(stream), kResultOk);
  return stream->Bytes();
}

inline tresult LoadState(plugkit::IVST3Binding& plugin, const std::vector<uint8_t>& bytes) {
  IPtr<vst3host::MemoryStream> stream(new vst3host::MemoryStream(bytes), false);
  return plugin.setState(stream);
}

// Stereo signals of one sample type, with the pointer arrays a host passes.
template <typename Sample>
struct Signal {
  Signal(int32_t channels, int32_t frames) : data(static_cast<size_t>(channels), std::vector<Sample>(static_cast<size_t>(frames))) {
    for (auto& channel : data) pointers.push_back(channel.data());
  }
  std::vector<std::vector<Sample>> data;
  std::vector<Sample*> pointers;
};

// A ramp per channel, different in each, so that swapped channels show.
template <typename Sample>
Signal<Sample> Ramp(int32_t channels, int32_t frames) {
  Signal<Sample> s(channels, frames);
  for (int32_t c = 0; c < channels; ++c)
    for (int32_t i = 0; i < frames; ++i)
      s.data[static_cast<size_t>(c)][static_cast<size_t>(i)] = static_cast<Sample>((c + 1) * 0.001 * (i + 1) * (c ? -1 : 1));
  return s;
}

// What one process call carries besides the audio.
struct BlockExtras {
  IParameterChanges* changes = nullptr;
  IEventList* inputEvents = nullptr;
  IEventList* outputEvents = nullptr;
  ProcessContext* context = nullptr;
};

// A host bus over the given channel addresses.
inline AudioBusBuffers HostBus(int32 channels, float** buffers) {
  AudioBusBuffers bus{};
  bus.numChannels = channels;
  bus.channelBuffers32 = buffers;
  return bus;
}

inline AudioBusBuffers HostBus(int32 channels, double** buffers) {
  AudioBusBuffers bus{};
  bus.numChannels = channels;
  bus.channelBuffers64 = buffers;
  return bus;
}

// One process call on one input and one output bus.
inline tresult ProcessBuses(plugkit::IVST3Binding& plugin, AudioBusBuffers inputs, AudioBusBuffers outputs,
                            int32 frames, int32 sampleSize, const BlockExtras& extras) {
  ProcessData data;
  data.processMode = kRealtime;
  data.symbolicSampleSize = sampleSize;
  data.numSamples = frames;
  data.numInputs = 1;
  data.numOutputs = 1;
  data.inputs = &inputs;
  data.outputs = &outputs;
  data.inputParameterChanges = extras.changes;
  data.inputEvents = extras.inputEvents;
  data.outputEvents = extras.outputEvents;
  data.processContext = extras.context;
  return plugin.process(data);
}

// One process call on one input and one output bus; a null pointer array
// stands for a bus whose host gave no channel addresses.
inline tresult ProcessBlock(plugkit::IVST3Binding& plugin, float** in, int32 inChannels, float** out,
                            int32 outChannels, int32 frames, const BlockExtras& extras = {},
                            int32 sampleSize = kSample32) {
  return ProcessBuses(plugin, HostBus(inChannels, in), HostBus(outChannels, out), frames, sampleSize, extras);
}

inline tresult ProcessBlock64(plugkit::IVST3Binding& plugin, double** in, int32 inChannels, double** out,
                              int32 outChannels, int32 frames, const BlockExtras& extras = {}) {
  return ProcessBuses(plugin, HostBus(inChannels, in), HostBus(outChannels, out), frames, kSample64, extras);
}

} // namespace vst3test
