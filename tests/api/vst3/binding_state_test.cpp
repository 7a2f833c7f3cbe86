// The component state: its bytes, the round trip, and streams that are
// short, malformed or cannot take the bytes.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "tests/api/vst3/vst3_fixture.h"
#include "tests/core/lock_probe.h"

namespace vst3test {
namespace {

using plugkit::IVST3ControllerBase;

std::vector<uint8_t> StateBytes(double coarse, double fine, double mix, int32_t bypass) {
  std::vector<uint8_t> bytes(28);
  const double values[3] = {coarse, fine, mix};
  std::memcpy(bytes.data(), values, 24);
  std::memcpy(bytes.data() + 24, &bypass, 4);
  return bytes;
}

class VST3State : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_EQ(plugin->initialize(nullptr), kResultOk); }
  void TearDown() override { plugin->terminate(); }

  std::vector<double> Values() const {
    return {plugin->GetParam(Coarse)->Value(), plugin->GetParam(Fine)->Value(), plugin->GetParam(Mix)->Value()};
  }

  Held<TProbe> plugin{new TProbe()};
};

TEST_F(VST3State, FreshStateIsThreeValuesAndAClearBypassWord) {
  EXPECT_EQ(SaveState(*plugin), StateBytes(0.0, 0.0, 100.0, 0));
  EXPECT_EQ(plugin->setParamNormalized(IVST3ControllerBase::kBypassParamId, 1.0), kResultOk);
  EXPECT_EQ(SaveState(*plugin), StateBytes(0.0, 0.0, 100.0, 1));
}

TEST_F(VST3State, LoadRestoresValuesBypassAndTheEngine) {
  ASSERT_EQ(LoadState(*plugin, StateBytes(12.0, -30.0, 25.0, 1)), kResultOk);
  EXPECT_EQ(Values(), (std::vector<double>{12.0, -30.0, 25.0}));
  EXPECT_TRUE(plugin->IsBypassed());
  EXPECT_TRUE(plugin->IsBypassed());
  EXPECT_EQ(plugin->getParamNormalized(IVST3ControllerBase::kBypassParamId), 1.0);
  EXPECT_EQ(plugin->BypassParameter->getNormalized(), 1.0);
  // The product heard about the new values, so the sound follows them.
  EXPECT_EQ(plugin->CoarseSemitones, 12);
  EXPECT_EQ(plugin->FineCents, -30);
  EXPECT_DOUBLE_EQ(plugin->getParamNormalized(Coarse), 1.0);

  ASSERT_EQ(LoadState(*plugin, StateBytes(-12.0, 0.0, 100.0, 0)), kResultOk);
  EXPECT_FALSE(plugin->IsBypassed());
  EXPECT_EQ(plugin->getParamNormalized(IVST3ControllerBase::kBypassParamId), 0.0);
}

TEST_F(VST3State, ShortOrMalformedStateFailsAndChangesNothing) {
  ASSERT_EQ(LoadState(*plugin, StateBytes(5.0, 10.0, 40.0, 1)), kResultOk);
  const std::vector<uint8_t> good = StateBytes(-7.0, 20.0, 60.0, 0);
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
    {"empty", {}},
    {"parameters only", std::vector<uint8_t>(good.begin(), good.begin() + 24)},
    {"bypass word cut", std::vector<uint8_t>(good.begin(), good.begin() + 27)},
    {"bypass word 2", StateBytes(-7.0, 20.0, 60.0, 2)},
    {"bypass word -1", StateBytes(-7.0, 20.0, 60.0, -1)},
  };
  for (const auto& c : cases) {
    plugin->changes.clear();
    EXPECT_EQ(LoadState(*plugin, c.bytes), kResultFalse) << c.what;
    EXPECT_EQ(Values(), (std::vector<double>{5.0, 10.0, 40.0})) << c.what;
    EXPECT_TRUE(plugin->IsBypassed()) << c.what;
    EXPECT_TRUE(plugin->changes.empty()) << c.what;
  }
  EXPECT_EQ(plugin->setState(nullptr), kInvalidArgument);
}

TEST_F(VST3State, ReadsOnlyItsOwnBytes) {
  std::vector<uint8_t> bytes = StateBytes(3.0, 0.0, 100.0, 0);
  bytes.insert(bytes.end(), {0xAA, 0xBB, 0xCC});
  IPtr<vst3host::MemoryStream> stream(new vst3host::MemoryStream(bytes), false);
  ASSERT_EQ(plugin->setState(stream), kResultOk);
  EXPECT_EQ(stream->Position(), 28);
  EXPECT_EQ(plugin->GetParam(Coarse)->Value(), 3.0);
}

TEST_F(VST3State, SaveFailsWhenTheStreamTakesFewerBytes) {
  for (size_t limit : {size_t(0), size_t(10), size_t(27)}) {
    IPtr<vst3host::MemoryStream> stream(new vst3host::MemoryStream(), false);
    stream->SetWriteLimit(limit);
    EXPECT_EQ(plugin->getState(stream), kResultFalse) << limit;
  }
  EXPECT_EQ(plugin->getState(nullptr), kInvalidArgument);
}

// While one thread is inside a preset or state operation (it holds the state
// lock), another thread's state calls and program changes wait for it rather
// than run into a half-changed state.
TEST_F(VST3State, StateCallsAndProgramChangesWaitForAStateCallInProgress) {
  const std::vector<uint8_t> bytes = StateBytes(3.0, 0.0, 100.0, 0);
  const struct {
    const char* what;
    std::function<void()> call;
  } cases[] = {
      {"getState", [&] { SaveState(*plugin); }},
      {"setState", [&] { EXPECT_EQ(LoadState(*plugin, bytes), kResultOk); }},
      {"program change", [&] { plugin->setParamNormalized(IVST3ControllerBase::kPresetParamId, 0.5); }},
  };
  for (const auto& c : cases)
    EXPECT_FALSE(plugkit::FinishesWhileLocked(plugin->StateLock(), c.call)) << c.what;
  EXPECT_EQ(plugin->CurrentPreset(), 3);
}

} // namespace
} // namespace vst3test
