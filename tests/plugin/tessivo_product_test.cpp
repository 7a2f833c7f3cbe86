#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <thread>

#include <windows.h>

#include "api/vst2/VST2Interface.h"
#include "core/IParam.h"
#include "core/IPortDirection.h"
#include "core/IPresetSlot.h"
#include "plugin/Tessivo.h"
#include "tests/plugin/allocation_counter.h"
#include "tests/plugin/tessivo_support.h"

using namespace plugkit;
using namespace tessivo_test;

namespace {

constexpr int32_t Code(const char (&c)[5]) {
  return int32_t(uint32_t(uint8_t(c[0])) << 24 | uint32_t(uint8_t(c[1])) << 16 | uint32_t(uint8_t(c[2])) << 8 |
                 uint32_t(uint8_t(c[3])));
}

// Lets a test put the current preset index where no host call would.
class IndexableTessivo : public Tessivo {
public:
  IndexableTessivo() : Tessivo(nullptr) {}
  void ForceCurrentPreset(int32_t index) { mCurrentPreset = index; }
};

TEST(TessivoProduct, ConfigurationRecord) {
  Tessivo plugin(nullptr);
  EXPECT_STREQ(plugin.PluginName(), "Tessivo");
  EXPECT_STREQ(plugin.ProductName(), "");
  EXPECT_STREQ(plugin.MakerName(), "Corvath");
  EXPECT_STREQ(plugin.ExtraIdentifier(), "");
  EXPECT_EQ(plugin.VendorVersion(), 65536);
  EXPECT_EQ(plugin.UniqueCode(), Code("WKZM"));
  EXPECT_EQ(plugin.MakerCode(), Code("Wkzm"));
  EXPECT_EQ(plugin.ParamCount(), 3);
  EXPECT_EQ(plugin.PresetCount(), 7);
  EXPECT_EQ(plugin.ChannelCount(IPortDirection::Input), 2);
  EXPECT_EQ(plugin.ChannelCount(IPortDirection::Output), 2);
  EXPECT_TRUE(plugin.LegalIO(2, 2));
  EXPECT_FALSE(plugin.LegalIO(1, 2));
  EXPECT_EQ(plugin.Latency(), 0);
  EXPECT_EQ(plugin.PluginKind(), 0);
  EXPECT_FALSE(plugin.TakesMidiInput());
  EXPECT_FALSE(plugin.SendsMidiOutput());
  EXPECT_FALSE(plugin.IsMpe());
  EXPECT_FALSE(plugin.UsesStateChunks());
  EXPECT_TRUE(plugin.HasEditor());
  EXPECT_EQ(plugin.EditorWidth(), 250);
  EXPECT_EQ(plugin.EditorHeight(), 160);
}

// The line and the window exist from the start at their longest length, with
// no length in use before the first reset; ratio and gains are those of the
// default parameters.
TEST(TessivoProduct, FreshObjectHasItsLineButNoLengthAndNoEditorControls) {
  Tessivo plugin(nullptr);
  ASSERT_NE(plugin.DelayLine, nullptr);
  ASSERT_NE(plugin.FadeWindow, nullptr);
  for (int32_t i = 0; i < Tessivo::kMaxLineLength; ++i) {
    ASSERT_EQ(plugin.DelayLine[i], 0.0) << i;
    ASSERT_EQ(plugin.FadeWindow[i], 0.0) << i;
  }
  EXPECT_EQ(plugin.LineLength, 0);
  EXPECT_EQ(plugin.TransposeRatio, 1.0);
  EXPECT_GT(plugin.DryGain, 6.12e-17); // cos(pi/2) in float64
  EXPECT_LT(plugin.DryGain, 6.13e-17);
  EXPECT_EQ(plugin.WetGain, 1.0);
  EXPECT_FALSE(plugin.Bypassed);
  EXPECT_STREQ(plugin.PresetTitle(), "");
  EXPECT_EQ(plugin.PresetStrip(), nullptr);
  EXPECT_EQ(plugin.AboutBox(), nullptr);
}

struct ParamCase {
  int32_t index;
  const char* name;
  const char* label;
  IParamKind kind;
  double defaultValue, min, max;
  int32_t flags;
  int32_t unit;
};

TEST(TessivoProduct, Parameters) {
  const ParamCase cases[] = {
      {Coarse, "Coarse", "Semi", IParamKind::Integer, 0, -12, 12, IParamFlag::Quantised, 21},
      {Fine, "Fine", "Cents", IParamKind::Integer, 0, -100, 100, IParamFlag::Quantised, 21},
      {Mix, "Mix", "%", IParamKind::Decimal, 100, 0, 100, 0, 0},
  };
  Tessivo plugin(nullptr);
  for (const ParamCase& c : cases) {
    SCOPED_TRACE(c.name);
    const IParam* p = plugin.GetParam(c.index);
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p->Name(), c.name);
    EXPECT_STREQ(p->Label(), c.label);
    EXPECT_EQ(p->Kind(), c.kind);
    EXPECT_EQ(p->Default(), c.defaultValue);
    EXPECT_EQ(p->Value(), c.defaultValue);
    EXPECT_EQ(p->Min(), c.min);
    EXPECT_EQ(p->Max(), c.max);
    EXPECT_EQ(p->Step(), 1.0);
    EXPECT_EQ(p->Flags(), c.flags);
    EXPECT_EQ(p->Unit(), c.unit);
    EXPECT_EQ(p->GetShape().CurveKind(), 0);
    EXPECT_FALSE(p->HasDisplayFunction());
  }
  EXPECT_EQ(plugin.GetParam(3), nullptr);
}

