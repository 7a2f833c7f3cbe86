#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <thread>
#include <vector>

#include "core/IProcessor.h"

using namespace plugkit;

namespace {

constexpr IPortDirection kIn = IPortDirection::Input;
constexpr IPortDirection kOut = IPortDirection::Output;

IPluginDescriptor Descriptor(const char* channelIO) {
  IPluginDescriptor d;
  d.channelIO = channelIO;
  return d;
}

// Records what reaches the host and, unless told to use the base behaviour,
// processes by doubling every input channel into the same output channel.
class TestProcessor : public IProcessor {
public:
  explicit TestProcessor(const char* channelIO) : IProcessor(Descriptor(channelIO)) {}
  explicit TestProcessor(const IPluginDescriptor& d) : IProcessor(d) {}

  bool SendMidiToHost(const IMidiShortMessage& message) override {
    sent.push_back(message);
    return hostAccepts.empty() ? true : hostAccepts[(sent.size() - 1) % hostAccepts.size()];
  }

  void ProcessAudio(double** inputs, double** outputs, int32_t frames) override {
    ++calls;
    if (frames > largestCall) largestCall = frames;
    if (useBase) return IProcessor::ProcessAudio(inputs, outputs, frames);
    const int32_t n = ChannelCount(kIn) < ChannelCount(kOut) ? ChannelCount(kIn) : ChannelCount(kOut);
    for (int32_t c = 0; c < n; ++c)
      for (int32_t j = 0; j < frames; ++j) outputs[c][j] = 2.0 * inputs[c][j];
  }

  void ConnectAll() {
    SetChannelsConnected(kIn, 0, ChannelCount(kIn), true);
    SetChannelsConnected(kOut, 0, ChannelCount(kOut), true);
  }

  std::vector<IMidiShortMessage> sent;
  std::vector<bool> hostAccepts;
  bool useBase = false;
  int calls = 0;
  int32_t largestCall = 0;
};

// Host channel buffers with guard samples behind each channel, so that a write
// past the frames the host handed over shows up.
template <typename T>
struct HostBuffers {
  static constexpr int kGuard = 16;
  static constexpr T kSentinel = T(-777);

  HostBuffers(int channels, int frames, T fill = T(0)) : frames(frames), storage(channels) {
    for (auto& s : storage) {
      s.assign(static_cast<size_t>(frames + kGuard), kSentinel);
      for (int j = 0; j < frames; ++j) s[static_cast<size_t>(j)] = fill;
    }
    for (auto& s : storage) pointers.push_back(s.data());
  }
  void Ramp(int channel, T start) {
    for (int j = 0; j < frames; ++j) storage[static_cast<size_t>(channel)][static_cast<size_t>(j)] = start + T(j);
  }
  T At(int channel, int j) const { return storage[static_cast<size_t>(channel)][static_cast<size_t>(j)]; }
  bool GuardsIntact() const {
    for (const auto& s : storage)
      for (int j = frames; j < frames + kGuard; ++j)
        if (s[static_cast<size_t>(j)] != kSentinel) return false;
    return true;
  }
  T** Pointers() { return pointers.data(); }

  int frames;
  std::vector<std::vector<T>> storage;
  std::vector<T*> pointers;
};

} // namespace

TEST(ProcessorLayouts, ParsesChannelTexts) {
  struct Case {
    const char* text;
    int32_t layouts, inputs, outputs, inputBuses, outputBuses;
  };
  const Case cases[] = {
      {"2-2", 1, 2, 2, 1, 1},
      {"1-1 2-2", 2, 2, 2, 1, 1},
      {"1.1-2", 1, 2, 2, 2, 1},
      {"0-2", 1, 0, 2, 0, 1},
      {"*-2", 1, 0, 2, 1, 1},
      {"2-2 2-2", 2, 2, 2, 1, 1},      // duplicates are kept
      {"  1-1   2-4 ", 2, 2, 4, 1, 1},  // runs of blanks separate nothing
      {"x-2", 1, 0, 2, 0, 1},          // no number: 0 channels, no bus
      {"2", 1, 2, 0, 1, 0},            // no output part
      {"99999-2", 1, kMaxLayoutChannels, 2, 1, 1},
      {"", 0, 0, 0, 0, 0},
      {nullptr, 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text ? c.text : "(null)");
    TestProcessor p(c.text);
    EXPECT_EQ(c.layouts, p.LayoutCount());
    EXPECT_EQ(c.inputs, p.Limits().inputChannels);
    EXPECT_EQ(c.outputs, p.Limits().outputChannels);
    EXPECT_EQ(c.inputBuses, p.Limits().inputBuses);
    EXPECT_EQ(c.outputBuses, p.Limits().outputBuses);
    EXPECT_EQ(c.inputs, p.ChannelCount(kIn));
    EXPECT_EQ(c.outputs, p.ChannelCount(kOut));
  }
}

