// The record's audio and parameter entries, and the calls the plug-in makes
// to its host.

#include <algorithm>
#include <cmath>
#include <string>
#include <thread>

#include "tests/api/vst2/vst2_fixture.h"
#include "tests/core/lock_probe.h"
#include "tests/support/message_pump.h"

namespace vst2test {
namespace {

constexpr float kGuard = 1234.5f;

enum class Entry { Replacing, Accumulating, Double };

// Runs frames of the signal through one entry call per `step` frames.
// Output buffers start at `initial`; each carries a guard area behind it.
template <typename Plugin>
std::vector<std::vector<double>> Render(InProcess<Plugin>& p, Entry entry, const std::vector<std::vector<float>>& in,
                                        int32_t step, float initial, bool* guardsIntact) {
  const int32_t frames = static_cast<int32_t>(in[0].size());
  const int32_t guard = 64;
  std::vector<std::vector<double>> result(2);
  *guardsIntact = true;
  if (entry == Entry::Double) {
    std::vector<std::vector<double>> din(2), dout(2, std::vector<double>(frames + guard, kGuard));
    for (int c = 0; c < 2; ++c) {
      din[c].assign(in[c].begin(), in[c].end());
      std::fill(dout[c].begin(), dout[c].begin() + frames, initial);
    }
    for (int32_t at = 0; at < frames; at += step) {
      double* inputs[] = {din[0].data() + at, din[1].data() + at};
      double* outputs[] = {dout[0].data() + at, dout[1].data() + at};
      p.effect->processDoubleReplacing(p.effect, inputs, outputs, std::min(step, frames - at));
    }
    for (int c = 0; c < 2; ++c) {
      for (int32_t i = frames; i < frames + guard; ++i) *guardsIntact = *guardsIntact && dout[c][i] == kGuard;
      result[c].assign(dout[c].begin(), dout[c].begin() + frames);
    }
    return result;
  }
  std::vector<std::vector<float>> fin = in, fout(2, std::vector<float>(frames + guard, kGuard));
  for (int c = 0; c < 2; ++c) std::fill(fout[c].begin(), fout[c].begin() + frames, initial);
  for (int32_t at = 0; at < frames; at += step) {
    float* inputs[] = {fin[0].data() + at, fin[1].data() + at};
    float* outputs[] = {fout[0].data() + at, fout[1].data() + at};
    const int32_t n = std::min(step, frames - at);
    if (entry == Entry::Replacing)
      p.effect->processReplacing(p.effect, inputs, outputs, n);
    else
      p.effect->process(p.effect, inputs, outputs, n);
  }
  for (int c = 0; c < 2; ++c) {
    for (int32_t i = frames; i < frames + guard; ++i) *guardsIntact = *guardsIntact && fout[c][i] == kGuard;
    result[c].assign(fout[c].begin(), fout[c].begin() + frames);
  }
  EXPECT_EQ(fin, in) << "the entry wrote into its inputs";
  return result;
}

void Configure(InProcess<TProbe>& p, int32_t blockSize) {
  p.Start(44100.0f, blockSize);
  p.Set(Coarse, 0.75f);
  p.Set(Mix, 0.6f);
}

// A host block longer than the announced block size is processed in pieces
// that fit the scratch: nothing is written past the host's buffers, and the
// result equals that of a host that kept to the block size.
TEST(Process, LongBlocksGiveTheSameAudioAsShortOnes) {
  const auto signal = TestSignal(1000);
  for (Entry entry : {Entry::Replacing, Entry::Accumulating, Entry::Double}) {
    SCOPED_TRACE(static_cast<int>(entry));
    const float initial = entry == Entry::Accumulating ? 0.125f : 9.0f;
    InProcess<TProbe> reference, longBlocks;
    Configure(reference, 64);
    Configure(longBlocks, 64);
    bool referenceGuards = false, longGuards = false;
    const auto expected = Render(reference, entry, signal, 64, initial, &referenceGuards);
    const auto actual = Render(longBlocks, entry, signal, 1000, initial, &longGuards);
    EXPECT_TRUE(referenceGuards);
    EXPECT_TRUE(longGuards);
    EXPECT_EQ(actual, expected);
    // And it is audio, not silence.
    const double base = entry == Entry::Accumulating ? initial : 0.0;
    double level = 0.0;
    for (double s : actual[0]) level += std::fabs(s - base);
    EXPECT_GT(level, 10.0);
  }
}

// A program change or chunk call holds the state lock on its own thread for
// as long as it takes; the audio entries, host events and parameter values
// go on without it.
TEST(Process, AudioAndParametersGoOnWhileAStateCallHoldsTheLock) {
  const auto signal = TestSignal(512);
  InProcess<TProbe> p;
  Configure(p, 512);
  float mix = 0.0f;
  const bool finished = plugkit::FinishesWhileLocked(p.plugin->StateLock(), [&] {
    bool guards = false;
    for (Entry entry : {Entry::Replacing, Entry::Accumulating, Entry::Double})
      Render(p, entry, signal, 512, 0.0f, &guards);
    VstEvents none{};
    p.Dispatch(effProcessEvents, 0, 0, &none);
    p.Set(Mix, 0.25f);
    mix = p.Get(Mix);
  });
  EXPECT_TRUE(finished) << "an audio-thread entry waited for the state lock";
  EXPECT_EQ(mix, 0.25f);
}

TEST(Process, AccumulatingAddsToWhatTheOutputsHold) {
  const auto signal = TestSignal(200);
  InProcess<TProbe> a, b;
  Configure(a, 512);
  Configure(b, 512);
  bool guards = false;
  const auto replaced = Render(a, Entry::Replacing, signal, 200, 0.0f, &guards);
  const auto added = Render(b, Entry::Accumulating, signal, 200, 0.5f, &guards);
  for (int c = 0; c < 2; ++c)
    for (size_t i = 0; i < replaced[c].size(); ++i)
      ASSERT_EQ(added[c][i], static_cast<double>(0.5f + static_cast<float>(replaced[c][i]))) << i;
}

// Many hosts hand the same buffers in and out. The replacing entries read a
// frame's input before they write its output, so in place gives exactly the
// audio of separate buffers, in long blocks too.
TEST(Process, InPlaceBuffersGiveTheSameAudioAsSeparateOnes) {
  const auto signal = TestSignal(1000);
  for (Entry entry : {Entry::Replacing, Entry::Double}) {
    for (int32_t step : {64, 1000}) {
      SCOPED_TRACE(std::to_string(static_cast<int>(entry)) + " step " + std::to_string(step));
      InProcess<TProbe> separate, inPlace;
      Configure(separate, 64);
      Configure(inPlace, 64);
      bool guards = false;
      const auto expected = Render(separate, entry, signal, step, 0.0f, &guards);
      std::vector<std::vector<double>> actual(2);
      const int32_t frames = static_cast<int32_t>(signal[0].size());
      if (entry == Entry::Double) {
        std::vector<std::vector<double>> io(2);
        for (int c = 0; c < 2; ++c) io[c].assign(signal[c].begin(), signal[c].end());
        for (int32_t at = 0; at < frames; at += step) {
          double* buffers[] = {io[0].data() + at, io[1].data() + at};
          inPlace.effect->processDoubleReplacing(inPlace.effect, buffers, buffers, std::min(step, frames - at));
        }
        actual = io;
      } else {
        std::vector<std::vector<float>> io = signal;
        for (int32_t at = 0; at < frames; at += step) {
          float* buffers[] = {io[0].data() + at, io[1].data() + at};
          inPlace.effect->processReplacing(inPlace.effect, buffers, buffers, std::min(step, frames - at));
        }
        for (int c = 0; c < 2; ++c) actual[c].assign(io[c].begin(), io[c].end());
      }
      EXPECT_EQ(actual, expected);
    }
  }
}

TEST(Process, EmptyBlocksChangeNothing) {
  InProcess<TProbe> p;
  Configure(p, 64);
  const int32_t writeIndex = p.plugin->WriteIndex;
  float sample = kGuard;
  float* buffers[] = {&sample, &sample};
  double dsample = kGuard;
  double* dbuffers[] = {&dsample, &dsample};
  for (int32_t frames : {0, -7}) {
    p.effect->processReplacing(p.effect, buffers, buffers, frames);
    p.effect->process(p.effect, buffers, buffers, frames);
    p.effect->processDoubleReplacing(p.effect, dbuffers, dbuffers, frames);
  }
  EXPECT_EQ(sample, kGuard);
  EXPECT_EQ(dsample, kGuard);
  EXPECT_EQ(p.plugin->WriteIndex, writeIndex);
}

// What the host says about its transport replaces the processor's record
// before every block, in both precisions.
TEST(Process, TransportFromTheHost) {
  VstTimeInfo full{};
  full.samplePos = 4410.0;
  full.ppqPos = 3.5;
  full.tempo = 90.0;
  full.barStartPos = 2.0;
  full.cycleStartPos = 1.0;
  full.cycleEndPos = 5.0;
  full.timeSigNumerator = 7;
  full.timeSigDenominator = 8;
  full.flags = kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid |
               kVstTransportPlaying | kVstTransportCycleActive;
  VstTimeInfo unflagged = full;
  unflagged.flags = 0;
  VstTimeInfo implausible = full;
  implausible.ppqPos = -1.0;
  implausible.tempo = 0.0;
  implausible.barStartPos = -2.0;
  implausible.cycleStartPos = -1.0;
  implausible.timeSigNumerator = 0;

  struct Case {
    const char* name;
    bool provided;
    VstTimeInfo info;
    plugkit::ITransportState expected;
  };
  plugkit::ITransportState defaults;
  plugkit::ITransportState all;
  all.samplePosition = 4410.0;
  all.beatPosition = 3.5;
  all.tempoBpm = 90.0;
  all.barStartBeat = 2.0;
  all.loopStartBeat = 1.0;
  all.loopEndBeat = 5.0;
  all.meterNumerator = 7;
  all.meterDenominator = 8;
  all.isPlaying = all.isLooping = true;
  plugkit::ITransportState positionOnly;
  positionOnly.samplePosition = 4410.0;
  plugkit::ITransportState withFlags = positionOnly;
  withFlags.isPlaying = withFlags.isLooping = true;
  const Case cases[] = {
      {"no answer", false, full, defaults},
      {"everything", true, full, all},
      {"nothing flagged", true, unflagged, positionOnly},
      {"implausible values", true, implausible, withFlags},
  };
  for (const Case& c : cases) {
    for (Entry entry : {Entry::Replacing, Entry::Double}) {
      SCOPED_TRACE(std::string(c.name) + (entry == Entry::Double ? " double" : " float"));
      vst2host::HostSettings settings;
      settings.provideTimeInfo = c.provided;
      settings.timeInfo = c.info;
      InProcess<TProbe> p(settings);
      p.Start(44100.0f, 64);
      bool guards = false;
      Render(p, entry, TestSignal(32), 32, 0.0f, &guards);
      const plugkit::ITransportState& t = p.plugin->Transport();
      EXPECT_EQ(t.samplePosition, c.expected.samplePosition);
      EXPECT_EQ(t.beatPosition, c.expected.beatPosition);
      EXPECT_EQ(t.tempoBpm, c.expected.tempoBpm);
      EXPECT_EQ(t.barStartBeat, c.expected.barStartBeat);
      EXPECT_EQ(t.loopStartBeat, c.expected.loopStartBeat);
      EXPECT_EQ(t.loopEndBeat, c.expected.loopEndBeat);
      EXPECT_EQ(t.meterNumerator, c.expected.meterNumerator);
      EXPECT_EQ(t.meterDenominator, c.expected.meterDenominator);
      EXPECT_EQ(t.isPlaying, c.expected.isPlaying);
      EXPECT_EQ(t.isLooping, c.expected.isLooping);
      const auto calls = p.host.Calls();
      auto time = std::find_if(calls.begin(), calls.end(),
                               [](const vst2host::HostCall& call) { return call.opcode == audioMasterGetTime; });
      ASSERT_NE(time, calls.end());
      EXPECT_EQ(time->value, 0x3e00);
    }
  }
}

TEST(Process, ProcessLevelAndMidiRequests) {
  for (int32_t level : {kVstProcessLevelOffline, kVstProcessLevelRealtime}) {
    vst2host::HostSettings settings;
    settings.processLevel = level;
    InProcess<TProbe> p(settings);
    p.Start();
    bool guards = false;
    Render(p, Entry::Replacing, TestSignal(16), 16, 0.0f, &guards);
    EXPECT_EQ(p.plugin->IsRenderingOffline(), level == kVstProcessLevelOffline);
    Render(p, Entry::Double, TestSignal(16), 16, 0.0f, &guards);
    EXPECT_EQ(p.plugin->IsRenderingOffline(), level == kVstProcessLevelOffline);
    // Tessivo takes no MIDI, so it never asks for it.
    EXPECT_EQ(p.host.CountCalls(audioMasterWantMidi), 0u);
  }

  IPluginDescriptor midi = TBareBinding::PlainDescriptor();
  midi.midiIn = true;
  TBareBinding::NextDescriptor() = midi;
  InProcess<TBareBinding> b;
  float sample = 0.0f;
  float* buffers[] = {&sample, &sample};
  b.effect->processReplacing(b.effect, buffers, buffers, 1);
  b.effect->processReplacing(b.effect, buffers, buffers, 1);
  EXPECT_EQ(b.host.CountCalls(audioMasterWantMidi), 2u);
}

TEST(Parameters, GetAndSet) {
  InProcess<TProbe> p;
  p.Start();
  p.Set(Mix, 0.5f);
  EXPECT_EQ(p.Get(Mix), 0.5f);
  EXPECT_EQ(p.Value(Mix), 50.0);
  EXPECT_EQ(p.plugin->DryGain, std::cos(50 * 0.01 * 1.5707963267948966));
  p.Set(Coarse, 1.0f);
  EXPECT_EQ(p.Value(Coarse), 12.0);
  EXPECT_DOUBLE_EQ(p.plugin->TransposeRatio, std::pow(1.0594631, 12.0));
  p.Set(Coarse, 0.5f);
  EXPECT_EQ(p.Value(Coarse), 0.0);

  // Out of range and non-finite values are ignored.
  p.Set(3, 0.5f);
  p.Set(-1, 0.5f);
  EXPECT_EQ(p.Get(3), 0.0f);
  EXPECT_EQ(p.Get(-1), 0.0f);
  p.plugin->pushes.clear();
  for (float bad : {std::nanf(""), INFINITY, -INFINITY}) p.Set(Mix, bad);
  EXPECT_EQ(p.Value(Mix), 50.0);
  EXPECT_TRUE(p.plugin->pushes.empty());
}

// A host that automates from its audio thread: the value is stored at once,
// the editor hears of it only on the user-interface thread's next tick, which
// the binding's own editor timer brings through this thread's message loop.
TEST(Parameters, SetFromAnotherThreadReachesTheEditorOnTheTick) {
  InProcess<TProbe> p;
  p.Start();
  p.plugin->pushes.clear();
  std::thread audio([&p] { p.Set(Coarse, 1.0f); });
  audio.join();
  EXPECT_EQ(p.Value(Coarse), 12.0);
  EXPECT_DOUBLE_EQ(p.plugin->TransposeRatio, std::pow(1.0594631, 12.0));
  EXPECT_TRUE(p.plugin->pushes.empty());

  ASSERT_TRUE(plugkit::test::PumpUntil("the editor tick", [&] { return !p.plugin->pushes.empty(); }));
  ASSERT_EQ(p.plugin->pushes.size(), 1u);
  EXPECT_EQ(p.plugin->pushes[0].index, Coarse);
  EXPECT_EQ(p.plugin->pushes[0].value, 12.0);
  EXPECT_EQ(p.plugin->pushes[0].thread, GetCurrentThreadId());

  p.Set(Mix, 0.25f);
  ASSERT_EQ(p.plugin->pushes.size(), 2u);
  EXPECT_EQ(p.plugin->pushes[1].value, 25.0);
}

TEST(HostCalls, EditorGesturesAndPresetNotice) {
  InProcess<TProbe> p;
  p.plugin->BeginEditorGesture(Mix);
  p.plugin->SetParamFromEditor(Mix, 0.75);
  p.plugin->EndEditorGesture(Mix);
  p.plugin->NotifyHostPresetChanged();
  const auto calls = p.host.Calls();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].opcode, audioMasterBeginEdit);
  EXPECT_EQ(calls[0].index, Mix);
  EXPECT_EQ(calls[1].opcode, audioMasterAutomate);
  EXPECT_EQ(calls[1].index, Mix);
  EXPECT_EQ(calls[1].opt, 0.75f);
  EXPECT_EQ(calls[2].opcode, audioMasterEndEdit);
  EXPECT_EQ(calls[2].index, Mix);
  EXPECT_EQ(calls[3].opcode, audioMasterUpdateDisplay);
}

