// State chunk header and preset bank: exact bytes, round trips, and refusal of
// truncated or malformed banks with nothing changed.

#include <gtest/gtest.h>

#include <string>

#include "core/IPluginBase.h"
#include "core/StateHeader.h"
#include "tests/core/plugin_fixture.h"

namespace plugkit::test {
namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kHeader = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};

Bytes Int32LE(int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  return {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
          static_cast<uint8_t>(u >> 24)};
}

// The 46-byte bank of a two-slot plug-in: "Default" filled with 0, 0, 100 and
// an unfilled slot titled "empty".
const Bytes kTwoSlotBank = Join({{0x07, 0, 0, 0}, Text("Default"), {0x01}, le64::kZero, le64::kZero, le64::k100,
                                 {0x05, 0, 0, 0}, Text("empty"), {0x00}});

struct Snapshot {
  std::vector<double> values;
  std::vector<std::string> titles;
  std::vector<bool> filled;
  std::vector<Bytes> states;
  int32_t current;
  bool operator==(const Snapshot& o) const {
    return values == o.values && titles == o.titles && filled == o.filled && states == o.states &&
           current == o.current;
  }
};

Snapshot Take(const FixturePlugin& plugin) {
  Snapshot s{plugin.Values(), {}, {}, {}, plugin.CurrentPreset()};
  for (int32_t i = 0; i < plugin.PresetCount(); ++i) {
    s.titles.push_back(plugin.PresetTitleAt(i));
    s.filled.push_back(plugin.GetPreset(i)->filled);
    s.states.push_back(BytesOf(plugin.GetPreset(i)->state));
  }
  return s;
}

