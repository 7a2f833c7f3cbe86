#include "tests/hosts/vst2/HostContext.h"
#include "tests/hosts/vst2/Render.h"
#include "tests/hosts/vst2/TestSignal.h"
#include "tests/hosts/vst2/tests/FakePluginFixture.h"

#include <gtest/gtest.h>

namespace vst2host {
namespace {

TEST(PluginLibrary, LoadFailuresAreReportedAndLeaveNothingLoaded) {
  PluginLibrary library;
  std::string error;
  EXPECT_FALSE(library.Load(ExecutableDirectory() + "missing.dll", &error));
  EXPECT_NE(error.find("missing.dll"), std::string::npos);
  error.clear();
  EXPECT_FALSE(library.Load("kernel32.dll", &error));  // a DLL, but no plug-in
  EXPECT_NE(error.find("VSTPluginMain"), std::string::npos);
  EXPECT_FALSE(library.IsLoaded());

  PluginInstance plugin;
  EXPECT_FALSE(plugin.Create(library, &error));
  EXPECT_EQ(plugin.Dispatch(effGetVstVersion), 0);
}

TEST_F(FakePluginTest, ReportsTheRecordAndTheCallsMadeWhileCreating) {
  EXPECT_EQ(library.EntryName(), "VSTPluginMain");
  const AEffect& effect = *plugin.Effect();
  EXPECT_EQ(effect.uniqueID, VstFourCC('F', 'k', 'G', 'n'));
  EXPECT_EQ(effect.numParams, 3);
  EXPECT_EQ(effect.numInputs, 2);
  EXPECT_EQ(effect.user, &plugin.Host());

  // The stand-in asks for the host's version with no record yet, then
  // identifies the host on open.
  std::vector<HostCall> calls = plugin.Host().Calls();
  ASSERT_GE(calls.size(), 4u);
  EXPECT_EQ(calls[0].opcode, audioMasterVersion);
  EXPECT_EQ(calls[0].result, kVstVersion);
  EXPECT_EQ(calls[1].opcode, audioMasterGetProductString);
  EXPECT_EQ(calls[1].text, "plugkit vst2host");
  EXPECT_EQ(calls[1].result, 1);
  EXPECT_EQ(calls[2].opcode, audioMasterGetVendorVersion);
  EXPECT_EQ(calls[2].result, 10000);
  EXPECT_EQ(calls[3].opcode, audioMasterCanDo);
  EXPECT_EQ(calls[3].text, "sendVstTimeInfo");
  EXPECT_EQ(calls[3].result, 1);
  EXPECT_EQ(DescribeHostCall(calls[3]).find("audioMasterCanDo index=0 value=0"), 0u);
}

TEST_F(FakePluginTest, TwoInstancesKeepSeparateLogs) {
  HostSettings settings;
  settings.productString = "Second Host";
  PluginInstance second(settings);
  std::string error;
  ASSERT_TRUE(second.Create(library, &error)) << error;
  plugin.Host().ClearLog();
  second.Open();
  EXPECT_EQ(plugin.Host().Calls().size(), 0u);
  ASSERT_EQ(second.Host().CountCalls(audioMasterGetProductString), 1u);
  EXPECT_EQ(second.Host().Calls()[1].text, "Second Host");
}

TEST_F(FakePluginTest, RecordsEveryArgumentOfAnAutomationGesture) {
  plugin.Host().ClearLog();
  ASSERT_EQ(plugin.Dispatch(effVendorSpecific, kFakeGesture, 1, nullptr, 0.75f), 1);
  std::vector<HostCall> calls = plugin.Host().Calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].opcode, audioMasterBeginEdit);
  EXPECT_EQ(calls[0].index, 1);
  EXPECT_EQ(calls[1].opcode, audioMasterAutomate);
  EXPECT_EQ(calls[1].index, 1);
  EXPECT_EQ(calls[1].opt, 0.75f);
  EXPECT_EQ(calls[2].opcode, audioMasterEndEdit);
  EXPECT_EQ(calls[2].index, 1);
  EXPECT_FLOAT_EQ(plugin.GetParameter(1), 0.75f);
}