TEST(ProcessorLayouts, BusesCarryCountsAndDirectionLabels) {
  TestProcessor p("1.1-2 *-2");
  ASSERT_EQ(2, p.LayoutCount());
  const IChannelLayout* first = p.Layout(0);
  ASSERT_EQ(2, first->BusCount(kIn));
  ASSERT_EQ(1, first->BusCount(kOut));
  EXPECT_EQ(1, first->Bus(kIn, 1)->channels);
  EXPECT_EQ(kIn, first->Bus(kIn, 1)->direction);
  EXPECT_STREQ("Input", first->Bus(kIn, 0)->label.Get());
  EXPECT_EQ(2, first->Bus(kOut, 0)->channels);
  EXPECT_STREQ("Output", first->Bus(kOut, 0)->label.Get());
  EXPECT_EQ(nullptr, first->Bus(kOut, 1));
  const IChannelLayout* wildcard = p.Layout(1);
  ASSERT_EQ(1, wildcard->BusCount(kIn));
  EXPECT_EQ(kWildcardChannels, wildcard->Bus(kIn, 0)->channels);
  EXPECT_EQ(nullptr, p.Layout(2));
}

TEST(ProcessorLayouts, LegalIOFindsAMatchingLayout) {
  struct Case {
    const char* text;
    int32_t in, out;
    bool legal;
  };
  const Case cases[] = {
      {"1-1 2-2", 1, 1, true},   {"1-1 2-2", 2, 2, true},  {"1-1 2-2", 1, 2, false},
      {"1-1 2-2", 1, -1, true},  {"1-1 2-2", 3, -1, false}, {"1.1-2", 2, 2, true},
      {"0-2", 0, 2, true},       {"2-2", 2, 1, false},      {"", 0, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.text << " " << c.in << ":" << c.out);
    EXPECT_EQ(c.legal, TestProcessor(c.text).LegalIO(c.in, c.out));
  }
}

TEST(ProcessorSetup, ConstructionCopiesTheRecordAndSetsDefaults) {
  IPluginDescriptor d = Descriptor("2-2");
  d.pluginKind = 1;
  d.midiIn = true;
  d.mpe = true;
  d.latency = 64;
  TestProcessor p(d);
  EXPECT_EQ(1, p.PluginKind());
  EXPECT_TRUE(p.TakesMidiInput());
  EXPECT_FALSE(p.SendsMidiOutput());
  EXPECT_TRUE(p.IsMpe());
  EXPECT_EQ(64, p.Latency());
  EXPECT_EQ(44100.0, p.SampleRate());
  EXPECT_EQ(0, p.BlockSize());
  EXPECT_FALSE(p.IsRenderingOffline());
  const ITransportState& t = p.Transport();
  EXPECT_EQ(120.0, t.tempoBpm);
  EXPECT_EQ(-1.0, t.samplePosition);
  EXPECT_EQ(-1.0, t.loopEndBeat);
  EXPECT_EQ(4, t.meterNumerator);
  EXPECT_EQ(4, t.meterDenominator);
  EXPECT_FALSE(t.isPlaying);
  for (IPortDirection dir : {kIn, kOut})
    for (int32_t i = 0; i < 2; ++i) {
      const IChannelSlot* slot = p.Channel(dir, i);
      ASSERT_NE(nullptr, slot);
      EXPECT_FALSE(slot->connected);
      EXPECT_EQ(&p.ChannelPointers(dir)[i], slot->entry);
      EXPECT_EQ(nullptr, *slot->entry);
    }
  EXPECT_EQ(nullptr, p.Channel(kIn, 2));
  EXPECT_EQ(nullptr, p.Channel(kIn, -1));
}