TEST(StateHeader, WriteReplacesTheContentsWithTheEightHeaderBytes) {
  IStateBuffer buffer;
  Fill(buffer, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
  ASSERT_TRUE(WriteStateHeader(buffer));
  EXPECT_EQ(BytesOf(buffer), kHeader);
}

TEST(StateHeader, ReadFindsWhereTheDataBegin) {
  struct Case {
    Bytes bytes;
    int32_t position;
    int32_t version;
  } cases[] = {
      {kHeader, 8, 0x00010000},
      {Join({{0x74, 0x66, 0x66, 0x70, 0x02, 0x00, 0x01, 0x00}, le64::k2}), 8, 0x00010002},
      {{0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01}, -1, 0}, // tag without a whole version
      {{0x74, 0x66, 0x66, 0x70}, -1, 0},
      {{0x74, 0x66, 0x66}, 0, 0}, // too short to be a tag: all data
      {le64::k15, 0, 0},
      {{}, 0, 0},
  };
  for (const Case& c : cases) {
    IStateBuffer buffer;
    Fill(buffer, c.bytes);
    int32_t version = 99;
    EXPECT_EQ(ReadStateHeader(buffer, &version), c.position) << c.bytes.size();
    EXPECT_EQ(version, c.version);
  }
}

TEST(PresetBank, TwoSlotBankHasTheExactLayout) {
  FixturePlugin plugin(2);
  ASSERT_TRUE(plugin.DefinePreset("Default", 0, 0, 100));
  IStateBuffer chunk;
  ASSERT_TRUE(WriteStateHeader(chunk));
  ASSERT_TRUE(plugin.SerializePresets(chunk));
  EXPECT_EQ(chunk.Size(), 8 + 46);
  EXPECT_EQ(BytesOf(chunk), Join({kHeader, kTwoSlotBank}));
}

TEST(PresetBank, ReadsTheExactLayoutAndAppliesTheCurrentPreset) {
  FixturePlugin plugin(2);
  plugin.SetValues(-3, 15, 37.25);
  plugin.GetPreset(1)->SetTitle("old");
  IStateBuffer chunk;
  Fill(chunk, Join({kHeader, kTwoSlotBank}));
  EXPECT_EQ(plugin.UnserializePresets(chunk, 8), 8 + 46);
  EXPECT_STREQ(plugin.PresetTitleAt(0), "Default");
  EXPECT_TRUE(plugin.GetPreset(0)->filled);
  EXPECT_STREQ(plugin.PresetTitleAt(1), "empty");
  EXPECT_FALSE(plugin.GetPreset(1)->filled);
  EXPECT_EQ(plugin.Values(), (std::vector<double>{0, 0, 100})); // preset 0 applied
  EXPECT_EQ(plugin.presetRestored, 1);
}

// A bank that leaves the current slot unfilled: applying it at the end fills
// it with the values the bank's last filled record left and titles it as the
// next user preset, so the bank's own title for it does not survive. Pinned
// as it is.
TEST(PresetBank, UnfilledCurrentSlotBecomesTheNextUserPreset) {
  FixturePlugin plugin(2);
  plugin.SetValues(-3, 15, 37.25);
  plugin.SetCurrentPresetIndex(1);
  IStateBuffer chunk;
  Fill(chunk, kTwoSlotBank);
  EXPECT_EQ(plugin.UnserializePresets(chunk, 0), 46);
  EXPECT_EQ(plugin.CurrentPreset(), 1);
  EXPECT_TRUE(plugin.GetPreset(1)->filled);
  EXPECT_STREQ(plugin.PresetTitleAt(1), "user preset 1");
  EXPECT_EQ(BytesOf(plugin.GetPreset(1)->state), Join({le64::kZero, le64::kZero, le64::k100}));
  EXPECT_EQ(plugin.events,
            Events({EveryParamEvents(IChangeSource::Preset), {"restored 1 user preset 1"}, StateLoadedEvents()}));
}

TEST(PresetBank, RoundTripsEverySlot) {
  FixturePlugin source(4);
  ASSERT_TRUE(source.DefinePreset("Down", -3, 15, 37.25));
  ASSERT_TRUE(source.DefinePreset("", 12, -100, 0));
  source.GetPreset(3)->SetTitle("user preset 1");
  source.SetCurrentPresetIndex(1);
  IStateBuffer chunk;
  ASSERT_TRUE(source.SerializePresets(chunk));

  FixturePlugin copy(4);
  EXPECT_EQ(copy.UnserializePresets(chunk, 0), chunk.Size());
  copy.SetCurrentPresetIndex(1);
  ASSERT_TRUE(copy.ApplyPreset(1));
  source.ApplyPreset(1);
  EXPECT_EQ(Take(copy), Take(source));
  EXPECT_EQ(copy.Values(), (std::vector<double>{12, -100, 0}));
}

TEST(PresetBank, FilledValuesAreStoredAsApplied) {
  FixturePlugin plugin(1);
  plugin.SetValues(5, 6, 7);
  IStateBuffer chunk;
  // Coarse 99 is clamped to 12, Fine 7.5 rounds to 8, Mix NaN never reaches
  // the parameter, which keeps its value.
  Fill(chunk, Join({{1, 0, 0, 0}, Text("X"), {1}, le64::k99, le64::k7_5, le64::kNaN}));
  EXPECT_EQ(plugin.UnserializePresets(chunk, 0), chunk.Size());
  EXPECT_EQ(BytesOf(plugin.GetPreset(0)->state), Join({le64::k12, {0, 0, 0, 0, 0, 0, 0x20, 0x40}, {0, 0, 0, 0, 0, 0, 0x1C, 0x40}}));
  EXPECT_EQ(plugin.Values(), (std::vector<double>{12, 8, 7}));
}

TEST(PresetBank, UnfilledRecordKeepsTheOldState) {
  FixturePlugin plugin(2);
  ASSERT_TRUE(plugin.DefinePreset("First", 0, 0, 0));
  ASSERT_TRUE(plugin.DefinePreset("Kept", 1, 2, 3));
  const Bytes before = BytesOf(plugin.GetPreset(1)->state);
  IStateBuffer chunk;
  Fill(chunk, Join({{1, 0, 0, 0}, Text("A"), {1}, le64::k2, le64::k2, le64::k2, {3, 0, 0, 0}, Text("New"), {0}}));
  EXPECT_EQ(plugin.UnserializePresets(chunk, 0), chunk.Size());
  EXPECT_STREQ(plugin.PresetTitleAt(1), "New");
  EXPECT_FALSE(plugin.GetPreset(1)->filled);
  EXPECT_EQ(BytesOf(plugin.GetPreset(1)->state), before);
}

// A longer title keeps the first 262 bytes that end between characters, and
// the bank written afterwards holds the title as kept.
TEST(PresetBank, LongTitleKeepsItsFirstBytesAndTheNextRecordStillReads) {
  const struct {
    std::string title;
    std::string kept;
  } cases[] = {
      {std::string(300, 'q'), std::string(262, 'q')},
      {std::string(261, 'a') + "\xC3\xA9", std::string(261, 'a')}, // "é" would end at byte 263
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title.size());
    FixturePlugin plugin(2);
    plugin.SetCurrentPresetIndex(1); // the unfilled slot 0 stays as the bank has it
    IStateBuffer chunk;
    Fill(chunk, Join({Int32LE(static_cast<int32_t>(c.title.size())), Text(c.title), {0}, {2, 0, 0, 0}, Text("ok"),
                      {1}, le64::kMinus3, le64::k15, le64::k37_25}));
    EXPECT_EQ(plugin.UnserializePresets(chunk, 0), chunk.Size());
    EXPECT_EQ(plugin.PresetTitleAt(0), c.kept);
    EXPECT_STREQ(plugin.PresetTitleAt(1), "ok");
    EXPECT_EQ(BytesOf(plugin.GetPreset(1)->state), Join({le64::kMinus3, le64::k15, le64::k37_25}));

    IStateBuffer written;
    ASSERT_TRUE(plugin.SerializePresets(written));
    EXPECT_EQ(Bytes(written.Bytes(), written.Bytes() + 4 + c.kept.size()),
              Join({Int32LE(static_cast<int32_t>(c.kept.size())), Text(c.kept)}));
  }
}

