// IVST3ProcessorBase: buses, set-up, transport and the audio of a block. The
// event side (MIDI and SysEx in and out) is in IVST3ProcessorEvents.cpp.

#include "api/vst3/IVST3ProcessorBase.h"

#include <cmath>
#include <cstring>

#include "api/vst3/IVST3Text.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace plugkit {

namespace {

int32_t DirectionIndex(BusDirection direction) { return direction == kInput ? 0 : 1; }

template <typename Sample>
Sample** ChannelArray(const AudioBusBuffers& bus);

template <>
float** ChannelArray<float>(const AudioBusBuffers& bus) {
  return bus.channelBuffers32;
}

template <>
double** ChannelArray<double>(const AudioBusBuffers& bus) {
  return bus.channelBuffers64;
}

// The address of channel c of a host bus; null when the host gave none.
template <typename Sample>
Sample* HostChannel(const AudioBusBuffers& bus, int32_t c) {
  Sample** channels = ChannelArray<Sample>(bus);
  return channels && c >= 0 && c < bus.numChannels ? channels[c] : nullptr;
}

int32_t BusChannels(const AudioBusBuffers* buses, int32_t count, int32_t index) {
  if (!buses || index < 0 || index >= count) return 0;
  return buses[index].numChannels > 0 ? buses[index].numChannels : 0;
}

void AddAudioBuses(SingleComponentEffect& effect, const IChannelLayout& layout, IPortDirection direction) {
  for (int32_t b = 0; b < layout.BusCount(direction); ++b) {
    const IBusSpec* spec = layout.Bus(direction, b);
    String128 name{};
    Utf8ToVST3Text(spec->label.Get(), name, 128);
    const SpeakerArrangement arrangement = IVST3ProcessorBase::SpeakerArrangementForBus(spec->channels);
    // Many hosts switch on only the buses flagged active by default, so the
    // main buses carry the flag and start active; auxiliary buses (a side
    // chain) wait for the host to ask for them.
    const bool main = b == 0;
    const BusType type = main ? kMain : kAux;
    const int32 flags = main ? static_cast<int32>(BusInfo::kDefaultActive) : 0;
    AudioBus* bus = direction == IPortDirection::Input ? effect.addAudioInput(name, arrangement, type, flags)
                                                       : effect.addAudioOutput(name, arrangement, type, flags);
    if (bus && main) bus->setActive(true);
  }
}

} // namespace

SpeakerArrangement IVST3ProcessorBase::SpeakerArrangementForBus(int32_t channels) {
  // Hosts compare these bit masks with their own tables; they are the SDK's
  // speaker masks for mono, stereo, 3.0, first-order ambisonics, 5.0, 5.1,
  // 6.1, 7.1, second-order ambisonics, 9.1 and third-order ambisonics.
  switch (channels) {
  case 1: return 0x80000;
  case 2: return 0x3;
  case 3: return 0x7;
  case 4: return 0xF00000;
  case 5: return 0x37;
  case 6: return 0x3F;
  case 7: return 0xF7;
  case 8: return 0x63F;
  case 9: return 0x7C000F00000;
  case 10: return 0x300063F;
  case 16: return 0x3FFC000F00000;
  default: return 0;
  }
}

IVST3ProcessorBase::IVST3ProcessorBase(const IPluginDescriptor& descriptor)
  : IProcessor(descriptor), mMidiOut(static_cast<int32_t>(sizeof(IMidiShortMessage)) * kMidiOutStep) {
  ResizeMidiOut(kMidiOutStep);
  for (IPortDirection direction : {IPortDirection::Input, IPortDirection::Output}) {
    const int32_t count = ChannelCount(direction);
    SetChannelsConnected(direction, 0, count, true);
    const int32_t bytes = count * static_cast<int32_t>(sizeof(double*));
    mSlotBuffers[PortIndex(direction)].SetSize(bytes, false);
    mBoundBuffers[PortIndex(direction)].SetSize(bytes, false);
  }
  PrepareLatencyDelay(Latency());
}

