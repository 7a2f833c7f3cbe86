// Plug-in base: parameter state, preset slots and the editor-delegate chain.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

#include "core/IPluginBase.h"
#include "core/IStateBuffer.h"
#include "graphics/ICanvasEditorDelegate.h"
#include "tests/core/plugin_fixture.h"

namespace plugkit::test {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(PluginBase, StartsWithFreshParametersAndEmptySlots) {
  FixturePlugin plugin(5);
  EXPECT_EQ(plugin.ParamCount(), 3);
  EXPECT_EQ(plugin.PresetCount(), 5);
  EXPECT_EQ(plugin.CurrentPreset(), 0);
  EXPECT_EQ(plugin.HostIdentity().Code, -1);
  EXPECT_STREQ(plugin.PluginName(), "");
  EXPECT_STREQ(plugin.MakerName(), "");
  for (int32_t i = 0; i < 5; ++i) {
    EXPECT_FALSE(plugin.GetPreset(i)->filled);
    EXPECT_STREQ(plugin.PresetTitleAt(i), "empty");
    EXPECT_EQ(plugin.GetPreset(i)->state.Size(), 0);
  }
  EXPECT_EQ(plugin.GetPreset(5), nullptr);
  EXPECT_STREQ(plugin.PresetTitleAt(-1), "");
  EXPECT_EQ(plugin.GetParam(3), nullptr);
}

TEST(PluginBase, SerializeParamsAppendsLittleEndianDoubles) {
  FixturePlugin plugin;
  plugin.SetValues(-3, 15, 37.25);
  IStateBuffer chunk;
  ASSERT_TRUE(chunk.AppendInt32(0x11223344));
  ASSERT_TRUE(plugin.SerializeParams(chunk));
  EXPECT_EQ(BytesOf(chunk), Join({{0x44, 0x33, 0x22, 0x11}, le64::kMinus3, le64::k15, le64::k37_25}));
}

TEST(PluginBase, UnserializeParamsReadsAtPositionAndNotifiesPreset) {
  FixturePlugin plugin;
  IStateBuffer chunk;
  Fill(chunk, Join({{0xAA, 0xBB, 0xCC}, le64::kMinus3, le64::k15, le64::k37_25, {0xDD}}));
  EXPECT_EQ(plugin.UnserializeParams(chunk, 3), 27);
  EXPECT_EQ(plugin.Values(), (std::vector<double>{-3, 15, 37.25}));
  ASSERT_EQ(plugin.changes.size(), 3u);
  for (int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(plugin.changes[i].index, i);
    EXPECT_EQ(plugin.changes[i].source, IChangeSource::Preset);
    EXPECT_EQ(plugin.editorChanges[i].source, IChangeSource::Preset);
  }
}

TEST(PluginBase, UnserializeParamsRoundsClampsAndIgnoresNonFinite) {
  struct Case {
    const char* what;
    Bytes state;
    std::vector<double> expected;
  } cases[] = {
      {"out of range is clamped", Join({le64::k99, le64::kMinus12, le64::k100}), {12, -12, 100}},
      {"quantised values are rounded", Join({le64::k7_5, le64::k2, le64::k37_25}), {8, 2, 37.25}},
      {"NaN keeps the value", Join({le64::kNaN, le64::k15, le64::kNaN}), {5, 15, 60}},
      {"infinity keeps the value", Join({le64::kInf, le64::kInf, le64::k2}), {5, -7, 2}},
  };
  for (const Case& c : cases) {
    FixturePlugin plugin;
    plugin.SetValues(5, -7, 60);
    IStateBuffer chunk;
    Fill(chunk, c.state);
    EXPECT_EQ(plugin.UnserializeParams(chunk, 0), 24) << c.what;
    EXPECT_EQ(plugin.Values(), c.expected) << c.what;
  }
}

TEST(PluginBase, UnserializeParamsRefusesShortStateWithoutTouchingAnything) {
  const Bytes full = Join({le64::kMinus3, le64::k15, le64::k37_25});
  struct Case {
    int32_t size;
    int32_t position;
  } cases[] = {{20, 0}, {0, 0}, {23, 0}, {24, 1}, {24, -1}, {24, 25}, {24, INT32_MAX}};
  for (const Case& c : cases) {
    FixturePlugin plugin;
    plugin.SetValues(5, -7, 60);
    IStateBuffer chunk;
    chunk.Assign(full.data(), c.size);
    EXPECT_EQ(plugin.UnserializeParams(chunk, c.position), -1) << c.size << " @" << c.position;
    EXPECT_EQ(plugin.Values(), (std::vector<double>{5, -7, 60}));
    EXPECT_TRUE(plugin.changes.empty());
  }
}

TEST(PluginBase, FailedSerializeLeavesChunkAsItWas) {
  // A chunk that already holds the 8-byte header and cannot grow by all 24
  // bytes: the growth failure must not pass for success.
  FixturePlugin plugin;
  plugin.SetValues(-3, 15, 37.25);
  IStateBuffer chunk;
  const Bytes header = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
  Fill(chunk, header);
  chunk.SetSizeLimit(8 + 20);
  EXPECT_FALSE(plugin.SerializeParams(chunk));
  EXPECT_EQ(BytesOf(chunk), header);
  chunk.SetSizeLimit(8 + 24);
  EXPECT_TRUE(plugin.SerializeParams(chunk));
  EXPECT_EQ(chunk.Size(), 32);
}

TEST(StateBuffer, AppendsOnlyWhenTheWholeLengthFits) {
  IStateBuffer buffer;
  const uint8_t bytes[4] = {1, 2, 3, 4};
  ASSERT_TRUE(buffer.Append(bytes, 4));
  buffer.SetSizeLimit(6);
  EXPECT_FALSE(buffer.Append(bytes, 3));
  EXPECT_FALSE(buffer.Append(bytes, -1));
  EXPECT_FALSE(buffer.Append(nullptr, 2));
  EXPECT_FALSE(buffer.AppendInt32(7));
  EXPECT_FALSE(buffer.Resize(7));
  EXPECT_EQ(BytesOf(buffer), (Bytes{1, 2, 3, 4}));
  buffer.SetSizeLimit(IStateBuffer::kNoLimit);
  EXPECT_FALSE(buffer.Append(bytes, INT32_MAX - 2)); // would overflow the size
  EXPECT_TRUE(buffer.Append(buffer.Bytes() + 1, 3)); // from its own bytes
  EXPECT_EQ(BytesOf(buffer), (Bytes{1, 2, 3, 4, 2, 3, 4}));
  EXPECT_TRUE(buffer.Resize(9));
  EXPECT_EQ(BytesOf(buffer), (Bytes{1, 2, 3, 4, 2, 3, 4, 0, 0}));
}

TEST(StateBuffer, ReadsStayInsideTheBuffer) {
  IStateBuffer buffer;
  Fill(buffer, {0x01, 0x02, 0x03, 0x04, 0x05});
  int32_t value = 99;
  EXPECT_EQ(buffer.ReadInt32(0, &value), 4);
  EXPECT_EQ(value, 0x04030201);
  EXPECT_EQ(buffer.ReadInt32BE(1, &value), 5);
  EXPECT_EQ(value, 0x02030405);
  for (int32_t position : {2, -1, 5, 6, INT32_MAX - 1}) {
    value = 99;
    EXPECT_EQ(buffer.ReadInt32(position, &value), -1) << position;
    EXPECT_EQ(value, 0);
  }
  double d = 1;
  EXPECT_EQ(buffer.ReadFloat64(0, &d), -1);
  EXPECT_EQ(d, 0.0);
}

TEST(PluginBase, FillEmptyPresetsTakesTheFirstUnfilledSlots) {
  FixturePlugin plugin(8);
  ASSERT_TRUE(plugin.DefinePreset("A", 1, 2, 3));
  ASSERT_TRUE(plugin.DefinePreset("B", 4, 5, 6));
  plugin.SetValues(-3, 15, 37.25);
  plugin.FillEmptyPresets(nullptr, 3);
  const Bytes current = Join({le64::kMinus3, le64::k15, le64::k37_25});
  for (int32_t i = 2; i < 5; ++i) {
    EXPECT_TRUE(plugin.GetPreset(i)->filled);
    EXPECT_STREQ(plugin.PresetTitleAt(i), "Empty");
    EXPECT_EQ(BytesOf(plugin.GetPreset(i)->state), current);
  }
  EXPECT_STREQ(plugin.PresetTitleAt(1), "B");
  EXPECT_FALSE(plugin.GetPreset(5)->filled);
  plugin.FillEmptyPresets("Spare", 10); // more than are left: fills 5..7, then stops
  EXPECT_STREQ(plugin.PresetTitleAt(7), "Spare");
  EXPECT_TRUE(plugin.GetPreset(7)->filled);
}

TEST(PluginBase, DefinePresetStoresValuesAsGivenAndRefusesMismatches) {
  FixturePlugin plugin(2);
  EXPECT_FALSE(plugin.DefinePreset("Too few", 1, 2));
  EXPECT_FALSE(plugin.DefinePreset("Too many", 1, 2, 3, 4));
  EXPECT_FALSE(plugin.GetPreset(0)->filled);
  EXPECT_STREQ(plugin.PresetTitleAt(0), "empty");

  ASSERT_TRUE(plugin.DefinePreset("Wide", 99, -12, 37.25)); // not clamped when stored
  EXPECT_EQ(BytesOf(plugin.GetPreset(0)->state), Join({le64::k99, le64::kMinus12, le64::k37_25}));
  ASSERT_TRUE(plugin.DefinePreset("Second", 0, 15, 50));
  EXPECT_FALSE(plugin.DefinePreset("No room", 1, 1, 1));
  EXPECT_STREQ(plugin.PresetTitleAt(1), "Second");
  EXPECT_EQ(BytesOf(plugin.GetPreset(1)->state), Join({le64::kZero, le64::k15, le64::k50}));
}

TEST(PluginBase, ApplyPresetRestoresValuesAndNotifies) {
  FixturePlugin plugin(3);
  ASSERT_TRUE(plugin.DefinePreset("Default", 0, 0, 100));
  ASSERT_TRUE(plugin.DefinePreset("Wide", 99, 15, 50));
  plugin.ForgetNotifications();
  EXPECT_TRUE(plugin.ApplyPreset(1));
  EXPECT_EQ(plugin.CurrentPreset(), 1);
  EXPECT_EQ(plugin.Values(), (std::vector<double>{12, 15, 50}));
  EXPECT_EQ(plugin.presetRestored, 1);
  EXPECT_EQ(plugin.stateLoaded, 1);

  for (int32_t index : {-1, 3, INT32_MIN}) {
    plugin.ForgetNotifications();
    EXPECT_FALSE(plugin.ApplyPreset(index));
    EXPECT_EQ(plugin.CurrentPreset(), 1);
    EXPECT_EQ(plugin.presetRestored, 0);
  }
}

// Listeners run only once the index has moved, so OnPresetRestored sees the
// preset it is told about, and the editor refresh of OnStateLoaded comes last.
TEST(PluginBase, ApplyPresetMovesTheIndexThenRestoresThenLoadsState) {
  struct Case {
    const char* what;
    int32_t index;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"filled slot", 1,
       Events({EveryParamEvents(IChangeSource::Preset), {"restored 1 Wide"}, StateLoadedEvents()})},
      {"unfilled slot", 2, Events({{"restored 2 user preset 1"}, StateLoadedEvents()})},
  };
  for (const Case& c : cases) {
    FixturePlugin plugin(3);
    ASSERT_TRUE(plugin.DefinePreset("Default", 0, 0, 100));
    ASSERT_TRUE(plugin.DefinePreset("Wide", 99, 15, 50));
    plugin.ForgetNotifications();
    ASSERT_TRUE(plugin.ApplyPreset(c.index)) << c.what;
    EXPECT_EQ(plugin.events, c.expected) << c.what;
  }
}