TEST(PresetBank, TruncatedOrMalformedBanksChangeNothing) {
  std::vector<std::pair<std::string, Bytes>> inputs;
  for (size_t cut = 0; cut < kTwoSlotBank.size(); ++cut)
    inputs.push_back({"cut at " + std::to_string(cut), Bytes(kTwoSlotBank.begin(), kTwoSlotBank.begin() + cut)});
  inputs.push_back({"negative title length", Join({Int32LE(-1), Text("Default"), {0}, kTwoSlotBank})});
  inputs.push_back({"title past the end", Join({Int32LE(60), Text("Default"), {0}})});
  inputs.push_back({"huge title length", Join({Int32LE(INT32_MAX), Text("Default"), {0}})});
  inputs.push_back({"filled without state", Join({{1, 0, 0, 0}, Text("A"), {1}, le64::k2, le64::k2})});

  for (const auto& [what, bytes] : inputs) {
    FixturePlugin plugin(2);
    ASSERT_TRUE(plugin.DefinePreset("Mine", 1, 2, 3));
    plugin.SetValues(-3, 15, 37.25);
    const Snapshot before = Take(plugin);
    plugin.ForgetNotifications();
    IStateBuffer chunk;
    Fill(chunk, bytes);
    EXPECT_EQ(plugin.UnserializePresets(chunk, 0), -1) << what;
    EXPECT_TRUE(Take(plugin) == before) << what;
    EXPECT_TRUE(plugin.changes.empty()) << what;
    EXPECT_EQ(plugin.presetRestored, 0) << what;
  }
  FixturePlugin plugin(2);
  IStateBuffer chunk;
  Fill(chunk, kTwoSlotBank);
  EXPECT_EQ(plugin.UnserializePresets(chunk, -1), -1);
  EXPECT_EQ(plugin.UnserializePresets(chunk, 47), -1);
}

TEST(PresetBank, FailedSerializeLeavesChunkAsItWas) {
  FixturePlugin plugin(2);
  ASSERT_TRUE(plugin.DefinePreset("Default", 0, 0, 100));
  IStateBuffer chunk;
  ASSERT_TRUE(WriteStateHeader(chunk));
  chunk.SetSizeLimit(8 + 45);
  EXPECT_FALSE(plugin.SerializePresets(chunk));
  EXPECT_EQ(BytesOf(chunk), kHeader);
}

} // namespace
} // namespace plugkit::test
