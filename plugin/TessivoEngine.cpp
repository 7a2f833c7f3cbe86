// The pitch-shift engine: the stereo input, summed to mono, is written into a
// circular delay line; two taps half a line apart glide through it at the
// pitch ratio, and a raised-cosine window indexed by the distance between the
// first tap and the writer fades out whichever tap is about to cross the
// writer. The shifted signal is mixed with the dry input by an equal-power law.

#include <algorithm>
#include <cmath>
#include <new>

#include "core/IParam.h"
#include "plugin/Tessivo.h"

using namespace plugkit;

namespace {

// The semitone base of the ratio. Presets and sessions were tuned with this
// exact constant, so it is kept rather than replaced by 2^(1/12).
constexpr double kSemitone = 1.0594631;
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kTwoPi = 6.283185307179586;

int32_t LineLengthFor(double sampleRate) {
  if (sampleRate <= 22050.0) return 1024;
  if (sampleRate <= 44100.0) return 2048;
  if (sampleRate <= 88200.0) return 4096;
  return 8192;
}

// The two taps share f and every operation, so they are evaluated side by
// side in one pair of lanes (lane 0: tap A, lane 1: tap B). Each lane rounds
// exactly as the scalar expression would, so the output is bit for bit that
// of evaluating the taps one after the other, in about half the time.
typedef double TapPair __attribute__((vector_size(16)));

// Catmull-Rom cubic through p0 ... p3, evaluated at f between p1 and p2. The
// order of operations is kept as it is: any other order changes the output
// in its last bits.
inline TapPair CatmullRom(TapPair p0, TapPair p1, TapPair p2, TapPair p3, TapPair f) {
  const TapPair c3 = (p1 - p2) * 1.5 + (p3 - p0) * 0.5;
  return ((((c3 * f + p0) - p1 * 2.5 + p2 * 2.0) - p3 * 0.5) * f + (p2 - p0) * 0.5) * f + p1;
}

// What the block loop reads and advances, copied out of the object so that
// the compiler can keep it in registers.
struct ShiftState {
  double* line;
  const double* window;
  int32_t length;
  int32_t write;
  double read;
  double ratio;
  double dry;
  double wet;
};

// The per-frame work: one write, two cubic taps, one window read; no
// division, no library call, no allocation.
void Shift(ShiftState& s, const double* inL, const double* inR, double* outL, double* outR, int32_t frames) {
  double* const line = s.line;
  const double* const window = s.window;
  const int32_t mask = s.length - 1;
  const int32_t half = s.length / 2;
  const double length = s.length;
  const double ratio = s.ratio, dry = s.dry, wet = s.wet;
  int32_t write = s.write;
  double read = s.read;
  for (int32_t i = 0; i < frames; ++i) {
    const double l = inL[i];
    const double r = inR[i];
    write = (write - 1) & mask;
    line[write] = (r + l) * 0.5;
    read -= ratio;
    if (read < 0.0) read += length;
    const int32_t k = static_cast<int32_t>(read);
    const double f = read - k;
    // k may have rounded up to exactly N; like every index it wraps.
    const int32_t ka = k & mask;
    const int32_t kb = (k + half) & mask;
    const int32_t a2 = (ka + 1) & mask, b2 = (kb + 1) & mask;
    const TapPair p0 = {line[(ka - 1) & mask], line[(kb - 1) & mask]};
    const TapPair p1 = {line[ka], line[kb]};
    const TapPair p2 = {line[a2], line[b2]};
    const TapPair p3 = {line[(a2 + 1) & mask], line[(b2 + 1) & mask]};
    const TapPair taps = CatmullRom(p0, p1, p2, p3, TapPair{f, f});
    const double a = taps[0];
    const double b = taps[1];
    const double g = window[(k - write) & mask];
    const double shifted = (a - b) * g + b;
    outL[i] = shifted * wet + l * dry;
    outR[i] = shifted * wet + r * dry;
  }
  s.write = write;
  s.read = read;
}

// While bypassed the line goes on taking the input and the taps go on moving,
// so that switching the effect back on continues from the present instead of
// replaying what stood in the line before the bypass.
void Follow(ShiftState& s, const double* inL, const double* inR, int32_t frames) {
  const int32_t mask = s.length - 1;
  const double length = s.length;
  int32_t write = s.write;
  double read = s.read;
  for (int32_t i = 0; i < frames; ++i) {
    const double l = inL ? inL[i] : 0.0;
    const double r = inR ? inR[i] : 0.0;
    write = (write - 1) & mask;
    s.line[write] = (r + l) * 0.5;
    read -= s.ratio;
    if (read < 0.0) read += length;
  }
  s.write = write;
  s.read = read;
}

} // namespace