IVST3ProcessorBase::~IVST3ProcessorBase() { mMidiOut.Release(); }

void IVST3ProcessorBase::PrepareLatencyDelay(int32_t frames) {
  const int32_t inputs = ChannelCount(IPortDirection::Input);
  const int32_t outputs = ChannelCount(IPortDirection::Output);
  if (inputs <= 0) return;
  // A ring of the wrong length would be worse than none: without memory for
  // the new one, bypass passes the input on undelayed.
  if (!mLatencyDelay.Prepare(inputs < outputs ? inputs : outputs, frames)) mLatencyDelay.Prepare(0, 0);
}

void IVST3ProcessorBase::RestartLatencyDelay() {
  ClearLatencyDelay();
  mLatencyDelay.Collect();
}

void IVST3ProcessorBase::ClearLatencyDelay() { mLatencyDelay.RequestClear(); }

// --- Buses --------------------------------------------------------------------

void IVST3ProcessorBase::CreateBuses(SingleComponentEffect& effect) {
  ForgetBuses();
  if (LayoutCount() > 0) {
    const IChannelLayout* layout = Layout(LayoutCount() - 1);
    AddAudioBuses(effect, *layout, IPortDirection::Input);
    AddAudioBuses(effect, *layout, IPortDirection::Output);
    if (PluginKind() == 2 && layout->BusCount(IPortDirection::Output) == 0) {
      if (AudioBus* bus = effect.addAudioOutput(STR16("Dummy Output"), 0, kMain, BusInfo::kDefaultActive))
        bus->setActive(true);
    }
  }
  if (TakesMidiInput()) effect.addEventInput(STR16("MIDI Input"), 16, kMain, 0);
  if (SendsMidiOutput()) effect.addEventOutput(STR16("MIDI Output"), 16, kMain, 0);
  // The audio thread's copy of the activation states starts from the flags,
  // so that a host that never calls activateBus hears the main buses.
  for (BusDirection direction : {static_cast<BusDirection>(kInput), static_cast<BusDirection>(kOutput)}) {
    IHeapBlock& flags = mBusActive[DirectionIndex(direction)];
    const int32_t count = effect.getBusCount(kAudio, direction);
    if (count <= 0 || !flags.SetSize(count, false)) continue;
    for (int32_t b = 0; b < count; ++b) {
      BusInfo info{};
      const bool active = effect.getBusInfo(kAudio, direction, b, info) == kResultTrue &&
                          (info.flags & BusInfo::kDefaultActive) != 0;
      flags.As<uint8_t>()[b] = active ? 1 : 0;
    }
  }
}

void IVST3ProcessorBase::SetBusActive(BusDirection direction, int32_t index, bool active) {
  IHeapBlock& flags = mBusActive[DirectionIndex(direction)];
  if (index >= 0 && index < flags.Size()) flags.As<uint8_t>()[index] = active ? 1 : 0;
}

void IVST3ProcessorBase::ForgetBuses() {
  for (IHeapBlock& flags : mBusActive) flags.SetSize(0, false);
}

bool IVST3ProcessorBase::BusActive(BusDirection direction, int32_t index) const {
  const IHeapBlock& flags = mBusActive[DirectionIndex(direction)];
  return index >= 0 && index < flags.Size() && flags.As<uint8_t>()[index] != 0;
}

// --- Set-up -------------------------------------------------------------------

bool IVST3ProcessorBase::ApplyProcessSetup(const ProcessSetup& setup) {
  if (setup.symbolicSampleSize != kSample32 && setup.symbolicSampleSize != kSample64) return false;
  if (!std::isfinite(setup.sampleRate) || setup.sampleRate <= 0.0 || setup.maxSamplesPerBlock < 0) return false;
  if (!ChangeBlockSize(setup.maxSamplesPerBlock)) return false;
  SetSampleRate(setup.sampleRate);

  // Room for one message per frame of a block, so that a plug-in that answers
  // every frame does not lose messages; the list never grows on the audio
  // thread.
  CompactMidiOut();
  RestartLatencyDelay();
  const int64_t perBlock = BlockSize() > 0 ? BlockSize() : 1;
  int64_t wanted = (perBlock + kMidiOutStep - 1) / kMidiOutStep * kMidiOutStep;
  const int64_t held = (static_cast<int64_t>(mMidiOutCount) + kMidiOutStep - 1) / kMidiOutStep * kMidiOutStep;
  if (held > wanted) wanted = held;
  ResizeMidiOut(static_cast<int32_t>(wanted)); // a failure keeps the old list

  OnStreamReset();
  return true;
}

