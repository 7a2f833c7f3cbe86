#pragma once
// IVST3Binding: the plug-in object as a VST 3 host sees it. One object is at
// the same time the component, the audio processor and the edit controller
// (a single-component effect); the product class derives from it.
//
// Bases, in this order: IApiBase (plug-in base, editor delegate),
// IVST3ProcessorBase (IProcessor with the VST 3 buses and events),
// IVST3ControllerBase (host parameters), Steinberg::Vst::SingleComponentEffect
// (reference count, host context, component handler, containers, buses) and
// Steinberg::Vst::IMidiMapping. queryInterface answers IMidiMapping here and
// everything else through SingleComponentEffect.
//
// Lifetime: made by the module's class factory under the process-wide
// creation lock (api/vst3/IVST3Factory.h) with one reference; the last
// release deletes it. initialize (a null context is allowed) builds the buses
// and the host parameters; terminate drops them; a second initialize without
// terminate is refused. The editor tick (20 ms) runs from construction to
// destruction on the user-interface thread: the constructing thread until
// the host asks for a view or attaches one, then the thread it does that on
// (see IApiBase).
//
// Component state (getState / setState), little-endian, no header: the
// parameter state (one float64 per parameter in index order, see
// IPluginBase) followed by an int32 bypass word, 1 when bypassed, else 0.
// setState reads exactly these bytes and checks them before it applies
// anything: a short stream, a value that is not finite (NaN, an infinity) or
// a bypass word other than 0 or 1 fails with nothing changed; finite values
// beyond a parameter's range are clamped. getState fails when the bytes
// could not all be written.
// setComponentState answers kResultOk and changes nothing: the controller is
// this same object, so the component's state is already its own.
//
// Parameters: the host's changes reach the product's OnParamChange (source
// Host) from setParamNormalized and from the input parameter changes of each
// process call (the last point of each queue). "Bypass" sets the processor's
// bypass flag, which getState saves and setState restores; while it is set
// the product's ProcessAudio runs with IsBypassed() true and passes its input
// through. getParamNormalized answers from the IParams, so the host sees
// values that presets, state loads and the editor set.
//
// Presets: after a preset or program-file load (the editor's strip, its
// ".fxp" files) and after a program change through the preset id, the host
// is told that every value changed (restartComponent(kParamValuesChanged))
// and, where its handler offers IComponentHandler2, that the project changed
// (setDirty(true)). Both go to the host on the user-interface thread only: a
// change made on any other thread leaves a mark that the next editor tick,
// or the next such change on the user-interface thread, turns into one call
// of each. From the tick they are made, as every tick's work, inside the
// Timer's callback (core/Timer.h).
//
// Threads: process runs on the host's audio thread and neither allocates,
// locks nor throws; in particular it never takes the plug-in base's state
// lock, so no state call holds up a block. setupProcessing, setActive and bus
// calls run on the user-interface thread; setProcessing may also come on the
// processing thread. setupProcessing, setProcessing(false) and
// setBusArrangements hold the processor's set-up gate (core/ISetupGate.h):
// one that a host makes while a block runs waits for it, and blocks that
// come meanwhile leave silence. getState, setState and program changes
// through setParamNormalized may come from several threads at once: each runs
// under the state lock as a whole, so it sees and leaves a whole state (values
// and bypass word), and the host's stream is read or written outside the
// lock. Other parameter changes and reads take the lock-free path of the
// atomic values (on the user-interface thread, handing a value to the open
// editor takes the state lock, see IApiBase::PushParamFromHost). Values
// changed on the audio thread reach the editor through IApiBase's queues.
//
// Editor: createView("editor") makes an IVST3View (api/vst3/IVST3View.h),
// which the host attaches to its window; the views keep EditorView() up to
// date. Size requests from the editor go to the host through the frame of
// the view that shows it, and the editor never resizes a host window: a
// refused size leaves it inside the window it has, at any content scale. A
// right click on a control bound to a parameter opens the host's context
// menu for that parameter with the control's own items in it
// (IVST3MenuTarget brings the choice back), or the editor's own menu when
// the host offers none.

#include <atomic>
#include <cstdint>

#include "api/vst3/IVST3ControllerBase.h"
#include "api/vst3/IVST3ProcessorBase.h"
#include "api/vst3/SingleComponentEffect.h"
#include "core/IApiBase.h"
#include "core/IPluginDescriptor.h"
#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