TEST(PluginBase, ApplyPresetRefusesACorruptSlotAndKeepsTheCurrentOne) {
  FixturePlugin plugin(2);
  ASSERT_TRUE(plugin.DefinePreset("Good", 1, 2, 3));
  ASSERT_TRUE(plugin.DefinePreset("Cut", 4, 5, 6));
  ASSERT_TRUE(plugin.GetPreset(1)->state.Resize(20));
  plugin.SetValues(-3, 15, 37.25);
  plugin.ForgetNotifications();
  EXPECT_FALSE(plugin.ApplyPreset(1));
  EXPECT_EQ(plugin.CurrentPreset(), 0);
  EXPECT_EQ(plugin.Values(), (std::vector<double>{-3, 15, 37.25}));
  EXPECT_EQ(plugin.presetRestored, 0);
}

TEST(PluginBase, ApplyingAnUnfilledSlotMakesTheNextUserPreset) {
  FixturePlugin plugin(4);
  plugin.GetPreset(0)->SetTitle("user preset 1");
  plugin.GetPreset(1)->SetTitle("my user preset 2");
  plugin.SetValues(-3, 15, 37.25);
  EXPECT_TRUE(plugin.ApplyPreset(3));
  EXPECT_TRUE(plugin.GetPreset(3)->filled);
  EXPECT_STREQ(plugin.PresetTitleAt(3), "user preset 3");
  EXPECT_EQ(BytesOf(plugin.GetPreset(3)->state), Join({le64::kMinus3, le64::k15, le64::k37_25}));
  EXPECT_EQ(plugin.CurrentPreset(), 3);
  EXPECT_EQ(plugin.presetRestored, 1);
}

