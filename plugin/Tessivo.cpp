#include "plugin/Tessivo.h"

#include "core/IParam.h"
#include "core/IPresetSlot.h"
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
  d.makerName = "Corvath";
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
  ConfigureParameters();
  DefineFactoryPresets();
  InstallEditorFunctions();
}

Tessivo::~Tessivo() {
  // The editor tick must not run into an object whose engine is already gone;
  // a host may release the object on another thread while the tick is due.
  StopEditorTimer();
  ReleaseEngine();
  PresetStrip = nullptr;
  AboutBox = nullptr;
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
  PresetStrip = nullptr;
  AboutBox = nullptr;
  TessivoBinding::OnEditorHidden();
}

void Tessivo::OnPresetRestored() {
  const int32_t current = CurrentPreset();
  const bool inRange = current >= 0 && current < PresetCount();
  PresetTitle.Assign(inRange ? PresetTitleAt(current) : "");
  if (PresetStrip) PresetStrip->MarkChanged(false, -1);
}

bool Tessivo::OnAboutRequest() {
  // The about box belongs to the editor; without one there is nothing to show.
  if (!AboutBox) return false;
  AboutBox->SetConcealed(false);
  return true;
}
