#pragma once
// A plug-in on the VST 3 binding that takes and sends MIDI, for the paths
// Tessivo does not use: event buses, MIDI-controller parameters and units,
// incoming and outgoing MIDI and SysEx. Its three parameters sit in the
// groups "A", "B", "A". MIDI it receives is recorded and passed on to the
// host; SysEx is recorded.

#include <cstdint>
#include <vector>

#include "api/vst3/IVST3Binding.h"
#include "core/IParam.h"

namespace vst3test {

struct SysExRecord {
  int32_t frameOffset;
  std::vector<uint8_t> bytes;
};

class TMidiProbe : public plugkit::IVST3Binding {
public:
  static plugkit::IPluginDescriptor Descriptor() {
    plugkit::IPluginDescriptor d;
    d.paramCount = 3;
    d.presetCount = 1;
    d.channelIO = "2-2";
    d.pluginName = "Probe";
    d.makerName = "Corvath";
    d.midiIn = true;
    d.midiOut = true;
    return d;
  }

  TMidiProbe() : IVST3Binding(Descriptor()) {
    const char* const groups[] = {"A", "B", "A"};
    for (int32_t i = 0; i < 3; ++i) GetParam(i)->Configure("P", 0.0, 0.0, 1.0, 0.01, "", 0, groups[i]);
  }

  void OnMidiIn(const plugkit::IMidiShortMessage& message) override {
    midi.push_back(message);
    IVST3Binding::OnMidiIn(message);
  }
  void OnSysExIn(const plugkit::ISysExView& view) override {
    sysex.push_back({view.frameOffset, std::vector<uint8_t>(view.data, view.data + view.size)});
  }

  using plugkit::IVST3Binding::MidiToEditorQueue;

  std::vector<plugkit::IMidiShortMessage> midi;
  std::vector<SysExRecord> sysex;
};

} // namespace vst3test
