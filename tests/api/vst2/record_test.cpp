// The effect record as the entry hands it over, and creation itself.

#include <atomic>
#include <chrono>
#include <thread>

#include "tests/api/vst2/vst2_fixture.h"

namespace vst2test {
namespace {

TEST(Record, DescribesTessivo) {
  InProcess<TProbe> p;
  ASSERT_NE(p.effect, nullptr);
  const AEffect& e = *p.effect;
  EXPECT_EQ(e.magic, VstFourCC('V', 's', 't', 'P'));
  EXPECT_EQ(e.numParams, 3);
  EXPECT_EQ(e.numPrograms, 7);
  EXPECT_EQ(e.numInputs, 2);
  EXPECT_EQ(e.numOutputs, 2);
  EXPECT_EQ(e.flags, 0x1011);
  EXPECT_EQ(e.uniqueID, VstFourCC('W', 'K', 'Z', 'M'));
  EXPECT_EQ(e.version, 10000);
  EXPECT_EQ(e.initialDelay, 0);
  EXPECT_EQ(e.ioRatio, 1.0f);
  EXPECT_EQ(e.object, static_cast<IVST2Binding*>(p.plugin));
  EXPECT_TRUE(e.dispatcher && e.process && e.processReplacing && e.processDoubleReplacing && e.getParameter &&
              e.setParameter);

  EXPECT_EQ(p.plugin->InputArrangement.type, kSpeakerArrStereo);
  EXPECT_EQ(p.plugin->OutputArrangement.numChannels, 2);
  ERect* rect = nullptr;
  EXPECT_EQ(p.Dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_EQ(rect, &p.plugin->EditorExtent);
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->bottom, 160);
  EXPECT_EQ(rect->right, 250);
  // Creating the object asks the host nothing.
  EXPECT_TRUE(p.host.Calls().empty());
}

TEST(Record, FollowsTheConfiguration) {
  struct Case {
    const char* name;
    int32_t presets;
    const char* channels;
    int32_t kind;
    bool stateChunks;
    bool editor;
    int32_t programs;
    int32_t flags;
    intptr_t category;
  };
  const Case cases[] = {
      {"plain", 2, "2-2", 0, false, true, 2, 0x1011, kPlugCategEffect},
      {"no presets", 0, "2-2", 0, false, true, 1, 0x1011, kPlugCategEffect},
      {"mono layout", 2, "1-2 2-2", 0, false, true, 2, 0x1019, kPlugCategEffect},
      {"instrument", 2, "0-2", 1, false, true, 2, 0x1111, kPlugCategSynth},
      {"state chunks", 2, "2-2", 0, true, true, 2, 0x1031, kPlugCategEffect},
      {"no editor", 2, "2-2", 0, false, false, 2, 0x1010, kPlugCategEffect},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    IPluginDescriptor d = TBareBinding::PlainDescriptor();
    d.presetCount = c.presets;
    d.channelIO = c.channels;
    d.pluginKind = c.kind;
    d.stateChunks = c.stateChunks;
    d.hasEditor = c.editor;
    TBareBinding::NextDescriptor() = d;
    InProcess<TBareBinding> p;
    ASSERT_NE(p.effect, nullptr);
    EXPECT_EQ(p.effect->numPrograms, c.programs);
    EXPECT_EQ(p.effect->flags, c.flags);
    EXPECT_EQ(p.effect->version, 20304);
    EXPECT_EQ(p.Dispatch(effGetPlugCategory), c.category);
    ERect* rect = nullptr;
    EXPECT_EQ(p.Dispatch(effEditGetRect, 0, 0, &rect), c.editor ? 1 : 0);
    if (!c.editor) {
      EXPECT_EQ(p.Dispatch(effEditOpen), 0);
      EXPECT_EQ(p.Dispatch(effEditClose), 0);
    }
  }
}

TEST(Record, UnfilledPresetSlotsAreFilledAsEmpty) {
  TBareBinding::NextDescriptor() = TBareBinding::PlainDescriptor();
  InProcess<TBareBinding> p;
  ASSERT_NE(p.effect, nullptr);
  for (int32_t i = 0; i < 2; ++i) {
    EXPECT_TRUE(p.plugin->GetPreset(i)->filled);
    EXPECT_STREQ(p.plugin->PresetTitleAt(i), "Empty");
  }
  // Tessivo fills all seven itself: none is renamed.
  InProcess<TProbe> tessivo;
  EXPECT_STREQ(tessivo.plugin->PresetTitleAt(0), "Default");
  EXPECT_STREQ(tessivo.plugin->PresetTitleAt(6), "Octave down (mixed)");
}

// Counts how many factory calls overlap in time.
std::atomic<int> gInside{0};
std::atomic<int> gMostInside{0};

IVST2Binding* SlowFactory(audioMasterCallback host) {
  const int inside = ++gInside;
  int most = gMostInside.load();
  while (inside > most && !gMostInside.compare_exchange_weak(most, inside)) {
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  IVST2Binding* plugin = new (std::nothrow) TBareBinding(host);
  --gInside;
  return plugin;
}

TEST(Record, CreationsAreSerialised) {
  TBareBinding::NextDescriptor() = TBareBinding::PlainDescriptor();
  std::vector<AEffect*> effects(4, nullptr);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < effects.size(); ++i)
    threads.emplace_back([&effects, i] { effects[i] = plugkit::CreateVST2Effect(nullptr, &SlowFactory); });
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(gMostInside.load(), 1);
  for (AEffect* e : effects) {
    ASSERT_NE(e, nullptr);
    e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
  }
  EXPECT_EQ(plugkit::CreateVST2Effect(nullptr, nullptr), nullptr);
}

// Without a host callback every host call answers 0; the plug-in still works.
TEST(Record, WorksWithoutAHostCallback) {
  InProcess<TProbe> p(vst2host::HostSettings(), false);
  ASSERT_NE(p.effect, nullptr);
  p.Start();
  EXPECT_EQ(p.plugin->HostIdentity().Code, plugkit::kHostUnknown);
  EXPECT_EQ(p.plugin->adaptCount, 1);

  p.Set(Mix, 0.0f);  // dry only: the output is the input
  auto in = TestSignal(256);
  std::vector<std::vector<float>> out(2, std::vector<float>(256, 9.0f));
  float* inputs[] = {in[0].data(), in[1].data()};
  float* outputs[] = {out[0].data(), out[1].data()};
  p.effect->processReplacing(p.effect, inputs, outputs, 256);
  EXPECT_EQ(out[0], in[0]);
  EXPECT_EQ(out[1], in[1]);
  EXPECT_EQ(p.plugin->Transport().tempoBpm, 120.0);

  void* data = nullptr;
  const intptr_t size = p.Dispatch(effGetChunk, 1, 0, &data);
  ASSERT_EQ(size, 32);
  p.Set(Coarse, 1.0f);
  EXPECT_EQ(p.Dispatch(effSetChunk, 1, size, data), 1);
  EXPECT_EQ(p.Value(Coarse), 0.0);

  EXPECT_FALSE(p.plugin->ResizeEditorInHost(400, 300));
  EXPECT_FALSE(p.plugin->SendMidiToHost(plugkit::IMidiShortMessage{0, 0x90, 60, 100}));
  p.plugin->BeginEditorGesture(0);
  p.plugin->SetParamFromEditor(0, 0.75);
  p.plugin->EndEditorGesture(0);
  EXPECT_EQ(p.Value(Coarse), 6.0);
  EXPECT_TRUE(p.host.Calls().empty());
}

} // namespace
} // namespace vst2test
