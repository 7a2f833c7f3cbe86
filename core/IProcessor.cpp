#include "core/IProcessor.h"

#include <cmath>
#include <cstring>
#include <new>

#include "core/TraceCall.h"

namespace plugkit {

void ZeroDoubles(double* samples, int32_t count) {
  if (samples && count > 0) std::memset(samples, 0, sizeof(double) * static_cast<size_t>(count));
}

namespace {

template <typename Sample>
void ZeroChannels(Sample* const* channels, int32_t count, int32_t frames) {
  if (!channels || frames <= 0) return;
  for (int32_t c = 0; c < count; ++c)
    if (channels[c]) std::memset(channels[c], 0, sizeof(Sample) * static_cast<size_t>(frames));
}

} // namespace

void CopyDoublesToFloats(float* dst, const double* src, int32_t count) {
  if (!dst || !src) return;
  for (int32_t j = 0; j < count; ++j) dst[j] = static_cast<float>(src[j]);
}

void ZeroHostChannels(float* const* channels, int32_t count, int32_t frames) { ZeroChannels(channels, count, frames); }

void ZeroHostChannels(double* const* channels, int32_t count, int32_t frames) {
  ZeroChannels(channels, count, frames);
}

IProcessor::IProcessor(const IPluginDescriptor& descriptor)
  : mPluginKind(descriptor.pluginKind),
    mMidiIn(descriptor.midiIn),
    mMidiOut(descriptor.midiOut),
    mMpe(descriptor.mpe),
    mLatency(descriptor.latency) {
  ReadChannelLayouts(descriptor.channelIO);
  CreateSlots(IPortDirection::Input, mLimits.inputChannels);
  CreateSlots(IPortDirection::Output, mLimits.outputChannels);
}

IProcessor::~IProcessor() {
  for (IPointerArray<IChannelSlot>& slots : mSlots) slots.DeleteAll();
  mLayouts.DeleteAll();
}

int32_t IProcessor::ReadChannelLayouts(const char* text) { return ParseChannelLayouts(text, mLayouts, mLimits); }

// The pointer array is sized first and never moves afterwards, because every
// slot keeps the address of its own entry in it.
void IProcessor::CreateSlots(IPortDirection direction, int32_t count) {
  IHeapBlock& pointers = mChannelPointers[PortIndex(direction)];
  const int32_t bytes = count * static_cast<int32_t>(sizeof(double*));
  if (count <= 0 || !pointers.SetSize(bytes, false) || pointers.Size() != bytes) return;
  double** entries = pointers.As<double*>();
  IPointerArray<IChannelSlot>& slots = Slots(direction);
  for (int32_t i = 0; i < count; ++i) {
    entries[i] = nullptr;
    IChannelSlot* slot = new (std::nothrow) IChannelSlot;
    if (!slot) continue;
    if (slots.Count() != i || !slots.Add(slot)) {
      delete slot;
      continue;
    }
    slot->entry = &entries[i];
  }
}

IPointerArray<IChannelSlot>& IProcessor::Slots(IPortDirection direction) { return mSlots[PortIndex(direction)]; }

const IPointerArray<IChannelSlot>& IProcessor::Slots(IPortDirection direction) const {
  return mSlots[PortIndex(direction)];
}

// --- Hooks --------------------------------------------------------------------

void IProcessor::ProcessAudio(double** inputs, double** outputs, int32_t frames) {
  if (!outputs || frames <= 0) return;
  const int32_t inputCount = ChannelCount(IPortDirection::Input);
  const int32_t outputCount = ChannelCount(IPortDirection::Output);
  const size_t bytes = sizeof(double) * static_cast<size_t>(frames);
  for (int32_t i = 0; i < outputCount; ++i) {
    double* out = outputs[i];
    if (!out) continue;
    const double* in = inputs && i < inputCount ? inputs[i] : nullptr;
    if (in == out) continue;
    if (in) std::memmove(out, in, bytes);
    else std::memset(out, 0, bytes);
  }
}

void IProcessor::OnMidiIn(const IMidiShortMessage& message) { SendMidiToHost(message); }

void IProcessor::OnSysExIn(const ISysExView&) {}

void IProcessor::OnStreamReset() {}

void IProcessor::OnActiveChange(bool) {}

bool IProcessor::SendMidiListToHost(const IMidiShortMessage* messages, int32_t count) {
  if (count <= 0) return true;
  if (!messages) return false;
  bool allSent = true;
  for (int32_t i = 0; i < count; ++i) allSent = SendMidiToHost(messages[i]) && allSent;
  return allSent;
}

bool IProcessor::SendSysExToHost(const ISysExView&) { return false; }

void IProcessor::ChangeLatency(int32_t frames) { mLatency = frames; }

// --- Configuration ------------------------------------------------------------

bool IProcessor::SetSampleRate(double rate) {
  if (!std::isfinite(rate) || rate <= 0.0) return false;
  mSampleRate = rate;
  return true;
}

// Growing can fail halfway; the slots already grown are then set back to the
// old size (their capacity covers it, so that cannot fail) and the old block
// size stays, which every scratch still holds.
bool IProcessor::ChangeBlockSize(int32_t frames) {
  if (frames < 0) return false;
  if (frames > kMaxBlockSize) frames = kMaxBlockSize;
  if (frames == mBlockSize) return true;
  const int32_t bytes = frames * static_cast<int32_t>(sizeof(double));
  const int32_t oldBytes = mBlockSize * static_cast<int32_t>(sizeof(double));
  bool grown = true;
  for (IPointerArray<IChannelSlot>& slots : mSlots) {
    for (IChannelSlot* slot : slots) {
      slot->scratch.SetSize(bytes, false);
      if (slot->scratch.Size() != bytes) grown = false;
      if (!grown) break;
    }
    if (!grown) break;
  }
  if (!grown) {
    for (IPointerArray<IChannelSlot>& slots : mSlots)
      for (IChannelSlot* slot : slots) slot->scratch.SetSize(oldBytes, false);
    PointEntriesAtScratch();
    return false;
  }
  for (IPointerArray<IChannelSlot>& slots : mSlots)
    for (IChannelSlot* slot : slots) ZeroDoubles(slot->Scratch(), frames);
  mBlockSize = frames;
  ForgetHostBuffers();
  PointEntriesAtScratch();
  return true;
}

bool IProcessor::LegalIO(int32_t inputs, int32_t outputs) const {
  bool legal = false;
  for (const IChannelLayout* layout : mLayouts) {
    if (layout->ChannelTotal(IPortDirection::Input) != inputs) continue;
    if (outputs != -1 && layout->ChannelTotal(IPortDirection::Output) != outputs) continue;
    legal = true;
    break;
  }
  TraceCall("plugkit::IProcessor::LegalIO", __LINE__, "%d:%d:%s", inputs, outputs, legal ? "legal" : "illegal");
  return legal;
}

// --- Channels -------------------------------------------------------------------

int32_t IProcessor::ChannelCount(IPortDirection direction) const { return Slots(direction).Count(); }

IChannelSlot* IProcessor::Channel(IPortDirection direction, int32_t index) const {
  return Slots(direction).Get(index);
}

double** IProcessor::ChannelPointers(IPortDirection direction) const {
  return ChannelCount(direction) > 0 ? mChannelPointers[PortIndex(direction)].As<double*>() : nullptr;
}

bool IProcessor::IsChannelConnected(IPortDirection direction, int32_t index) const {
  const IChannelSlot* slot = Channel(direction, index);
  return slot && slot->connected;
}

void IProcessor::SetChannelsConnected(IPortDirection direction, int32_t first, int32_t count, bool connected) {
  if (count <= 0) return;
  const int32_t total = ChannelCount(direction);
  const int64_t stop = static_cast<int64_t>(first) + count;
  for (int32_t i = first < 0 ? 0 : first; i < total && i < stop; ++i) {
    IChannelSlot* slot = Channel(direction, i);
    if (slot->connected && !connected) {
      // A scratch that last held a connected channel's audio would otherwise
      // keep playing it back.
      ZeroDoubles(slot->Scratch(), mBlockSize);
      *slot->entry = slot->Scratch();
    }
    slot->connected = connected;
  }
}

void IProcessor::PointEntriesAtScratch() {
  for (IPointerArray<IChannelSlot>& slots : mSlots)
    for (IChannelSlot* slot : slots) *slot->entry = slot->Scratch();
}

} // namespace plugkit