TEST(HostCalls, EditorResize) {
  vst2host::HostSettings refusing;
  refusing.sizeWindowAnswer = 0;
  for (bool hostAgrees : {true, false}) {
    InProcess<TProbe> p(hostAgrees ? vst2host::HostSettings() : refusing);
    EXPECT_FALSE(p.plugin->ResizeEditorInHost(250, 160));
    EXPECT_EQ(p.host.CountCalls(audioMasterSizeWindow), 0u);
    for (auto bad : {std::make_pair(0, 100), std::make_pair(100, -1), std::make_pair(40000, 100)})
      EXPECT_FALSE(p.plugin->ResizeEditorInHost(bad.first, bad.second));
    EXPECT_EQ(p.host.CountCalls(audioMasterSizeWindow), 0u);
    EXPECT_EQ(p.plugin->EditorWidth(), 250);

    EXPECT_EQ(p.plugin->ResizeEditorInHost(300, 200), hostAgrees);
    const auto calls = p.host.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].index, 300);
    EXPECT_EQ(calls[0].value, 200);
    EXPECT_EQ(p.plugin->EditorExtent.right, 300);
    EXPECT_EQ(p.plugin->EditorExtent.bottom, 200);
    EXPECT_EQ(p.plugin->EditorWidth(), 300);
    EXPECT_EQ(p.plugin->EditorHeight(), 200);
  }
}

