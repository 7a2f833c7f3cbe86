#include "tests/hosts/vst3/PluginInstance.h"

#include <cstring>

#include "pluginterfaces/vst/vstspeaker.h"
#include "tests/hosts/vst3/ErrorReport.h"
#include "tests/hosts/vst3/HostText.h"
#include "tests/hosts/vst3/MemoryStream.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace vst3host {

namespace {

template <typename Interface>
Interface* Query(FUnknown* object) {
  void* result = nullptr;
  if (object && object->queryInterface(Interface::iid, &result) == kResultOk)
    return static_cast<Interface*>(result);
  return nullptr;
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
    char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] + 32) : b[i];
    if (x != y) return false;
  }
  return true;
}

}  // namespace

std::unique_ptr<PluginInstance> PluginInstance::Create(PluginModule& module, const std::array<char, 16>& cid,
                                                       FUnknown* hostContext, std::string* error) {
  std::unique_ptr<PluginInstance> plugin(new PluginInstance());
  void* object = nullptr;
  if (module.Factory()->createInstance(cid.data(), IComponent::iid, &object) != kResultOk || !object) {
    SetError(error, "the factory made no IComponent of class " + FormatClassId(cid));
    return nullptr;
  }
  plugin->component = static_cast<IComponent*>(object);
  if (plugin->component->initialize(hostContext) != kResultOk) {
    SetError(error, "initialize failed");
    plugin->component->release();
    plugin->component = nullptr;
    return nullptr;
  }
  plugin->processor = Query<IAudioProcessor>(plugin->component);
  if (!plugin->processor) {
    SetError(error, "the component is no IAudioProcessor");
    return nullptr;
  }
  plugin->controller = Query<IEditController>(plugin->component);
  plugin->singleComponent = plugin->controller != nullptr;
  if (!plugin->controller) {
    TUID controllerId;
    object = nullptr;
    if (plugin->component->getControllerClassId(controllerId) != kResultOk ||
        module.Factory()->createInstance(controllerId, IEditController::iid, &object) != kResultOk ||
        !object) {
      SetError(error, "no edit controller");
      return nullptr;
    }
    plugin->controller = static_cast<IEditController*>(object);
    if (plugin->controller->initialize(hostContext) != kResultOk) {
      SetError(error, "the edit controller's initialize failed");
      plugin->controller->release();
      plugin->controller = nullptr;
      return nullptr;
    }
    std::vector<uint8_t> state;
    if (plugin->GetState(state)) {
      IPtr<MemoryStream> stream(new MemoryStream(state), false);
      plugin->controller->setComponentState(stream);
    }
  }
  return plugin;
}

PluginInstance::~PluginInstance() {
  Stop();
  if (controller) {
    if (!singleComponent) controller->terminate();
    controller->release();
  }
  if (processor) processor->release();
  if (component) {
    component->terminate();
    component->release();
  }
}

bool PluginInstance::SetComponentHandler(IComponentHandler* handler) {
  return controller->setComponentHandler(handler) == kResultOk;
}

std::vector<BusRecord> PluginInstance::AudioBuses(BusDirection dir) const {
  std::vector<BusRecord> buses;
  for (int32 i = 0, n = component->getBusCount(kAudio, dir); i < n; ++i) {
    BusInfo info{};
    if (component->getBusInfo(kAudio, dir, i, info) != kResultOk) continue;
    buses.push_back({SdkTextToUtf8(info.name), info.channelCount, info.busType, info.flags});
  }
  return buses;
}

void PluginInstance::PrepareBuses(BusDirection dir, std::vector<BusBuffers>& buffers,
                                  std::vector<AudioBusBuffers>& records) {
  std::vector<BusRecord> buses = AudioBuses(dir);
  buffers.assign(buses.size(), BusBuffers());
  records.assign(buses.size(), AudioBusBuffers());
  size_t frames = static_cast<size_t>(setup.maxSamplesPerBlock);
  for (size_t b = 0; b < buses.size(); ++b) {
    BusBuffers& bus = buffers[b];
    size_t channels = static_cast<size_t>(buses[b].channelCount > 0 ? buses[b].channelCount : 0);
    bus.channels = static_cast<int32>(channels);
    bus.scratch32.assign(channels, std::vector<float>(frames, 0.0f));
    bus.scratch64.assign(channels, std::vector<double>(frames, 0.0));
    bus.pointers32.resize(channels);
    bus.pointers64.resize(channels);
    for (size_t c = 0; c < channels; ++c) {
      bus.pointers32[c] = bus.scratch32[c].data();
      bus.pointers64[c] = bus.scratch64[c].data();
    }
    records[b].numChannels = bus.channels;
  }
}