TEST(ProcessorSetup, SampleRateRejectsNonsense) {
  TestProcessor p("2-2");
  for (double bad : {0.0, -48000.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
    EXPECT_FALSE(p.SetSampleRate(bad));
    EXPECT_EQ(44100.0, p.SampleRate());
  }
  EXPECT_TRUE(p.SetSampleRate(96000.0));
  EXPECT_EQ(96000.0, p.SampleRate());
}

TEST(ProcessorSetup, ChangeBlockSizeResizesAndZeroesOnlyOnChange) {
  TestProcessor p("2-2");
  p.ConnectAll();
  ASSERT_TRUE(p.ChangeBlockSize(8));
  for (IPortDirection dir : {kIn, kOut})
    for (int32_t i = 0; i < 2; ++i) {
      const IChannelSlot* slot = p.Channel(dir, i);
      ASSERT_EQ(8 * 8, slot->scratch.Size());
      EXPECT_EQ(slot->Scratch(), *slot->entry);
      for (int j = 0; j < 8; ++j) EXPECT_EQ(0.0, slot->Scratch()[j]);
    }
  p.Channel(kIn, 0)->Scratch()[3] = 5.0;
  EXPECT_TRUE(p.ChangeBlockSize(8));
  EXPECT_EQ(5.0, p.Channel(kIn, 0)->Scratch()[3]);

  EXPECT_FALSE(p.ChangeBlockSize(-1));
  EXPECT_EQ(8, p.BlockSize());
  EXPECT_EQ(5.0, p.Channel(kIn, 0)->Scratch()[3]);

  ASSERT_TRUE(p.ChangeBlockSize(4096));
  EXPECT_EQ(0.0, p.Channel(kIn, 0)->Scratch()[3]);
  EXPECT_EQ(p.Channel(kOut, 1)->Scratch(), p.ChannelPointers(kOut)[1]);

  EXPECT_TRUE(p.ChangeBlockSize(1 << 30));  // taken as the largest scratch size
  EXPECT_EQ(IProcessor::kMaxBlockSize, p.BlockSize());

  ASSERT_TRUE(p.ChangeBlockSize(0));
  EXPECT_EQ(nullptr, p.Channel(kOut, 0)->Scratch());
  EXPECT_EQ(nullptr, p.ChannelPointers(kOut)[0]);
}

TEST(ProcessorSetup, ConnectingARunTouchesOnlyExistingSlots) {
  TestProcessor p("2-2");
  p.SetChannelsConnected(kOut, 1, 100, true);
  EXPECT_FALSE(p.IsChannelConnected(kOut, 0));
  EXPECT_TRUE(p.IsChannelConnected(kOut, 1));
  p.SetChannelsConnected(kIn, -5, 6, true);
  EXPECT_TRUE(p.IsChannelConnected(kIn, 0));
  EXPECT_FALSE(p.IsChannelConnected(kIn, 1));
  p.SetChannelsConnected(kIn, 0, 2, false);
  EXPECT_FALSE(p.IsChannelConnected(kIn, 0));
  EXPECT_FALSE(p.IsChannelConnected(kIn, 7));
}

// The host's user-interface thread switches bypass while the audio thread keeps
// reading the flag. The audio side polls without any other synchronisation,
// the way a block reads the flag: a flag that is not atomic may be read once
// and never again, so the change would not arrive.
TEST(ProcessorSetup, BypassSetOnOneThreadReachesAnotherThatPolls) {
  TestProcessor p("2-2");
  for (bool target : {true, false}) {
    p.SetBypassed(!target);
    std::atomic<bool> polling{false};
    bool seen = !target;
    std::thread audio([&] {
      polling.store(true);
      // Bounded, so that a flag that never arrives fails instead of hanging.
      const int64_t kPolls = int64_t(1) << 36;
      int64_t n = 0;
      while (n < kPolls && p.IsBypassed() != target) ++n;
      seen = p.IsBypassed();
    });
    while (!polling.load()) std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    p.SetBypassed(target);
    audio.join();
    EXPECT_EQ(target, seen);
  }
}

TEST(ProcessorAudio, DefaultProcessAudioCopiesInputsAndSilencesTheRest) {
  TestProcessor p("2-4");
  p.useBase = true;
  std::vector<double> in0(5, 1.0), in1(5, 2.0), out[4];
  for (auto& o : out) o.assign(5, 9.0);
  double* inputs[] = {in0.data(), in1.data()};
  double* outputs[] = {out[0].data(), out[1].data(), out[2].data(), out[3].data()};
  p.ProcessAudio(inputs, outputs, 5);
  EXPECT_EQ(std::vector<double>(5, 1.0), out[0]);
  EXPECT_EQ(std::vector<double>(5, 2.0), out[1]);
  EXPECT_EQ(std::vector<double>(5, 0.0), out[2]);
  EXPECT_EQ(std::vector<double>(5, 0.0), out[3]);
}

TEST(ProcessorAudio, BindingSkipsUnconnectedSlotsAndSilencesMissingInputs) {
  TestProcessor p("2-2");
  ASSERT_TRUE(p.ChangeBlockSize(4));
  p.ConnectAll();
  HostBuffers<float> full(2, 4, 3.0f);
  p.BindChannelBuffers(kIn, 2, full.Pointers(), 4);
  p.ReplaceBlock(4);  // leaves 3.0 in both input scratch buffers

  p.SetChannelsConnected(kIn, 0, 1, false);
  EXPECT_EQ(0.0, p.Channel(kIn, 0)->Scratch()[0]);  // a disconnected slot reads silence
  HostBuffers<float> in(2, 4);
  in.Ramp(0, 10.0f);
  p.BindChannelBuffers(kIn, 2, in.Pointers(), 4);
  EXPECT_EQ(10.0, p.Channel(kIn, 1)->Scratch()[0]);  // slot 1 takes the first host buffer
  EXPECT_EQ(13.0, p.Channel(kIn, 1)->Scratch()[3]);
  EXPECT_EQ(0.0, p.Channel(kIn, 0)->Scratch()[0]);
  // A host that hands over one buffer per connected channel still reaches
  // the connected slot that follows an unconnected one.
  float* first[] = {in.Pointers()[0]};
  p.BindChannelBuffers(kIn, 1, first, 4);
  EXPECT_EQ(12.0, p.Channel(kIn, 1)->Scratch()[2]);

  // A connected slot the host gives no buffer (too few, or a null one) is
  // silent rather than left with the previous block's audio.
  p.SetChannelsConnected(kIn, 0, 2, true);
  p.BindChannelBuffers(kIn, 2, full.Pointers(), 4);
  float* one[] = {in.Pointers()[0]};
  p.BindChannelBuffers(kIn, 1, one, 4);
  EXPECT_EQ(10.0, p.Channel(kIn, 0)->Scratch()[0]);
  EXPECT_EQ(0.0, p.Channel(kIn, 1)->Scratch()[2]);
  float* none[] = {nullptr, nullptr};
  p.BindChannelBuffers(kIn, 2, none, 4);
  EXPECT_EQ(0.0, p.Channel(kIn, 0)->Scratch()[1]);
}

// Host blocks longer than the announced block size, in every mode; the block
// processor must never see more frames than the scratch holds.
class ProcessorLongBlocks : public ::testing::TestWithParam<int> {};

TEST_P(ProcessorLongBlocks, ReplaceAccumulateAndDoubleRunInSubBlocks) {
  const int frames = GetParam();
  const int32_t blockSize = 16;
  for (int mode = 0; mode < 3; ++mode) {
    SCOPED_TRACE(mode);
    TestProcessor p("2-2");
    ASSERT_TRUE(p.ChangeBlockSize(blockSize));
    p.ConnectAll();
    if (mode < 2) {
      HostBuffers<float> in(2, frames), out(2, frames, 1.0f);
      in.Ramp(0, 0.0f);
      in.Ramp(1, 100.0f);
      p.ProcessFloatBlock(in.Pointers(), 2, out.Pointers(), 2, frames,
                          mode == 0 ? EBlockWrite::Replace : EBlockWrite::Accumulate);
      const float base = mode == 0 ? 0.0f : 1.0f;
      for (int c = 0; c < 2; ++c)
        for (int j = 0; j < frames; ++j) ASSERT_EQ(base + 2.0f * in.At(c, j), out.At(c, j)) << c << ":" << j;
      EXPECT_TRUE(out.GuardsIntact());
    } else {
      HostBuffers<double> in(2, frames), out(2, frames);
      in.Ramp(0, 0.0);
      in.Ramp(1, 100.0);
      p.ProcessDoubleBlock(in.Pointers(), 2, out.Pointers(), 2, frames);
      for (int c = 0; c < 2; ++c)
        for (int j = 0; j < frames; ++j) ASSERT_EQ(2.0 * in.At(c, j), out.At(c, j)) << c << ":" << j;
      EXPECT_TRUE(out.GuardsIntact());
      // The host's buffers are not kept past the call.
      EXPECT_EQ(p.Channel(kIn, 0)->Scratch(), p.ChannelPointers(kIn)[0]);
      EXPECT_EQ(p.Channel(kOut, 1)->Scratch(), p.ChannelPointers(kOut)[1]);
    }
    EXPECT_LE(p.largestCall, blockSize);
    EXPECT_EQ((frames + blockSize - 1) / blockSize, p.calls);
  }
}

INSTANTIATE_TEST_SUITE_P(Frames, ProcessorLongBlocks, ::testing::Values(1, 16, 17, 40, 1000));

TEST(ProcessorAudio, InPlaceHostBuffersSurviveSubBlocks) {
  TestProcessor p("2-2");
  ASSERT_TRUE(p.ChangeBlockSize(8));
  p.ConnectAll();
  HostBuffers<float> io(2, 30);
  io.Ramp(0, 1.0f);
  io.Ramp(1, 50.0f);
  p.ProcessFloatBlock(io.Pointers(), 2, io.Pointers(), 2, 30, EBlockWrite::Replace);
  for (int j = 0; j < 30; ++j) {
    ASSERT_EQ(2.0f * (1.0f + j), io.At(0, j));
    ASSERT_EQ(2.0f * (50.0f + j), io.At(1, j));
  }
}

TEST(ProcessorAudio, ZeroBlockSizeGivesSilenceWithoutProcessing) {
  TestProcessor p("2-2");
  p.ConnectAll();
  HostBuffers<float> in(2, 10, 1.0f), out(2, 10, 5.0f);
  p.ProcessFloatBlock(in.Pointers(), 2, out.Pointers(), 2, 10, EBlockWrite::Accumulate);
  EXPECT_EQ(5.0f, out.At(1, 9));  // adding silence changes nothing
  p.ProcessFloatBlock(in.Pointers(), 2, out.Pointers(), 2, 10, EBlockWrite::Replace);
  HostBuffers<double> din(2, 10, 1.0), dout(2, 10, 5.0);
  p.ProcessDoubleBlock(din.Pointers(), 2, dout.Pointers(), 2, 10);
  for (int c = 0; c < 2; ++c)
    for (int j = 0; j < 10; ++j) {
      ASSERT_EQ(0.0f, out.At(c, j));
      ASSERT_EQ(0.0, dout.At(c, j));
    }
  EXPECT_TRUE(out.GuardsIntact());
  EXPECT_TRUE(dout.GuardsIntact());
  EXPECT_EQ(0, p.calls);
}

// Without a block size the host still gets silence, in exactly the buffers the
// connected slots would have written: host buffers go to connected slots in
// order, so an unconnected slot ahead of a connected one takes none, and a
// buffer beyond the connected slots is not the plug-in's to touch.
TEST(ProcessorAudio, ZeroBlockSizeSilencesTheBuffersOfConnectedSlotsInOrder) {
  struct Case {
    const char* what;
    std::vector<bool> connected;  // per output slot of "0-3"
    int hostBuffers;
    int silenced;  // the first this many host buffers become silent, the rest stay
  };
  const Case cases[] = {
      {"unconnected first, one buffer", {false, true, false}, 1, 1},
      {"unconnected first and between", {false, true, true}, 2, 2},
      {"only the last connected", {false, false, true}, 1, 1},
      {"gap in the middle", {true, false, true}, 2, 2},
      {"more buffers than connected slots", {false, true, false}, 3, 1},
      {"fewer buffers than connected slots", {true, true, true}, 2, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestProcessor p("0-3");
    for (int32_t i = 0; i < 3; ++i) p.SetChannelsConnected(kOut, i, 1, c.connected[static_cast<size_t>(i)]);
    HostBuffers<double> dout(c.hostBuffers, 10, 5.0);
    HostBuffers<float> fout(c.hostBuffers, 10, 5.0f);
    p.ProcessDoubleBlock(nullptr, 0, dout.Pointers(), c.hostBuffers, 10);
    p.ProcessFloatBlock(nullptr, 0, fout.Pointers(), c.hostBuffers, 10, EBlockWrite::Replace);
    for (int b = 0; b < c.hostBuffers; ++b)
      for (int j = 0; j < 10; ++j) {
        ASSERT_EQ(b < c.silenced ? 0.0 : 5.0, dout.At(b, j)) << "double buffer " << b << ":" << j;
        ASSERT_EQ(b < c.silenced ? 0.0f : 5.0f, fout.At(b, j)) << "float buffer " << b << ":" << j;
      }
    EXPECT_TRUE(dout.GuardsIntact());
    EXPECT_TRUE(fout.GuardsIntact());
    EXPECT_EQ(0, p.calls);
  }
}

TEST(ProcessorAudio, NullHostChannelsAreSilentInAndSkippedOut) {
  TestProcessor p("2-2");
  ASSERT_TRUE(p.ChangeBlockSize(8));
  p.ConnectAll();
  {
    HostBuffers<float> in(2, 20, 3.0f), out(2, 20, 7.0f);
    float* inputs[] = {nullptr, in.Pointers()[1]};
    float* outputs[] = {out.Pointers()[0], nullptr};
    p.ProcessFloatBlock(inputs, 2, outputs, 2, 20, EBlockWrite::Replace);
    EXPECT_EQ(0.0f, out.At(0, 0));
    EXPECT_EQ(0.0f, out.At(0, 19));
    EXPECT_EQ(7.0f, out.At(1, 0));  // never bound: untouched
    p.ProcessFloatBlock(nullptr, 2, nullptr, 2, 20, EBlockWrite::Replace);  // nothing to touch
  }
  {
    HostBuffers<double> in(2, 20, 3.0), out(2, 20, 7.0);
    double* inputs[] = {in.Pointers()[0], nullptr};
    double* outputs[] = {nullptr, out.Pointers()[1]};
    p.ProcessDoubleBlock(inputs, 2, outputs, 2, 20);
    EXPECT_EQ(7.0, out.At(0, 0));
    EXPECT_EQ(0.0, out.At(1, 0));
    EXPECT_EQ(0.0, out.At(1, 19));
    EXPECT_TRUE(out.GuardsIntact());
  }
}

TEST(ProcessorAudio, BoundBuffersLastOneBlockAndCapTheFrames) {
  TestProcessor p("2-2");
  ASSERT_TRUE(p.ChangeBlockSize(8));
  p.ConnectAll();
  HostBuffers<float> in(2, 4, 1.0f), out(2, 4, 0.5f);
  p.BindChannelBuffers(kIn, 2, in.Pointers(), 4);
  p.BindChannelBuffers(kOut, 2, out.Pointers(), 4);
  p.AccumulateBlock(100);  // more than was bound: only the 4 bound frames
  EXPECT_EQ(2.5f, out.At(0, 3));
  EXPECT_TRUE(out.GuardsIntact());
  // A second run without new buffers must not reach the last block's.
  p.AccumulateBlock(4);
  p.ReplaceBlock(4);
  EXPECT_EQ(2.5f, out.At(0, 0));
  EXPECT_EQ(2.5f, out.At(1, 3));
}

TEST(ProcessorMidi, HooksPassMessagesOnAndReportFailures) {
  TestProcessor p("2-2");
  const IMidiShortMessage note{3, 0x90, 60, 100};
  p.OnMidiIn(note);
  ASSERT_EQ(1u, p.sent.size());
  EXPECT_EQ(3, p.sent[0].frameOffset);
  EXPECT_EQ(0x90, p.sent[0].status);
  EXPECT_EQ(100, p.sent[0].data2);

  EXPECT_TRUE(p.SendMidiListToHost(nullptr, 0));
  EXPECT_FALSE(p.SendMidiListToHost(nullptr, 2));
  EXPECT_EQ(1u, p.sent.size());

  p.sent.clear();
  p.hostAccepts = {true, false, true};
  const IMidiShortMessage list[3] = {{0, 0x90, 1, 1}, {1, 0x90, 2, 1}, {2, 0x90, 3, 1}};
  EXPECT_FALSE(p.SendMidiListToHost(list, 3));
  ASSERT_EQ(3u, p.sent.size());  // a refusal does not stop the rest
  EXPECT_EQ(3, p.sent[2].data1);
  p.hostAccepts = {true};
  EXPECT_TRUE(p.SendMidiListToHost(list, 3));

  const uint8_t bytes[] = {0xF0, 0x7E, 0xF7};
  EXPECT_FALSE(p.SendSysExToHost(ISysExView{0, 3, bytes}));
  p.ChangeLatency(256);
  EXPECT_EQ(256, p.Latency());
}

TEST(ProcessorAudio, CopyDoublesToFloatsConvertsOnlyWhatItIsGiven) {
  const double src[3] = {0.25, -1.5, 3.0};
  float dst[4] = {9, 9, 9, 9};
  CopyDoublesToFloats(dst, src, 0);
  CopyDoublesToFloats(dst, src, -3);
  CopyDoublesToFloats(nullptr, src, 3);
  EXPECT_EQ(9.0f, dst[0]);
  CopyDoublesToFloats(dst, src, 3);
  EXPECT_EQ(0.25f, dst[0]);
  EXPECT_EQ(-1.5f, dst[1]);
  EXPECT_EQ(3.0f, dst[2]);
  EXPECT_EQ(9.0f, dst[3]);
}
