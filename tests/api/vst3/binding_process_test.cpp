// The process call: host parameter changes, bypass, buffers that hosts may
// leave out, long blocks, transport, and MIDI and SysEx in and out.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "tests/api/vst3/midi_probe.h"
#include "tests/api/vst3/vst3_fixture.h"
#include "tests/core/lock_probe.h"
#include "tests/hosts/vst3/EventList.h"
#include "tests/hosts/vst3/ParameterChanges.h"

namespace vst3test {
namespace {

using plugkit::IVST3ControllerBase;
constexpr ParamID kBypass = IVST3ControllerBase::kBypassParamId;

class VST3Process : public ::testing::Test {
protected:
  void TearDown() override {
    plugin->setProcessing(false);
    plugin->setActive(false);
    plugin->terminate();
  }
  Held<TProbe> plugin{new TProbe()};
};

TEST_F(VST3Process, HostParameterChangesReachTheProduct) {
  Start(*plugin);
  vst3host::ParameterChanges changes;
  changes.Add(0, 0, 0.5);
  changes.Add(0, 100, 1.0); // the last point of a queue counts
  changes.Add(2, 10, 0.25);
  changes.Add(4242, 0, 1.0); // unknown ids are passed over
  Signal<float> in = Ramp<float>(2, 256), out(2, 256);
  plugin->changes.clear();
  ASSERT_EQ(ProcessBlock(*plugin, in.pointers.data(), 2, out.pointers.data(), 2, 256, {&changes}), kResultOk);

  EXPECT_EQ(plugin->GetParam(Coarse)->Value(), 12.0);
  EXPECT_EQ(plugin->GetParam(Mix)->Value(), 25.0);
  ASSERT_EQ(plugin->changes.size(), 2u);
  EXPECT_EQ(plugin->changes[0].index, 0);
  EXPECT_EQ(plugin->changes[0].source, plugkit::IChangeSource::Host);
  EXPECT_EQ(plugin->changes[0].sampleOffset, 100);
  EXPECT_EQ(plugin->changes[1].index, 2);
  EXPECT_EQ(plugin->CoarseSemitones, 12);
  EXPECT_DOUBLE_EQ(plugin->WetGain, std::sin(0.25 * 1.5707963267948966));
  EXPECT_DOUBLE_EQ(plugin->getParamNormalized(0), 1.0);
}

// A state call or program change holds the state lock on its own thread for
// as long as it takes; process, with its parameter changes, and the
// parameter values go on without it.
TEST_F(VST3Process, ProcessAndParametersGoOnWhileAStateCallHoldsTheLock) {
  Start(*plugin);
  tresult processed = kResultFalse;
  double mix = -1.0;
  const bool finished = plugkit::FinishesWhileLocked(plugin->StateLock(), [&] {
    vst3host::ParameterChanges changes;
    changes.Add(0, 0, 1.0);
    changes.Add(kBypass, 0, 0.0);
    Signal<float> in = Ramp<float>(2, 256), out(2, 256);
    processed = ProcessBlock(*plugin, in.pointers.data(), 2, out.pointers.data(), 2, 256, {&changes});
    plugin->setParamNormalized(2, 0.25);
    mix = plugin->getParamNormalized(2);
  });
  EXPECT_TRUE(finished) << "process or a parameter call waited for the state lock";
  EXPECT_EQ(processed, kResultOk);
  EXPECT_EQ(mix, 0.25);
  EXPECT_EQ(plugin->GetParam(Coarse)->Value(), 12.0);
}

TEST_F(VST3Process, BypassFromTheHostGivesTheInputBackAndIsSaved) {
  Start(*plugin);
  ASSERT_EQ(plugin->setParamNormalized(0, 1.0), kResultOk); // an octave up, fully wet
  vst3host::ParameterChanges on;
  on.Add(kBypass, 0, 1.0);
  Signal<float> in = Ramp<float>(2, 512), out(2, 512);
  ASSERT_EQ(ProcessBlock(*plugin, in.pointers.data(), 2, out.pointers.data(), 2, 512, {&on}), kResultOk);
  EXPECT_EQ(out.data, in.data);
  EXPECT_TRUE(plugin->IsBypassed());
  EXPECT_DOUBLE_EQ(plugin->getParamNormalized(kBypass), 1.0);
  const std::vector<uint8_t> state = SaveState(*plugin);
  ASSERT_EQ(state.size(), 28u);
  EXPECT_EQ(state[24], 1);

  vst3host::ParameterChanges off;
  off.Add(kBypass, 0, 0.0);
  ASSERT_EQ(ProcessBlock(*plugin, in.pointers.data(), 2, out.pointers.data(), 2, 512, {&off}), kResultOk);
  EXPECT_NE(out.data, in.data);
  EXPECT_FALSE(plugin->IsBypassed());
}

TEST_F(VST3Process, BypassInDoublePrecisionToo) {
  Start(*plugin, 48000.0, 256, kSample64);
  ASSERT_EQ(plugin->setParamNormalized(0, 0.0), kResultOk);
  ASSERT_EQ(plugin->setParamNormalized(kBypass, 1.0), kResultOk);
  Signal<double> in = Ramp<double>(2, 256), out(2, 256);
  ASSERT_EQ(ProcessBlock64(*plugin, in.pointers.data(), 2, out.pointers.data(), 2, 256), kResultOk);
  EXPECT_EQ(out.data, in.data);
}

TEST_F(VST3Process, MissingChannelAddressesAreSilenceInAndSkippedOut) {
  Start(*plugin);
  ASSERT_EQ(plugin->setParamNormalized(kBypass, 1.0), kResultOk);
  const int32 n = 64;
  Signal<float> in = Ramp<float>(2, n), out(2, n);
  for (auto& channel : out.data) std::fill(channel.begin(), channel.end(), 9.0f);

  float* halfIn[2] = {in.pointers[0], nullptr};
  ASSERT_EQ(ProcessBlock(*plugin, halfIn, 2, out.pointers.data(), 2, n), kResultOk);
  EXPECT_EQ(out.data[0], in.data[0]);
  EXPECT_EQ(out.data[1], std::vector<float>(n, 0.0f));

  std::fill(out.data[0].begin(), out.data[0].end(), 9.0f);
  float* halfOut[2] = {nullptr, out.pointers[1]};
  ASSERT_EQ(ProcessBlock(*plugin, in.pointers.data(), 2, halfOut, 2, n), kResultOk);
  EXPECT_EQ(out.data[0], std::vector<float>(n, 9.0f));
  EXPECT_EQ(out.data[1], in.data[1]);

  // Whole buses without addresses.
  ASSERT_EQ(ProcessBlock(*plugin, in.pointers.data(), 2, nullptr, 2, n), kResultOk);
  ASSERT_EQ(ProcessBlock(*plugin, nullptr, 2, out.pointers.data(), 2, n), kResultOk);
  EXPECT_EQ(out.data[0], std::vector<float>(n, 0.0f));
  EXPECT_EQ(out.data[1], std::vector<float>(n, 0.0f));
}

TEST_F(VST3Process, BlocksLongerThanAnnouncedStayInsideTheBuffers) {
  Start(*plugin, 44100.0, 64);
  const int32 frames = 200, guard = 8;
  Signal<float> in = Ramp<float>(2, frames + guard), out(2, frames + guard);
  for (auto& channel : out.data) std::fill(channel.begin(), channel.end(), 7.0f);

  ASSERT_EQ(plugin->setParamNormalized(kBypass, 1.0), kResultOk);
  ASSERT_EQ(ProcessBlock(*plugin, in.pointers.data(), 2, out.pointers.data(), 2, frames), kResultOk);
  for (size_t c = 0; c < 2; ++c) {
    EXPECT_TRUE(std::equal(in.data[c].begin(), in.data[c].begin() + frames, out.data[c].begin())) << c;
    EXPECT_EQ(std::vector<float>(out.data[c].begin() + frames, out.data[c].end()), std::vector<float>(guard, 7.0f));
  }

  ASSERT_EQ(plugin->setParamNormalized(kBypass, 0.0), kResultOk);
  ASSERT_EQ(ProcessBlock(*plugin, in.pointers.data(), 2, out.pointers.data(), 2, frames), kResultOk);
  for (size_t c = 0; c < 2; ++c)
    EXPECT_EQ(std::vector<float>(out.data[c].begin() + frames, out.data[c].end()), std::vector<float>(guard, 7.0f));
}

TEST_F(VST3Process, AnInputChannelTheHostDropsReadsSilence) {
  Start(*plugin);
  ASSERT_EQ(plugin->setParamNormalized(kBypass, 1.0), kResultOk);
  Signal<float> in = Ramp<float>(2, 128), out(2, 128);
  ASSERT_EQ(ProcessBlock(*plugin, in.pointers.data(), 2, out.pointers.data(), 2, 128), kResultOk);
  EXPECT_EQ(out.data[1], in.data[1]);
  ASSERT_EQ(ProcessBlock(*plugin, in.pointers.data(), 1, out.pointers.data(), 2, 128), kResultOk);
  EXPECT_EQ(out.data[0], in.data[0]);
  EXPECT_EQ(out.data[1], std::vector<float>(128, 0.0f));
}

TEST_F(VST3Process, InactiveOutputBusIsClearedAndOtherSampleSizesLeaveBuffersAlone) {
  Start(*plugin);
  Signal<float> in = Ramp<float>(2, 32), out(2, 32);
  for (auto& channel : out.data) std::fill(channel.begin(), channel.end(), 3.0f);
  ASSERT_EQ(ProcessBlock(*plugin, in.pointers.data(), 2, out.pointers.data(), 2, 32, {}, 7), kResultOk);
  EXPECT_EQ(out.data[0], std::vector<float>(32, 3.0f));

  plugin->activateBus(kAudio, kOutput, 0, false);
  ASSERT_EQ(ProcessBlock(*plugin, in.pointers.data(), 2, out.pointers.data(), 2, 32), kResultOk);
  EXPECT_EQ(out.data[0], std::vector<float>(32, 0.0f));
  EXPECT_EQ(out.data[1], std::vector<float>(32, 0.0f));
}

// --- Buses the host never activates ---------------------------------------------

// A plug-in with a side-chain input and an auxiliary output, processing with
// the base pass-through (output channel i copies input channel i).
class TSideChainProbe : public plugkit::IVST3Binding {
public:
  static plugkit::IPluginDescriptor Descriptor() {
    plugkit::IPluginDescriptor d;
    d.paramCount = 1;
    d.presetCount = 1;
    d.channelIO = "2.2-2.2";
    d.pluginName = "SideChain";
    d.makerName = "Corvath";
    return d;
  }
  TSideChainProbe() : IVST3Binding(Descriptor()) { GetParam(0)->Configure("P", 0.0, 0.0, 1.0, 0.01); }
};

// Everything a host does before processing except activateBus.
void StartWithoutActivatingBuses(plugkit::IVST3Binding& plugin) {
  ASSERT_EQ(plugin.initialize(nullptr), kResultOk);
  ProcessSetup setup{kRealtime, kSample32, 512, 44100.0};
  ASSERT_EQ(plugin.setupProcessing(setup), kResultOk);
  ASSERT_EQ(plugin.setActive(true), kResultOk);
  ASSERT_EQ(plugin.setProcessing(true), kResultOk);
}

void Stop(plugkit::IVST3Binding& plugin) {
  plugin.setProcessing(false);
  plugin.setActive(false);
  plugin.terminate();
}

TEST(VST3Buses, MainBusesAreActiveByDefaultAndAuxiliaryBusesWait) {
  Held<TSideChainProbe> plugin(new TSideChainProbe());
  StartWithoutActivatingBuses(*plugin);
  for (BusDirection dir : {static_cast<BusDirection>(kInput), static_cast<BusDirection>(kOutput)}) {
    ASSERT_EQ(plugin->getBusCount(kAudio, dir), 2);
    const struct {
      int32 index;
      BusType type;
      uint32 flags;
    } buses[] = {{0, kMain, BusInfo::kDefaultActive}, {1, kAux, 0}};
    for (const auto& b : buses) {
      BusInfo info{};
      ASSERT_EQ(plugin->getBusInfo(kAudio, dir, b.index, info), kResultTrue);
      EXPECT_EQ(info.busType, b.type) << dir << " " << b.index;
      EXPECT_EQ(info.flags, b.flags) << dir << " " << b.index;
    }
  }

  // The main buses carry audio; the auxiliary output is cleared and the side
  // chain is not read until the host activates them.
  const int32 n = 32;
  Signal<float> in = Ramp<float>(4, n), out(4, n);
  for (auto& channel : out.data) std::fill(channel.begin(), channel.end(), 5.0f);
  AudioBusBuffers inputs[2] = {HostBus(2, &in.pointers[0]), HostBus(2, &in.pointers[2])};
  AudioBusBuffers outputs[2] = {HostBus(2, &out.pointers[0]), HostBus(2, &out.pointers[2])};
  ProcessData data;
  data.processMode = kRealtime;
  data.symbolicSampleSize = kSample32;
  data.numSamples = n;
  data.numInputs = 2;
  data.numOutputs = 2;
  data.inputs = inputs;
  data.outputs = outputs;
  ASSERT_EQ(plugin->process(data), kResultOk);
  EXPECT_EQ(out.data[0], in.data[0]);
  EXPECT_EQ(out.data[1], in.data[1]);
  EXPECT_EQ(out.data[2], std::vector<float>(n, 0.0f));
  EXPECT_EQ(out.data[3], std::vector<float>(n, 0.0f));

  ASSERT_EQ(plugin->activateBus(kAudio, kInput, 1, true), kResultTrue);
  ASSERT_EQ(plugin->activateBus(kAudio, kOutput, 1, true), kResultTrue);
  ASSERT_EQ(plugin->process(data), kResultOk);
  EXPECT_EQ(out.data, in.data);
  Stop(*plugin);
}

TEST(VST3Buses, TessivoSoundsWithoutAnyActivateBus) {
  Held<TProbe> plugin(new TProbe());
  StartWithoutActivatingBuses(*plugin);
  for (BusDirection dir : {static_cast<BusDirection>(kInput), static_cast<BusDirection>(kOutput)}) {
    BusInfo info{};
    ASSERT_EQ(plugin->getBusInfo(kAudio, dir, 0, info), kResultTrue);
    EXPECT_EQ(info.flags, static_cast<uint32>(BusInfo::kDefaultActive)) << dir;
  }

  // Bypassed: the input comes back unchanged.
  const int32 n = 512;
  Signal<float> in = Ramp<float>(2, n), out(2, n);
  ASSERT_EQ(plugin->setParamNormalized(kBypass, 1.0), kResultOk);
  ASSERT_EQ(ProcessBlock(*plugin, in.pointers.data(), 2, out.pointers.data(), 2, n), kResultOk);
  EXPECT_EQ(out.data, in.data);

  // An octave up, fully wet: once the delay line has filled, the shifted
  // signal comes out, and it is not the input.
  ASSERT_EQ(plugin->setParamNormalized(kBypass, 0.0), kResultOk);
  ASSERT_EQ(plugin->setParamNormalized(0, 1.0), kResultOk);
  Signal<float> tone(2, n);
  double peak = 0.0;
  for (int32 block = 0, t = 0; block < 16; ++block) {
    for (int32 i = 0; i < n; ++i, ++t)
      for (auto& channel : tone.data) channel[static_cast<size_t>(i)] = static_cast<float>(0.5 * std::sin(0.05 * t));
    ASSERT_EQ(ProcessBlock(*plugin, tone.pointers.data(), 2, out.pointers.data(), 2, n), kResultOk);
    for (const auto& channel : out.data)
      for (float v : channel) peak = std::max(peak, std::fabs(static_cast<double>(v)));
  }
  EXPECT_GT(peak, 0.1);
  EXPECT_NE(out.data[0], tone.data[0]);
  Stop(*plugin);
}

TEST_F(VST3Process, TransportFollowsTheLastContext) {
  Start(*plugin);
  Signal<float> in(2, 16), out(2, 16);
  ASSERT_EQ(ProcessBlock(*plugin, in.pointers.data(), 2, out.pointers.data(), 2, 16), kResultOk);
  EXPECT_EQ(plugin->Transport().samplePosition, -1.0);
  EXPECT_FALSE(plugin->Transport().isPlaying);

  ProcessContext context{};
  context.state = ProcessContext::kPlaying | ProcessContext::kCycleActive | ProcessContext::kTempoValid |
                  ProcessContext::kTimeSigValid;
  context.tempo = 90.0;
  context.projectTimeSamples = 1000;
  context.projectTimeMusic = 1.5;
  context.barPositionMusic = 1.0;
  context.cycleStartMusic = 4.0;
  context.cycleEndMusic = 8.0;
  context.timeSigNumerator = 3;
  context.timeSigDenominator = 8;
  ASSERT_EQ(ProcessBlock(*plugin, in.pointers.data(), 2, out.pointers.data(), 2, 16, {nullptr, nullptr, nullptr, &context}),
            kResultOk);
  // Blocks without a context keep the last one.
  ASSERT_EQ(ProcessBlock(*plugin, in.pointers.data(), 2, out.pointers.data(), 2, 16), kResultOk);
  const plugkit::ITransportState& t = plugin->Transport();
  EXPECT_EQ(t.tempoBpm, 90.0);
  EXPECT_EQ(t.samplePosition, 1000.0);
  EXPECT_EQ(t.beatPosition, 1.5);
  EXPECT_EQ(t.barStartBeat, 1.0);
  EXPECT_EQ(t.loopStartBeat, 4.0);
  EXPECT_EQ(t.loopEndBeat, 8.0);
  EXPECT_EQ(t.meterNumerator, 3);
  EXPECT_EQ(t.meterDenominator, 8);
  EXPECT_TRUE(t.isPlaying);
  EXPECT_TRUE(t.isLooping);
}

// Tempo and meter count only when the host flags them valid and they make
// sense; otherwise the defaults stay, whatever the fields hold. The sample
// position is taken from every context.
TEST_F(VST3Process, TempoAndMeterNeedTheirValidityFlags) {
  Start(*plugin);
  constexpr uint32 kTempo = ProcessContext::kTempoValid;
  constexpr uint32 kMeter = ProcessContext::kTimeSigValid;
  const double nan = std::nan("");
  const struct {
    const char* what;
    uint32 state;
    double tempo;
    int32 numerator, denominator;
    double expectedTempo;
    int32 expectedNumerator, expectedDenominator;
  } cases[] = {
      {"both valid", kTempo | kMeter, 90.0, 7, 8, 90.0, 7, 8},
      {"nothing flagged", 0, 90.0, 7, 8, 120.0, 4, 4},
      {"a zeroed context", 0, 0.0, 0, 0, 120.0, 4, 4},
      {"flagged, all zero", kTempo | kMeter, 0.0, 0, 0, 120.0, 4, 4},
      {"only the tempo flagged", kTempo, 90.0, 7, 8, 90.0, 4, 4},
      {"only the meter flagged", kMeter, 90.0, 7, 8, 120.0, 7, 8},
      {"negative tempo", kTempo | kMeter, -60.0, 7, 8, 120.0, 7, 8},
      {"tempo not a number", kTempo | kMeter, nan, 7, 8, 120.0, 7, 8},
      {"infinite tempo", kTempo | kMeter, HUGE_VAL, 7, 8, 120.0, 7, 8},
      {"zero denominator", kTempo | kMeter, 90.0, 3, 0, 90.0, 4, 4},
      {"zero numerator", kTempo | kMeter, 90.0, 0, 8, 90.0, 4, 4},
      {"negative numerator", kTempo | kMeter, 90.0, -3, 8, 90.0, 4, 4},
      {"negative denominator", kTempo | kMeter, 90.0, 3, -8, 90.0, 4, 4},
  };
  Signal<float> in(2, 16), out(2, 16);
  TSamples position = 0;
  for (const auto& c : cases) {
    ProcessContext context{};
    context.state = c.state;
    context.tempo = c.tempo;
    context.timeSigNumerator = c.numerator;
    context.timeSigDenominator = c.denominator;
    context.projectTimeSamples = position += 16;
    const BlockExtras extras{nullptr, nullptr, nullptr, &context};
    ASSERT_EQ(ProcessBlock(*plugin, in.pointers.data(), 2, out.pointers.data(), 2, 16, extras), kResultOk) << c.what;
    const plugkit::ITransportState& t = plugin->Transport();
    EXPECT_EQ(t.tempoBpm, c.expectedTempo) << c.what;
    EXPECT_EQ(t.meterNumerator, c.expectedNumerator) << c.what;
    EXPECT_EQ(t.meterDenominator, c.expectedDenominator) << c.what;
    EXPECT_EQ(t.samplePosition, static_cast<double>(position)) << c.what;
  }
}

TEST_F(VST3Process, SetUpAndSwitchingOffRestartTheStream) {
  ASSERT_EQ(plugin->initialize(nullptr), kResultOk);
  ProcessSetup setup{kOffline, kSample32, 256, 96000.0};
  ASSERT_EQ(plugin->setupProcessing(setup), kResultOk);
  EXPECT_EQ(plugin->streamResets, 1);
  EXPECT_EQ(plugin->LineLength, 8192);
  EXPECT_EQ(plugin->BlockSize(), 256);
  ASSERT_EQ(plugin->setProcessing(true), kResultOk);
  EXPECT_EQ(plugin->streamResets, 1);
  Signal<float> in(2, 16), out(2, 16);
  ASSERT_EQ(ProcessBlock(*plugin, in.pointers.data(), 2, out.pointers.data(), 2, 16), kResultOk);
  EXPECT_TRUE(plugin->IsRenderingOffline());
  ASSERT_EQ(plugin->setProcessing(false), kResultOk);
  EXPECT_EQ(plugin->streamResets, 2);
}

// --- MIDI ---------------------------------------------------------------------

class VST3Midi : public ::testing::Test {
protected:
  void SetUp() override { Start(*plugin); }
  void TearDown() override {
    plugin->setProcessing(false);
    plugin->setActive(false);
    plugin->terminate();
  }
  tresult Run(const BlockExtras& extras, int32 frames = 64) {
    return ProcessBlock(*plugin, in.pointers.data(), 2, out.pointers.data(), 2, frames, extras);
  }
  Held<TMidiProbe> plugin{new TMidiProbe()};
  Signal<float> in{2, 64};
  Signal<float> out{2, 64};
};

Event NoteOn(int32 offset, int16 channel, int16 pitch, float velocity) {
  Event e{};
  e.type = Event::kNoteOnEvent;
  e.sampleOffset = offset;
  e.noteOn.channel = channel;
  e.noteOn.pitch = pitch;
  e.noteOn.velocity = velocity;
  return e;
}

TEST_F(VST3Midi, HostEventsBecomeMidiAndSysEx) {
  vst3host::EventList events;
  Event e = NoteOn(3, 1, 60, 0.5f);
  events.addEvent(e);
  e = NoteOn(4, 0, 61, 2.0f); // out-of-range velocity is held at 127
  events.addEvent(e);
  e = Event{};
  e.type = Event::kNoteOffEvent;
  e.sampleOffset = 7;
  e.noteOff.channel = 1;
  e.noteOff.pitch = 60;
  events.addEvent(e);
  e = Event{};
  e.type = Event::kPolyPressureEvent;
  e.sampleOffset = 8;
  e.polyPressure.channel = 2;
  e.polyPressure.pitch = 61;
  e.polyPressure.pressure = 1.0f;
  events.addEvent(e);
  const uint8 sysex[] = {0xF0, 0x7D, 0x01, 0xF7};
  e = Event{};
  e.type = Event::kDataEvent;
  e.sampleOffset = 9;
  e.data.type = DataEvent::kMidiSysEx;
  e.data.size = sizeof sysex;
  e.data.bytes = sysex;
  events.addEvent(e);

  ASSERT_EQ(Run({nullptr, &events}), kResultOk);
  const struct {
    int32_t offset;
    uint8_t status, data1, data2;
  } expected[] = {{3, 0x91, 60, 63}, {4, 0x90, 61, 127}, {7, 0x81, 60, 0}, {8, 0xA2, 61, 127}};
  ASSERT_EQ(plugin->midi.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(plugin->midi[i].frameOffset, expected[i].offset);
    EXPECT_EQ(plugin->midi[i].status, expected[i].status);
    EXPECT_EQ(plugin->midi[i].data1, expected[i].data1);
    EXPECT_EQ(plugin->midi[i].data2, expected[i].data2);
  }
  EXPECT_EQ(plugin->MidiToEditorQueue().Count(), 4);
  ASSERT_EQ(plugin->sysex.size(), 1u);
  EXPECT_EQ(plugin->sysex[0].frameOffset, 9);
  EXPECT_EQ(plugin->sysex[0].bytes, std::vector<uint8_t>(sysex, sysex + 4));
}

TEST_F(VST3Midi, OutgoingMidiLeavesInFrameOrderWithItsDataBytes) {
  const plugkit::IMidiShortMessage queued[] = {
    {5, 0xB0, 7, 100}, {3, 0x90, 60, 127}, {3, 0x80, 61, 0}, {9, 0xE2, 0x12, 0x34}, {2, 0xF8, 0, 0}};
  for (const auto& m : queued) EXPECT_TRUE(plugin->SendMidiToHost(m));

  vst3host::EventList output;
  ASSERT_EQ(Run({nullptr, nullptr, &output}), kResultOk);
  EXPECT_EQ(plugin->PendingMidiOut(), 0);
  ASSERT_EQ(output.getEventCount(), 4); // the clock message has no event
  Event e{};
  output.getEvent(0, e);
  EXPECT_EQ(e.type, Event::kNoteOnEvent);
  EXPECT_EQ(e.sampleOffset, 3);
  EXPECT_EQ(e.noteOn.pitch, 60);
  EXPECT_FLOAT_EQ(e.noteOn.velocity, 1.0f);
  output.getEvent(1, e);
  EXPECT_EQ(e.type, Event::kNoteOffEvent);
  EXPECT_EQ(e.sampleOffset, 3);
  EXPECT_EQ(e.noteOff.pitch, 61);
  output.getEvent(2, e);
  EXPECT_EQ(e.type, Event::kLegacyMIDICCOutEvent);
  EXPECT_EQ(e.sampleOffset, 5);
  EXPECT_EQ(e.midiCCOut.controlNumber, 7);
  EXPECT_EQ(e.midiCCOut.value, 100);
  output.getEvent(3, e);
  EXPECT_EQ(e.type, Event::kLegacyMIDICCOutEvent);
  EXPECT_EQ(e.sampleOffset, 9);
  EXPECT_EQ(e.midiCCOut.controlNumber, 129); // pitch bend
  EXPECT_EQ(e.midiCCOut.channel, 2);
  EXPECT_EQ(e.midiCCOut.value, 0x12);
  EXPECT_EQ(e.midiCCOut.value2, 0x34);
}

TEST_F(VST3Midi, WithoutAnOutputListMidiWaitsForTheNextBlock) {
  EXPECT_TRUE(plugin->SendMidiToHost({40, 0x90, 60, 100}));
  ASSERT_EQ(Run({}, 32), kResultOk);
  ASSERT_EQ(plugin->PendingMidiOut(), 1);
  EXPECT_EQ(plugin->PendingMidiOutAt(0)->frameOffset, 8);
  vst3host::EventList output;
  ASSERT_EQ(Run({nullptr, nullptr, &output}, 32), kResultOk);
  ASSERT_EQ(output.getEventCount(), 1);
  Event e{};
  output.getEvent(0, e);
  EXPECT_EQ(e.sampleOffset, 8);
}

TEST_F(VST3Midi, EachSysExMessageOfABlockKeepsItsOwnBytes) {
  const uint8_t first[] = {0xF0, 0x01, 0xF7};
  const uint8_t second[] = {0xF0, 0x02, 0x03, 0xF7};
  plugin->QueueSysExForProcessor({1, 3, first});
  plugin->QueueSysExForProcessor({2, 4, second});
  vst3host::EventList output;
  ASSERT_EQ(Run({nullptr, nullptr, &output}), kResultOk);
  ASSERT_EQ(output.getEventCount(), 2);
  Event a{}, b{};
  output.getEvent(0, a);
  output.getEvent(1, b);
  ASSERT_EQ(a.type, Event::kDataEvent);
  ASSERT_EQ(b.type, Event::kDataEvent);
  EXPECT_EQ(a.sampleOffset, 1);
  EXPECT_EQ(std::vector<uint8_t>(a.data.bytes, a.data.bytes + a.data.size), std::vector<uint8_t>(first, first + 3));
  EXPECT_EQ(std::vector<uint8_t>(b.data.bytes, b.data.bytes + b.data.size), std::vector<uint8_t>(second, second + 4));
}

TEST_F(VST3Midi, MappedControllerChangesArriveAsMidi) {
  vst3host::ParameterChanges changes;
  changes.Add(0x10002 + 7, 4, 1.0);   // volume
  changes.Add(0x10002 + 128, 5, 0.5); // channel aftertouch
  changes.Add(0x10002 + 129, 6, 0.5); // pitch bend, centre
  ASSERT_EQ(Run({&changes}), kResultOk);
  const struct {
    int32_t offset;
    uint8_t status, data1, data2;
  } expected[] = {{4, 0xB0, 7, 127}, {5, 0xD0, 64, 0}, {6, 0xE0, 0x00, 0x40}};
  ASSERT_EQ(plugin->midi.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(plugin->midi[i].frameOffset, expected[i].offset) << i;
    EXPECT_EQ(plugin->midi[i].status, expected[i].status) << i;
    EXPECT_EQ(plugin->midi[i].data1, expected[i].data1) << i;
    EXPECT_EQ(plugin->midi[i].data2, expected[i].data2) << i;
  }
}

} // namespace
} // namespace vst3test
