#include "tests/hosts/vst3/ConcurrentCalls.h"

#include <atomic>
#include <cmath>
#include <mutex>

#include "tests/hosts/vst3/MemoryStream.h"
#include "tests/hosts/vst3/ParameterChanges.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace vst3host {
namespace {

using vst2host::FaultList;
using vst2host::Pick;

constexpr int32_t kTextGuard = 32;
constexpr TChar kGuardChar = 0xA5A5;

double Unit(std::mt19937& random) { return std::uniform_real_distribution<double>(0.0, 1.0)(random); }

ParamID PickId(std::mt19937& random, const std::vector<ParamID>& ids) {
  return ids.empty() ? 0 : ids[static_cast<size_t>(Pick(random, 0, static_cast<int32_t>(ids.size()) - 1))];
}

class Caller {
 public:
  Caller(PluginInstance& plugin, const ConcurrentCallOptions& options, FaultList& faults)
      : mPlugin(plugin), mOptions(options), mFaults(faults) {
    for (const ParamRecord& param : plugin.Parameters()) mIds.push_back(param.id);
    mChanged = options.changedParams.empty() ? mIds : options.changedParams;
  }

  void Call(std::mt19937& random, std::vector<uint8_t>& kept) {
    IEditController* controller = mPlugin.Controller();
    const ParamID id = PickId(random, mIds);
    const ParamID changed = PickId(random, mChanged);
    switch (Pick(random, 0, 8)) {
      case 0: {
        std::vector<uint8_t> state;
        if (!mPlugin.GetState(state)) {
          mFaults.Add("getState failed");
        } else {
          if (mOptions.wholeState && !mOptions.wholeState(state)) mFaults.Add("getState answered a mixed state");
          kept = std::move(state);
        }
        break;
      }
      case 1:
        if (!kept.empty() && mPlugin.SetState(kept) != kResultOk) mFaults.Add("setState refused bytes from getState");
        break;
      case 2:
        if (!kept.empty()) {
          IPtr<MemoryStream> stream(new MemoryStream(kept), false);
          controller->setComponentState(stream);
        }
        break;
      case 3:
      case 4:  // without a program parameter, one more parameter change
        controller->setParamNormalized(mOptions.hasProgramParam ? mOptions.programParamId : changed, Unit(random));
        break;
      case 5:
        controller->setParamNormalized(changed, Unit(random));
        break;
      case 6: {
        const ParamValue value = controller->getParamNormalized(id);
        if (!(value >= 0.0 && value <= 1.0))
          mFaults.Add("getParamNormalized(" + std::to_string(id) + ") answered " + std::to_string(value));
        break;
      }
      case 7:
        ReadText(id, Unit(random));
        break;
      default: {
        static const TChar kText[] = {'3', 0};
        ParamValue value = 0.0;
        controller->getParamValueByString(id, const_cast<TChar*>(kText), value);
        break;
      }
    }
  }

 private:
  void ReadText(ParamID id, double normalized) {
    TChar text[128 + kTextGuard];
    for (TChar& c : text) c = kGuardChar;
    if (mPlugin.Controller()->getParamStringByValue(id, normalized, text) != kResultOk) return;
    bool terminated = false;
    for (int32_t i = 0; i < 128 && !terminated; ++i) terminated = text[i] == 0;
    bool guardIntact = true;
    for (int32_t i = 128; i < 128 + kTextGuard; ++i) guardIntact = guardIntact && text[i] == kGuardChar;
    if (!terminated || !guardIntact)
      mFaults.Add("getParamStringByValue(" + std::to_string(id) + ") overran the host's String128");
  }

  PluginInstance& mPlugin;
  const ConcurrentCallOptions& mOptions;
  FaultList& mFaults;
  std::vector<ParamID> mIds;
  std::vector<ParamID> mChanged;
};

}  // namespace

ConcurrentCallReport RunConcurrentCalls(PluginInstance& plugin, const ConcurrentCallOptions& options) {
  ConcurrentCallReport report;
  vst2host::StressBuffers buffers(plugin.InputChannels(), plugin.OutputChannels(), options.blockSize,
                                  options.sampleRate);

  FaultList faults;
  Caller caller(plugin, options, faults);
  std::vector<uint8_t> first;
  plugin.GetState(first);
  std::vector<std::vector<uint8_t>> kept(static_cast<size_t>(options.callers), first);

  // The audio thread's own automation: now and then a point for a parameter.
  std::vector<ParamID> ids = options.changedParams;
  if (ids.empty())
    for (const ParamRecord& param : plugin.Parameters()) ids.push_back(param.id);
  ParameterChanges changes;
  std::mt19937 audioRandom(options.seed);
  std::atomic<bool> failedBlock{false};
  std::atomic<bool> nonFinite{false};

  report.run = vst2host::RunThreaded(
      options.seconds, options.callers, options.seed,
      [&] {
        changes.Clear();
        if (!ids.empty() && Pick(audioRandom, 0, 7) == 0)
          changes.Add(PickId(audioRandom, ids), Pick(audioRandom, 0, options.blockSize - 1), Unit(audioRandom));
        if (plugin.Process32(buffers.inPointers.data(), buffers.outPointers.data(), options.blockSize, &changes) !=
            kResultOk)
          failedBlock.store(true, std::memory_order_relaxed);
        for (const auto& channel : buffers.out)
          for (float sample : channel)
            if (!std::isfinite(sample)) nonFinite.store(true, std::memory_order_relaxed);
      },
      [&](int32_t n, std::mt19937& random) { caller.Call(random, kept[static_cast<size_t>(n)]); });

  report.faults = faults.Take();
  if (failedBlock.load()) report.faults.push_back("a process call did not answer kResultOk");
  if (nonFinite.load()) report.faults.push_back("the plug-in produced a non-finite sample");
  return report;
}

}  // namespace vst3host
