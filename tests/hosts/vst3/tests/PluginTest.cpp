// The fake plug-in driven through the host library: start-up, processing in
// both sample sizes with parameter changes, state, parameters and rendering.

#include <cmath>
#include <vector>

#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "tests/hosts/vst3/ParameterChanges.h"
#include "tests/hosts/vst3/Renderer.h"
#include "tests/hosts/vst3/tests/FakePluginFixture.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace vst3host {
namespace {

constexpr ParamID kGain = 0;
constexpr ParamID kBypass = 1;

// A ramp per channel, different in each, so that swapped or shifted channels show.
template <typename Sample>
std::vector<std::vector<Sample>> Ramp(int32 frames) {
  std::vector<std::vector<Sample>> channels(2, std::vector<Sample>(static_cast<size_t>(frames)));
  for (int32 i = 0; i < frames; ++i) {
    channels[0][static_cast<size_t>(i)] = static_cast<Sample>(0.001 * (i + 1));
    channels[1][static_cast<size_t>(i)] = static_cast<Sample>(-0.002 * (i + 1));
  }
  return channels;
}

template <typename Sample>
std::vector<Sample*> Pointers(std::vector<std::vector<Sample>>& channels) {
  std::vector<Sample*> pointers;
  for (auto& channel : channels) pointers.push_back(channel.data());
  return pointers;
}

TEST_F(FakePluginTest, StartsWithItsBusesAndParameters) {
  std::vector<BusRecord> ins = plugin->AudioBuses(kInput), outs = plugin->AudioBuses(kOutput);
  ASSERT_EQ(ins.size(), 1u);
  ASSERT_EQ(outs.size(), 1u);
  EXPECT_EQ(ins[0].name, "Stereo In");
  EXPECT_EQ(outs[0].channelCount, 2);
  EXPECT_TRUE(plugin->IsSingleComponent());

  std::vector<ParamRecord> params = plugin->Parameters();
  ASSERT_EQ(params.size(), 2u);
  EXPECT_EQ(params[0].title, "Gain");
  EXPECT_EQ(params[0].units, "x");
  EXPECT_DOUBLE_EQ(params[0].defaultNormalized, 0.5);
  EXPECT_EQ(params[1].title, "Bypass");
  EXPECT_EQ(params[1].flags & ParameterInfo::kIsBypass, ParameterInfo::kIsBypass);
  EXPECT_EQ(params[1].stepCount, 1);
  EXPECT_EQ(plugin->ParamText(kGain, 0.5), "1.0000");
  EXPECT_EQ(plugin->ParamText(kBypass, 1.0), "On");
  EXPECT_EQ(plugin->ParamText(99, 0.5), "");
  ParamRecord found;
  EXPECT_TRUE(plugin->FindParameter("bypass", found));
  EXPECT_EQ(found.id, kBypass);
  EXPECT_FALSE(plugin->FindParameter("Volume", found));

  std::string error;
  EXPECT_FALSE(plugin->Start(44100.0, 0, kSample32, &error));
  EXPECT_TRUE(plugin->Start(44100.0, 64, kSample32, &error)) << error;
  EXPECT_TRUE(plugin->Started());
  EXPECT_EQ(plugin->InputChannels(), 2);
  EXPECT_EQ(plugin->OutputChannels(), 2);
}

template <typename Sample>
void CheckGainStepsAtItsOffset(PluginInstance& plugin, int32 sampleSize) {
  std::string error;
  ASSERT_TRUE(plugin.Start(48000.0, 32, sampleSize, &error)) << error;
  auto in = Ramp<Sample>(32);
  std::vector<std::vector<Sample>> out(2, std::vector<Sample>(32, Sample(9)));
  auto inPtr = Pointers(in);
  auto outPtr = Pointers(out);
  ParameterChanges changes;
  changes.Add(kGain, 10, 1.0);   // gain 2 from frame 10
  changes.Add(kGain, 20, 0.25);  // gain 0.5 from frame 20
  tresult result;
  if constexpr (sizeof(Sample) == sizeof(double))
    result = plugin.Process64(inPtr.data(), outPtr.data(), 32, &changes);
  else
    result = plugin.Process32(inPtr.data(), outPtr.data(), 32, &changes);
  ASSERT_EQ(result, kResultOk);
  for (size_t c = 0; c < 2; ++c)
    for (size_t i = 0; i < 32; ++i) {
      double gain = i < 10 ? 1.0 : i < 20 ? 2.0 : 0.5;
      EXPECT_NEAR(out[c][i], in[c][i] * gain, 1e-6) << "channel " << c << " frame " << i;
    }
}

TEST_F(FakePluginTest, ParameterPointsApplyFromTheirSampleOffsetInBothSampleSizes) {
  CheckGainStepsAtItsOffset<float>(*plugin, kSample32);
  // A fresh instance: the last gain of a block stays for the next one.
  std::string error;
  plugin = PluginInstance::Create(*module, fakeClass.cid, host, &error);
  ASSERT_TRUE(plugin) << error;
  CheckGainStepsAtItsOffset<double>(*plugin, kSample64);
}

TEST_F(FakePluginTest, BlocksTheSetUpDoesNotAllowAreNotProcessed) {
  auto in = Ramp<float>(64);
  auto out = Ramp<float>(64);
  auto inPtr = Pointers(in);
  auto outPtr = Pointers(out);
  EXPECT_EQ(plugin->Process32(inPtr.data(), outPtr.data(), 16), kInvalidArgument);  // not started
  std::string error;
  ASSERT_TRUE(plugin->Start(44100.0, 32, kSample32, &error)) << error;
  EXPECT_EQ(plugin->Process32(inPtr.data(), outPtr.data(), 64), kInvalidArgument);  // over the maximum
  std::vector<double*> doubles(2, nullptr);
  EXPECT_EQ(plugin->Process64(doubles.data(), doubles.data(), 16), kInvalidArgument);  // wrong size
  EXPECT_EQ(plugin->Process32(inPtr.data(), outPtr.data(), 0), kResultOk);
  plugin->Stop();
  EXPECT_EQ(plugin->Process32(inPtr.data(), outPtr.data(), 16), kInvalidArgument);
}

TEST_F(FakePluginTest, TransportAdvancesByEachBlock) {
  std::string error;
  ASSERT_TRUE(plugin->Start(48000.0, 480, kSample32, &error)) << error;
  auto in = Ramp<float>(480);
  auto out = Ramp<float>(480);
  auto inPtr = Pointers(in);
  auto outPtr = Pointers(out);
  for (int block = 0; block < 3; ++block)
    ASSERT_EQ(plugin->Process32(inPtr.data(), outPtr.data(), 480), kResultOk);
  EXPECT_EQ(plugin->Transport().projectTimeSamples, 1440);
  EXPECT_DOUBLE_EQ(plugin->Transport().projectTimeMusic, 0.06);  // 30 ms at 2 beats a second
  EXPECT_TRUE(plugin->Transport().state & ProcessContext::kPlaying);
}

TEST_F(FakePluginTest, StateRoundTripsAndBadStatesChangeNothing) {
  std::string error;
  ASSERT_TRUE(plugin->Start(44100.0, 32, kSample32, &error)) << error;
  ParameterChanges changes;
  changes.Add(kGain, 0, 0.75);
  changes.Add(kBypass, 0, 1.0);
  auto in = Ramp<float>(8);
  auto out = Ramp<float>(8);
  auto inPtr = Pointers(in);
  auto outPtr = Pointers(out);
  ASSERT_EQ(plugin->Process32(inPtr.data(), outPtr.data(), 8, &changes), kResultOk);
  std::vector<uint8_t> saved;
  ASSERT_TRUE(plugin->GetState(saved));
  ASSERT_EQ(saved.size(), 12u);
  plugin.reset();

  plugin = PluginInstance::Create(*module, fakeClass.cid, host, &error);
  ASSERT_TRUE(plugin) << error;
  std::vector<uint8_t> fresh;
  ASSERT_TRUE(plugin->GetState(fresh));
  EXPECT_NE(fresh, saved);
  std::vector<uint8_t> outOfRange = saved;
  outOfRange[7] = 0x40;  // gain 3.0 normalised
  for (const auto& bad :
       {std::vector<uint8_t>(saved.begin(), saved.end() - 1), outOfRange, std::vector<uint8_t>()}) {
    EXPECT_EQ(plugin->SetState(bad), kResultFalse);
    std::vector<uint8_t> now;
    ASSERT_TRUE(plugin->GetState(now));
    EXPECT_EQ(now, fresh);
  }
  EXPECT_EQ(plugin->SetState(saved), kResultOk);
  std::vector<uint8_t> restored;
  ASSERT_TRUE(plugin->GetState(restored));
  EXPECT_EQ(restored, saved);
  EXPECT_DOUBLE_EQ(plugin->Controller()->getParamNormalized(kGain), 0.75);
  EXPECT_DOUBLE_EQ(plugin->Controller()->getParamNormalized(kBypass), 1.0);
}

TEST_F(FakePluginTest, ComponentHandlerIsKeptByTheController) {
  EXPECT_TRUE(plugin->SetComponentHandler(handler));
  // Ours, the plug-in's two (as IComponentHandler and IComponentHandler2), this one.
  EXPECT_EQ(handler->addRef(), 4u);
  handler->release();
  EXPECT_TRUE(plugin->SetComponentHandler(nullptr));
  EXPECT_EQ(handler->addRef(), 2u);
  handler->release();
}

struct RenderCase {
  const char* name;
  std::vector<ParamSetting> settings;
  bool doublePrecision;
  int32 blockSize;
  double expectedGain;
  bool monoInput;
};

TEST_F(FakePluginTest, RendersWholeBuffersWithSettingsInEitherPrecision) {
  const std::vector<RenderCase> cases = {
      {"default", {}, false, 64, 1.0, false},
      {"plain gain", {{"Gain", "2"}}, false, 64, 2.0, false},
      {"plain gain, 64-bit, odd block", {{"Gain", "0.5"}}, true, 37, 0.5, false},
      {"bypass by text beats gain", {{"Gain", "2"}, {"Bypass", "On"}}, false, 100, 1.0, false},
      {"mono input feeds both", {{"gain", "1.5"}}, true, 64, 1.5, true},
  };
  for (const RenderCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string error;
    plugin = PluginInstance::Create(*module, fakeClass.cid, host, &error);
    ASSERT_TRUE(plugin) << error;
    std::vector<ParamValue> settings;
    ASSERT_TRUE(ResolveSettings(*plugin, c.settings, settings, &error)) << error;
    auto input = Ramp<float>(300);
    if (c.monoInput) input.resize(1);
    std::vector<std::vector<float>> output;
    RenderOptions options;
    options.blockSize = c.blockSize;
    options.doublePrecision = c.doublePrecision;
    ASSERT_TRUE(RenderThrough(*plugin, input, settings, options, output, &error)) << error;
    ASSERT_EQ(output.size(), 2u);
    for (size_t ch = 0; ch < 2; ++ch) {
      ASSERT_EQ(output[ch].size(), 300u);
      const std::vector<float>& source = input[c.monoInput ? 0 : ch];
      for (size_t i = 0; i < 300; ++i)
        ASSERT_NEAR(output[ch][i], source[i] * c.expectedGain, 1e-6) << "channel " << ch << " frame " << i;
    }
    EXPECT_FALSE(plugin->Started());
  }
}

TEST_F(FakePluginTest, SettingsThePluginCannotTakeAreRefused) {
  std::vector<ParamValue> settings;
  std::string error;
  EXPECT_FALSE(ResolveSettings(*plugin, {{"Volume", "1"}}, settings, &error));
  EXPECT_NE(error.find("Volume"), std::string::npos);
  EXPECT_FALSE(ResolveSettings(*plugin, {{"Bypass", "sideways"}}, settings, &error));
  ASSERT_TRUE(ResolveSettings(*plugin, {{"Gain", "7"}, {"Gain", "-3"}}, settings, &error)) << error;
  ASSERT_EQ(settings.size(), 2u);
  EXPECT_EQ(settings[0].normalized, 1.0);
  EXPECT_EQ(settings[1].normalized, 0.0);

  ParamSetting setting;
  EXPECT_TRUE(ParseParamSetting("Mix=50", setting));
  EXPECT_EQ(setting.name, "Mix");
  EXPECT_EQ(setting.value, "50");
  EXPECT_FALSE(ParseParamSetting("=50", setting));
  EXPECT_FALSE(ParseParamSetting("Mix", setting));

  std::vector<std::vector<float>> ragged = {std::vector<float>(10), std::vector<float>(9)}, output;
  EXPECT_FALSE(RenderThrough(*plugin, ragged, {}, RenderOptions(), output, &error));
  EXPECT_TRUE(output.empty());
}

}  // namespace
}  // namespace vst3host