TEST(HostCalls, MidiAndSysExToTheHost) {
  InProcess<TProbe> p;
  EXPECT_TRUE(p.plugin->SendMidiToHost(plugkit::IMidiShortMessage{17, 0x90, 64, 99}));
  const uint8_t bytes[] = {0xf0, 0x01, 0x02, 0xf7};
  EXPECT_TRUE(p.plugin->SendSysExToHost(plugkit::ISysExView{5, 4, bytes}));
  EXPECT_FALSE(p.plugin->SendSysExToHost(plugkit::ISysExView{5, -1, bytes}));
  EXPECT_FALSE(p.plugin->SendSysExToHost(plugkit::ISysExView{5, 4, nullptr}));
  const auto events = p.host.Events();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].type, kVstMidiType);
  EXPECT_EQ(events[0].byteSize, 32);
  EXPECT_EQ(events[0].deltaFrames, 17);
  EXPECT_EQ(events[0].bytes, (std::vector<uint8_t>{0x90, 64, 99}));
  EXPECT_EQ(events[1].type, kVstSysExType);
  EXPECT_EQ(events[1].byteSize, 48);
  EXPECT_EQ(events[1].deltaFrames, 5);
  EXPECT_EQ(events[1].bytes, (std::vector<uint8_t>{0xf0, 0x01, 0x02, 0xf7}));
}