void IVST3ProcessorBase::ReadHostContext(const ProcessContext* context, int32_t processMode) {
  SetRenderingOffline(processMode == kOffline);
  if (context) {
    mHostContext = *context;
    mHaveHostContext = true;
  }
  ITransportState transport;
  if (!mHaveHostContext) {
    SetTransport(transport); // the host has told nothing yet
    return;
  }
  const ProcessContext& c = mHostContext;
  // Hosts leave fields they do not fill at zero; without the validity flag a
  // zero tempo or a 0/0 meter would reach the product, so the defaults stay.
  if ((c.state & ProcessContext::kTempoValid) && std::isfinite(c.tempo) && c.tempo > 0.0)
    transport.tempoBpm = c.tempo;
  // The project time in samples has no validity flag: every context carries it.
  transport.samplePosition = static_cast<double>(c.projectTimeSamples);
  transport.beatPosition = c.projectTimeMusic;
  transport.barStartBeat = c.barPositionMusic;
  transport.loopStartBeat = c.cycleStartMusic;
  transport.loopEndBeat = c.cycleEndMusic;
  if ((c.state & ProcessContext::kTimeSigValid) && c.timeSigNumerator > 0 && c.timeSigDenominator > 0) {
    transport.meterNumerator = c.timeSigNumerator;
    transport.meterDenominator = c.timeSigDenominator;
  }
  transport.isPlaying = (c.state & ProcessContext::kPlaying) != 0;
  transport.isLooping = (c.state & ProcessContext::kCycleActive) != 0;
  SetTransport(transport);
}

// --- Audio ----------------------------------------------------------------------

void IVST3ProcessorBase::ConnectInputs(const ProcessData& data) {
  const int32_t total = ChannelCount(IPortDirection::Input);
  int32_t provided = BusChannels(data.inputs, data.numInputs, 0);
  // A side-chain bus adds its channels behind the main bus's while the host
  // has it active.
  if (Limits().inputBuses >= 2 && BusActive(kInput, 1)) provided = total;
  if (provided > total) provided = total;
  SetChannelsConnected(IPortDirection::Input, 0, provided, true);
  SetChannelsConnected(IPortDirection::Input, provided, total - provided, false);
}

void IVST3ProcessorBase::ConnectOutputs(const ProcessData& data) {
  const int32_t total = ChannelCount(IPortDirection::Output);
  int32_t first = 0;
  for (int32_t j = 0; j < data.numOutputs && data.outputs && first < total; ++j) {
    const int32_t c = BusChannels(data.outputs, data.numOutputs, j);
    SetChannelsConnected(IPortDirection::Output, first, c, BusActive(kOutput, j));
    first += c;
  }
  if (first < total) SetChannelsConnected(IPortDirection::Output, first, total - first, false);
}

void IVST3ProcessorBase::RenderBlock(ProcessData& data) {
  if (data.numSamples <= 0) return;
  if (data.symbolicSampleSize == kSample32)
    RenderWith<float>(data);
  else if (data.symbolicSampleSize == kSample64)
    RenderWith<double>(data);
}

