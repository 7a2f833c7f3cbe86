#include "api/vst3/SingleComponentEffect.h"

#include "pluginterfaces/vst/vstspeaker.h"

namespace Steinberg {
namespace Vst {

namespace {

// A new bus at the end of the list, which owns it; the caller gets a borrowed
// pointer, or null (and no bus) without a name. `layout` is the audio bus's
// speaker arrangement or the event bus's channel count.
template <typename BusClass, typename Layout>
BusClass* AppendBus(BusList& list, const TChar* name, BusType busType, int32 flags, Layout layout) {
  if (!name) return nullptr;
  auto* bus = new BusClass(name, busType, flags, layout);
  list.push_back(IPtr<Bus>(bus, false));
  return bus;
}

}  // namespace

SingleComponentEffect::SingleComponentEffect()
    : processSetup{kRealtime, kSample32, 0, 0.0},
      audioInputs(kAudio, kInput),
      audioOutputs(kAudio, kOutput),
      eventInputs(kEvent, kInput),
      eventOutputs(kEvent, kOutput) {}

SingleComponentEffect::~SingleComponentEffect() = default;

tresult PLUGIN_API SingleComponentEffect::initialize(FUnknown* context) {
  return EditControllerEx1::initialize(context);
}

tresult PLUGIN_API SingleComponentEffect::terminate() {
  parameters.removeAll();
  removeAllBusses();
  return EditControllerEx1::terminate();
}

tresult PLUGIN_API SingleComponentEffect::getControllerClassId(TUID) {
  // The controller is this object: there is no separate class to create.
  return kNotImplemented;
}

tresult PLUGIN_API SingleComponentEffect::setIoMode(IoMode) { return kNotImplemented; }

BusList* SingleComponentEffect::getBusList(MediaType type, BusDirection dir) {
  if (type == kAudio) return dir == kInput ? &audioInputs : dir == kOutput ? &audioOutputs : nullptr;
  if (type == kEvent) return dir == kInput ? &eventInputs : dir == kOutput ? &eventOutputs : nullptr;
  return nullptr;
}

Bus* SingleComponentEffect::getBus(MediaType type, BusDirection dir, int32 index) {
  BusList* list = getBusList(type, dir);
  if (!list || index < 0 || index >= static_cast<int32>(list->size())) return nullptr;
  return list->at(static_cast<size_t>(index)).get();
}

int32 PLUGIN_API SingleComponentEffect::getBusCount(MediaType type, BusDirection dir) {
  BusList* list = getBusList(type, dir);
  return list ? static_cast<int32>(list->size()) : 0;
}

tresult PLUGIN_API SingleComponentEffect::getBusInfo(MediaType type, BusDirection dir, int32 index,
                                                     BusInfo& info) {
  Bus* bus = getBus(type, dir, index);
  if (!bus) return kInvalidArgument;
  info.mediaType = type;
  info.direction = dir;
  return bus->getInfo(info) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API SingleComponentEffect::getRoutingInfo(RoutingInfo&, RoutingInfo&) {
  return kNotImplemented;
}

tresult PLUGIN_API SingleComponentEffect::activateBus(MediaType type, BusDirection dir, int32 index,
                                                      TBool state) {
  Bus* bus = getBus(type, dir, index);
  if (!bus) return kInvalidArgument;
  bus->setActive(state);
  return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::setActive(TBool) { return kResultOk; }

tresult PLUGIN_API SingleComponentEffect::setState(IBStream*) { return kResultOk; }

tresult PLUGIN_API SingleComponentEffect::getState(IBStream*) { return kResultOk; }

// A host passes the component's state on to its controller; here both are
// one object, so there is nothing to take over. A non-OK answer would tell
// the host that restoring failed.
tresult PLUGIN_API SingleComponentEffect::setComponentState(IBStream*) { return kResultOk; }

tresult PLUGIN_API SingleComponentEffect::getParameterInfo(int32 paramIndex, ParameterInfo& info) {
  if (paramIndex < 0 || paramIndex >= parameters.getParameterCount()) return kInvalidArgument;
  return EditControllerEx1::getParameterInfo(paramIndex, info);
}

tresult PLUGIN_API SingleComponentEffect::getUnitInfo(int32 unitIndex, UnitInfo& info) {
  if (unitIndex < 0 || unitIndex >= static_cast<int32>(units.size())) return kInvalidArgument;
  return EditControllerEx1::getUnitInfo(unitIndex, info);
}

tresult PLUGIN_API SingleComponentEffect::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                             SpeakerArrangement* outputs, int32 numOuts) {
  if (numIns < 0 || numOuts < 0 || (numIns > 0 && !inputs) || (numOuts > 0 && !outputs))
    return kInvalidArgument;
  // A plug-in with fixed buses can only confirm what it already has; one that
  // adapts its layout overrides this.
  if (numIns != static_cast<int32>(audioInputs.size()) || numOuts != static_cast<int32>(audioOutputs.size()))
    return kResultFalse;
  for (int32 i = 0; i < numIns; ++i)
    if (static_cast<AudioBus*>(audioInputs[static_cast<size_t>(i)].get())->getArrangement() != inputs[i])
      return kResultFalse;
  for (int32 i = 0; i < numOuts; ++i)
    if (static_cast<AudioBus*>(audioOutputs[static_cast<size_t>(i)].get())->getArrangement() != outputs[i])
      return kResultFalse;
  return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::getBusArrangement(BusDirection dir, int32 index,
                                                            SpeakerArrangement& arr) {
  Bus* bus = getBus(kAudio, dir, index);
  if (!bus) return kInvalidArgument;
  arr = static_cast<AudioBus*>(bus)->getArrangement();
  return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::canProcessSampleSize(int32 symbolicSampleSize) {
  return symbolicSampleSize == kSample32 ? kResultTrue : kResultFalse;
}

uint32 PLUGIN_API SingleComponentEffect::getLatencySamples() { return 0; }

tresult PLUGIN_API SingleComponentEffect::setupProcessing(ProcessSetup& setup) {
  if (canProcessSampleSize(setup.symbolicSampleSize) != kResultTrue) return kResultFalse;
  processSetup = setup;
  return kResultOk;
}

tresult PLUGIN_API SingleComponentEffect::setProcessing(TBool) { return kResultOk; }

tresult PLUGIN_API SingleComponentEffect::process(ProcessData&) { return kNotImplemented; }

uint32 PLUGIN_API SingleComponentEffect::getTailSamples() { return kNoTail; }

AudioBus* SingleComponentEffect::addAudioInput(const TChar* name, SpeakerArrangement arr, BusType busType,
                                               int32 flags) {
  return AppendBus<AudioBus>(audioInputs, name, busType, flags, arr);
}

AudioBus* SingleComponentEffect::addAudioOutput(const TChar* name, SpeakerArrangement arr, BusType busType,
                                                int32 flags) {
  return AppendBus<AudioBus>(audioOutputs, name, busType, flags, arr);
}

EventBus* SingleComponentEffect::addEventInput(const TChar* name, int32 channels, BusType busType,
                                               int32 flags) {
  return AppendBus<EventBus>(eventInputs, name, busType, flags, channels);
}

EventBus* SingleComponentEffect::addEventOutput(const TChar* name, int32 channels, BusType busType,
                                                int32 flags) {
  return AppendBus<EventBus>(eventOutputs, name, busType, flags, channels);
}

tresult SingleComponentEffect::removeAudioBusses() {
  audioInputs.clear();
  audioOutputs.clear();
  return kResultOk;
}

tresult SingleComponentEffect::removeEventBusses() {
  eventInputs.clear();
  eventOutputs.clear();
  return kResultOk;
}

tresult SingleComponentEffect::removeAllBusses() {
  removeAudioBusses();
  removeEventBusses();
  return kResultOk;
}

tresult PLUGIN_API SingleComponentEffect::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (FUnknownPrivate::iidEqual(iid, IComponent::iid)) {
    addRef();
    *obj = static_cast<IComponent*>(this);
    return kResultOk;
  }
  if (FUnknownPrivate::iidEqual(iid, IAudioProcessor::iid)) {
    addRef();
    *obj = static_cast<IAudioProcessor*>(this);
    return kResultOk;
  }
  return EditControllerEx1::queryInterface(iid, obj);
}

}  // namespace Vst
}  // namespace Steinberg
