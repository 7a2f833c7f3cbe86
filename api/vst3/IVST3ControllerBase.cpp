#include "api/vst3/IVST3ControllerBase.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "api/vst3/IVST3Text.h"
#include "core/IPluginBase.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace plugkit {

namespace {

// Names of controllers 0-127 as hosts list them; "Contr. N" where the MIDI
// standard assigns nothing. Then channel aftertouch and pitch bend.
const char* const kControllerNames[IVST3ControllerBase::kMidiParamsPerChannel] = {
  "BankSel.MSB", "Modulation", "BreathCtrl", "Contr. 3", "Foot Ctrl", "Porta.Time", "DataEntMSB",
  "MainVolume", "Balance", "Contr. 9", "Pan", "Expression", "FXControl1", "FXControl2", "Contr. 14",
  "Contr. 15", "Gen.Purp.1", "Gen.Purp.2", "Gen.Purp.3", "Gen.Purp.4", "Contr. 20", "Contr. 21",
  "Contr. 22", "Contr. 23", "Contr. 24", "Contr. 25", "Contr. 26", "Contr. 27", "Contr. 28", "Contr. 29",
  "Contr. 30", "Contr. 31", "BankSel.LSB", "Modul. LSB", "BrthCt LSB", "Contr. 35", "FootCt LSB",
  "Port.T LSB", "DataEntLSB", "MainVolLSB", "BalanceLSB", "Contr. 41", "Pan LSB", "Expr. LSB",
  "Contr. 44", "Contr. 45", "Contr. 46", "Contr. 47", "Gen.P.1LSB", "Gen.P.2LSB", "Gen.P.3LSB",
  "Gen.P.4LSB", "Contr. 52", "Contr. 53", "Contr. 54", "Contr. 55", "Contr. 56", "Contr. 57",
  "Contr. 58", "Contr. 59", "Contr. 60", "Contr. 61", "Contr. 62", "Contr. 63", "Damper Ped",
  "Porta. Ped", "Sostenuto ", "Soft Pedal", "Legato Sw", "Hold 2", "SoundCont 1", "SoundCont 2",
  "SoundCont 3", "SoundCont 4", "SoundCont 5", "SoundCont 6", "SoundCont 7", "SoundCont 8",
  "SoundCont 9", "SoundCont 10", "Gen.Purp.5", "Gen.Purp.6", "Gen.Purp.7", "Gen.Purp.8", "Portamento",
  "Contr. 85", "Contr. 86", "Contr. 87", "Contr. 88", "Contr. 89", "Contr. 90", "FX 1 Depth",
  "FX 2 Depth", "FX 3 Depth", "FX 4 Depth", "FX 5 Depth", "Data Incr", "Data Decr", "Non-RegLSB",
  "Non-RegMSB", "Reg LSB", "Reg MSB", "Contr. 102", "Contr. 103", "Contr. 104", "Contr. 105",
  "Contr. 106", "Contr. 107", "Contr. 108", "Contr. 109", "Contr. 110", "Contr. 111", "Contr. 112",
  "Contr. 113", "Contr. 114", "Contr. 115", "Contr. 116", "Contr. 117", "Contr. 118", "Contr. 119",
  "Contr. 120", "Reset Ctrl", "Local Ctrl", "AllNoteOff", "OmniModOff", "OmniModeOn", "MonoModeOn",
  "PolyModeOn", "Channel Aftertouch", "Pitch Bend"};

constexpr int32_t kPitchBendController = 129;

void AddUnit(EditControllerEx1& controller, const char* name, UnitID id, UnitID parent) {
  String128 wide{};
  Utf8ToVST3Text(name, wide, 128);
  controller.addUnit(new Unit(wide, id, parent, kNoProgramListId));
}

// The unit of a group name: 0 for no group; otherwise its 1-based position in
// groups, appending the name (and its unit) when it is new.
UnitID UnitForGroup(const char* group, std::vector<std::string>& groups, EditControllerEx1& controller) {
  if (!group || group[0] == 0) return kRootUnitId;
  for (size_t i = 0; i < groups.size(); ++i)
    if (groups[i] == group) return static_cast<UnitID>(i + 1);
  groups.emplace_back(group);
  const auto id = static_cast<UnitID>(groups.size());
  AddUnit(controller, group, id, kRootUnitId);
  return id;
}

} // namespace

bool IVST3ControllerBase::DecodeMidiParamId(ParamID id, int32_t& channel, int32_t& controller) {
  if (id < kMidiParamBase) return false;
  const uint32_t offset = id - kMidiParamBase;
  if (offset >= static_cast<uint32_t>(kMidiChannels * kMidiParamsPerChannel)) return false;
  channel = static_cast<int32_t>(offset / kMidiParamsPerChannel);
  controller = static_cast<int32_t>(offset % kMidiParamsPerChannel);
  return true;
}

const char* IVST3ControllerBase::MidiControllerName(int32_t controller) {
  return controller >= 0 && controller < kMidiParamsPerChannel ? kControllerNames[controller] : "";
}

void IVST3ControllerBase::BuildHostParameters(IPluginBase& plugin, EditControllerEx1& controller,
                                              ParameterContainer& container, bool isInstrument,
                                              bool takesMidiInput) {
  AddUnit(controller, "Root", kRootUnitId, kNoParentUnitId);

  if (!isInstrument) {
    BypassParameter = new IVST3BypassParameter();
    container.addParameter(BypassParameter);
  }

  std::vector<std::string> groups;
  for (int32_t i = 0; i < plugin.ParamCount(); ++i) {
    IParam* param = plugin.GetParam(i);
    const UnitID unit = UnitForGroup(param->Group(), groups, controller);
    container.addParameter(new IVST3Parameter(param, static_cast<ParamID>(i), unit));
  }

  if (!takesMidiInput) return;
  const UnitID midiUnit = controller.getUnitCount() + 1;
  AddUnit(controller, "MIDI CCs", midiUnit, kRootUnitId);
  char channelName[16];
  std::snprintf(channelName, sizeof channelName, "CH%i", 1);
  const UnitID channelUnit = controller.getUnitCount() + 1;
  AddUnit(controller, channelName, channelUnit, midiUnit);
  for (int32_t c = 0; c < kMidiParamsPerChannel; ++c) {
    String128 title{};
    Utf8ToVST3Text(kControllerNames[c], title, 128);
    const double initial = c == kPitchBendController ? 0.5 : 0.0;
    container.addParameter(title, nullptr, 0, initial, ParameterInfo::kNoFlags,
                           static_cast<int32>(kMidiParamBase + c), channelUnit);
  }
}

// --- The view the controller asks -------------------------------------------------

// A host may make a view only to ask its size while another shows the
// editor; the one the user sees keeps its place.
void IVST3ControllerBase::OnViewCreated(IVST3View& view) {
  if (!mEditorShownIn) mEditorView = &view;
}

void IVST3ControllerBase::OnViewShowsEditor(IVST3View& view) {
  mEditorShownIn = &view;
  mEditorView = &view;
  ++mEditorGeneration;
}

void IVST3ControllerBase::OnViewHidesEditor(IVST3View& view) {
  if (mEditorShownIn != &view) return;
  mEditorShownIn = nullptr;
  ++mEditorGeneration;
}

void IVST3ControllerBase::OnViewGone(IVST3View& view) {
  if (mEditorShownIn == &view) mEditorShownIn = nullptr;
  if (mEditorView == &view) mEditorView = mEditorShownIn;
}

} // namespace plugkit