TEST(PluginBase, ModifyCurrentPresetStoresValuesAndRenamesOnlyWithATitle) {
  FixturePlugin plugin(2);
  ASSERT_TRUE(plugin.DefinePreset("Default", 0, 0, 100));
  plugin.SetValues(-3, 15, 37.25);
  const Bytes stored = Join({le64::kMinus3, le64::k15, le64::k37_25});

  EXPECT_TRUE(plugin.ModifyCurrentPreset(""));
  EXPECT_STREQ(plugin.PresetTitleAt(0), "Default");
  EXPECT_EQ(BytesOf(plugin.GetPreset(0)->state), stored);
  EXPECT_TRUE(plugin.ModifyCurrentPreset(nullptr));
  EXPECT_STREQ(plugin.PresetTitleAt(0), "Default");
  EXPECT_TRUE(plugin.ModifyCurrentPreset("Renamed"));
  EXPECT_STREQ(plugin.PresetTitleAt(0), "Renamed");

  plugin.SetCurrentPresetIndex(1); // unfilled: stored into, still unfilled
  EXPECT_TRUE(plugin.ModifyCurrentPreset("Other"));
  EXPECT_FALSE(plugin.GetPreset(1)->filled);
  EXPECT_EQ(BytesOf(plugin.GetPreset(1)->state), stored);

  plugin.SetCurrentPresetIndex(2);
  EXPECT_FALSE(plugin.ModifyCurrentPreset("Nowhere"));
  plugin.SetCurrentPresetIndex(-1);
  EXPECT_FALSE(plugin.ModifyCurrentPreset("Nowhere"));
}

