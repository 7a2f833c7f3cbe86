// IVST3Binding: construction, interfaces, initialise and terminate, activation
// and the framework's host calls. State is in IVST3State.cpp, the audio
// processor calls in IVST3BindingProcess.cpp, the edit-controller calls in
// IVST3BindingControl.cpp.

#include "api/vst3/IVST3Binding.h"

#include "api/vst3/IVST3Text.h"
#include "core/IHostIdentity.h"
#include "pluginterfaces/vst/ivsthostapplication.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace plugkit {

IVST3Binding::IVST3Binding(const IPluginDescriptor& descriptor)
  : IApiBase(descriptor), IVST3ProcessorBase(descriptor) {
  mApiKind = static_cast<int32_t>(EApiKind::VST3);
  StartEditorTimer();
}

IVST3Binding::~IVST3Binding() {
  // Ticks reach into the whole object; none may run once its parts go.
  StopEditorTimer();
}

tresult PLUGIN_API IVST3Binding::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (FUnknownPrivate::iidEqual(iid, IMidiMapping::iid)) {
    addRef();
    *obj = static_cast<IMidiMapping*>(this);
    return kResultOk;
  }
  return SingleComponentEffect::queryInterface(iid, obj);
}

tresult PLUGIN_API IVST3Binding::initialize(FUnknown* context) {
  // The SDK only remembers a non-null context, so a host that passes none
  // would otherwise be let in twice and get every bus and parameter twice.
  if (mInitialized) return kResultFalse;
  const tresult result = SingleComponentEffect::initialize(context);
  if (result != kResultOk) return result;
  mInitialized = true;

  CreateBuses(*this);
  BuildHostParameters(*this, *this, parameters, PluginKind() == 1, TakesMidiInput());
  if (BypassParameter) BypassParameter->setNormalized(IsBypassed() ? 1.0 : 0.0);
  IdentifyHostFrom(context);
  OnHostKnown();
  OnEveryParamChange(IChangeSource::Reset);
  return kResultOk;
}

void IVST3Binding::IdentifyHostFrom(FUnknown* context) {
  if (!context || HostIdentity().Code != kHostUnidentified) return;
  IHostApplication* host = nullptr;
  if (context->queryInterface(IHostApplication::iid, reinterpret_cast<void**>(&host)) != kResultOk || !host) return;
  String128 name{};
  // A host that cannot name itself leaves the identification for a later
  // initialize rather than have a buffer it did not fill read as its name.
  if (host->getName(name) == kResultOk) {
    char narrow[4 * 128];
    VST3TextToUtf8(name, 128, narrow, static_cast<int32_t>(sizeof narrow));
    SetHost(narrow, 0);
  }
  host->release();
}

tresult PLUGIN_API IVST3Binding::terminate() {
  // The container frees the bypass parameter with the others.
  BypassParameter = nullptr;
  ForgetBuses();
  mInitialized = false;
  return SingleComponentEffect::terminate();
}

tresult PLUGIN_API IVST3Binding::setActive(TBool state) {
  // A host that switches off without ending processing first has ended it:
  // set-ups are taken again.
  if (!state) mProcessing.store(false, std::memory_order_release);
  OnActiveChange(state != 0);
  return kResultOk;
}

tresult PLUGIN_API IVST3Binding::activateBus(MediaType type, BusDirection dir, int32 index, TBool state) {
  const tresult result = SingleComponentEffect::activateBus(type, dir, index, state);
  if (result == kResultTrue && type == kAudio) SetBusActive(dir, index, state != 0);
  return result;
}

// --- Framework host calls -------------------------------------------------------

void IVST3Binding::RestartHostComponent(int32 flags) {
  if (IComponentHandler* handler = getComponentHandler()) handler->restartComponent(flags);
}

void IVST3Binding::SendAllParamValuesToHost() {
  startGroupEdit();
  for (int32_t i = 0; i < ParamCount(); ++i) SendHostParamValue(i, GetParam(i)->ReadNormalised());
  finishGroupEdit();
}

void IVST3Binding::NotifyHostParamInfoChanged() { RestartHostComponent(kParamTitlesChanged); }

void IVST3Binding::NotifyHostPresetChanged() {
  if (!OnUserInterfaceThread()) {
    // A host takes these calls on its user-interface thread only.
    mPresetChangeUnsent.store(true, std::memory_order_release);
    return;
  }
  // One word covers a change a host thread left unsent as well.
  mPresetChangeUnsent.store(false, std::memory_order_relaxed);
  TellHostEveryValueChanged();
}

void IVST3Binding::OnEditorTick() {
  IApiBase::OnEditorTick();
  if (mPresetChangeUnsent.exchange(false, std::memory_order_acq_rel)) TellHostEveryValueChanged();
}

void IVST3Binding::TellHostEveryValueChanged() {
  RestartHostComponent(kParamValuesChanged);
  // Only where the handler offers IComponentHandler2; nothing otherwise.
  setDirty(true);
}

void IVST3Binding::BeginHostParamEdit(int32_t index) { beginEdit(static_cast<ParamID>(index)); }

void IVST3Binding::SendHostParamValue(int32_t index, double normalisedValue) {
  performEdit(static_cast<ParamID>(index), normalisedValue);
}

void IVST3Binding::EndHostParamEdit(int32_t index) { endEdit(static_cast<ParamID>(index)); }

void IVST3Binding::ChangeLatency(int32_t frames) {
  IProcessor::ChangeLatency(frames);
  PrepareLatencyDelay(frames);
  RestartHostComponent(kLatencyChanged);
}

} // namespace plugkit