struct NormalisedCase {
  int32_t index;
  double normalised;
  double value;
};

// Host values map linearly; the integer parameters land on whole steps.
TEST(TessivoProduct, NormalisedValuesMapOntoTheRanges) {
  const NormalisedCase cases[] = {
      {Coarse, 0.5, 0},  {Coarse, 1.0, 12}, {Coarse, 0.0, -12}, {Coarse, 0.52, 0}, {Coarse, 0.53, 1},
      {Fine, 0.5, 0},    {Fine, 1.0, 100},  {Fine, 0.0, -100},  {Fine, 0.5751, 15},
      {Mix, 0.5, 50},    {Mix, 0.0, 0},     {Mix, 1.0, 100},    {Mix, 0.255, 25.5},
  };
  Tessivo plugin(nullptr);
  for (const NormalisedCase& c : cases) {
    plugin.GetParam(c.index)->ApplyNormalised(c.normalised);
    plugin.OnParamChange(c.index, IChangeSource::Host, -1);
    EXPECT_DOUBLE_EQ(plugin.GetParam(c.index)->Value(), c.value) << c.index << " at " << c.normalised;
  }
  plugin.GetParam(Coarse)->ApplyNormalised(1.0);
  plugin.OnParamChange(Coarse, IChangeSource::Host, -1);
  plugin.GetParam(Fine)->ApplyNormalised(0.5);
  plugin.OnParamChange(Fine, IChangeSource::Host, -1);
  EXPECT_EQ(plugin.CoarseSemitones, 12);
  EXPECT_DOUBLE_EQ(plugin.TransposeRatio, std::pow(kSemitone, 12.0));
  plugin.GetParam(Mix)->ApplyNormalised(0.5);
  plugin.OnParamChange(Mix, IChangeSource::Host, -1);
  EXPECT_DOUBLE_EQ(plugin.DryGain, std::sqrt(0.5));
  EXPECT_DOUBLE_EQ(plugin.WetGain, std::sqrt(0.5));
}

struct PresetCase {
  const char* title;
  double coarse, fine, mix;
};

const PresetCase kFactoryPresets[] = {
    {"Default", 0, 0, 100},         {"Light Detune", 0, 15, 50},   {"Hard Detune", 0, 50, 50},
    {"Down 3 Semitones", -3, 0, 100}, {"Up 3 Semitones", 3, 0, 100}, {"Octave up", 12, 0, 100},
    {"Octave down (mixed)", -12, 0, 50},
};

TEST(TessivoProduct, FactoryPresetsAreStoredInSlotOrder) {
  Tessivo plugin(nullptr);
  EXPECT_EQ(plugin.CurrentPreset(), 0);
  for (int32_t i = 0; i < 7; ++i) {
    const PresetCase& c = kFactoryPresets[i];
    SCOPED_TRACE(c.title);
    const IPresetSlot* slot = plugin.GetPreset(i);
    ASSERT_NE(slot, nullptr);
    EXPECT_TRUE(slot->filled);
    EXPECT_STREQ(slot->title, c.title);
    ASSERT_EQ(slot->state.Size(), 24);
    double values[3] = {};
    int32_t position = 0;
    for (double& v : values) position = slot->state.ReadFloat64(position, &v);
    EXPECT_EQ(values[0], c.coarse);
    EXPECT_EQ(values[1], c.fine);
    EXPECT_EQ(values[2], c.mix);
  }
}

