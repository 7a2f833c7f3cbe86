// State chunks through effGetChunk and effSetChunk.

#include <cstring>
#include <functional>

#include "core/IPresetSlot.h"
#include "tests/api/vst2/vst2_fixture.h"
#include "tests/core/lock_probe.h"

namespace vst2test {
namespace {

std::vector<uint8_t> Bytes(const void* data, intptr_t size) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(p, p + size);
}

std::vector<uint8_t> GetChunk(InProcess<TProbe>& p, bool bank) {
  void* data = nullptr;
  const intptr_t size = p.Dispatch(effGetChunk, bank ? 0 : 1, 0, &data);
  return size > 0 && data != nullptr ? Bytes(data, size) : std::vector<uint8_t>();
}

intptr_t SetChunk(InProcess<TProbe>& p, bool bank, const std::vector<uint8_t>& data) {
  return p.Dispatch(effSetChunk, bank ? 0 : 1, static_cast<intptr_t>(data.size()),
                    const_cast<uint8_t*>(data.data()));
}

std::vector<uint8_t> Doubles(std::initializer_list<double> values) {
  std::vector<uint8_t> bytes;
  for (double v : values) {
    uint8_t raw[8];
    std::memcpy(raw, &v, 8);
    bytes.insert(bytes.end(), raw, raw + 8);
  }
  return bytes;
}

const std::vector<uint8_t> kHeader = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};

// Everything a chunk can change, for comparing before and after.
struct Snapshot {
  std::vector<double> values;
  int32_t current;
  std::vector<std::string> titles;
  std::vector<std::vector<uint8_t>> states;
  bool operator==(const Snapshot& o) const {
    return values == o.values && current == o.current && titles == o.titles && states == o.states;
  }
};

Snapshot Take(InProcess<TProbe>& p) {
  Snapshot s;
  for (int32_t i = 0; i < 3; ++i) s.values.push_back(p.Value(i));
  s.current = p.plugin->CurrentPreset();
  for (int32_t i = 0; i < p.plugin->PresetCount(); ++i) {
    const plugkit::IPresetSlot* slot = p.plugin->GetPreset(i);
    s.titles.push_back(slot->title);
    s.states.push_back(Bytes(slot->state.Bytes(), slot->state.Size()));
  }
  return s;
}

void Edit(InProcess<TProbe>& p) {
  p.Dispatch(effString2Parameter, Coarse, 0, const_cast<char*>("3"));
  p.Dispatch(effString2Parameter, Fine, 0, const_cast<char*>("-20"));
  p.Dispatch(effString2Parameter, Mix, 0, const_cast<char*>("25"));
}

TEST(Chunks, ProgramChunkRoundTrip) {
  InProcess<TProbe> saver;
  saver.Start();
  Edit(saver);
  const std::vector<uint8_t> chunk = GetChunk(saver, false);
  std::vector<uint8_t> expected = kHeader;
  const std::vector<uint8_t> values = Doubles({3.0, -20.0, 25.0});
  expected.insert(expected.end(), values.begin(), values.end());
  EXPECT_EQ(chunk, expected);

  InProcess<TProbe> loader;
  loader.Start();
  EXPECT_EQ(SetChunk(loader, false, chunk), 1);
  EXPECT_EQ(loader.Value(Coarse), 3.0);
  EXPECT_EQ(loader.Value(Fine), -20.0);
  EXPECT_EQ(loader.Value(Mix), 25.0);
  EXPECT_DOUBLE_EQ(loader.plugin->TransposeRatio, std::pow(1.0594631, 3.0 - -20.0 * 0.01));
  // The values were also stored into the current program.
  loader.Dispatch(effSetProgram, 0, 3);
  loader.Dispatch(effSetProgram, 0, 0);
  EXPECT_EQ(loader.Value(Fine), -20.0);
  EXPECT_EQ(GetChunk(loader, false), chunk);
}

TEST(Chunks, BankChunkRoundTrip) {
  InProcess<TProbe> saver;
  saver.Start();
  saver.Dispatch(effSetProgram, 0, 4);
  Edit(saver);
  saver.Dispatch(effSetProgramName, 0, 0, const_cast<char*>("Edited"));
  const std::vector<uint8_t> bank = GetChunk(saver, true);
  ASSERT_GT(bank.size(), kHeader.size());
  EXPECT_TRUE(std::equal(kHeader.begin(), kHeader.end(), bank.begin()));

  InProcess<TProbe> loader;
  loader.Start();
  EXPECT_EQ(SetChunk(loader, true, bank), 1);
  EXPECT_STREQ(loader.plugin->PresetTitleAt(4), "Edited");
  loader.Dispatch(effSetProgram, 0, 4);
  EXPECT_EQ(loader.Value(Coarse), 3.0);
  EXPECT_EQ(loader.Value(Mix), 25.0);
  EXPECT_EQ(GetChunk(loader, true), bank);
}

