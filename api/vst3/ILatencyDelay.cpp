#include "api/vst3/ILatencyDelay.h"

#include <cstring>
#include <new>

namespace plugkit {

struct ILatencyDelay::IRing {
  int32_t channels = 0;
  int32_t length = 0;
  int32_t write = 0;        // the oldest frame, overwritten next
  double* samples = nullptr; // channel c at samples + c * length
};

void ILatencyDelay::Free(IRing* ring) {
  if (!ring) return;
  delete[] ring->samples;
  delete ring;
}

ILatencyDelay::~ILatencyDelay() {
  Free(mActive);
  Free(RingIn(mSlot.exchange(0)));
}

bool ILatencyDelay::Prepare(int32_t channels, int32_t frames) {
  if (channels <= 0 || frames <= 0) channels = frames = 0;
  const int64_t count = static_cast<int64_t>(channels) * frames;
  if (count > kMaxSamples) return false;
  IRing* ring = new (std::nothrow) IRing;
  if (!ring) return false;
  if (count > 0) {
    ring->samples = new (std::nothrow) double[static_cast<size_t>(count)];
    if (!ring->samples) {
      delete ring;
      return false;
    }
    std::memset(ring->samples, 0, sizeof(double) * static_cast<size_t>(count));
  }
  ring->channels = channels;
  ring->length = frames;

  // What the new ring replaces is a ring never taken up or one given up:
  // the audio thread uses neither.
  Free(RingIn(mSlot.exchange(reinterpret_cast<uintptr_t>(ring), std::memory_order_acq_rel)));
  return true;
}

void ILatencyDelay::Collect() {
  uintptr_t slot = mSlot.load(std::memory_order_acquire);
  // A handed-over ring stays for the audio thread; when a Prepare replaces
  // the given-up ring meanwhile, that Prepare frees it.
  if ((slot & kGivenUp) && mSlot.compare_exchange_strong(slot, 0, std::memory_order_acq_rel))
    Free(RingIn(slot));
}

void ILatencyDelay::BeginBlock() {
  uintptr_t slot = mSlot.load(std::memory_order_acquire);
  if (slot != 0 && !(slot & kGivenUp)) {
    // Taking the new ring and giving up the old one in one step. It fails
    // only when a newer ring replaced this one meanwhile; the next block
    // takes that one.
    const uintptr_t givenUp = mActive ? reinterpret_cast<uintptr_t>(mActive) | kGivenUp : 0;
    if (mSlot.compare_exchange_strong(slot, givenUp, std::memory_order_acq_rel, std::memory_order_acquire))
      mActive = RingIn(slot);
  }
  if (mClearRequested.exchange(false, std::memory_order_acq_rel) && mActive && mActive->samples) {
    std::memset(mActive->samples, 0,
                sizeof(double) * static_cast<size_t>(mActive->channels) * static_cast<size_t>(mActive->length));
    mActive->write = 0;
  }
}

int32_t ILatencyDelay::ActiveLength() const { return mActive ? mActive->length : 0; }

template <typename Sample>
void ILatencyDelay::Feed(Sample* const* inputs, int32_t inputCount, int32_t frames) {
  IRing* ring = mActive;
  if (!ring || ring->length <= 0 || frames <= 0) return;
  const int32_t length = ring->length;
  // Only the last `length` frames of a long block stay in the ring.
  const int32_t skip = frames > length ? frames - length : 0;
  const int32_t start = static_cast<int32_t>((static_cast<int64_t>(ring->write) + skip) % length);
  for (int32_t c = 0; c < ring->channels; ++c) {
    const Sample* in = inputs && c < inputCount ? inputs[c] : nullptr;
    double* line = ring->samples + static_cast<size_t>(c) * static_cast<size_t>(length);
    int32_t w = start;
    for (int32_t i = skip; i < frames; ++i) {
      line[w] = in ? static_cast<double>(in[i]) : 0.0;
      if (++w == length) w = 0;
    }
  }
  ring->write = static_cast<int32_t>((static_cast<int64_t>(ring->write) + frames) % length);
}

template <typename Sample>
bool ILatencyDelay::Pass(Sample* const* inputs, int32_t inputCount, Sample* const* outputs, int32_t outputCount,
                         int32_t frames) {
  IRing* ring = mActive;
  if (!ring || ring->length <= 0) return false;
  if (frames <= 0) return true;
  const int32_t length = ring->length;
  for (int32_t c = 0; c < ring->channels; ++c) {
    const Sample* in = inputs && c < inputCount ? inputs[c] : nullptr;
    Sample* out = outputs && c < outputCount ? outputs[c] : nullptr;
    double* line = ring->samples + static_cast<size_t>(c) * static_cast<size_t>(length);
    int32_t w = ring->write;
    // Each input sample is read before its output sample is written, so a
    // host that processes in place loses nothing.
    for (int32_t i = 0; i < frames; ++i) {
      const double delayed = line[w];
      line[w] = in ? static_cast<double>(in[i]) : 0.0;
      if (out) out[i] = static_cast<Sample>(delayed);
      if (++w == length) w = 0;
    }
  }
  for (int32_t c = ring->channels; outputs && c < outputCount; ++c)
    if (outputs[c]) std::memset(outputs[c], 0, sizeof(Sample) * static_cast<size_t>(frames));
  ring->write = static_cast<int32_t>((static_cast<int64_t>(ring->write) + frames) % length);
  return true;
}

template void ILatencyDelay::Feed<float>(float* const*, int32_t, int32_t);
template void ILatencyDelay::Feed<double>(double* const*, int32_t, int32_t);
template bool ILatencyDelay::Pass<float>(float* const*, int32_t, float* const*, int32_t, int32_t);
template bool ILatencyDelay::Pass<double>(double* const*, int32_t, double* const*, int32_t, int32_t);

} // namespace plugkit
