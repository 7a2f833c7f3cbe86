#include "plugin/Tessivo.h"

#include "core/IParam.h"
#include "core/IPresetSlot.h"
#include "core/ISectionLock.h"
#include "plugin/TessivoMaker.h"
#include "plugin/editor/TAboutBox.h"
#include "plugin/editor/TPresetControl.h"

using namespace plugkit;

namespace {

constexpr int32_t FourCharCode(const char (&code)[5]) {
  return static_cast<int32_t>((static_cast<uint32_t>(code[0]) << 24) | (static_cast<uint32_t>(code[1]) << 16) |
                              (static_cast<uint32_t>(code[2]) << 8) | static_cast<uint32_t>(code[3]));
}

} // namespace

IPluginDescriptor Tessivo::Descriptor() {
  IPluginDescriptor d;
  d.paramCount = kNumParams;
  d.presetCount = Tessivo::kNumPresets;
  d.channelIO = "2-2";
  d.pluginName = "Tessivo";
  d.productName = "";
  d.makerName = tessivo_maker::kName;
  d.vendorVersion = 1 << 16; // 1.0.0
  d.uniqueCode = FourCharCode("WKZM");
  d.makerCode = FourCharCode("Wkzm");
  d.latency = 0;
  d.midiIn = d.midiOut = d.mpe = d.stateChunks = false;
  d.pluginKind = 0;
  d.hasEditor = true;
  d.editorWidth = 250;
  d.editorHeight = 160;
  d.extraIdentifier = "";
  return d;
}

#if defined(TESSIVO_API_VST2)
Tessivo::Tessivo(audioMasterCallback host) : TessivoBinding(host, Descriptor())
#else
Tessivo::Tessivo() : TessivoBinding(Descriptor())
#endif
{
  AllocateEngine();
  ConfigureParameters();
  DefineFactoryPresets();
  InstallEditorFunctions();
  // The ratio and gains follow the parameters from the start, so that a host
  // that never sends the open call hears the effect; the open call's "Reset"
  // computes the same values again.
  for (int32_t i = 0; i < kNumParams; ++i) OnParamChange(i, IChangeSource::Reset, -1);
}

Tessivo::~Tessivo() {
  // The editor tick must not run into an object whose engine is already gone;
  // a host may release the object on another thread while the tick is due.
  StopEditorTimer();
  ReleaseEngine();
  mPresetStrip = nullptr;
  mAboutBox = nullptr;
}

void Tessivo::ConfigureParameters() {
  const IParam::ShapeLinear linear;
  GetParam(Coarse)->SetKind(IParamKind::Integer);
  GetParam(Coarse)->Configure("Coarse", 0, -12, 12, 1, "Semi", IParamFlag::Quantised, "", linear,
                              IParamUnitCode::Custom);
  GetParam(Fine)->SetKind(IParamKind::Integer);
  GetParam(Fine)->Configure("Fine", 0, -100, 100, 1, "Cents", IParamFlag::Quantised, "", linear,
                            IParamUnitCode::Custom);
  // Mix keeps the Decimal kind that configuring an unset parameter gives it.
  GetParam(Mix)->Configure("Mix", 100, 0, 100, 1, "%", 0, "", linear, IParamUnitCode::Percentage);
}

void Tessivo::DefineFactoryPresets() {
  // The first slot holds the defaults as they stand after configuring.
  if (IPresetSlot* slot = GetPreset(0)) {
    slot->SetTitle("Default");
    slot->filled = SerializeParams(slot->state);
  }
  DefinePreset("Light Detune", 0, 15, 50.0);
  DefinePreset("Hard Detune", 0, 50, 50.0);
  DefinePreset("Down 3 Semitones", -3, 0, 100.0);
  DefinePreset("Up 3 Semitones", 3, 0, 100.0);
  DefinePreset("Octave up", 12, 0, 100.0);
  DefinePreset("Octave down (mixed)", -12, 0, 50.0);
}

void Tessivo::OnEditorHidden() {
  // Cleared on whatever thread closes the editor: the controls go with it.
  mPresetStrip = nullptr;
  mAboutBox = nullptr;
  TessivoBinding::OnEditorHidden();
}

// --- Preset titles ----------------------------------------------------------------

void Tessivo::OnPresetRestored() { ShowCurrentPresetTitle(); }

void Tessivo::OnEditorTick() {
  TessivoBinding::OnEditorTick();
  if (!mTitleStale.load(std::memory_order_acquire)) return;
  // The tick runs under the timer lock and must not wait for a host thread
  // that holds the state lock: a busy lock leaves the title to a later tick.
  ISectionLock& lock = StateLock();
  if (!lock.TryEnter()) return;
  TakeCurrentTitle();
  lock.Leave();
  if (mPresetStrip) mPresetStrip->MarkChanged(false, -1);
}

void Tessivo::TakeCurrentTitle() {
  mTitleStale.store(false, std::memory_order_relaxed);
  const int32_t current = CurrentPreset();
  const bool inRange = current >= 0 && current < PresetCount();
  mPresetTitle.Assign(inRange ? PresetTitleAt(current) : "");
}

void Tessivo::ShowCurrentPresetTitle() {
  bool taken = false;
  // A host thread (perhaps the audio thread) only leaves the mark, without
  // waiting for the lock.
  if (OnUserInterfaceThread()) {
    ISectionGuard guard(StateLock());
    // Asked again under the lock: the host may have shown the editor on
    // another thread meanwhile, and the title is that thread's now.
    if (OnUserInterfaceThread()) {
      TakeCurrentTitle();
      taken = true;
    }
  }
  if (!taken) {
    mTitleStale.store(true, std::memory_order_release);
    return;
  }
  if (mPresetStrip) mPresetStrip->MarkChanged(false, -1);
}

// --- The editor's side --------------------------------------------------------------

TPresetControl* Tessivo::PresetStrip() const { return OnUserInterfaceThread() ? mPresetStrip : nullptr; }

TAboutBox* Tessivo::AboutBox() const { return OnUserInterfaceThread() ? mAboutBox : nullptr; }

const char* Tessivo::PresetTitle() const { return OnUserInterfaceThread() ? mPresetTitle.Get() : ""; }

void Tessivo::SetEditorControls(TPresetControl* strip, TAboutBox* about) {
  if (!OnUserInterfaceThread()) return;
  mPresetStrip = strip;
  mAboutBox = about;
}

bool Tessivo::OnAboutRequest() {
  // The about box belongs to the editor; without one there is nothing to show.
  TAboutBox* box = AboutBox();
  if (!box) return false;
  box->SetConcealed(false);
  return true;
}
