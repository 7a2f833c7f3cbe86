// IVST3Binding's edit-controller calls: parameter values from and for the
// host, and the MIDI-controller mapping.

#include <cmath>

#include "api/vst3/IVST3Binding.h"
#include "core/IParam.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace plugkit {

tresult PLUGIN_API IVST3Binding::setParamNormalized(ParamID id, ParamValue value) {
  if (!std::isfinite(value)) return kResultFalse;
  if (id == kPresetParamId) {
    const int32_t count = PresetCount();
    if (count <= 0) return kResultFalse;
    const double clamped = value < 0.0 ? 0.0 : value > 1.0 ? 1.0 : value;
    if (!ApplyPreset(static_cast<int32_t>(std::lround(clamped * (count - 1))))) return kResultFalse;
    // The host set the program, not the values it brings.
    NotifyHostPresetChanged();
    return kResultOk;
  }
  Parameter* object = getParameterObject(id);
  if (!object) return kResultFalse;

  if (id < static_cast<ParamID>(ParamCount())) {
    const auto index = static_cast<int32_t>(id);
    GetParam(index)->ApplyNormalised(value);
    // Host automation must reach the sound, not only the knobs.
    OnParamChange(index, IChangeSource::Host, -1);
    OnParamChangeForEditor(index, IChangeSource::Host);
    PushParamFromHost(index, value, true);
  } else if (id == kBypassParamId) {
    SetBypassed(value >= 0.5);
  }
  object->setNormalized(value);
  return kResultOk;
}

ParamValue PLUGIN_API IVST3Binding::getParamNormalized(ParamID id) {
  if (id < static_cast<ParamID>(ParamCount())) return GetParam(static_cast<int32_t>(id))->ReadNormalised();
  if (id == kBypassParamId && BypassParameter) return IsBypassed() ? 1.0 : 0.0;
  return SingleComponentEffect::getParamNormalized(id);
}

tresult PLUGIN_API IVST3Binding::getMidiControllerAssignment(int32 busIndex, int16 channel,
                                                             CtrlNumber midiControllerNumber, ParamID& id) {
  if (busIndex != 0 || channel < 0 || channel >= kMidiChannels || midiControllerNumber < 0 ||
      midiControllerNumber >= kMidiParamsPerChannel)
    return kResultFalse;
  const ParamID candidate = kMidiParamBase + static_cast<ParamID>(channel * kMidiParamsPerChannel + midiControllerNumber);
  // Mapping a controller onto a parameter that does not exist would have the
  // host send changes that nothing receives.
  if (!getParameterObject(candidate)) return kResultFalse;
  id = candidate;
  return kResultOk;
}

} // namespace plugkit
