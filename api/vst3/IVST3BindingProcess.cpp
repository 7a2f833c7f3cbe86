// IVST3Binding's audio-processor calls: bus arrangements, set-up, processing
// switch and the process call with the host's parameter changes.

#include <cmath>

#include "api/vst3/IVST3Binding.h"
#include "core/IParam.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace plugkit {

tresult PLUGIN_API IVST3Binding::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                    SpeakerArrangement* outputs, int32 numOuts) {
  ISetupHold hold(SetupGate());
  // The next process call connects exactly the channels the host supplies.
  SetChannelsConnected(IPortDirection::Input, 0, ChannelCount(IPortDirection::Input), false);
  SetChannelsConnected(IPortDirection::Output, 0, ChannelCount(IPortDirection::Output), false);
  // Saying yes to a layout the buses do not have would leave the host
  // believing it got one.
  return SingleComponentEffect::setBusArrangements(inputs, numIns, outputs, numOuts);
}

tresult PLUGIN_API IVST3Binding::canProcessSampleSize(int32 symbolicSampleSize) {
  return symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64 ? kResultOk : kResultFalse;
}

uint32 PLUGIN_API IVST3Binding::getLatencySamples() {
  return Latency() > 0 ? static_cast<uint32>(Latency()) : 0;
}

uint32 PLUGIN_API IVST3Binding::getTailSamples() { return static_cast<uint32>(TailSize()); }

// Refused while processing is on, as the host's side of the contract asks:
// the scratch, the stream and the MIDI-out list it renews are the running
// blocks'. A host that never switches processing on still never has them
// changed under a block: the set-up holds the gate that blocks pass through.
tresult PLUGIN_API IVST3Binding::setupProcessing(ProcessSetup& setup) {
  if (mProcessing.load(std::memory_order_acquire)) return kResultFalse;
  ISetupHold hold(SetupGate());
  if (!ApplyProcessSetup(setup)) return kResultFalse;
  processSetup = setup;
  return kResultOk;
}

// A host may call this on its processing thread: nothing here frees or
// allocates. A latency ring given up earlier waits for setupProcessing, the
// next latency change or the destructor.
tresult PLUGIN_API IVST3Binding::setProcessing(TBool state) {
  if (!state) {
    ISetupHold hold(SetupGate());
    OnStreamReset();
    ClearLatencyDelay();
  }
  mProcessing.store(state != 0, std::memory_order_release);
  return kResultOk;
}

void IVST3Binding::ApplyMidiParamChange(IParamValueQueue& queue, int32_t channel, int32_t controller) {
  const int32 points = queue.getPointCount();
  for (int32 p = 0; p < points; ++p) {
    int32 offset = 0;
    ParamValue value = 0.0;
    if (queue.getPoint(p, offset, value) != kResultOk || !std::isfinite(value)) continue;
    value = value < 0.0 ? 0.0 : value > 1.0 ? 1.0 : value;
    IMidiShortMessage message;
    message.frameOffset = offset;
    const auto seven = static_cast<uint8_t>(std::lround(value * 127.0));
    if (controller < 128) {
      message.status = static_cast<uint8_t>(0xB0 | channel);
      message.data1 = static_cast<uint8_t>(controller);
      message.data2 = seven;
    } else if (controller == 128) {
      message.status = static_cast<uint8_t>(0xD0 | channel);
      message.data1 = seven;
    } else {
      const auto bend = static_cast<int32_t>(std::lround(value * 16383.0));
      message.status = static_cast<uint8_t>(0xE0 | channel);
      message.data1 = static_cast<uint8_t>(bend & 0x7F);
      message.data2 = static_cast<uint8_t>((bend >> 7) & 0x7F);
    }
    OnMidiIn(message);
    QueueMidiForEditor(message);
  }
}

void IVST3Binding::ApplyHostParamChanges(IParameterChanges* changes) {
  const int32 count = changes ? changes->getParameterCount() : 0;
  for (int32 i = 0; i < count; ++i) {
    IParamValueQueue* queue = changes->getParameterData(i);
    if (!queue) continue;
    const ParamID id = queue->getParameterId();
    int32_t channel = 0;
    int32_t controller = 0;
    if (DecodeMidiParamId(id, channel, controller)) {
      if (TakesMidiInput()) ApplyMidiParamChange(*queue, channel, controller);
      continue;
    }
    // Within a block the last value wins; the product reads its parameters
    // once per block.
    const int32 points = queue->getPointCount();
    int32 offset = 0;
    ParamValue value = 0.0;
    if (points <= 0 || queue->getPoint(points - 1, offset, value) != kResultOk || !std::isfinite(value)) continue;
    if (id < static_cast<ParamID>(ParamCount())) {
      const auto index = static_cast<int32_t>(id);
      IParam* param = GetParam(index);
      param->ApplyNormalised(value);
      OnParamChange(index, IChangeSource::Host, offset);
      QueueParamForEditor(index, param->Value());
    } else if (id == kBypassParamId && PluginKind() != 1) {
      SetBypassed(value >= 0.5);
    }
  }
}

// The audio and the events of a block run under a pass of the processor's
// gate; a block that comes while a set-up call holds it leaves silence, and
// only its parameter changes are taken.
tresult PLUGIN_API IVST3Binding::process(ProcessData& data) {
  ReadHostContext(data.processContext, processSetup.processMode);
  ApplyHostParamChanges(data.inputParameterChanges);
  IBlockPass pass(SetupGate());
  if (!pass.Passed()) {
    SilenceOutputs(data);
    return kResultOk;
  }
  if (TakesMidiInput()) ReceiveHostEvents(data.inputEvents, MidiToProcessorQueue(), MidiToEditorQueue());
  RenderBlock(data);
  if (SendsMidiOutput()) SendHostEvents(data.outputEvents, SysExToProcessorQueue(), data.numSamples);
  return kResultOk;
}

} // namespace plugkit
