// The host parameters: their information, texts and conversions, host
// changes reaching the product, program changes reaching the host, units and
// the MIDI-controller mapping.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>
#include <vector>

#include "api/vst3/IVST3Text.h"
#include "tests/api/vst3/midi_probe.h"
#include "tests/api/vst3/vst3_fixture.h"
#include "tests/hosts/vst3/ComponentHandler.h"
#include "tests/hosts/vst3/HostText.h"

namespace vst3test {
namespace {

using plugkit::IVST3ControllerBase;
constexpr ParamID kBypass = IVST3ControllerBase::kBypassParamId;
constexpr ParamID kPreset = IVST3ControllerBase::kPresetParamId;

std::string Text(IEditController& controller, ParamID id, double normalised) {
  String128 text{};
  if (controller.getParamStringByValue(id, normalised, text) != kResultOk) return "<refused>";
  return vst3host::SdkTextToUtf8(text);
}

class VST3Params : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_EQ(plugin->initialize(nullptr), kResultOk); }
  void TearDown() override { plugin->terminate(); }
  Held<TProbe> plugin{new TProbe()};
};

TEST_F(VST3Params, PublishesTheThreeParametersAndBypass) {
  const struct {
    ParamID id;
    const char* title;
    const char* units;
    int32 steps;
    double defaultValue;
    int32 flags;
  } expected[] = {
    {kBypass, "Bypass", "", 1, 0.0, ParameterInfo::kCanAutomate | ParameterInfo::kIsList | ParameterInfo::kIsBypass},
    {0, "Coarse", "Semi", 24, 0.5, ParameterInfo::kCanAutomate},
    {1, "Fine", "Cents", 200, 0.5, ParameterInfo::kCanAutomate},
    {2, "Mix", "%", 0, 1.0, ParameterInfo::kCanAutomate},
  };
  ASSERT_EQ(plugin->getParameterCount(), 4);
  for (int32 i = 0; i < 4; ++i) {
    ParameterInfo info{};
    ASSERT_EQ(plugin->getParameterInfo(i, info), kResultOk);
    EXPECT_EQ(info.id, expected[i].id);
    EXPECT_EQ(vst3host::SdkTextToUtf8(info.title), expected[i].title);
    EXPECT_EQ(vst3host::SdkTextToUtf8(info.units), expected[i].units);
    EXPECT_EQ(vst3host::SdkTextToUtf8(info.shortTitle), "");
    EXPECT_EQ(info.stepCount, expected[i].steps) << expected[i].title;
    EXPECT_DOUBLE_EQ(info.defaultNormalizedValue, expected[i].defaultValue) << expected[i].title;
    EXPECT_EQ(info.flags, expected[i].flags) << expected[i].title;
    EXPECT_EQ(info.unitId, kRootUnitId);
  }
  ParameterInfo beyond{};
  EXPECT_EQ(plugin->getParameterInfo(4, beyond), kInvalidArgument);
  EXPECT_EQ(plugin->getUnitCount(), 1);
}

TEST_F(VST3Params, TextsAndConversionsAreTheParametersOwn) {
  const struct {
    ParamID id;
    double normalised;
    const char* text;
  } texts[] = {{0, 0.0, "-12"}, {0, 0.5, "0"}, {0, 1.0, "12"}, {1, 0.75, "50"},
               {2, 0.5, "50"}, {kBypass, 0.0, "off"}, {kBypass, 1.0, "on"}, {kBypass, 7.0, "on"},
               {kBypass, std::numeric_limits<double>::quiet_NaN(), "off"}, {99, 0.5, "<refused>"}};
  for (const auto& t : texts) EXPECT_EQ(Text(*plugin, t.id, t.normalised), t.text) << t.id << " " << t.normalised;

  std::u16string seven = U16("7");
  ParamValue value = -1.0;
  ASSERT_EQ(plugin->getParamValueByString(0, reinterpret_cast<TChar*>(&seven[0]), value), kResultOk);
  EXPECT_DOUBLE_EQ(value, 19.0 / 24.0);
  std::u16string junk = U16("loud");
  ASSERT_EQ(plugin->getParamValueByString(2, reinterpret_cast<TChar*>(&junk[0]), value), kResultOk);
  EXPECT_DOUBLE_EQ(value, 0.0);

  EXPECT_DOUBLE_EQ(plugin->normalizedParamToPlain(0, 0.53), 1.0); // 0.72 rounded to a whole semitone
  EXPECT_DOUBLE_EQ(plugin->normalizedParamToPlain(0, 2.0), 12.0);
  EXPECT_DOUBLE_EQ(plugin->normalizedParamToPlain(0, std::numeric_limits<double>::quiet_NaN()), -12.0);
  EXPECT_DOUBLE_EQ(plugin->plainParamToNormalized(2, 150.0), 1.0);
  EXPECT_DOUBLE_EQ(plugin->plainParamToNormalized(0, 2.4), 14.0 / 24.0);
}

