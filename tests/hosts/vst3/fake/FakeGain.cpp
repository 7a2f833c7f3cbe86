#include "tests/hosts/vst3/fake/FakeGain.h"

#include <cstring>

#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "public.sdk/source/vst/vstparameters.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace fakegain {

FUnknown* FakeGain::Create(void*) { return static_cast<IAudioProcessor*>(new FakeGain()); }

tresult PLUGIN_API FakeGain::initialize(FUnknown* context) {
  tresult result = SingleComponentEffect::initialize(context);
  if (result != kResultOk) return result;
  addAudioInput(STR16("Stereo In"), SpeakerArr::kStereo);
  addAudioOutput(STR16("Stereo Out"), SpeakerArr::kStereo);
  parameters.addParameter(new RangeParameter(STR16("Gain"), kGainId, STR16("x"), 0.0, 2.0, 1.0));
  auto* bypass = new StringListParameter(
      STR16("Bypass"), kBypassId, nullptr,
      ParameterInfo::kCanAutomate | ParameterInfo::kIsList | ParameterInfo::kIsBypass);
  bypass->appendString(STR16("Off"));
  bypass->appendString(STR16("On"));
  parameters.addParameter(bypass);
  return kResultOk;
}

tresult PLUGIN_API FakeGain::setActive(TBool state) {
  active = state != 0;
  return kResultOk;
}

tresult PLUGIN_API FakeGain::setupProcessing(ProcessSetup& setup) {
  tresult result = SingleComponentEffect::setupProcessing(setup);
  setUp = result == kResultOk;
  return result;
}

tresult PLUGIN_API FakeGain::canProcessSampleSize(int32 size) {
  return size == kSample32 || size == kSample64 ? kResultTrue : kResultFalse;
}

template <typename Sample>
void FakeGain::Render(Sample** in, Sample** out, int32 frames, IParamValueQueue* gainQueue) {
  int32 points = gainQueue ? gainQueue->getPointCount() : 0;
  int32 next = 0;
  double gain = 2.0 * gainNormalised.load();
  bool bypass = bypassed.load();
  for (int32 i = 0; i < frames; ++i) {
    while (next < points) {
      int32 offset = 0;
      ParamValue value = 0.0;
      if (gainQueue->getPoint(next, offset, value) != kResultOk || offset > i) break;
      gainNormalised = value;
      gain = 2.0 * value;
      ++next;
    }
    for (int c = 0; c < 2; ++c) out[c][i] = bypass ? in[c][i] : static_cast<Sample>(in[c][i] * gain);
  }
}

tresult PLUGIN_API FakeGain::process(ProcessData& data) {
  if (!active || !setUp) return kNotInitialized;
  if (data.symbolicSampleSize != processSetup.symbolicSampleSize || data.numSamples < 0 ||
      data.numSamples > processSetup.maxSamplesPerBlock)
    return kInvalidArgument;

  IParamValueQueue* gainQueue = nullptr;
  if (IParameterChanges* changes = data.inputParameterChanges) {
    for (int32 i = 0, n = changes->getParameterCount(); i < n; ++i) {
      IParamValueQueue* queue = changes->getParameterData(i);
      if (!queue) continue;
      if (queue->getParameterId() == kGainId) gainQueue = queue;
      int32 offset = 0;
      ParamValue value = 0.0;
      int32 last = queue->getPointCount() - 1;
      if (queue->getParameterId() == kBypassId && last >= 0 &&
          queue->getPoint(last, offset, value) == kResultOk)
        bypassed = value >= 0.5;
    }
  }
  if (data.numSamples == 0) {
    // A parameter flush: take the last gain without audio.
    int32 offset = 0;
    ParamValue value = 0.0;
    if (gainQueue && gainQueue->getPoint(gainQueue->getPointCount() - 1, offset, value) == kResultOk)
      gainNormalised = value;
    return kResultOk;
  }
  if (data.numInputs < 1 || data.numOutputs < 1 || !data.inputs || !data.outputs ||
      data.inputs[0].numChannels != 2 || data.outputs[0].numChannels != 2)
    return kInvalidArgument;
  if (data.symbolicSampleSize == kSample32) {
    Sample32** in = data.inputs[0].channelBuffers32;
    Sample32** out = data.outputs[0].channelBuffers32;
    if (!in || !out || !in[0] || !in[1] || !out[0] || !out[1]) return kInvalidArgument;
    Render(in, out, data.numSamples, gainQueue);
  } else {
    Sample64** in = data.inputs[0].channelBuffers64;
    Sample64** out = data.outputs[0].channelBuffers64;
    if (!in || !out || !in[0] || !in[1] || !out[0] || !out[1]) return kInvalidArgument;
    Render(in, out, data.numSamples, gainQueue);
  }
  return kResultOk;
}

tresult PLUGIN_API FakeGain::getState(IBStream* state) {
  if (!state) return kInvalidArgument;
  unsigned char bytes[kStateSize];
  double gain = gainNormalised.load();
  int32 bypass = bypassed.load() ? 1 : 0;
  std::memcpy(bytes, &gain, 8);
  std::memcpy(bytes + 8, &bypass, 4);
  int32 written = 0;
  if (state->write(bytes, kStateSize, &written) != kResultOk || written != kStateSize) return kResultFalse;
  return kResultOk;
}

tresult PLUGIN_API FakeGain::setState(IBStream* state) {
  if (!state) return kInvalidArgument;
  unsigned char bytes[kStateSize];
  int32 got = 0;
  if (state->read(bytes, kStateSize, &got) != kResultOk || got != kStateSize) return kResultFalse;
  double gain = 0.0;
  int32 bypass = 0;
  std::memcpy(&gain, bytes, 8);
  std::memcpy(&bypass, bytes + 8, 4);
  if (!(gain >= 0.0 && gain <= 1.0)) return kResultFalse;
  gainNormalised = gain;
  bypassed = bypass != 0;
  // One object is also the controller: its parameter objects follow.
  if (Parameter* p = getParameterObject(kGainId)) p->setNormalized(gain);
  if (Parameter* p = getParameterObject(kBypassId)) p->setNormalized(bypass != 0 ? 1.0 : 0.0);
  return kResultOk;
}

}  // namespace fakegain