// What the editor queues for the audio thread is handled by the next block:
// MIDI before the audio, SysEx passed on to the host after it.
TEST(HostCalls, EditorMessagesTravelWithTheNextBlock) {
  InProcess<TProbe> p;
  p.Start();
  p.plugin->QueueMidiForProcessor(plugkit::IMidiShortMessage{0, 0xb0, 7, 100});
  const uint8_t bytes[] = {0xf0, 0x42, 0xf7};
  p.plugin->QueueSysExForProcessor(plugkit::ISysExView{2, 3, bytes});
  bool guards = false;
  Render(p, Entry::Double, TestSignal(8), 8, 0.0f, &guards);
  EXPECT_EQ(p.plugin->events, (std::vector<std::string>{"midi 0 176 7 100"}));
  const auto events = p.host.Events();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].bytes, (std::vector<uint8_t>{0xf0, 0x42, 0xf7}));
  Render(p, Entry::Replacing, TestSignal(8), 8, 0.0f, &guards);
  EXPECT_EQ(p.host.Events().size(), 1u);
}

TEST(HostCalls, LatencyReachesTheRecord) {
  InProcess<TProbe> p;
  p.plugin->ChangeLatency(128);
  EXPECT_EQ(p.effect->initialDelay, 128);
  EXPECT_EQ(p.plugin->Latency(), 128);
  EXPECT_EQ(p.host.CountCalls(audioMasterIOChanged), 0u);
}

} // namespace
} // namespace vst2test