bool PluginInstance::Start(double sampleRate, int32 maxBlock, int32 sampleSize, std::string* error) {
  Stop();
  if (maxBlock <= 0 || sampleRate <= 0.0) {
    SetError(error, "bad sample rate or block size");
    return false;
  }
  if (processor->canProcessSampleSize(sampleSize) != kResultTrue) {
    SetError(error, sampleSize == kSample64 ? "64-bit samples refused" : "32-bit samples refused");
    return false;
  }
  std::vector<SpeakerArrangement> ins(static_cast<size_t>(component->getBusCount(kAudio, kInput)));
  std::vector<SpeakerArrangement> outs(static_cast<size_t>(component->getBusCount(kAudio, kOutput)));
  for (size_t i = 0; i < ins.size(); ++i) processor->getBusArrangement(kInput, static_cast<int32>(i), ins[i]);
  for (size_t i = 0; i < outs.size(); ++i)
    processor->getBusArrangement(kOutput, static_cast<int32>(i), outs[i]);
  // The host keeps the plug-in's arrangements whatever the answer.
  processor->setBusArrangements(ins.data(), static_cast<int32>(ins.size()), outs.data(),
                                static_cast<int32>(outs.size()));
  if (!ins.empty()) component->activateBus(kAudio, kInput, 0, true);
  if (!outs.empty()) component->activateBus(kAudio, kOutput, 0, true);

  setup = ProcessSetup{kRealtime, sampleSize, maxBlock, sampleRate};
  if (processor->setupProcessing(setup) != kResultOk) {
    SetError(error, "setupProcessing refused");
    return false;
  }
  PrepareBuses(kInput, inputBuffers, inputRecords);
  PrepareBuses(kOutput, outputBuffers, outputRecords);
  if (component->setActive(true) != kResultOk) {
    SetError(error, "setActive(true) refused");
    return false;
  }
  active = true;
  tresult result = processor->setProcessing(true);
  if (result != kResultOk && result != kNotImplemented) {
    SetError(error, "setProcessing(true) refused");
    Stop();
    return false;
  }
  processing = true;

  std::memset(&transport, 0, sizeof(transport));
  transport.state = ProcessContext::kPlaying | ProcessContext::kTempoValid | ProcessContext::kTimeSigValid |
                    ProcessContext::kProjectTimeMusicValid | ProcessContext::kBarPositionValid;
  transport.sampleRate = sampleRate;
  transport.tempo = 120.0;
  transport.timeSigNumerator = 4;
  transport.timeSigDenominator = 4;
  return true;
}

void PluginInstance::Stop() {
  if (processing) processor->setProcessing(false);
  processing = false;
  if (active) component->setActive(false);
  active = false;
}

int32 PluginInstance::InputChannels() const { return inputBuffers.empty() ? 0 : inputBuffers[0].channels; }

int32 PluginInstance::OutputChannels() const { return outputBuffers.empty() ? 0 : outputBuffers[0].channels; }

