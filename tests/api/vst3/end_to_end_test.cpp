// The x86_64 build of Tessivo.vst3 loaded through the test host, the way a
// VST 3 host meets it: factory, class, parameters, automation, the tail,
// bypass and state between instances.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/api/vst3/test_module.h"
#include "tests/api/vst3/vst3_fixture.h"
#include "tests/hosts/vst3/ConcurrentCalls.h"
#include "tests/hosts/vst3/HostApplication.h"
#include "tests/hosts/vst3/ParameterChanges.h"
#include "tests/hosts/vst3/PluginInstance.h"
#include "tests/hosts/vst3/PluginModule.h"

namespace vst3test {
namespace {

using vst3host::PluginInstance;
using vst3host::PluginModule;

constexpr double kRate = 44100.0;
constexpr int32 kBlock = 512;
// At 44100 Hz the engine's line holds 2048 frames; a tone with a whole number
// of periods in half a line comes out of the shifter as a clean tone.
constexpr double kTone = 10 * kRate / 1024;

class TessivoModule : public ::testing::Test {
protected:
  void SetUp() override {
    std::string error;
    module = PluginModule::Load(TestModulePath(), &error);
    ASSERT_TRUE(module) << error;
    ASSERT_TRUE(module->FindAudioClass(tessivo));
  }

  std::unique_ptr<PluginInstance> NewInstance(int32 sampleSize = kSample32) {
    std::string error;
    std::unique_ptr<PluginInstance> plugin = PluginInstance::Create(*module, tessivo.cid, host, &error);
    EXPECT_TRUE(plugin) << error;
    if (plugin) {
      EXPECT_TRUE(plugin->Start(kRate, kBlock, sampleSize, &error)) << error;
    }
    return plugin;
  }