namespace plugkit {

class IVST3Binding : public IApiBase,
                     public IVST3ProcessorBase,
                     public IVST3ControllerBase,
                     public Steinberg::Vst::SingleComponentEffect,
                     public Steinberg::Vst::IMidiMapping {
public:
  // The SDK's IPluginBase is a base too; inside the product the name means
  // the framework's.
  using IPluginBase = plugkit::IPluginBase;

  // Bytes of the component state of a plug-in with paramCount parameters.
  static constexpr int32_t StateSize(int32_t paramCount) { return 8 * paramCount + 4; }

  // The configuration record need only live for the call. Starts the editor
  // tick on the calling thread; makes no call to any host.
  explicit IVST3Binding(const IPluginDescriptor& descriptor);
  ~IVST3Binding() override;

  // --- FUnknown / FObject ----------------------------------------------------
  OBJ_METHODS(IVST3Binding, SingleComponentEffect)
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
  Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return SingleComponentEffect::addRef(); }
  Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE { return SingleComponentEffect::release(); }
  // The editor's calls hold a reference (see ICanvas::ICallScope): a host
  // whose last release comes while one runs (answering the editor's call,
  // or inside a menu or dialog loop of the editor's) deletes the object
  // when that call has returned.
  void HoldForEditorCall() override { addRef(); }
  void ReleaseEditorHold() override { release(); }

  // --- IPluginBase -------------------------------------------------------------
  // Buses, host parameters, host identification (when the context offers
  // IHostApplication and the host is not known yet), then every parameter
  // is reported with the source Reset. kResultFalse when already initialised.
  Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown* context) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API terminate() SMTG_OVERRIDE;

  // --- IComponent ----------------------------------------------------------------
  Steinberg::tresult PLUGIN_API setActive(Steinberg::TBool state) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API activateBus(Steinberg::Vst::MediaType type, Steinberg::Vst::BusDirection dir,
                                            Steinberg::int32 index, Steinberg::TBool state) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getState(Steinberg::IBStream* state) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API setState(Steinberg::IBStream* state) SMTG_OVERRIDE;

  // --- IAudioProcessor ----------------------------------------------------------
  // Accepts exactly the arrangements the buses have (kResultTrue), refuses
  // others (kResultFalse); either way the next process call connects the
  // channels the host supplies.
  Steinberg::tresult PLUGIN_API setBusArrangements(Steinberg::Vst::SpeakerArrangement* inputs,
                                                   Steinberg::int32 numIns,
                                                   Steinberg::Vst::SpeakerArrangement* outputs,
                                                   Steinberg::int32 numOuts) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API canProcessSampleSize(Steinberg::int32 symbolicSampleSize) SMTG_OVERRIDE;
  Steinberg::uint32 PLUGIN_API getLatencySamples() SMTG_OVERRIDE;
  // The processor's tail (TailSize): what the product set in its last stream
  // reset, 0 (no tail) before one.
  Steinberg::uint32 PLUGIN_API getTailSamples() SMTG_OVERRIDE;
  // kResultFalse, with nothing changed, while processing is on (from
  // setProcessing(true) to setProcessing(false) or setActive(false)), and
  // for a set-up the processor refuses.
  Steinberg::tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) SMTG_OVERRIDE;
  // setProcessing(false) restarts the product's stream (OnStreamReset) and
  // empties the bypass latency ring. It may come on the processing thread:
  // the binding frees and allocates nothing in it.
  Steinberg::tresult PLUGIN_API setProcessing(Steinberg::TBool state) SMTG_OVERRIDE;
  // Always kResultOk; a block with another sample size produces nothing.
  Steinberg::tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) SMTG_OVERRIDE;

  // --- IEditController -------------------------------------------------------------
  // Parameter ids: see api/vst3/IVST3ControllerBase.h. kResultFalse for an
  // unknown id or a non-finite value (nothing changed); the preset id answers
  // whether the preset could be applied.
  Steinberg::tresult PLUGIN_API setParamNormalized(Steinberg::Vst::ParamID id,
                                                   Steinberg::Vst::ParamValue value) SMTG_OVERRIDE;
  Steinberg::Vst::ParamValue PLUGIN_API getParamNormalized(Steinberg::Vst::ParamID id) SMTG_OVERRIDE;
  // A new view (owned by the caller) for "editor" when the plug-in has an
  // editor; null for any other name. The calling thread becomes the
  // user-interface thread.
  Steinberg::IPlugView* PLUGIN_API createView(Steinberg::FIDString name) SMTG_OVERRIDE;

  // --- IMidiMapping ------------------------------------------------------------------
  // For bus 0, the id of the MIDI-controller parameter of that channel and
  // controller when the plug-in has one (kResultOk); kResultFalse otherwise.
  Steinberg::tresult PLUGIN_API getMidiControllerAssignment(Steinberg::int32 busIndex, Steinberg::int16 channel,
                                                            Steinberg::Vst::CtrlNumber midiControllerNumber,
                                                            Steinberg::Vst::ParamID& id) SMTG_OVERRIDE;

  // --- Framework host calls (user-interface thread) ---------------------------------
  // startGroupEdit, performEdit of every parameter, finishGroupEdit.
  void SendAllParamValuesToHost() override;
  // restartComponent(kParamTitlesChanged).
  void NotifyHostParamInfoChanged() override;
  // Any thread: see Presets above. On the user-interface thread the host is
  // told at once; elsewhere one atomic store, nothing else.
  void NotifyHostPresetChanged() override;
  // The editor tick (user-interface thread): passes on a preset change a
  // host thread left unsent.
  void OnEditorTick() override;
  // beginEdit / performEdit / endEdit with the parameter's index as its id.
  void BeginHostParamEdit(int32_t index) override;
  void SendHostParamValue(int32_t index, double normalisedValue) override;
  void EndHostParamEdit(int32_t index) override;
  // Asks the host for a view of width x height, through the frame of the
  // view that shows the editor. A VST 3 host owns its frame and its windows,
  // so the editor resizes no window but its own and the answer is always
  // true. The size the host takes (or gives through onSize meanwhile) is
  // stored for getSize. When the host refuses, or there is no frame or no
  // view to ask, the stored size stays and the open editor is fitted to it
  // (FitEditorToHostSize), so the editor keeps the window it has. A size
  // below 1 changes nothing.
  bool ResizeEditorInHost(int32_t width, int32_t height) override;
  // The host's size for the view that shows the editor (its onSize): stored
  // for getSize, and the open editor is fitted to it (FitEditorToHostSize).
  // A size below 1 is ignored. User-interface thread.
  void TakeHostEditorSize(int32_t width, int32_t height);
  // The host's context menu for the control's parameter at (x, y), holding
  // menu's items (tag = item index; dividers as separators, items that
  // cannot be chosen disabled, ticked items checked), shown at (x, y) in
  // the view's pixels (x ScreenScale x DrawScale). False, nothing shown,
  // without an open view, a component handler with IComponentHandler3, or a
  // host menu, and for a control without parameter or items.
  bool OpenHostContextMenu(canvas::IControl& control, canvas::IPopupMenu& menu, float x, float y) override;
  // Stores the latency, gives bypass a silent ring of that many frames (taken
  // up by the next block) and tells the host (restartComponent(kLatencyChanged)).
  // User-interface thread: it allocates.
  void ChangeLatency(int32_t frames) override;

