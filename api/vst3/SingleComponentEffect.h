#pragma once

// One object that is at the same time the VST 3 component (buses, activation,
// state), the audio processor and the edit controller (parameters, units,
// component handler). The SDK sources this project compiles provide the
// edit-controller and bus classes but not this combination, so it lives here,
// with the class name, interface and default behaviour that code written
// against the SDK expects.
//
// Contract for derived plug-ins:
// - Reference counting is the controller's (FObject): the object starts with
//   one reference and deletes itself on the last release. queryInterface
//   answers IComponent and IAudioProcessor here and everything else through
//   EditControllerEx1 (IEditController, IEditController2, IUnitInfo,
//   IPluginBase, IConnectionPoint, FObject, FUnknown).
// - initialize keeps the host context (kResultFalse when one is already held)
//   and is where a plug-in adds its buses and parameters; terminate drops the
//   parameters, units and buses and releases the host context and the
//   component handler, so a later initialize starts from nothing.
// - The IComponent and IEditController state calls share one signature, so a
//   single getState/setState override serves both; the defaults accept an
//   empty state. setComponentState answers kResultOk and changes nothing:
//   the controller is the component, so it holds the component's state
//   already.
// - Bus and set-up calls run on the host's user-interface thread while
//   processing is off; process runs on the audio thread and must not touch
//   the bus lists' storage.
// - Defaults: 32-bit samples only; setBusArrangements accepts only the
//   arrangements the buses already have; setActive and setProcessing succeed
//   and do nothing; process reports kNotImplemented; no latency, no tail.
// - Parameter and unit queries with an index outside the lists answer
//   kInvalidArgument.

#include "public.sdk/source/vst/vstbus.h"
#include "public.sdk/source/vst/vsteditcontroller.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

namespace Steinberg {
namespace Vst {

class SingleComponentEffect : public EditControllerEx1, public IComponent, public IAudioProcessor {
 public:
  SingleComponentEffect();
  ~SingleComponentEffect() override;

  // IPluginBase
  tresult PLUGIN_API initialize(FUnknown* context) SMTG_OVERRIDE;
  tresult PLUGIN_API terminate() SMTG_OVERRIDE;

  // IComponent
  tresult PLUGIN_API getControllerClassId(TUID classId) SMTG_OVERRIDE;
  tresult PLUGIN_API setIoMode(IoMode mode) SMTG_OVERRIDE;
  int32 PLUGIN_API getBusCount(MediaType type, BusDirection dir) SMTG_OVERRIDE;
  tresult PLUGIN_API getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& info) SMTG_OVERRIDE;
  tresult PLUGIN_API getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) SMTG_OVERRIDE;
  tresult PLUGIN_API activateBus(MediaType type, BusDirection dir, int32 index, TBool state) SMTG_OVERRIDE;
  tresult PLUGIN_API setActive(TBool state) SMTG_OVERRIDE;
  tresult PLUGIN_API setState(IBStream* state) SMTG_OVERRIDE;
  tresult PLUGIN_API getState(IBStream* state) SMTG_OVERRIDE;

  // IEditController
  tresult PLUGIN_API setComponentState(IBStream* state) SMTG_OVERRIDE;

  // IEditController and IUnitInfo: the SDK's containers throw for an index
  // outside their lists; a host's bad index gets kInvalidArgument instead.
  tresult PLUGIN_API getParameterInfo(int32 paramIndex, ParameterInfo& info) SMTG_OVERRIDE;
  tresult PLUGIN_API getUnitInfo(int32 unitIndex, UnitInfo& info) SMTG_OVERRIDE;

  // IAudioProcessor
  tresult PLUGIN_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                        int32 numOuts) SMTG_OVERRIDE;
  tresult PLUGIN_API getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) SMTG_OVERRIDE;
  tresult PLUGIN_API canProcessSampleSize(int32 symbolicSampleSize) SMTG_OVERRIDE;
  uint32 PLUGIN_API getLatencySamples() SMTG_OVERRIDE;
  tresult PLUGIN_API setupProcessing(ProcessSetup& setup) SMTG_OVERRIDE;
  tresult PLUGIN_API setProcessing(TBool state) SMTG_OVERRIDE;
  tresult PLUGIN_API process(ProcessData& data) SMTG_OVERRIDE;
  uint32 PLUGIN_API getTailSamples() SMTG_OVERRIDE;

  // Bus set-up for initialize. The bus lists own the new buses; the returned
  // pointers stay valid until the buses are removed. Null for a null name.
  AudioBus* addAudioInput(const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
                          int32 flags = BusInfo::kDefaultActive);
  AudioBus* addAudioOutput(const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
                           int32 flags = BusInfo::kDefaultActive);
  EventBus* addEventInput(const TChar* name, int32 channels = 16, BusType busType = kMain,
                          int32 flags = BusInfo::kDefaultActive);
  EventBus* addEventOutput(const TChar* name, int32 channels = 16, BusType busType = kMain,
                           int32 flags = BusInfo::kDefaultActive);
  tresult removeAudioBusses();
  tresult removeEventBusses();
  tresult removeAllBusses();

  OBJ_METHODS(SingleComponentEffect, EditControllerEx1)
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) SMTG_OVERRIDE;
  REFCOUNT_METHODS(EditControllerEx1)

 protected:
  // The list for a media type and direction, or null for values outside the
  // SDK's enumerations.
  BusList* getBusList(MediaType type, BusDirection dir);
  // The bus at index of that list, or null when there is none.
  Bus* getBus(MediaType type, BusDirection dir, int32 index);

  ProcessSetup processSetup;
  BusList audioInputs;
  BusList audioOutputs;
  BusList eventInputs;
  BusList eventOutputs;
};

}  // namespace Vst
}  // namespace Steinberg