  IPtr<vst3host::HostApplication> host{new vst3host::HostApplication(), false};
  std::unique_ptr<PluginModule> module;
  vst3host::ClassRecord tessivo;
};

std::vector<float> Tone(size_t frames, double frequency) {
  std::vector<float> s(frames);
  for (size_t i = 0; i < frames; ++i) s[i] = static_cast<float>(0.5 * std::sin(2.0 * 3.141592653589793 * frequency * i / kRate));
  return s;
}

// Renders a mono signal on both channels in blocks; changes[k] (when given)
// goes with block k. Returns the left output.
std::vector<float> Render(PluginInstance& plugin, const std::vector<float>& input,
                          std::vector<vst3host::ParameterChanges*> changes = {}) {
  std::vector<float> output(input.size());
  std::vector<float> right(input.size());
  for (size_t start = 0, k = 0; start < input.size(); start += kBlock, ++k) {
    const auto frames = static_cast<int32>(std::min<size_t>(kBlock, input.size() - start));
    float* in[2] = {const_cast<float*>(input.data()) + start, const_cast<float*>(input.data()) + start};
    float* out[2] = {output.data() + start, right.data() + start};
    EXPECT_EQ(plugin.Process32(in, out, frames, k < changes.size() ? changes[k] : nullptr), kResultOk);
  }
  return output;
}

// Frequency from the rising zero crossings in [from, to), interpolated.
double Frequency(const std::vector<float>& s, size_t from, size_t to) {
  double first = -1, last = -1;
  int crossings = 0;
  for (size_t i = from + 1; i < to; ++i) {
    if (s[i - 1] < 0.0f && s[i] >= 0.0f) {
      const double at = (i - 1) + s[i - 1] / (s[i - 1] - s[i]);
      if (first < 0) first = at;
      last = at;
      ++crossings;
    }
  }
  return crossings > 1 ? (crossings - 1) * kRate / (last - first) : 0.0;
}

TEST_F(TessivoModule, FactoryOffersOneTessivoClass) {
  vst3host::FactoryRecord factory;
  ASSERT_TRUE(module->ReadFactoryInfo(factory));
  EXPECT_EQ(factory.vendor, "Corvath");
  // The maker's one address: the one the about box links to as well.
  EXPECT_EQ(factory.url, "https://www.corvath.com");
  EXPECT_EQ(factory.flags, PFactoryInfo::kUnicode);

  const std::vector<vst3host::ClassRecord> classes = module->Classes();
  ASSERT_EQ(classes.size(), 1u);
  const vst3host::ClassRecord& c = classes[0];
  const unsigned char cid[16] = {0x0D, 0xE7, 0xAE, 0xF2, 0xDE, 0x00, 0x4E, 0x4F, 'W', 'k', 'z', 'm', 'W', 'K', 'Z', 'M'};
  EXPECT_EQ(std::memcmp(c.cid.data(), cid, 16), 0) << vst3host::FormatClassId(c.cid);
  EXPECT_EQ(c.name, "Tessivo");
  EXPECT_EQ(c.category, "Audio Module Class");
  EXPECT_EQ(c.subCategories, "Fx");
  EXPECT_EQ(c.cardinality, PClassInfo::kManyInstances);
  EXPECT_EQ(c.classFlags, 2u);
  EXPECT_EQ(c.vendor, "");
  EXPECT_EQ(c.version, "1.0.2");
  EXPECT_EQ(c.sdkVersion, "VST 3.6.13");

  // The class record agrees with the product's own configuration.
  Held<Tessivo> product(new Tessivo());
  EXPECT_EQ(c.name, product->PluginName());
  const auto code = [&](int first) {
    return static_cast<int32_t>((uint32_t(uint8_t(c.cid[first])) << 24) | (uint32_t(uint8_t(c.cid[first + 1])) << 16) |
                                (uint32_t(uint8_t(c.cid[first + 2])) << 8) | uint32_t(uint8_t(c.cid[first + 3])));
  };
  EXPECT_EQ(code(8), product->MakerCode());
  EXPECT_EQ(code(12), product->UniqueCode());
}

TEST_F(TessivoModule, HostSeesFourParametersWithTheirTexts) {
  std::unique_ptr<PluginInstance> plugin = NewInstance();
  ASSERT_TRUE(plugin);
  const std::vector<vst3host::ParamRecord> params = plugin->Parameters();
  const struct {
    ParamID id;
    const char* title;
    const char* units;
    int32 steps;
  } expected[] = {{0x10000, "Bypass", "", 1}, {0, "Coarse", "Semi", 24}, {1, "Fine", "Cents", 200}, {2, "Mix", "%", 0}};
  ASSERT_EQ(params.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(params[i].id, expected[i].id);
    EXPECT_EQ(params[i].title, expected[i].title);
    EXPECT_EQ(params[i].units, expected[i].units);
    EXPECT_EQ(params[i].stepCount, expected[i].steps);
  }
  EXPECT_EQ(plugin->ParamText(0, 1.0), "12");
  EXPECT_EQ(plugin->ParamText(1, 0.0), "-100");
  EXPECT_EQ(plugin->ParamText(0x10000, 0.0), "off");
  EXPECT_EQ(plugin->ParamText(0x10000, 1.0), "on");
}

TEST_F(TessivoModule, AutomatingCoarseChangesThePitch) {
  std::unique_ptr<PluginInstance> plugin = NewInstance();
  ASSERT_TRUE(plugin);
  const size_t half = 40 * kBlock;
  const std::vector<float> input = Tone(2 * half, kTone);
  // Only the process call's parameter changes carry the new value.
  vst3host::ParameterChanges octaveUp;
  octaveUp.Add(0, 0, 1.0);
  std::vector<vst3host::ParameterChanges*> changes(half / kBlock, nullptr);
  changes.push_back(&octaveUp);
  const std::vector<float> output = Render(*plugin, input, changes);

  const size_t settle = 8192;
  EXPECT_NEAR(Frequency(output, settle, half), kTone, kTone * 1e-3);
  EXPECT_NEAR(Frequency(output, half + settle, 2 * half), kTone * std::pow(1.0594631, 12), kTone * 1e-3);
}

// A host that stops processing a silent plug-in once its tail has passed
// cuts nothing: after a tone, the output is below -80 dB once
// getTailSamples frames of silence have gone in, at every line length and
// with the taps reading the line from near its writer (octave up) to its far
// end (octave down). And there is a tail to keep: the wet signal goes on
// after the input stops.
TEST_F(TessivoModule, TheTailLastsUntilTheOutputIsSilent) {
  const struct {
    double rate;
    uint32 line;
  } rates[] = {{22050.0, 1024}, {44100.0, 2048}, {48000.0, 4096}, {96000.0, 8192}};
  constexpr float kSilent = 1e-4f;  // -80 dB below full scale
  for (const auto& r : rates) {
    for (double coarse : {0.0, 0.5, 15.0 / 24.0, 1.0}) {  // -12, 0, +3 and +12 semitones
      const std::string what = std::to_string(r.rate) + " Hz, Coarse " + std::to_string(-12 + 24 * coarse);
      std::string error;
      std::unique_ptr<PluginInstance> plugin = PluginInstance::Create(*module, tessivo.cid, host, &error);
      ASSERT_TRUE(plugin) << error;
      ASSERT_TRUE(plugin->Start(r.rate, kBlock, kSample32, &error)) << error;
      ASSERT_EQ(plugin->Controller()->setParamNormalized(0, coarse), kResultOk);
      const uint32 tail = plugin->Processor()->getTailSamples();
      EXPECT_EQ(tail, r.line) << what;

      // Two line lengths of 440 Hz, then silence for the tail and two blocks more.
      const size_t stop = 2 * r.line;
      std::vector<float> input(stop + r.line + 2 * kBlock, 0.0f);
      for (size_t i = 0; i < stop; ++i)
        input[i] = static_cast<float>(0.5 * std::sin(2.0 * 3.141592653589793 * 440.0 * i / r.rate));
      const std::vector<float> output = Render(*plugin, input);
      size_t heard = 0;  // frames after the stop until the last one above -80 dB
      for (size_t i = stop; i < output.size(); ++i)
        if (std::fabs(output[i]) >= kSilent) heard = i - stop + 1;
      EXPECT_GT(heard, 0u) << what << ": no tail to keep";
      EXPECT_LE(heard, tail) << what;
    }
  }
}

TEST_F(TessivoModule, BypassGivesTheInputBackExactly) {
  for (int32 sampleSize : {int32(kSample32), int32(kSample64)}) {
    std::unique_ptr<PluginInstance> plugin = NewInstance(sampleSize);
    ASSERT_TRUE(plugin);
    vst3host::ParameterChanges changes;
    changes.Add(0, 0, 1.0);
    changes.Add(0x10000, 0, 1.0);
    const std::vector<float> tone = Tone(kBlock, kTone);
    if (sampleSize == kSample32) {
      std::vector<float> left(kBlock), right(kBlock);
      float* in[2] = {const_cast<float*>(tone.data()), const_cast<float*>(tone.data())};
      float* out[2] = {left.data(), right.data()};
      ASSERT_EQ(plugin->Process32(in, out, kBlock, &changes), kResultOk);
      EXPECT_EQ(left, tone);
      EXPECT_EQ(right, tone);
    } else {
      std::vector<double> source(tone.begin(), tone.end()), left(kBlock), right(kBlock);
      double* in[2] = {source.data(), source.data()};
      double* out[2] = {left.data(), right.data()};
      ASSERT_EQ(plugin->Process64(in, out, kBlock, &changes), kResultOk);
      EXPECT_EQ(left, source);
      EXPECT_EQ(right, source);
    }
    EXPECT_DOUBLE_EQ(plugin->Controller()->getParamNormalized(0x10000), 1.0);
  }
}

TEST_F(TessivoModule, StateCarriesParametersBypassAndSoundToAFreshInstance) {
  const std::vector<float> input = Tone(16 * kBlock, 310.0);
  for (double bypass : {0.0, 1.0}) {
    std::unique_ptr<PluginInstance> original = NewInstance();
    ASSERT_TRUE(original);
    IEditController* controller = original->Controller();
    ASSERT_EQ(controller->setParamNormalized(0, 19.0 / 24.0), kResultOk); // +7
    ASSERT_EQ(controller->setParamNormalized(1, 0.6), kResultOk);         // +20 cents
    ASSERT_EQ(controller->setParamNormalized(2, 0.5), kResultOk);         // half wet
    ASSERT_EQ(controller->setParamNormalized(0x10000, bypass), kResultOk);
    std::vector<uint8_t> state;
    ASSERT_TRUE(original->GetState(state));
    ASSERT_EQ(state.size(), 28u);

    std::unique_ptr<PluginInstance> copy = NewInstance();
    ASSERT_TRUE(copy);
    ASSERT_EQ(copy->SetState(state), kResultOk);
    for (ParamID id : {ParamID(0), ParamID(1), ParamID(2), ParamID(0x10000)})
      EXPECT_EQ(copy->Controller()->getParamNormalized(id), controller->getParamNormalized(id)) << id;
    EXPECT_EQ(copy->Controller()->getParamNormalized(0x10000), bypass);

    // Both start over from the same stream state and must sound the same.
    std::string error;
    ASSERT_TRUE(original->Start(kRate, kBlock, kSample32, &error)) << error;
    ASSERT_TRUE(copy->Start(kRate, kBlock, kSample32, &error)) << error;
    const std::vector<float> a = Render(*original, input);
    const std::vector<float> b = Render(*copy, input);
    EXPECT_EQ(a, b);
    if (bypass > 0.5)
      EXPECT_EQ(a, input);
    else
      EXPECT_NE(a, input);
  }
}

// Hosts may call setState, getState and the program parameter from different
// threads at once, while audio runs. None of it may corrupt the instance, and
// every state call and program change sees and leaves a whole state. The run
// has two halves: first every parameter changes one at a time as well; then
// only Mix and Bypass do, so that any Coarse and Fine pair that getState
// answers must be one that a whole state holds (a preset's, or the saved
// one's). Afterwards the state saved before the run still restores one that
// saves and renders exactly as a fresh instance given the same state.
// Component and controller are one object: the component's state that a
// host hands the controller is answered OK and changes nothing.
TEST_F(TessivoModule, ComponentStateForTheControllerIsAcceptedAndChangesNothing) {
  std::unique_ptr<PluginInstance> plugin = NewInstance();
  ASSERT_TRUE(plugin);
  std::vector<uint8_t> saved;
  ASSERT_TRUE(plugin->GetState(saved));
  vst3host::ParamRecord mix;
  ASSERT_TRUE(plugin->FindParameter("Mix", mix));
  ASSERT_EQ(plugin->Controller()->setParamNormalized(mix.id, 0.25), kResultOk);
  std::vector<uint8_t> changed;
  ASSERT_TRUE(plugin->GetState(changed));
  ASSERT_NE(changed, saved);

  IPtr<vst3host::MemoryStream> stream(new vst3host::MemoryStream(saved), false);
  EXPECT_EQ(plugin->Controller()->setComponentState(stream), kResultOk);
  EXPECT_EQ(plugin->Controller()->setComponentState(nullptr), kResultOk);
  std::vector<uint8_t> after;
  ASSERT_TRUE(plugin->GetState(after));
  EXPECT_EQ(after, changed);
  EXPECT_DOUBLE_EQ(plugin->Controller()->getParamNormalized(mix.id), 0.25);
}

TEST_F(TessivoModule, StateAndProgramCallsFromFourThreadsWhileAudioRuns) {
  std::unique_ptr<PluginInstance> used = NewInstance();
  ASSERT_TRUE(used);
  IEditController* controller = used->Controller();
  ASSERT_EQ(controller->setParamNormalized(0, 7.0 / 24.0), kResultOk); // -5
  ASSERT_EQ(controller->setParamNormalized(1, 0.6), kResultOk);        // +20 cents
  ASSERT_EQ(controller->setParamNormalized(2, 0.7), kResultOk);
  std::vector<uint8_t> state;
  ASSERT_TRUE(used->GetState(state));

  // Coarse and Fine of every whole state the run can make.
  std::vector<std::pair<double, double>> pairs = {{-5.0, 20.0}};
  {
    Held<Tessivo> product(new Tessivo());
    for (int32_t i = 0; i < product->PresetCount(); ++i) {
      const plugkit::IStateBuffer& preset = product->GetPreset(i)->state;
      double coarse = 0.0, fine = 0.0;
      ASSERT_GE(preset.ReadFloat64(8, &fine), 0);
      preset.ReadFloat64(0, &coarse);
      pairs.emplace_back(coarse, fine);
    }
  }
  const auto whole = [&pairs](const std::vector<uint8_t>& bytes) {
    if (bytes.size() < 16) return false;
    double coarse = 0.0, fine = 0.0;
    std::memcpy(&coarse, bytes.data(), 8);
    std::memcpy(&fine, bytes.data() + 8, 8);
    return std::find(pairs.begin(), pairs.end(), std::make_pair(coarse, fine)) != pairs.end();
  };

  vst3host::ConcurrentCallOptions options;
  options.seconds = 1.25;
  options.blockSize = kBlock;
  options.sampleRate = kRate;
  options.hasProgramParam = true;
  options.programParamId = plugkit::IVST3ControllerBase::kPresetParamId;
  for (bool limited : {false, true}) {
    if (limited) {
      options.seed = 2;
      options.changedParams = {2, plugkit::IVST3ControllerBase::kBypassParamId};
      options.wholeState = whole;
      ASSERT_EQ(used->SetState(state), kResultOk);
    }
    const vst3host::ConcurrentCallReport report = vst3host::RunConcurrentCalls(*used, options);
    std::printf("[ threads  ] %s\n", vst2host::DescribeRun(report.run, options.callers).c_str());
    std::fflush(stdout);
    for (const std::string& fault : report.faults) ADD_FAILURE() << (limited ? "second half: " : "first half: ") << fault;
  }

  std::unique_ptr<PluginInstance> fresh = NewInstance();
  ASSERT_TRUE(fresh);
  std::string error;
  for (PluginInstance* instance : {used.get(), fresh.get()}) {
    ASSERT_EQ(instance->SetState(state), kResultOk);
    std::vector<uint8_t> again;
    ASSERT_TRUE(instance->GetState(again));
    EXPECT_EQ(again, state);
    ASSERT_TRUE(instance->Start(kRate, kBlock, kSample32, &error)) << error;
  }
  const std::vector<float> input = Tone(32 * kBlock, 310.0);
  const std::vector<float> a = Render(*used, input);
  const std::vector<float> b = Render(*fresh, input);
  EXPECT_NE(b, input);  // the restored state does shift
  EXPECT_EQ(a, b);
}

} // namespace
} // namespace vst3test