TEST_F(VST3Params, HostValuesReachTheProductAndTheHostReadsThemBack) {
  plugin->changes.clear();
  ASSERT_EQ(plugin->setParamNormalized(0, 1.0), kResultOk);
  EXPECT_EQ(plugin->GetParam(Coarse)->Value(), 12.0);
  ASSERT_EQ(plugin->changes.size(), 1u);
  EXPECT_EQ(plugin->changes[0].index, 0);
  EXPECT_EQ(plugin->changes[0].source, plugkit::IChangeSource::Host);
  EXPECT_EQ(plugin->CoarseSemitones, 12);
  EXPECT_DOUBLE_EQ(plugin->getParamNormalized(0), 1.0);

  // Refused: nothing changes.
  EXPECT_EQ(plugin->setParamNormalized(0, std::numeric_limits<double>::quiet_NaN()), kResultFalse);
  EXPECT_EQ(plugin->setParamNormalized(12345, 0.5), kResultFalse);
  EXPECT_EQ(plugin->GetParam(Coarse)->Value(), 12.0);

  // Values set behind the host's back are what it reads.
  plugin->GetParam(Mix)->Set(25.0);
  EXPECT_DOUBLE_EQ(plugin->getParamNormalized(2), 0.25);
  ASSERT_TRUE(plugin->ApplyPreset(6)); // "Octave down (mixed)"
  EXPECT_DOUBLE_EQ(plugin->getParamNormalized(0), 0.0);
  EXPECT_DOUBLE_EQ(plugin->getParamNormalized(2), 0.5);
}

TEST_F(VST3Params, PresetIdAppliesAPreset) {
  EXPECT_EQ(plugin->setParamNormalized(kPreset, 5.0 / 6.0), kResultOk);
  EXPECT_EQ(plugin->CurrentPreset(), 5); // "Octave up"
  EXPECT_EQ(plugin->GetParam(Coarse)->Value(), 12.0);
  EXPECT_EQ(plugin->CoarseSemitones, 12);
  EXPECT_EQ(plugin->setParamNormalized(kPreset, 0.0), kResultOk);
  EXPECT_EQ(plugin->CurrentPreset(), 0);
}