TEST(PluginBase, TitlesAreCutAt262Bytes) {
  const std::string longTitle = std::string(250, 'a') + std::string(50, 'b');
  const std::string kept = longTitle.substr(0, 262);
  FixturePlugin plugin(3);
  ASSERT_TRUE(plugin.DefinePreset(longTitle.c_str(), 0, 0, 0));
  EXPECT_EQ(plugin.PresetTitleAt(0), kept);
  EXPECT_TRUE(plugin.ModifyCurrentPreset((std::string(300, 'z')).c_str()));
  EXPECT_EQ(plugin.PresetTitleAt(0), std::string(262, 'z'));
  plugin.FillEmptyPresets(longTitle.c_str(), 1);
  EXPECT_EQ(plugin.PresetTitleAt(1), kept);
  plugin.GetPreset(2)->SetTitle("abcdef", 3);
  EXPECT_STREQ(plugin.PresetTitleAt(2), "abc");
  // The slot's own title as the source.
  plugin.GetPreset(2)->SetTitle(plugin.PresetTitleAt(2) + 1);
  EXPECT_STREQ(plugin.PresetTitleAt(2), "bc");
}

// A character that would cross the 262nd byte is left out whole, whichever
// way the title comes in; one that ends on it is kept.
TEST(PluginBase, TitlesAreCutBetweenCharacters) {
  const std::string a261(261, 'a'), a260(260, 'a');
  const struct {
    std::string title;
    std::string kept;
  } cases[] = {
      {a261 + "\xC3\xA9", a261},                    // "é" would end at byte 263
      {a260 + "\xC3\xA9", a260 + "\xC3\xA9"},       // "é" ends at byte 262
      {a260 + "\xE2\x82\xAC", a260},                // "€" would end at byte 263
      {std::string(259, 'a') + "\xF0\x9F\x8E\xB5", std::string(259, 'a')}, // a four-byte character
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kept.size());
    FixturePlugin plugin(3);
    ASSERT_TRUE(plugin.DefinePreset(c.title.c_str(), 0, 0, 0));
    EXPECT_EQ(plugin.PresetTitleAt(0), c.kept);
    plugin.FillEmptyPresets(c.title.c_str(), 1);
    EXPECT_EQ(plugin.PresetTitleAt(1), c.kept);
    plugin.SetCurrentPresetIndex(2);
    EXPECT_TRUE(plugin.ModifyCurrentPreset(c.title.c_str()));
    EXPECT_EQ(plugin.PresetTitleAt(2), c.kept);
  }
}

