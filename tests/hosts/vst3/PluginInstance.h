#pragma once

// One plug-in object driven the way a VST 3 host drives it: created from a
// module's factory as IComponent, initialised with a host context, its edit
// controller found (the same object for single-component plug-ins, else the
// class the component names, initialised and given the component's state),
// then started (main buses activated, set-up, active, processing), given
// blocks to process, asked for and given its state, and stopped. The
// destructor stops, terminates and releases everything; the PluginModule must
// outlive the instance.
//
// Threads: everything except Process runs on the caller's "user-interface"
// thread; Process is the audio call and allocates nothing. A test drives both
// from one thread.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "tests/hosts/vst3/PluginModule.h"

namespace vst3host {

struct ParamRecord {
  Steinberg::Vst::ParamID id = 0;
  std::string title;
  std::string units;
  Steinberg::int32 stepCount = 0;
  double defaultNormalized = 0.0;
  Steinberg::int32 flags = 0;
  Steinberg::Vst::UnitID unitId = 0;
};

struct BusRecord {
  std::string name;
  Steinberg::int32 channelCount = 0;
  Steinberg::int32 busType = 0;
  Steinberg::uint32 flags = 0;
};

class PluginInstance {
 public:
  // Null with a one-line reason in *error: the class cannot be created as
  // IComponent or IAudioProcessor, initialize fails, or no controller is found.
  static std::unique_ptr<PluginInstance> Create(PluginModule& module, const std::array<char, 16>& cid,
                                                Steinberg::FUnknown* hostContext, std::string* error);
  ~PluginInstance();

  PluginInstance(const PluginInstance&) = delete;
  PluginInstance& operator=(const PluginInstance&) = delete;

  Steinberg::Vst::IComponent* Component() const { return component; }
  Steinberg::Vst::IAudioProcessor* Processor() const { return processor; }
  Steinberg::Vst::IEditController* Controller() const { return controller; }
  bool IsSingleComponent() const { return singleComponent; }
  // Gives the controller a component handler (null removes it).
  bool SetComponentHandler(Steinberg::Vst::IComponentHandler* handler);

  std::vector<BusRecord> AudioBuses(Steinberg::Vst::BusDirection dir) const;

  // Activates the first audio input and output bus, confirms the plug-in's own
  // arrangements with setBusArrangements, calls setupProcessing with the
  // real-time mode, then setActive(true) and setProcessing(true). False with
  // a reason when the plug-in refuses the sample size, the set-up or the
  // activation. Starting again first stops.
  bool Start(double sampleRate, Steinberg::int32 maxBlock, Steinberg::int32 sampleSize, std::string* error);
  // setProcessing(false) and setActive(false), for whichever is on.
  void Stop();
  bool Started() const { return active; }

  // Channels of the first audio input and output bus (0 without such a bus).
  Steinberg::int32 InputChannels() const;
  Steinberg::int32 OutputChannels() const;

  // One process call on the first buses: `in` and `out` hold InputChannels()
  // and OutputChannels() pointers; other buses get silent scratch buffers.
  // The block must not exceed the set-up's maximum and the sample size must
  // be the one started with (else kInvalidArgument, the plug-in is not
  // called). Carries a playing transport at 120 BPM in 4/4 that advances by
  // each block, unless disabled; `changes` and `outChanges` may be null.
  // Returns the plug-in's result.
  Steinberg::tresult Process32(float* const* in, float* const* out, Steinberg::int32 frames,
                               Steinberg::Vst::IParameterChanges* changes = nullptr,
                               Steinberg::Vst::IParameterChanges* outChanges = nullptr);
  Steinberg::tresult Process64(double* const* in, double* const* out, Steinberg::int32 frames,
                               Steinberg::Vst::IParameterChanges* changes = nullptr,
                               Steinberg::Vst::IParameterChanges* outChanges = nullptr);
  void SetTransport(bool enabled) { transportEnabled = enabled; }
  const Steinberg::Vst::ProcessContext& Transport() const { return transport; }

  // Component state through a memory stream; with a separate controller,
  // SetState also passes the bytes to setComponentState.
  bool GetState(std::vector<uint8_t>& out) const;
  Steinberg::tresult SetState(const std::vector<uint8_t>& bytes);

  std::vector<ParamRecord> Parameters() const;
  // By title: exact first, then ignoring ASCII case.
  bool FindParameter(const std::string& title, ParamRecord& out) const;
  // The plug-in's display text of a normalised value ("" when refused).
  std::string ParamText(Steinberg::Vst::ParamID id, double normalized) const;

 private:
  PluginInstance() = default;
  template <typename Sample>
  Steinberg::tresult ProcessBlock(Sample* const* in, Sample* const* out, Steinberg::int32 frames,
                                  Steinberg::Vst::IParameterChanges* changes,
                                  Steinberg::Vst::IParameterChanges* outChanges);

  struct BusBuffers {
    Steinberg::int32 channels = 0;
    std::vector<float*> pointers32;
    std::vector<double*> pointers64;
    std::vector<std::vector<float>> scratch32;
    std::vector<std::vector<double>> scratch64;
  };
  void PrepareBuses(Steinberg::Vst::BusDirection dir, std::vector<BusBuffers>& buffers,
                    std::vector<Steinberg::Vst::AudioBusBuffers>& records);

  Steinberg::Vst::IComponent* component = nullptr;
  Steinberg::Vst::IAudioProcessor* processor = nullptr;
  Steinberg::Vst::IEditController* controller = nullptr;
  bool singleComponent = false;
  bool active = false;
  bool processing = false;
  Steinberg::Vst::ProcessSetup setup{};
  std::vector<BusBuffers> inputBuffers;
  std::vector<BusBuffers> outputBuffers;
  std::vector<Steinberg::Vst::AudioBusBuffers> inputRecords;
  std::vector<Steinberg::Vst::AudioBusBuffers> outputRecords;
  Steinberg::Vst::ProcessContext transport{};
  bool transportEnabled = true;
};

}  // namespace vst3host
