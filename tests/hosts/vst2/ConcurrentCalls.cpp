#include "tests/hosts/vst2/ConcurrentCalls.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace vst2host {
namespace {


std::string RandomName(std::mt19937& random) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string name(static_cast<size_t>(Pick(random, 1, kVstMaxProgNameLen - 1)), ' ');
  for (char& c : name) c = kLetters[Pick(random, 0, static_cast<int32_t>(sizeof kLetters) - 2)];
  return name;
}

// The last chunks a caller got, one per kind (0: bank, 1: program).
struct KeptChunks {
  std::vector<uint8_t> chunk[2];
};

// Everything the callers share.
class Caller {
 public:
  Caller(PluginInstance& plugin, FaultList& faults) : mPlugin(plugin), mFaults(faults) {
    const AEffect& effect = *plugin.Effect();
    mPrograms = effect.numPrograms;
    mParams = effect.numParams;
  }

  void Call(std::mt19937& random, KeptChunks& kept) {
    switch (Pick(random, 0, 3)) {
      case 0: return ProgramCall(random);
      case 1: return ParamCall(random);
      case 2: return GetChunk(random, kept);
      default: return SetChunk(random, kept);
    }
  }

 private:
  void ProgramCall(std::mt19937& random) {
    switch (Pick(random, 0, 5)) {
      case 0:  // out of range now and then, which must change nothing
        mPlugin.Dispatch(effSetProgram, 0, Pick(random, -1, mPrograms));
        break;
      case 1:
        mPlugin.Dispatch(effBeginSetProgram);
        mPlugin.Dispatch(effSetProgram, 0, Pick(random, 0, mPrograms - 1));
        mPlugin.Dispatch(effEndSetProgram);
        break;
      case 2: {
        const intptr_t program = mPlugin.Dispatch(effGetProgram);
        if (program < 0 || program >= mPrograms)
          mFaults.Add("effGetProgram answered " + std::to_string(program));
        break;
      }
      case 3: {
        std::string name = RandomName(random);
        mPlugin.Dispatch(effSetProgramName, 0, 0, &name[0]);
        break;
      }
      case 4:
        mPlugin.ProgramName();
        break;
      default:
        mPlugin.ProgramNameIndexed(Pick(random, 0, mPrograms - 1));
        break;
    }
  }

  void ParamCall(std::mt19937& random) {
    const int32_t index = Pick(random, 0, mParams - 1);
    switch (Pick(random, 0, 5)) {
      case 0:
        mPlugin.SetParameter(index, std::uniform_real_distribution<float>(0.0f, 1.0f)(random));
        break;
      case 1: {
        const float value = mPlugin.GetParameter(index);
        if (!(value >= 0.0f && value <= 1.0f))
          mFaults.Add("getParameter(" + std::to_string(index) + ") answered " + std::to_string(value));
        break;
      }
      case 2:
        mPlugin.ParamDisplay(index);
        break;
      case 3:
        mPlugin.ParamName(index);
        break;
      case 4:
        mPlugin.ParamLabel(index);
        break;
      default: {
        char text[32];
        std::snprintf(text, sizeof text, "%d", Pick(random, -20, 120));
        mPlugin.Dispatch(effString2Parameter, index, 0, text);
        break;
      }
    }
  }