// A program change through the preset id changes every value under the
// host: it is told so, and that its project changed where its handler offers
// IComponentHandler2, on the user-interface thread only. Changes made on
// other threads wait for the editor tick, and however many came, the host
// hears of them once.
TEST(VST3PresetNotes, TheHostHearsOfProgramChangesOnItsOwnThreadOnly) {
  using vst3host::HandlerCall;
  using EKind = HandlerCall::EKind;
  const HandlerCall restart{EKind::RestartComponent, 0, 0.0, kParamValuesChanged};
  const HandlerCall dirty{EKind::SetDirty, 0, 0.0, 1};
  const auto same = [](const std::vector<HandlerCall>& calls, const std::vector<HandlerCall>& expected) {
    if (calls.size() != expected.size()) return false;
    for (size_t i = 0; i < calls.size(); ++i)
      if (calls[i].kind != expected[i].kind || calls[i].flags != expected[i].flags ||
          calls[i].thread != std::this_thread::get_id())
        return false;
    return true;
  };
  for (bool handler2 : {true, false}) {
    Held<TProbe> plugin(new TProbe());
    ASSERT_EQ(plugin->initialize(nullptr), kResultOk);
    IPtr<vst3host::ComponentHandler> handler(new vst3host::ComponentHandler(), false);
    handler->SetOffersHandler2(handler2);
    ASSERT_EQ(plugin->setComponentHandler(handler), kResultTrue);
    const std::vector<HandlerCall> told = handler2 ? std::vector<HandlerCall>{restart, dirty}
                                                   : std::vector<HandlerCall>{restart};

    ASSERT_EQ(plugin->setParamNormalized(kPreset, 0.5), kResultOk);
    EXPECT_TRUE(same(handler->Calls(), told)) << "handler2 " << handler2;
    // A program change that is refused changes nothing and tells nothing.
    handler->ClearCalls();
    EXPECT_EQ(plugin->setParamNormalized(kPreset, std::numeric_limits<double>::quiet_NaN()), kResultFalse);
    plugin->OnEditorTick();
    EXPECT_TRUE(handler->Calls().empty());

    // Two workers change programs: nothing reaches the host from them; the
    // next tick passes both on as one.
    for (double value : {1.0 / 6.0, 4.0 / 6.0})
      std::thread([&] { plugin->setParamNormalized(kPreset, value); }).join();
    EXPECT_EQ(plugin->CurrentPreset(), 4);
    EXPECT_TRUE(handler->Calls().empty());
    plugin->OnEditorTick();
    EXPECT_TRUE(same(handler->Calls(), told));
    plugin->OnEditorTick();
    EXPECT_TRUE(same(handler->Calls(), told)) << "told once";

    // A change on this thread takes along what a worker left unsent.
    handler->ClearCalls();
    std::thread([&] { plugin->setParamNormalized(kPreset, 0.0); }).join();
    ASSERT_EQ(plugin->setParamNormalized(kPreset, 1.0), kResultOk);
    plugin->OnEditorTick();
    EXPECT_TRUE(same(handler->Calls(), told));

    plugin->setComponentHandler(nullptr);
    plugin->terminate();
  }
}

TEST_F(VST3Params, BypassParameterDrivesTheBypassFlag) {
  EXPECT_FALSE(plugin->IsBypassed());
  ASSERT_EQ(plugin->setParamNormalized(kBypass, 1.0), kResultOk);
  EXPECT_TRUE(plugin->IsBypassed());
  EXPECT_DOUBLE_EQ(plugin->getParamNormalized(kBypass), 1.0);
  ASSERT_EQ(plugin->setParamNormalized(kBypass, 0.2), kResultOk);
  EXPECT_FALSE(plugin->IsBypassed());
  EXPECT_DOUBLE_EQ(plugin->getParamNormalized(kBypass), 0.0);
}

TEST_F(VST3Params, NoMidiMappingWithoutMidiInput) {
  ParamID id = 77;
  EXPECT_EQ(plugin->getMidiControllerAssignment(0, 0, 7, id), kResultFalse);
  EXPECT_EQ(id, 77u);
}