TEST_F(FakePluginTest, ProcessingAsksForTimeAndLevelAndDeliversEvents) {
  plugin.Host().Settings().processLevel = kVstProcessLevelOffline;
  plugin.Host().Settings().timeInfo.tempo = 140.0;
  AudioBuffer input = MakeSine(1000.0, 0.01, 48000, 2, 0.5f), output;
  RenderOptions options;
  options.blockSize = 128;
  std::string error;
  ASSERT_TRUE(RenderBuffer(plugin, input, output, options, &error)) << error;

  size_t blocks = (input.Frames() + 127) / 128;
  EXPECT_EQ(plugin.Host().CountCalls(audioMasterGetTime), blocks);
  EXPECT_EQ(plugin.Host().CountCalls(audioMasterGetCurrentProcessLevel), blocks);
  EXPECT_EQ(plugin.Dispatch(effVendorSpecific, kFakeTempo), 140000);
  EXPECT_EQ(plugin.Dispatch(effVendorSpecific, kFakeLevel), kVstProcessLevelOffline);
  for (const HostCall& call : plugin.Host().Calls()) {
    if (call.opcode == audioMasterGetTime) {
      EXPECT_EQ(call.value, kVstTempoValid | kVstPpqPosValid);
    }
  }
  EXPECT_DOUBLE_EQ(plugin.Host().Settings().timeInfo.samplePos, static_cast<double>(input.Frames()));

  std::vector<ReceivedEvent> events = plugin.Host().Events();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].type, kVstMidiType);
  EXPECT_EQ(events[0].deltaFrames, 3);
  EXPECT_EQ(events[0].bytes, (std::vector<uint8_t>{0x90, 60, 100}));
  EXPECT_EQ(events[1].type, kVstSysExType);
  EXPECT_EQ(events[1].byteSize, static_cast<int32_t>(sizeof(VstMidiSysexEvent)));
  EXPECT_EQ(events[1].deltaFrames, 5);
  EXPECT_EQ(events[1].bytes, (std::vector<uint8_t>{0xf0, 0x7d, 0x01, 0xf7}));
}

TEST_F(FakePluginTest, AHostWithoutTimeInfoAnswersNull) {
  plugin.Host().Settings().provideTimeInfo = false;
  AudioBuffer input = MakeSine(1000.0, 0.001, 48000, 2, 0.5f), output;
  std::string error;
  ASSERT_TRUE(RenderBuffer(plugin, input, output, RenderOptions(), &error)) << error;
  EXPECT_EQ(plugin.Dispatch(effVendorSpecific, kFakeTempo), -1000);
  for (const HostCall& call : plugin.Host().Calls()) {
    if (call.opcode == audioMasterGetTime) {
      EXPECT_EQ(call.result, 0);
    }
  }
}

TEST_F(FakePluginTest, TextsWrittenPastTheBufferAreCaught) {
  EXPECT_EQ(plugin.ParamName(1), "Offset");
  EXPECT_EQ(plugin.ProgramNameIndexed(1), "Half Gain");
  EXPECT_EQ(plugin.EffectName(), "Fake Gain");
  EXPECT_TRUE(plugin.Overruns().empty());

  plugin.Dispatch(effVendorSpecific, kFakeOverrun, 1);
  std::string name = plugin.ParamName(1);
  EXPECT_EQ(name, "Offset, ignoring the buffer size");
  plugin.EffectName();  // past its 32 bytes
  ASSERT_EQ(plugin.Overruns().size(), 2u);
  EXPECT_EQ(plugin.Overruns()[0].opcode, effGetParamName);
  EXPECT_EQ(plugin.Overruns()[0].index, 1);
  EXPECT_EQ(plugin.Overruns()[0].capacity, kVstMaxParamStrLen);
  EXPECT_EQ(plugin.Overruns()[1].opcode, effGetEffectName);
}

TEST_F(FakePluginTest, ClosingTwiceAndCallingAfterCloseAreHarmless) {
  plugin.Close();
  EXPECT_FALSE(plugin.IsCreated());
  plugin.Close();
  EXPECT_EQ(plugin.Dispatch(effGetVstVersion), 0);
  float* none[2] = {nullptr, nullptr};
  EXPECT_FALSE(plugin.ProcessReplacing(none, none, 0));
  EXPECT_EQ(plugin.GetParameter(0), 0.0f);
}

} // namespace
} // namespace vst2host
