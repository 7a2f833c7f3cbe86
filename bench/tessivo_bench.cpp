// Cost of the pitch-shift engine as a VST 2.4 host sees it: nanoseconds per
// stereo frame through the effect record's processReplacing and
// processDoubleReplacing at 48 kHz, for blocks of 64 and 512 frames, each
// beside a plain copy of the same host buffers timed in the same run. The
// ratio to the copy is the figure to watch: it cancels most of the machine's
// speed and the emulator's overhead. Target: under 70 times the copy.
//
// Usage: tessivo_bench [--quick]   (--quick: a few blocks only, as a smoke run)

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "api/vst2/VST2Interface.h"
#include "bench/Stopwatch.h"
#include "plugin/Tessivo.h"

namespace {

using tessivo_bench::NowNanoseconds;

constexpr float kSampleRate = 48000.0f;

// The baseline: what a host pays at the least for moving a block through.
// Called through a pointer the compiler cannot see through, like the record.
void CopyFloatBlock(float** inputs, float** outputs, int32_t frames) {
  for (int c = 0; c < 2; ++c) std::memcpy(outputs[c], inputs[c], sizeof(float) * size_t(frames));
}
void CopyDoubleBlock(double** inputs, double** outputs, int32_t frames) {
  for (int c = 0; c < 2; ++c) std::memcpy(outputs[c], inputs[c], sizeof(double) * size_t(frames));
}
void (*volatile gCopyFloat)(float**, float**, int32_t) = CopyFloatBlock;
void (*volatile gCopyDouble)(double**, double**, int32_t) = CopyDoubleBlock;

template <typename Sample>
struct HostBuffers {
  explicit HostBuffers(int32_t frames) {
    uint32_t state = 2024u;
    for (int c = 0; c < 2; ++c) {
      input[c].resize(size_t(frames));
      output[c].assign(size_t(frames), Sample(0));
      for (Sample& x : input[c]) {
        state = state * 1664525u + 1013904223u;
        x = Sample(double(state >> 8) / double(1u << 24) - 0.5);
      }
      in[c] = input[c].data();
      out[c] = output[c].data();
    }
  }
  bool OutputIsFinite() const {
    for (const auto& channel : output)
      for (Sample x : channel)
        if (!std::isfinite(x)) return false;
    return true;
  }
  std::vector<Sample> input[2], output[2];
  Sample* in[2] = {};
  Sample* out[2] = {};
};

struct Figures {
  double engineNs = 0.0; // per stereo frame
  double copyNs = 0.0;
  bool finite = true;
};

// Times `calls` blocks of the engine, then as many of the copy, `trials`
// times, interleaved so both see the same machine; keeps each one's best.
template <typename Sample, typename Process, typename Copy>
Figures Measure(AEffect* effect, Process process, Copy copy, int32_t block, int64_t calls, int trials) {
  HostBuffers<Sample> buffers(block);
  // One untimed trial first: caches, branch history and the clock settle.
  for (int64_t i = 0; i < calls; ++i) process(effect, buffers.in, buffers.out, block);
  Figures best{1e300, 1e300, true};
  const double frames = double(calls) * block;
  for (int t = 0; t < trials; ++t) {
    double start = NowNanoseconds();
    for (int64_t i = 0; i < calls; ++i) process(effect, buffers.in, buffers.out, block);
    best.engineNs = std::min(best.engineNs, (NowNanoseconds() - start) / frames);
    best.finite = best.finite && buffers.OutputIsFinite();

    start = NowNanoseconds();
    for (int64_t i = 0; i < calls; ++i) copy(buffers.in, buffers.out, block);
    best.copyNs = std::min(best.copyNs, (NowNanoseconds() - start) / frames);
  }
  return best;
}

intptr_t Dispatch(AEffect* effect, int32_t opcode, intptr_t value = 0, float opt = 0.0f) {
  return effect->dispatcher(effect, opcode, 0, value, nullptr, opt);
}

// A running instance as a host leaves it: open, 48 kHz, the block size
// announced, switched on, shifting up three semitones at half mix so that
// both taps interpolate and both gains count.
void StartInstance(AEffect* effect, int32_t block) {
  Dispatch(effect, effOpen);
  Dispatch(effect, effSetSampleRate, 0, kSampleRate);
  Dispatch(effect, effSetBlockSize, block);
  Dispatch(effect, effMainsChanged, 1);
  effect->setParameter(effect, Coarse, float((3 + 12) / 24.0));
  effect->setParameter(effect, Mix, 0.5f);
}

} // namespace

int main(int argc, char** argv) {
  const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
  const int64_t framesPerTrial = quick ? 4096 : int64_t(1) << 22;
  const int trials = quick ? 1 : 9;

  std::printf("Tessivo engine at %.0f Hz, Coarse +3, Mix 50: best of %d runs of %lld frames\n", kSampleRate, trials,
              static_cast<long long>(framesPerTrial));
  std::printf("%-24s %6s %16s %20s %8s\n", "entry", "block", "engine ns/frame", "plain copy ns/frame", "ratio");

  bool allFinite = true;
  double worstRatio = 0.0;
  for (bool doublePrecision : {false, true}) {
    for (int32_t block : {64, 512}) {
      Tessivo plugin(nullptr);
      AEffect* effect = plugin.EffectRecord();
      StartInstance(effect, block);
      const int64_t calls = framesPerTrial / block;
      const Figures f =
          doublePrecision
              ? Measure<double>(effect, effect->processDoubleReplacing, gCopyDouble, block, calls, trials)
              : Measure<float>(effect, effect->processReplacing, gCopyFloat, block, calls, trials);
      const double ratio = f.engineNs / f.copyNs;
      worstRatio = std::max(worstRatio, ratio);
      allFinite = allFinite && f.finite;
      std::printf("%-24s %6d %16.2f %20.3f %7.1fx\n",
                  doublePrecision ? "processDoubleReplacing" : "processReplacing", block, f.engineNs, f.copyNs,
                  ratio);
      Dispatch(effect, effMainsChanged, 0);
    }
  }
  std::printf("worst ratio %.1fx (target: under 70x the plain copy)%s\n", worstRatio,
              quick ? "; quick run, figures not meaningful" : "");
  if (!allFinite) {
    std::printf("error: the engine produced a non-finite sample\n");
    return 1;
  }
  return 0;
}