template <typename Sample>
tresult PluginInstance::ProcessBlock(Sample* const* in, Sample* const* out, int32 frames,
                                     IParameterChanges* changes, IParameterChanges* outChanges) {
  constexpr bool is64 = sizeof(Sample) == sizeof(double);
  if (!active || frames < 0 || frames > setup.maxSamplesPerBlock ||
      setup.symbolicSampleSize != (is64 ? kSample64 : kSample32))
    return kInvalidArgument;

  auto bind = [&](std::vector<BusBuffers>& buses, std::vector<AudioBusBuffers>& records, Sample* const* first,
                  bool clearScratch) {
    for (size_t b = 0; b < buses.size(); ++b) {
      BusBuffers& bus = buses[b];
      for (int32 c = 0; c < bus.channels; ++c) {
        Sample* scratch;
        if constexpr (is64)
          scratch = bus.scratch64[static_cast<size_t>(c)].data();
        else
          scratch = bus.scratch32[static_cast<size_t>(c)].data();
        Sample* pointer = b == 0 && first ? first[c] : scratch;
        if (pointer == scratch && clearScratch)
          std::memset(scratch, 0, sizeof(Sample) * static_cast<size_t>(frames));
        if constexpr (is64)
          bus.pointers64[static_cast<size_t>(c)] = pointer;
        else
          bus.pointers32[static_cast<size_t>(c)] = pointer;
      }
      records[b].silenceFlags = 0;
      if constexpr (is64)
        records[b].channelBuffers64 = bus.pointers64.data();
      else
        records[b].channelBuffers32 = bus.pointers32.data();
    }
  };
  bind(inputBuffers, inputRecords, in, true);
  bind(outputBuffers, outputRecords, out, false);

  ProcessData data;
  data.processMode = setup.processMode;
  data.symbolicSampleSize = setup.symbolicSampleSize;
  data.numSamples = frames;
  data.numInputs = static_cast<int32>(inputRecords.size());
  data.numOutputs = static_cast<int32>(outputRecords.size());
  data.inputs = inputRecords.empty() ? nullptr : inputRecords.data();
  data.outputs = outputRecords.empty() ? nullptr : outputRecords.data();
  data.inputParameterChanges = changes;
  data.outputParameterChanges = outChanges;
  data.processContext = transportEnabled ? &transport : nullptr;

  tresult result = processor->process(data);

  if (transportEnabled) {
    transport.projectTimeSamples += frames;
    transport.projectTimeMusic =
        static_cast<double>(transport.projectTimeSamples) / setup.sampleRate * transport.tempo / 60.0;
    transport.barPositionMusic =
        static_cast<double>(static_cast<int64>(transport.projectTimeMusic / 4.0)) * 4.0;
  }
  return result;
}

tresult PluginInstance::Process32(float* const* in, float* const* out, int32 frames,
                                  IParameterChanges* changes, IParameterChanges* outChanges) {
  return ProcessBlock<float>(in, out, frames, changes, outChanges);
}

tresult PluginInstance::Process64(double* const* in, double* const* out, int32 frames,
                                  IParameterChanges* changes, IParameterChanges* outChanges) {
  return ProcessBlock<double>(in, out, frames, changes, outChanges);
}

bool PluginInstance::GetState(std::vector<uint8_t>& out) const {
  IPtr<MemoryStream> stream(new MemoryStream(), false);
  if (component->getState(stream) != kResultOk) return false;
  out = stream->Bytes();
  return true;
}

tresult PluginInstance::SetState(const std::vector<uint8_t>& bytes) {
  IPtr<MemoryStream> stream(new MemoryStream(bytes), false);
  tresult result = component->setState(stream);
  if (result == kResultOk && !singleComponent) {
    IPtr<MemoryStream> copy(new MemoryStream(bytes), false);
    controller->setComponentState(copy);
  }
  return result;
}

std::vector<ParamRecord> PluginInstance::Parameters() const {
  std::vector<ParamRecord> params;
  for (int32 i = 0, n = controller->getParameterCount(); i < n; ++i) {
    ParameterInfo info{};
    if (controller->getParameterInfo(i, info) != kResultOk) continue;
    params.push_back({info.id, SdkTextToUtf8(info.title), SdkTextToUtf8(info.units), info.stepCount,
                      info.defaultNormalizedValue, info.flags, info.unitId});
  }
  return params;
}

bool PluginInstance::FindParameter(const std::string& title, ParamRecord& out) const {
  std::vector<ParamRecord> params = Parameters();
  for (const ParamRecord& p : params)
    if (p.title == title) {
      out = p;
      return true;
    }
  for (const ParamRecord& p : params)
    if (EqualIgnoringCase(p.title, title)) {
      out = p;
      return true;
    }
  return false;
}

std::string PluginInstance::ParamText(ParamID id, double normalized) const {
  String128 text{};
  if (controller->getParamStringByValue(id, normalized, text) != kResultOk) return "";
  text[127] = 0;
  return SdkTextToUtf8(text);
}

}  // namespace vst3host
