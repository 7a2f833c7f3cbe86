// The component state: its bytes, the round trip, streams that are short,
// malformed or cannot take the bytes, and whole states between threads.

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <limits>
#include <thread>

#include "tests/api/vst3/vst3_fixture.h"
#include "tests/core/lock_probe.h"
#include "tests/support/wait.h"

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

// A state that is short, has a bypass word other than 0 or 1, or holds a
// value that is not a number is refused whole: values, bypass and the bytes
// getState answers stay as they were, and the product hears of nothing.
TEST_F(VST3State, ShortOrMalformedStateFailsAndChangesNothing) {
  ASSERT_EQ(LoadState(*plugin, StateBytes(5.0, 10.0, 40.0, 1)), kResultOk);
  const std::vector<uint8_t> before = SaveState(*plugin);
  const std::vector<uint8_t> good = StateBytes(-7.0, 20.0, 60.0, 0);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
    {"empty", {}},
    {"parameters only", std::vector<uint8_t>(good.begin(), good.begin() + 24)},
    {"bypass word cut", std::vector<uint8_t>(good.begin(), good.begin() + 27)},
    {"bypass word 2", StateBytes(-7.0, 20.0, 60.0, 2)},
    {"bypass word -1", StateBytes(-7.0, 20.0, 60.0, -1)},
    {"NaN, +inf, -inf", StateBytes(nan, inf, -inf, 0)},
    {"Coarse NaN", StateBytes(nan, 5.0, 50.0, 0)},
    {"Fine +inf", StateBytes(-7.0, inf, 50.0, 0)},
    {"Mix -inf", StateBytes(-7.0, 5.0, -inf, 0)},
  };
  for (const auto& c : cases) {
    plugin->changes.clear();
    EXPECT_EQ(LoadState(*plugin, c.bytes), kResultFalse) << c.what;
    EXPECT_EQ(Values(), (std::vector<double>{5.0, 10.0, 40.0})) << c.what;
    EXPECT_TRUE(plugin->IsBypassed()) << c.what;
    EXPECT_TRUE(plugin->changes.empty()) << c.what;
    EXPECT_EQ(SaveState(*plugin), before) << c.what;
  }
  EXPECT_EQ(plugin->setState(nullptr), kInvalidArgument);
  // Finite values beyond the ranges are still taken, clamped.
  ASSERT_EQ(LoadState(*plugin, StateBytes(40.0, -1000.0, 1e300, 0)), kResultOk);
  EXPECT_EQ(Values(), (std::vector<double>{12.0, -100.0, 100.0}));
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

// Stops, once armed, inside the next state call between the values and the
// bypass word: setState right after its values are applied, getState right
// after its values are written. Anything another thread sees meanwhile that
// is not a whole state shows at once, however fast the machine.
class TStallingProbe : public TProbe {
public:
  int32_t UnserializeParams(const plugkit::IStateBuffer& chunk, int32_t position) override {
    const int32_t end = TProbe::UnserializeParams(chunk, position);
    Stall();
    return end;
  }
  bool SerializeParams(plugkit::IStateBuffer& chunk) const override {
    const bool written = TProbe::SerializeParams(chunk);
    Stall();
    return written;
  }
  void Arm() {
    mResumed = false;
    mArmed = true;
  }
  bool Stalled() const { return mStalled; }
  void Resume() { mResumed = true; }

private:
  void Stall() const {
    if (!mArmed.exchange(false)) return;
    mStalled = true;
    plugkit::test::WaitUntil("the test to resume the state call", [this] { return mResumed.load(); });
    mStalled = false;
  }
  mutable std::atomic<bool> mArmed{false};
  mutable std::atomic<bool> mStalled{false};
  std::atomic<bool> mResumed{false};
};

// Whole states are pairs of values and a bypass word. While one thread's
// setState is halfway (its values in, its bypass word not yet), another's
// getState answers the old state or the new one, never the new values with
// the old word; while a getState is halfway, a setState does not slip its
// word into the answer.
TEST(VST3WholeStates, EachStateCallSeesAndLeavesValuesWithTheirBypassWord) {
  const std::vector<uint8_t> before = StateBytes(-5.0, 20.0, 70.0, 0);
  const std::vector<uint8_t> after = StateBytes(7.0, -30.0, 25.0, 1);
  for (bool stallSetState : {true, false}) {
    const char* what = stallSetState ? "getState during a setState" : "setState during a getState";
    Held<TStallingProbe> plugin(new TStallingProbe());
    ASSERT_EQ(plugin->initialize(nullptr), kResultOk);
    ASSERT_EQ(LoadState(*plugin, before), kResultOk);

    std::vector<uint8_t> answered;  // what the getState of the two calls answered
    tresult loaded = kResultFalse;
    const std::function<void()> load = [&] {
      IPtr<vst3host::MemoryStream> stream(new vst3host::MemoryStream(after), false);
      loaded = plugin->setState(stream);
    };
    const std::function<void()> read = [&] {
      IPtr<vst3host::MemoryStream> stream(new vst3host::MemoryStream(), false);
      if (plugin->getState(stream) == kResultOk) answered = stream->Bytes();
    };
    const std::function<void()>& stalled = stallSetState ? load : read;
    const std::function<void()>& meanwhile = stallSetState ? read : load;
    plugin->Arm();
    std::thread first(stalled);
    EXPECT_TRUE(plugkit::test::WaitUntil("the first call to stop halfway", [&] { return plugin->Stalled(); }));
    std::atomic<bool> secondDone{false};
    std::thread second([&] {
      meanwhile();
      secondDone = true;
    });
    EXPECT_TRUE(plugkit::test::WaitUntil("the second call to finish or to wait for the state lock", [&] {
      return secondDone.load() || plugkit::SomeoneWaitsFor(plugin->StateLock());
    }));
    plugin->Resume();
    first.join();
    second.join();

    EXPECT_EQ(loaded, kResultOk) << what;
    EXPECT_TRUE(answered == before || answered == after) << what << ": answered a mixed state";
    EXPECT_EQ(SaveState(*plugin), after) << what;
    plugin->terminate();
  }
}

} // namespace
} // namespace vst3test