// The block operations hand the n-th host address to the n-th connected slot,
// so the addresses are gathered per slot and then packed in that order, with
// nulls behind them.
template <typename Sample>
void IVST3ProcessorBase::RenderWith(ProcessData& data) {
  ConnectInputs(data);
  ConnectOutputs(data);

  Sample** inputs = mSlotBuffers[0].As<Sample*>();
  const int32_t inputTotal = ChannelCount(IPortDirection::Input);
  const bool sideChain = Limits().inputBuses >= 2 && BusActive(kInput, 1);
  const int32_t mainChannels = BusChannels(data.inputs, data.numInputs, 0);
  for (int32_t i = 0; i < inputTotal; ++i) {
    Sample* address = nullptr;
    if (data.inputs && i < mainChannels)
      address = HostChannel<Sample>(data.inputs[0], i);
    else if (data.inputs && sideChain && data.numInputs > 1)
      address = HostChannel<Sample>(data.inputs[1], i - mainChannels);
    inputs[i] = address;
  }

  Sample** outputs = mSlotBuffers[1].As<Sample*>();
  const int32_t outputTotal = ChannelCount(IPortDirection::Output);
  for (int32_t i = 0; i < outputTotal; ++i) outputs[i] = nullptr;
  for (int32_t j = 0, first = 0; data.outputs && j < data.numOutputs && first < outputTotal; ++j) {
    const int32_t c = BusChannels(data.outputs, data.numOutputs, j);
    for (int32_t k = 0; k < c && first + k < outputTotal; ++k)
      outputs[first + k] = HostChannel<Sample>(data.outputs[j], k);
    first += c;
  }

  // A bypassed plug-in with latency answers with its input, delayed so that
  // the host's latency compensation still lines it up.
  mLatencyDelay.BeginBlock();
  if (IsBypassed() && mLatencyDelay.Pass<Sample>(inputs, inputTotal, outputs, outputTotal, data.numSamples)) {
    ClearUnproducedOutputs<Sample>(data);
    return;
  }
  mLatencyDelay.Feed<Sample>(inputs, inputTotal, data.numSamples);

  Sample** bound[2] = {mBoundBuffers[0].As<Sample*>(), mBoundBuffers[1].As<Sample*>()};
  const int32_t totals[2] = {inputTotal, outputTotal};
  Sample** perSlot[2] = {inputs, outputs};
  for (int32_t d = 0; d < 2; ++d) {
    const IPortDirection direction = d == 0 ? IPortDirection::Input : IPortDirection::Output;
    int32_t next = 0;
    for (int32_t i = 0; i < totals[d]; ++i)
      if (IsChannelConnected(direction, i)) bound[d][next++] = perSlot[d][i];
    while (next < totals[d]) bound[d][next++] = nullptr;
  }

  if constexpr (sizeof(Sample) == sizeof(float)) {
    ProcessFloatBlock(bound[0], inputTotal, bound[1], outputTotal, data.numSamples, EBlockWrite::Replace);
  } else {
    ProcessDoubleBlock(bound[0], inputTotal, bound[1], outputTotal, data.numSamples);
  }
  ClearUnproducedOutputs<Sample>(data);
}

void IVST3ProcessorBase::SilenceOutputs(ProcessData& data) {
  for (int32_t j = 0; data.outputs && j < data.numOutputs; ++j) {
    const AudioBusBuffers& bus = data.outputs[j];
    if (data.symbolicSampleSize == kSample32) ZeroHostChannels(bus.channelBuffers32, bus.numChannels, data.numSamples);
    if (data.symbolicSampleSize == kSample64) ZeroHostChannels(bus.channelBuffers64, bus.numChannels, data.numSamples);
  }
}

template <typename Sample>
void IVST3ProcessorBase::ClearUnproducedOutputs(ProcessData& data) {
  const int32_t total = ChannelCount(IPortDirection::Output);
  const size_t bytes = sizeof(Sample) * static_cast<size_t>(data.numSamples);
  for (int32_t j = 0, first = 0; data.outputs && j < data.numOutputs; ++j) {
    const int32_t c = BusChannels(data.outputs, data.numOutputs, j);
    for (int32_t k = 0; k < c; ++k) {
      const int32_t slot = first + k;
      if (slot < total && IsChannelConnected(IPortDirection::Output, slot)) continue;
      if (Sample* address = HostChannel<Sample>(data.outputs[j], k)) std::memset(address, 0, bytes);
    }
    first += c;
  }
}

} // namespace plugkit
