#pragma once

// A tiny VST 3 effect for testing the test host and the project's SDK-side
// layers: a stereo gain with a "Gain" parameter (id 0, plain 0 to 2, default
// 1) and a "Bypass" parameter (id 1). Gain changes from the host's input
// parameter changes apply from their sample offset on (a step at each point),
// so a host that misplaces points shows in the output. Processes 32- and
// 64-bit samples. Its state is the normalised gain as a little-endian float64
// followed by the bypass flag as an int32.
//
// It refuses what a careless host would do: process before setupProcessing
// and setActive(true) (kNotInitialized), a sample size other than the one set
// up, or missing buffers (kInvalidArgument); a short state (kResultFalse,
// nothing changed).

#include <atomic>

#include "api/vst3/SingleComponentEffect.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

namespace fakegain {

class FakeGain : public Steinberg::Vst::SingleComponentEffect {
 public:
  static constexpr Steinberg::Vst::ParamID kGainId = 0;
  static constexpr Steinberg::Vst::ParamID kBypassId = 1;
  static constexpr int kStateSize = 12;

  // Create function for the class factory: one new object, one reference.
  static Steinberg::FUnknown* Create(void* context);

  Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown* context) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API setActive(Steinberg::TBool state) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API canProcessSampleSize(Steinberg::int32 size) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getState(Steinberg::IBStream* state) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API setState(Steinberg::IBStream* state) SMTG_OVERRIDE;

 private:
  template <typename Sample>
  void Render(Sample** in, Sample** out, Steinberg::int32 frames,
              Steinberg::Vst::IParamValueQueue* gainQueue);

  std::atomic<double> gainNormalised{0.5};
  std::atomic<bool> bypassed{false};
  bool active = false;
  bool setUp = false;
};

}  // namespace fakegain