protected:
  // Sends restartComponent(flags) to the component handler; nothing without one.
  void RestartHostComponent(Steinberg::int32 flags);

private:
  void IdentifyHostFrom(Steinberg::FUnknown* context);
  // restartComponent(kParamValuesChanged), then setDirty(true) where the
  // handler offers it. User-interface thread.
  void TellHostEveryValueChanged();
  // The block's input parameter changes: IParams (then OnParamChange),
  // "Bypass" and MIDI-controller parameters.
  void ApplyHostParamChanges(Steinberg::Vst::IParameterChanges* changes);
  void ApplyMidiParamChange(Steinberg::Vst::IParamValueQueue& queue, int32_t channel, int32_t controller);
  // Fits the open editor into the stored size, its logical size kept: the
  // draw scale at which it fills that size as far as the draw scale's limits
  // allow, at the screen scale asked for or, where even the smallest draw
  // scale would leave it larger, at the largest screen scale at which it
  // fits (ICanvas::CapScreenScale; below 1 it cannot go). Its own window
  // follows; the host is asked nothing.
  void FitEditorToHostSize();

  bool mInitialized = false;
  // Between setProcessing(true) and setProcessing(false) (or setActive(false));
  // written by whichever thread the host switches processing on.
  std::atomic<bool> mProcessing{false};
  // Editor sizes (user-interface thread): set while FitEditorToHostSize
  // resizes the editor, so that its request asks no host; and a count of
  // the sizes the host gave, so a request sees an onSize that came meanwhile.
  bool mFittingEditor = false;
  uint32_t mHostSizesTaken = 0;
  // A preset change made off the user-interface thread that the host has not
  // been told of yet: set by any thread, taken on the user-interface thread.
  std::atomic<bool> mPresetChangeUnsent{false};
};

} // namespace plugkit