// Applying a preset reaches the engine through the parameter handler and the
// strip's title through OnPresetRestored.
TEST(TessivoProduct, ApplyingAPresetSetsRatioGainsAndTitle) {
  Tessivo plugin(nullptr);
  for (int32_t i = 0; i < 7; ++i) {
    const PresetCase& c = kFactoryPresets[i];
    SCOPED_TRACE(c.title);
    ASSERT_TRUE(plugin.ApplyPreset(i));
    EXPECT_EQ(plugin.CurrentPreset(), i);
    EXPECT_STREQ(plugin.PresetTitle(), c.title);
    EXPECT_EQ(plugin.GetParam(Coarse)->Value(), c.coarse);
    EXPECT_EQ(plugin.GetParam(Fine)->Value(), c.fine);
    EXPECT_EQ(plugin.GetParam(Mix)->Value(), c.mix);
    EXPECT_DOUBLE_EQ(plugin.TransposeRatio, std::pow(kSemitone, c.coarse - c.fine * 0.01));
    // cos near pi/2 differs between maths libraries in its last digits.
    EXPECT_NEAR(plugin.WetGain, std::sin(c.mix * 0.01 * kHalfPi), 1e-15);
    EXPECT_NEAR(plugin.DryGain, std::cos(c.mix * 0.01 * kHalfPi), 1e-15);
  }
  EXPECT_FALSE(plugin.ApplyPreset(7));
  EXPECT_STREQ(plugin.PresetTitle(), "Octave down (mixed)");
}

TEST(TessivoProduct, PresetRestoredOutsideTheListLeavesTheTitleEmpty) {
  for (int32_t index : {7, -1, 1000}) {
    IndexableTessivo plugin;
    ASSERT_TRUE(plugin.ApplyPreset(3));
    ASSERT_STREQ(plugin.PresetTitle(), "Down 3 Semitones");
    plugin.ForceCurrentPreset(index);
    plugin.OnPresetRestored();
    EXPECT_STREQ(plugin.PresetTitle(), "") << index;
  }
}

// A host may send a program change on its audio thread. The old program is
// stored in place and the new one applied without allocating; the title the
// editor shows is not written there but left to the editor's next tick.
TEST(TessivoProduct, ProgramChangeOnAnotherThreadAllocatesNothingAndLeavesTheTitleToTheTick) {
  Tessivo plugin(nullptr);
  AEffect* effect = plugin.EffectRecord();
  effect->dispatcher(effect, effSetProgram, 0, 2, nullptr, 0.0f);
  ASSERT_STREQ(plugin.PresetTitle(), "Hard Detune");  // this thread shows it at once
  const uint8_t* stored = plugin.GetPreset(2)->state.Bytes();

  int64_t allocations = -1;
  std::thread audio([&] {
    AllocationCounter counter;
    effect->dispatcher(effect, effSetProgram, 0, 5, nullptr, 0.0f);
    allocations = counter.Count();
  });
  audio.join();
  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(plugin.GetPreset(2)->state.Bytes(), stored) << "the old program's state was built anew";
  EXPECT_EQ(plugin.CurrentPreset(), 5);
  EXPECT_EQ(plugin.GetParam(Coarse)->Value(), 12.0);
  EXPECT_STREQ(plugin.PresetTitle(), "Hard Detune");

  // The editor tick (a thread timer of this thread) shows the new title.
  const DWORD start = GetTickCount();
  while (std::string(plugin.PresetTitle()) != "Octave up" && GetTickCount() - start < 20000) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    Sleep(2);
  }
  EXPECT_STREQ(plugin.PresetTitle(), "Octave up") << "no editor tick showed the new title";
  // Off this thread nothing of the editor's side is handed out.
  std::string elsewhere = "unread";
  std::thread([&] { elsewhere = plugin.PresetTitle(); }).join();
  EXPECT_EQ(elsewhere, "");
}

TEST(TessivoProduct, AboutRequestWithoutAnEditorDoesNothing) {
  Tessivo plugin(nullptr);
  EXPECT_FALSE(plugin.OnAboutRequest());
  EXPECT_EQ(plugin.AboutBox(), nullptr);
  EXPECT_EQ(plugin.PresetStrip(), nullptr);
}

} // namespace