TEST(PluginBase, PluginWithoutParametersStillHandlesPresets) {
  class Empty : public IPluginBase {
  public:
    Empty() : IPluginBase(0, 2) {}
    void BeginEditorGesture(int32_t) override {}
    void EndEditorGesture(int32_t) override {}
  } plugin;
  IStateBuffer chunk;
  EXPECT_TRUE(plugin.SerializeParams(chunk));
  EXPECT_EQ(chunk.Size(), 0);
  EXPECT_EQ(plugin.UnserializeParams(chunk, 0), 0);
  EXPECT_TRUE(plugin.DefinePreset("Nothing"));
  EXPECT_TRUE(plugin.GetPreset(0)->filled);
  EXPECT_TRUE(plugin.ApplyPreset(0));
  EXPECT_TRUE(plugin.ApplyPreset(1));
  EXPECT_EQ(plugin.CurrentPreset(), 1);
}

TEST(EditorDelegate, BaseRoutesValuesToTheEditorHooks) {
  FixturePlugin plugin;
  plugin.SetValues(0, 0, 50);
  // The delegate base itself; the graphical layer opens editors differently.
  EXPECT_EQ(plugin.IEditorDelegate::AttachEditor(nullptr), nullptr);
  ASSERT_EQ(plugin.editorChanges.size(), 3u);
  for (const auto& change : plugin.editorChanges) EXPECT_EQ(change.source, IChangeSource::EditorDelegate);

  plugin.ForgetNotifications();
  plugin.SetParamFromEditor(FixturePlugin::kMix, 0.25);
  EXPECT_EQ(plugin.Values()[2], 25.0);
  ASSERT_EQ(plugin.editorChanges.size(), 1u);
  EXPECT_EQ(plugin.editorChanges[0].source, IChangeSource::UI);
  plugin.SetParamFromEditor(7, 0.5);
  plugin.SetParamFromEditor(-1, 0.5);
  EXPECT_EQ(plugin.editorChanges.size(), 1u);

  IStateBuffer chunk;
  EXPECT_TRUE(plugin.IEditorDelegate::SerializeEditorSize(chunk));
  EXPECT_EQ(chunk.Size(), 0);
  EXPECT_EQ(plugin.IEditorDelegate::UnserializeEditorSize(chunk, 5), 5);
}

TEST(EditorDelegate, EveryParamChangeNotifiesIndexByIndex) {
  FixturePlugin plugin;
  plugin.OnEveryParamChange(IChangeSource::Host);
  // Interleaved: each index reaches both sides before the next one starts.
  EXPECT_EQ(plugin.events, EveryParamEvents(IChangeSource::Host));
}

TEST(EditorDelegate, BaseRoutesMessagesAndChangesToTheirHooks) {
  const char payload[] = "abc";
  struct Case {
    const char* what;
    std::function<void(FixturePlugin&)> call;
    std::vector<std::string> expected;
    const void* data;
  };
  const Case cases[] = {
      {"tagged message: no control", [&](FixturePlugin& p) { p.PushTaggedMessage(7, 3, payload); },
       {"tagged 7 -1 3"}, payload},
      // The base of the graphical layer's override: control tag first in,
      // message tag first out.
      {"control message: tags swapped",
       [&](FixturePlugin& p) { p.IEditorDelegate::PushControlMessage(5, 9, 2, payload); }, {"tagged 9 5 2"},
       payload},
      {"parameter change: per-index hook", [](FixturePlugin& p) { p.OnParamChange(1, IChangeSource::Host, 4); },
       {"change 1 Host", "index 1"}, nullptr},
  };
  for (const Case& c : cases) {
    FixturePlugin plugin;
    c.call(plugin);
    EXPECT_EQ(plugin.events, c.expected) << c.what;
    EXPECT_EQ(plugin.taggedData, c.data) << c.what;
  }
}

TEST(CanvasEditorDelegate, RunsTheInstalledFunctionsOnly) {
  FixturePlugin plugin;
  EXPECT_EQ(plugin.BuildEditorGraphics(), nullptr);
  EXPECT_EQ(plugin.EditorGraphics(), nullptr);

  auto* fake = reinterpret_cast<canvas::ICanvas*>(&plugin); // never dereferenced
  int built = 0;
  canvas::ICanvas* laidOut = nullptr;
  plugin.SetGraphicsFactory([&] { ++built; return fake; });
  plugin.SetEditorLayout([&](canvas::ICanvas* graphics) { laidOut = graphics; });
  EXPECT_EQ(plugin.BuildEditorGraphics(), fake);
  EXPECT_EQ(built, 1);
  plugin.RunEditorLayout(nullptr);
  EXPECT_EQ(laidOut, nullptr);
  plugin.RunEditorLayout(fake);
  EXPECT_EQ(laidOut, fake);
}

} // namespace
} // namespace plugkit::test
