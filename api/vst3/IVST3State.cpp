// IVST3Binding's component state: the parameter state followed by the int32
// bypass word (see IVST3Binding.h for the format).

#include <cmath>

#include "api/vst3/IVST3Binding.h"
#include "core/IHostIdentity.h"
#include "core/ISectionLock.h"
#include "core/IStateBuffer.h"
#include "pluginterfaces/base/ibstream.h"

using namespace Steinberg;

namespace plugkit {

namespace {

constexpr int32 kReadChunk = 128;

// Reads up to wanted bytes from the stream into out, until it delivers no
// more. A read that reports an error ends the reading and its bytes are
// dropped, except for a host known to report errors together with good bytes,
// whose stream is read on.
void ReadStream(IBStream& stream, int32_t wanted, bool acceptErrorBytes, IStateBuffer& out) {
  uint8_t chunk[kReadChunk];
  while (out.Size() < wanted) {
    const int32 ask = wanted - out.Size() < kReadChunk ? wanted - out.Size() : kReadChunk;
    int32 got = 0;
    const tresult result = stream.read(chunk, ask, &got);
    if (got <= 0 || got > ask) return;
    if (result != kResultOk && !acceptErrorBytes) return;
    if (!out.Append(chunk, got)) return;
  }
}

// Whether every one of count float64 values from position is a number: a
// value that is not (NaN, an infinity) marks the bytes as damaged.
bool AllFinite(const IStateBuffer& bytes, int32_t position, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    double value = 0.0;
    position = bytes.ReadFloat64(position, &value);
    if (position < 0 || !std::isfinite(value)) return false;
  }
  return true;
}

} // namespace

tresult PLUGIN_API IVST3Binding::getState(IBStream* state) {
  if (!state) return kInvalidArgument;
  IStateBuffer bytes;
  {
    ISectionGuard guard(StateLock());
    if (!SerializeParams(bytes) || !bytes.AppendInt32(IsBypassed() ? 1 : 0)) return kResultFalse;
  }
  // The host's stream is written outside the lock: a host may serialise its
  // streams on a lock of its own that another thread holds while it calls us.
  int32 written = 0;
  const tresult result = state->write(bytes.Bytes(), bytes.Size(), &written);
  return result == kResultOk && written == bytes.Size() ? kResultOk : kResultFalse;
}

tresult PLUGIN_API IVST3Binding::setState(IBStream* state) {
  if (!state) return kInvalidArgument;
  // Only this plug-in's bytes are read, so that a host that stores more after
  // them finds its stream right behind them.
  const int32_t paramBytes = 8 * ParamCount();
  const int32_t wanted = paramBytes + 4;
  IStateBuffer bytes;
  ReadStream(*state, wanted, HostIdentity().Code == kHostWaveLab, bytes);

  int32_t bypassWord = 0;
  if (bytes.Size() < wanted || bytes.ReadInt32(paramBytes, &bypassWord) < 0) return kResultFalse;
  // A damaged state is refused whole, before anything of it is applied:
  // applying its other values would leave a mixture of two states.
  if (bypassWord != 0 && bypassWord != 1) return kResultFalse;
  if (!AllFinite(bytes, 0, ParamCount())) return kResultFalse;
  // Values, bypass and the editor's refresh are one change for other threads.
  ISectionGuard guard(StateLock());
  if (UnserializeParams(bytes, 0) != paramBytes) return kResultFalse;

  SetBypassed(bypassWord == 1);
  if (BypassParameter) BypassParameter->setNormalized(bypassWord == 1 ? 1.0 : 0.0);
  OnStateLoaded();
  return kResultOk;
}

} // namespace plugkit
