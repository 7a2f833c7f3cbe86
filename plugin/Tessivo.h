#pragma once
// Tessivo: the product's plug-in object, the one object a host instance talks
// to. It fixes the configuration (channels "2-2", three parameters, seven
// factory presets), supplies the pitch-shift engine and installs the editor's
// graphics factory and layout (plugin/editor/); everything else (host calls,
// state, presets, editor management) comes from the binding it sits on.
//
// The same class is compiled once per deliverable on top of that deliverable's
// binding (see TessivoBinding.h): the VST 2.4 build is constructed with the
// host's callback, the VST 3 build without arguments by the class factory.
// Both are created under the binding's process-wide creation lock.
//
// Threads: ProcessAudio runs on the host's audio thread and neither locks nor
// allocates. OnStreamReset is called by the bindings only from set-up calls,
// which never overlap a block (core/ISetupGate.h); it allocates and frees
// nothing: the delay line and the window are allocated once, with the object,
// at their longest length. OnParamChange runs on
// whichever thread changed the parameter; the cached ratio and gains are
// atomics that the next frames pick up. OnPresetRestored, too, runs on the
// thread of the preset, program-name, bank, program-file or state call that
// caused it; the editor's side (below) belongs to the user-interface thread.

#include <atomic>
#include <cstdint>

#include "core/IStringBuffer.h"
#include "plugin/TessivoBinding.h"

class TPresetControl;
class TAboutBox;
namespace plugkit::canvas {
class ICanvas;
}

// Parameter indices.
enum TParamIndex : int32_t { Coarse = 0, Fine = 1, Mix = 2, kNumParams = 3 };

class Tessivo : public TessivoBinding {
public:
  static constexpr int32_t kNumPresets = 7;
  // The longest delay line, used from 88200 Hz up; DelayLine and FadeWindow
  // always hold this many entries, of which LineLength are in use.
  static constexpr int32_t kMaxLineLength = 8192;

  // The configuration record: channels, names, codes, version, editor size.
  // The VST 3 class record is derived from it too.
  static plugkit::IPluginDescriptor Descriptor();

#if defined(TESSIVO_API_VST2)
  explicit Tessivo(audioMasterCallback host);
#else
  Tessivo();
#endif
  ~Tessivo() override;

  // Forgets the editor's controls before the editor closes.
  void OnEditorHidden() override;
  // The editor tick: shows a title that host threads left stale.
  void OnEditorTick() override;
  // Recomputes the cached pitch ratio (Coarse, Fine) or gains (Mix) from the
  // parameter's current value.
  void OnParamChange(int32_t index, plugkit::IChangeSource source, int32_t sampleOffset) override;
  // Keeps the strip's title in step with the current preset. On the
  // user-interface thread the title is shown and the strip redrawn at once;
  // on any other (a host's worker or audio thread) it only marks the title
  // stale, one atomic store, and the next editor tick does the rest.
  void OnPresetRestored() override;
  // Shows the about box of an open editor; false without one, and false off
  // the user-interface thread.
  bool OnAboutRequest() override;

  // Chooses the line length from the sample rate, rebuilds the window for
  // it when the length changed and restarts the line with silence. Only the
  // length in use, the window's entries and the positions change: nothing
  // is allocated, freed or moved. The tail the bindings report (TailSize) is
  // the line length: after that many frames of silent input the output is
  // silent.
  void OnStreamReset() override;
  // Processes channels 0 and 1 of each side; see TessivoEngine.cpp. Until the
  // first stream reset has chosen a length, the input is copied unchanged. A
  // null array or 0 frames does nothing; a null input channel reads as
  // silence and a null output channel is skipped. Never allocates or locks.
  void ProcessAudio(double** inputs, double** outputs, int32_t frames) override;

  // The editor's graphics factory: the canvas of a new editor for this
  // plug-in (owned by the caller), or null where none can be built.
  plugkit::canvas::ICanvas* CreateEditorGraphics();
  // The editor layout's call: PopulateEditor on g (nothing for null).
  void EditorLayoutCall(plugkit::canvas::ICanvas* g);
  // Fills a freshly opened canvas with the product's controls, makes the new
  // strip and about box the editor's (SetEditorControls) and shows the
  // current preset's title.
  static void PopulateEditor(Tessivo& plugin, plugkit::canvas::ICanvas& g);

  // Engine state; read by tests and the benchmark. The cached parameter
  // values, ratio and gains are written by OnParamChange on whichever thread
  // changed a parameter (a VST 3 host change reaches it from both the audio
  // and the user-interface thread) and read once per block, so they are
  // atomics, computed from the parameters from construction on; the line,
  // the window, the length and the positions belong to the block and to the
  // set-up calls, which never overlap.
  int32_t WriteIndex = 0;      // most recent write into DelayLine; moves downwards
  int32_t LineLength = 0;      // N in use: 1024, 2048, 4096 or 8192 once reset
  std::atomic<int32_t> CoarseSemitones{0};
  std::atomic<int32_t> FineCents{0};
  bool Bypassed = false;       // pass-through switch of the engine itself
  std::atomic<double> TransposeRatio{0.0}; // read-position step per frame
  double ReadPosition = 0.0;   // first tap, in [0, N)
  std::atomic<double> DryGain{0.0};
  std::atomic<double> WetGain{0.0};
  // kMaxLineLength entries each, owned, from construction to destruction (null
  // only when memory ran out, and then the input passes unchanged); the first
  // N are the line and its raised-cosine weights.
  double* DelayLine = nullptr;
  double* FadeWindow = nullptr;

  // --- The editor's side: user-interface thread only -------------------------
  // The title the strip shows, the strip and the about box are owned by the
  // user-interface thread, the thread of the editor and its tick: the layout
  // sets them, the editor's controls and the tick use them, OnEditorHidden
  // clears them. Every accessor here checks the thread with the base's
  // OnUserInterfaceThread, so they follow the thread the host shows the
  // editor on: elsewhere the getters answer null or "" and the setters change
  // nothing, so no host thread can reach the editor or a text the editor
  // reads. A host thread's preset change leaves nothing but the stale mark
  // for the tick.

  // The open editor's strip and about box (owned by its canvas), or null.
  TPresetControl* PresetStrip() const;
  TAboutBox* AboutBox() const;
  // The title the strip shows (never null; "" before any was shown).
  const char* PresetTitle() const;
  // The layout's controls; null for none.
  void SetEditorControls(TPresetControl* strip, TAboutBox* about);
  // The current preset's title, taken under the state lock, becomes the one
  // shown, and the strip redraws. On any other thread than the user-interface
  // thread it only marks the title stale for the next editor tick.
  void ShowCurrentPresetTitle();

private:
  void InstallEditorFunctions();
  void ConfigureParameters();
  void DefineFactoryPresets();
  void AllocateEngine();
  void ReleaseEngine();
  // Copies the current preset's title into mPresetTitle and clears the stale
  // mark; the caller holds the state lock, on the user-interface thread.
  void TakeCurrentTitle();

  plugkit::IStringBuffer mPresetTitle;
  TPresetControl* mPresetStrip = nullptr;
  TAboutBox* mAboutBox = nullptr;
  // Set by a preset change on a host thread, cleared once the title is taken.
  std::atomic<bool> mTitleStale{false};
};