TEST(Chunks, RejectedChunksChangeNothing) {
  InProcess<TProbe> p;
  p.Start();
  Edit(p);
  std::vector<uint8_t> program = GetChunk(p, false);
  std::vector<uint8_t> bank = GetChunk(p, true);
  std::vector<uint8_t> shortProgram(program.begin(), program.end() - 8);
  std::vector<uint8_t> shortBank(bank.begin(), bank.end() - 3);
  std::vector<uint8_t> tagOnly(kHeader.begin(), kHeader.begin() + 5);
  std::vector<uint8_t> rawTwoValues = Doubles({1.0, 2.0});
  // What the plug-in lent out must survive the refused loads.
  void* lent = nullptr;
  const intptr_t lentSize = p.Dispatch(effGetChunk, 1, 0, &lent);
  const std::vector<uint8_t> lentBytes = Bytes(lent, lentSize);
  const Snapshot before = Take(p);

  const struct {
    const char* name;
    int32_t index;
    intptr_t size;
    const void* data;
  } cases[] = {
      {"null data", 1, 32, nullptr},
      {"negative size", 1, -1, program.data()},
      {"size beyond 32 bits", 1, intptr_t{1} << 32, program.data()},
      {"empty", 1, 0, program.data()},
      {"header only", 1, 8, kHeader.data()},
      {"tag without version", 1, 5, tagOnly.data()},
      {"program cut short", 1, static_cast<intptr_t>(shortProgram.size()), shortProgram.data()},
      {"bank cut short", 0, static_cast<intptr_t>(shortBank.size()), shortBank.data()},
      {"raw values, too few", 1, 16, rawTwoValues.data()},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(p.Dispatch(effSetChunk, c.index, c.size, const_cast<void*>(c.data)), 0) << c.name;
    EXPECT_TRUE(Take(p) == before) << c.name;
  }
  EXPECT_EQ(Bytes(lent, lentSize), lentBytes);
}

// A host may hand the plug-in's own chunk straight back to it.
TEST(Chunks, OwnChunkHandedBack) {
  InProcess<TProbe> p;
  p.Start();
  Edit(p);
  for (int32_t index : {1, 0}) {
    void* data = nullptr;
    const intptr_t size = p.Dispatch(effGetChunk, index, 0, &data);
    ASSERT_GT(size, 0);
    const std::vector<uint8_t> copy = Bytes(data, size);
    EXPECT_EQ(p.Dispatch(effSetChunk, index, size, data), 1) << index;
    EXPECT_EQ(Bytes(data, size), copy);
    EXPECT_EQ(p.Value(Fine), -20.0);
  }
  EXPECT_STREQ(p.plugin->PresetTitleAt(6), "Octave down (mixed)");
}

// Chunks from before the header existed hold only parameter values, also
// when the host asks for a bank.
TEST(Chunks, ChunksWithoutHeaderHoldValues) {
  for (int32_t index : {1, 0}) {
    InProcess<TProbe> p;
    p.Start();
    const Snapshot before = Take(p);
    const std::vector<uint8_t> raw = Doubles({-5.0, 40.0, 80.0});
    EXPECT_EQ(p.Dispatch(effSetChunk, index, 24, const_cast<uint8_t*>(raw.data())), 1);
    EXPECT_EQ(p.Value(Coarse), -5.0);
    EXPECT_EQ(p.Value(Fine), 40.0);
    EXPECT_EQ(p.Value(Mix), 80.0);
    EXPECT_EQ(Take(p).titles, before.titles);
  }
  InProcess<TProbe> p;
  EXPECT_EQ(p.Dispatch(effGetChunk, 1, 0, nullptr), 0);
}

// While one thread is inside a preset or state operation (it holds the state
// lock), another thread's program, name and chunk opcodes wait for it rather
// than run into a half-changed state.
TEST(Chunks, ProgramNameAndChunkCallsWaitForAStateCallInProgress) {
  InProcess<TProbe> p;
  p.Start();
  const std::vector<uint8_t> program = GetChunk(p, false);
  char name[] = "Renamed";
  char text[kVstMaxProgNameLen] = {};
  void* lent = nullptr;
  const struct {
    const char* what;
    std::function<void()> call;
  } cases[] = {
      {"effSetProgram", [&] { p.Dispatch(effSetProgram, 0, 2); }},
      {"effSetProgramName", [&] { p.Dispatch(effSetProgramName, 0, 0, name); }},
      {"effGetProgramName", [&] { p.Dispatch(effGetProgramName, 0, 0, text); }},
      {"effGetProgramNameIndexed", [&] { p.Dispatch(effGetProgramNameIndexed, 1, 0, text); }},
      {"effGetChunk bank", [&] { p.Dispatch(effGetChunk, 0, 0, &lent); }},
      {"effGetChunk program", [&] { p.Dispatch(effGetChunk, 1, 0, &lent); }},
      {"effSetChunk", [&] { SetChunk(p, false, program); }},
  };
  for (const auto& c : cases)
    EXPECT_FALSE(plugkit::FinishesWhileLocked(p.plugin->StateLock(), c.call)) << c.what;
  EXPECT_EQ(p.plugin->CurrentPreset(), 2);
  EXPECT_STREQ(p.plugin->PresetTitleAt(2), "Renamed");
}

} // namespace
} // namespace vst2test