void Tessivo::AllocateEngine() {
  // Both at the longest length, once: a reset only changes how much of them
  // is in use, so no rate change ever frees or moves them.
  DelayLine = new (std::nothrow) double[kMaxLineLength]();
  FadeWindow = new (std::nothrow) double[kMaxLineLength]();
  if (!DelayLine || !FadeWindow) ReleaseEngine(); // the input then passes unchanged
}

void Tessivo::OnStreamReset() {
  if (!DelayLine || !FadeWindow) return;
  const int32_t n = LineLengthFor(SampleRate());
  if (n != LineLength) {
    // The phase is accumulated step by step so the table matches the one the
    // engine was tuned with to the last bit.
    const double step = kTwoPi / n;
    double phase = 0.0;
    for (int32_t i = 0; i < n; ++i) {
      FadeWindow[i] = 0.5 - 0.5 * std::cos(phase);
      phase += step;
    }
    LineLength = n;
  }
  std::fill(DelayLine, DelayLine + n, 0.0);
  WriteIndex = 0;
  ReadPosition = 0.0;
  // The oldest sample the taps can reach is a line length back: once that
  // many frames of silence have gone in, nothing of the input is left.
  SetTailSize(LineLength);
}

void Tessivo::ReleaseEngine() {
  delete[] DelayLine;
  delete[] FadeWindow;
  DelayLine = nullptr;
  FadeWindow = nullptr;
}

void Tessivo::OnParamChange(int32_t index, IChangeSource /*source*/, int32_t /*sampleOffset*/) {
  switch (index) {
  case Coarse:
  case Fine: {
    // Both values are read from the parameters, not from the other cache, so
    // that when two threads report changes at once the last writer still
    // leaves the ratio of the parameters as they stand.
    const IParam* coarseParam = GetParam(Coarse);
    const IParam* fineParam = GetParam(Fine);
    if (!coarseParam || !fineParam) return;
    const int32_t coarse = static_cast<int32_t>(coarseParam->Value());
    const int32_t fine = static_cast<int32_t>(fineParam->Value());
    CoarseSemitones = coarse;
    FineCents = fine;
    // A positive Fine lowers the pitch.
    TransposeRatio = std::pow(kSemitone, static_cast<double>(coarse) - static_cast<double>(fine) * 0.01);
    break;
  }
  case Mix: {
    const IParam* mix = GetParam(Mix);
    if (!mix) return;
    const double t = mix->Value() * 0.01 * kHalfPi;
    DryGain = std::cos(t);
    WetGain = std::sin(t);
    break;
  }
  default:
    break;
  }
}

void Tessivo::ProcessAudio(double** inputs, double** outputs, int32_t frames) {
  if (!inputs || !outputs || frames <= 0) return;
  const double* inL = inputs[0];
  const double* inR = inputs[1];
  double* outL = outputs[0];
  double* outR = outputs[1];

  // Before the first stream reset no length is in use; pass the input on so a
  // host that forgets to set up still hears its signal.
  const bool hasLine = DelayLine && FadeWindow && LineLength > 0;
  ShiftState state{DelayLine, FadeWindow, LineLength, WriteIndex, ReadPosition,
                   TransposeRatio.load(std::memory_order_relaxed), DryGain.load(std::memory_order_relaxed),
                   WetGain.load(std::memory_order_relaxed)};
  if (Bypassed || IsBypassed() || !hasLine) {
    if (hasLine) {
      Follow(state, inL, inR, frames);
      WriteIndex = state.write;
      ReadPosition = state.read;
    }
    for (int32_t i = 0; i < frames; ++i) {
      const double l = inL ? inL[i] : 0.0;
      const double r = inR ? inR[i] : 0.0;
      if (outL) outL[i] = l;
      if (outR) outR[i] = r;
    }
    return;
  }

  if (inL && inR && outL && outR) {
    Shift(state, inL, inR, outL, outR, frames);
  } else {
    // A missing channel reads as silence and a missing output is skipped;
    // frame by frame through a scratch frame so the fast loop stays free of
    // tests. Hosts do not do this in practice.
    static constexpr double kSilence = 0.0;
    for (int32_t i = 0; i < frames; ++i) {
      double l = 0.0, r = 0.0;
      Shift(state, inL ? inL + i : &kSilence, inR ? inR + i : &kSilence, &l, &r, 1);
      if (outL) outL[i] = l;
      if (outR) outR[i] = r;
    }
  }
  WriteIndex = state.write;
  ReadPosition = state.read;
}