TEST(VST3MidiParams, UnitsParametersAndMappingOfAMidiPlugin) {
  Held<TMidiProbe> plugin(new TMidiProbe());
  ASSERT_EQ(plugin->initialize(nullptr), kResultOk);
  EXPECT_EQ(plugin->getBusCount(kEvent, kInput), 1);
  EXPECT_EQ(plugin->getBusCount(kEvent, kOutput), 1);

  const struct {
    UnitID id;
    UnitID parent;
    const char* name;
  } units[] = {{0, kNoParentUnitId, "Root"}, {1, 0, "A"}, {2, 0, "B"}, {4, 0, "MIDI CCs"}, {5, 4, "CH1"}};
  ASSERT_EQ(plugin->getUnitCount(), 5);
  for (int32 i = 0; i < 5; ++i) {
    UnitInfo info{};
    ASSERT_EQ(plugin->getUnitInfo(i, info), kResultOk);
    EXPECT_EQ(info.id, units[i].id);
    EXPECT_EQ(info.parentUnitId, units[i].parent);
    EXPECT_EQ(info.programListId, kNoProgramListId);
    EXPECT_EQ(vst3host::SdkTextToUtf8(info.name), units[i].name);
  }

  // Bypass, three parameters, 130 controllers of channel 1.
  ASSERT_EQ(plugin->getParameterCount(), 1 + 3 + 130);
  const struct {
    ParamID id;
    const char* title;
    UnitID unit;
    double defaultValue;
  } params[] = {{0, "P", 1, 0.0},          {1, "P", 2, 0.0},           {2, "P", 1, 0.0},
                {0x10002, "BankSel.MSB", 5, 0.0}, {0x10002 + 66, "Sostenuto ", 5, 0.0},
                {0x10082, "Channel Aftertouch", 5, 0.0}, {0x10083, "Pitch Bend", 5, 0.5}};
  for (const auto& p : params) {
    ParameterInfo info{};
    ASSERT_EQ(plugin->getParameterInfoByTag(p.id, info), kResultOk) << p.id;
    EXPECT_EQ(vst3host::SdkTextToUtf8(info.title), p.title);
    EXPECT_EQ(info.unitId, p.unit) << p.id;
    EXPECT_DOUBLE_EQ(info.defaultNormalizedValue, p.defaultValue) << p.id;
  }

  const struct {
    int32 bus;
    int16 channel;
    CtrlNumber controller;
    tresult result;
    ParamID id;
  } mappings[] = {{0, 0, 7, kResultOk, 0x10009},     {0, 0, 129, kResultOk, 0x10083},
                  {0, 2, 7, kResultFalse, 0},        {1, 0, 7, kResultFalse, 0},
                  {0, 0, 130, kResultFalse, 0},      {0, -1, 7, kResultFalse, 0}};
  for (const auto& m : mappings) {
    ParamID id = 0;
    EXPECT_EQ(plugin->getMidiControllerAssignment(m.bus, m.channel, m.controller, id), m.result)
      << m.bus << "/" << m.channel << "/" << m.controller;
    EXPECT_EQ(id, m.id);
  }
  plugin->terminate();
}

TEST(VST3Text, ConvertsUtf8AndUtf16WithoutOverrunningTheirFields) {
  TChar wide[8];
  plugkit::Utf8ToVST3Text("\xC2\xB0" "C \xF0\x9F\x8E\xB5", wide, 8); // degree sign, C, blank, a note (two units)
  EXPECT_EQ(FromString128(wide), u"\u00B0C \U0001F3B5");
  plugkit::Utf8ToVST3Text("ab\xFF" "c\xC3", wide, 8); // a stray byte and a cut sequence
  EXPECT_EQ(FromString128(wide), u"ab\uFFFDc\uFFFD");
  plugkit::Utf8ToVST3Text("abc\xF0\x9F\x8E\xB5", wide, 5); // the pair does not fit: left out whole
  EXPECT_EQ(FromString128(wide), u"abc");

  char narrow[8];
  const char16_t source[] = u"\u00B0C \U0001F3B5";
  plugkit::VST3TextToUtf8(reinterpret_cast<const TChar*>(source), 128, narrow, 8);
  EXPECT_STREQ(narrow, "\xC2\xB0" "C ");  // the 4-byte note does not fit in the rest
  const char16_t lone[] = {u'a', 0xD800, u'b', 0};
  plugkit::VST3TextToUtf8(reinterpret_cast<const TChar*>(lone), 128, narrow, 8);
  EXPECT_STREQ(narrow, "a?b");
  const char16_t unterminated[] = {u'x', u'y', u'z'};
  plugkit::VST3TextToUtf8(reinterpret_cast<const TChar*>(unterminated), 2, narrow, 8);
  EXPECT_STREQ(narrow, "xy");
}

} // namespace
} // namespace vst3test