  // A chunk stays the plug-in's: the next effGetChunk may rewrite it. So the
  // copy counts only when no other effGetChunk ran from the start of this
  // one to the end of the copy, as a host that saves from one thread at a
  // time would make it.
  void GetChunk(std::mt19937& random, KeptChunks& kept) {
    const bool bank = Pick(random, 0, 1) == 0;
    const uint64_t mine = mGetsStarted.fetch_add(1) + 1;
    const bool aloneAtStart = mGetsEnded.load() == mine - 1;
    void* lent = nullptr;
    const intptr_t size = mPlugin.Dispatch(effGetChunk, bank ? 0 : 1, 0, &lent);
    const uint8_t* bytes = static_cast<const uint8_t*>(lent);
    std::vector<uint8_t> copy;
    if (size > 0 && bytes != nullptr) copy.assign(bytes, bytes + size);
    mGetsEnded.fetch_add(1);
    if (copy.empty()) {
      mFaults.Add(std::string("effGetChunk (") + (bank ? "bank" : "program") + ") answered no data");
      return;
    }
    if (!aloneAtStart || mGetsStarted.load() != mine) return;

    // The host holds the chunk while program and name calls go on; only
    // another effGetChunk may change it.
    for (int32_t n = Pick(random, 1, 3); n > 0; --n) ProgramCall(random);
    if (mGetsStarted.load() == mine) {
      const bool same = std::memcmp(bytes, copy.data(), copy.size()) == 0;
      if (!same && mGetsStarted.load() == mine)
        mFaults.Add("a chunk lent by effGetChunk changed without another effGetChunk");
    }
    kept.chunk[bank ? 0 : 1] = std::move(copy);
  }

  void SetChunk(std::mt19937& random, KeptChunks& kept) {
    const bool bank = Pick(random, 0, 1) == 0;
    const std::vector<uint8_t>& chunk = kept.chunk[bank ? 0 : 1];
    if (chunk.empty()) return;
    if (!mPlugin.SetChunk(bank, chunk))
      mFaults.Add(std::string("effSetChunk refused a ") + (bank ? "bank" : "program") + " chunk from effGetChunk");
  }

  PluginInstance& mPlugin;
  FaultList& mFaults;
  int32_t mPrograms = 0;
  int32_t mParams = 0;
  std::atomic<uint64_t> mGetsStarted{0};
  std::atomic<uint64_t> mGetsEnded{0};
};

} // namespace

ConcurrentCallReport RunConcurrentCalls(PluginInstance& plugin, const ConcurrentCallOptions& options) {
  ConcurrentCallReport report;
  if (!plugin.IsCreated()) {
    report.faults.push_back("no plug-in instance");
    return report;
  }
  const AEffect& effect = *plugin.Effect();
  vst2host::StressBuffers buffers(effect.numInputs, effect.numOutputs, options.blockSize, options.sampleRate);

  FaultList faults;
  Caller caller(plugin, faults);
  // Each caller starts from the chunks as they are now.
  std::vector<std::vector<uint8_t>> first(2);
  plugin.GetChunk(true, first[0]);
  plugin.GetChunk(false, first[1]);
  std::vector<KeptChunks> perCaller(static_cast<size_t>(options.callers));
  for (KeptChunks& chunks : perCaller) {
    chunks.chunk[0] = first[0];
    chunks.chunk[1] = first[1];
  }

  std::atomic<bool> nonFinite{false};
  plugin.Configure(options.sampleRate, options.blockSize);
  plugin.Resume();
  // The audio thread's block times are the plug-in's, not the host's log.
  const bool logging = plugin.Host().Settings().logCalls;
  plugin.Host().Settings().logCalls = false;
  report.run = RunThreaded(
      options.seconds, options.callers, options.seed,
      [&] {
        plugin.ProcessReplacing(buffers.inPointers.data(), buffers.outPointers.data(), options.blockSize);
        for (const auto& channel : buffers.out)
          for (float sample : channel)
            if (!std::isfinite(sample)) nonFinite.store(true, std::memory_order_relaxed);
      },
      [&](int32_t n, std::mt19937& random) { caller.Call(random, perCaller[static_cast<size_t>(n)]); });
  plugin.Host().Settings().logCalls = logging;
  plugin.Suspend();

  report.faults = faults.Take();
  if (nonFinite.load()) report.faults.push_back("the plug-in produced a non-finite sample");
  for (const TextOverrun& overrun : plugin.Overruns())
    report.faults.push_back("opcode " + std::to_string(overrun.opcode) + " wrote \"" + overrun.text +
                            "\" past its " + std::to_string(overrun.capacity) + "-byte buffer");
  return report;
}

} // namespace vst2host
