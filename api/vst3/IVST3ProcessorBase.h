#pragma once
// IVST3ProcessorBase: the audio-processor half of the VST 3 binding. It turns
// the processor's channel layouts into VST 3 buses, applies the host's
// processing set-up, and runs the parts of each process call that do not
// depend on the plug-in base: transport, incoming MIDI and SysEx events, the
// audio in single or double precision, and outgoing MIDI and SysEx events.
// IVST3Binding derives from it and drives it from its IAudioProcessor calls.
//
// Buses (CreateBuses, from the last channel layout): one audio bus per layout
// bus, named by the bus label; the first of each direction is the main bus,
// flagged kDefaultActive and active from creation, so hosts that never call
// activateBus for it still hear it; the rest are auxiliary, flags 0 and
// inactive until the host activates them. "Dummy Output" (main, active) for
// plug-ins of kind 2 without outputs; "MIDI Input" / "MIDI Output" event
// buses (flags 0) for plug-ins that take or send MIDI.
//
// Audio (RenderBlock): the host's first input bus (and, for layouts with a
// side-chain bus, the second one while it is active) feeds the input channels
// from 0; each host output bus feeds the next output channels and is connected
// only while the host has it activated. The block runs through IProcessor's
// block operations, so blocks longer than the announced maximum run in
// sub-blocks and never write past the scratch buffers. A null channel-buffer
// array or a null channel address (allowed for inactive buses) is silence on
// input and is not written on output; host output channels that the plug-in
// does not produce (inactive buses, channels beyond the plug-in's) are
// cleared. An input channel that the host stops providing reads silence.
//
// Bypass: while the processor's bypass flag is set and the plug-in reports a
// latency, the block is not processed: every output channel that has an
// input channel of the same number receives that input delayed by exactly
// the latency (ILatencyDelay), the others are cleared. The ring is fed with
// every block's input, so switching bypass on is seamless. With a latency of
// 0 the product's ProcessAudio runs as usual and sees IsBypassed().
//
// Threads: CreateBuses, SetBusActive, ApplyProcessSetup on the host's
// user-interface thread while processing is off (ApplyProcessSetup under a
// hold of the set-up gate, so that no block runs meanwhile); ReadHostContext,
// ReceiveHostEvents, RenderBlock, SendHostEvents and SendMidiToHost on the
// audio thread, where nothing allocates, locks or throws. The MIDI-out list
// is sized by ApplyProcessSetup and only touched by the audio thread after
// that; the hand-off queues are the only structures shared with the editor.

#include <cstdint>

#include "api/vst3/ILatencyDelay.h"
#include "api/vst3/SingleComponentEffect.h"
#include "core/IHandoffQueue.h"
#include "core/IHeapBlock.h"
#include "core/IMidiShortMessage.h"
#include "core/IPluginDescriptor.h"
#include "core/IProcessor.h"
#include "core/ISysExPacket.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"

namespace plugkit {

class IVST3ProcessorBase : public IProcessor {
public:
  // Entries the MIDI-out list holds before the first set-up, and the step its
  // size is rounded up to.
  static constexpr int32_t kMidiOutStep = 512;
  // SysEx packets one block can send: as many as the editor's queue holds.
  static constexpr int32_t kSysExOutPackets = 4;

  // The speaker arrangement for a bus of that many channels; 0 for counts
  // without a standard arrangement.
  static Steinberg::Vst::SpeakerArrangement SpeakerArrangementForBus(int32_t channels);

  // Constructs the processor, connects every channel, sizes the MIDI-out
  // list for kMidiOutStep entries and, for plug-ins with inputs, makes the
  // latency ring for the configured latency.
  explicit IVST3ProcessorBase(const IPluginDescriptor& descriptor);
  ~IVST3ProcessorBase() override;

  // Queues one message for the next block's output events, kept in order of
  // frame offset (equal offsets in the order queued). Audio thread. False,
  // with the message dropped, when the list is full.
  bool SendMidiToHost(const IMidiShortMessage& message) override;

  // Unsent MIDI-out entries, for tests and diagnostics.
  int32_t PendingMidiOut() const { return mMidiOutCount - mMidiOutRead; }
  const IMidiShortMessage* PendingMidiOutAt(int32_t index) const;

protected:
  // Adds the buses to effect's bus lists (see above); the activation states
  // start from the buses' kDefaultActive flags, earlier ones are forgotten.
  // Called once per initialize.
  void CreateBuses(Steinberg::Vst::SingleComponentEffect& effect);
  // Mirrors the host's activateBus for the audio buses, so that the audio
  // thread never reads the SDK's bus lists.
  void SetBusActive(Steinberg::Vst::BusDirection direction, int32_t index, bool active);
  // Forgets every bus (terminate).
  void ForgetBuses();

  // The processor's part of setupProcessing: accepts only sample sizes 0 and
  // 1, a finite positive sample rate and a non-negative block maximum (false,
  // nothing changed, otherwise); sets the sample rate and the block size,
  // sizes the MIDI-out list for a block and resets the stream.
  bool ApplyProcessSetup(const Steinberg::Vst::ProcessSetup& setup);

  // Keeps the block's process context (when given) and fills the transport
  // and the offline flag from the last one kept. The sample position is the
  // context's project time in samples, which every context carries; before
  // the first context the transport keeps its "unknown" defaults. The tempo
  // is taken only when flagged valid and positive, the meter only when
  // flagged valid with both parts positive; otherwise 120 and 4/4 stay.
  void ReadHostContext(const Steinberg::Vst::ProcessContext* context, int32_t processMode);

  // Host note on/off and polyphonic pressure go to OnMidiIn and then to the
  // editor's queue (dropped when full); SysEx data events go to OnSysExIn.
  // Then the editor's MIDI for the processor goes to OnMidiIn.
  void ReceiveHostEvents(Steinberg::Vst::IEventList* events, IHandoffQueue<IMidiShortMessage>& fromEditor,
                         IHandoffQueue<IMidiShortMessage>& toEditor);

  // Connects the channels to the host's buses and processes the block.
  // Sample sizes other than 0 and 1 and empty blocks leave the buffers alone.
  void RenderBlock(Steinberg::Vst::ProcessData& data);

  // Zeroes every channel of every host output bus: the answer of a block
  // that may not run.
  void SilenceOutputs(Steinberg::Vst::ProcessData& data);

  // Sends the queued MIDI and up to kSysExOutPackets of the editor's SysEx
  // as output events on bus 0. Without an output list the MIDI stays queued
  // (its offsets moved back by the block) and the SysEx stays in its queue.
  void SendHostEvents(Steinberg::Vst::IEventList* events, IHandoffQueue<ISysExPacket>& fromEditor,
                      int32_t numSamples);

  const Steinberg::Vst::ProcessContext& HostContext() const { return mHostContext; }

  // Hands the audio thread a silent latency ring of frames frames (0 or less:
  // bypass passes the input on undelayed). Nothing for plug-ins without
  // inputs. User-interface thread; blocks may run meanwhile.
  void PrepareLatencyDelay(int32_t frames);
  // The stream restarts: the latency ring reads as silence from the next
  // block on, and a ring given up earlier is freed. User-interface thread.
  void RestartLatencyDelay();
  // The latency ring reads as silence from the next block on; nothing is
  // freed or allocated. Any thread (a host may end processing on its audio
  // thread).
  void ClearLatencyDelay();

private:
  void ConnectInputs(const Steinberg::Vst::ProcessData& data);
  void ConnectOutputs(const Steinberg::Vst::ProcessData& data);
  template <typename Sample>
  void RenderWith(Steinberg::Vst::ProcessData& data);
  template <typename Sample>
  void ClearUnproducedOutputs(Steinberg::Vst::ProcessData& data);
  bool BusActive(Steinberg::Vst::BusDirection direction, int32_t index) const;
  bool ResizeMidiOut(int32_t entries);
  void CompactMidiOut();
  IMidiShortMessage* MidiOut() const { return mMidiOut.As<IMidiShortMessage>(); }

  Steinberg::Vst::ProcessContext mHostContext{};
  bool mHaveHostContext = false;
  // MIDI-out list: entries [mMidiOutRead, mMidiOutCount) are unsent, in
  // ascending frame offset.
  IHeapBlock mMidiOut;
  int32_t mMidiOutCapacity = 0;
  int32_t mMidiOutRead = 0;
  int32_t mMidiOutCount = 0;
  // One flag per audio bus and direction (uint8_t), sized by CreateBuses.
  IHeapBlock mBusActive[2];
  // Host channel addresses per channel slot, then packed in the order the
  // block operations consume them (connected slots first); float and double.
  IHeapBlock mSlotBuffers[2];
  IHeapBlock mBoundBuffers[2];
  // The SysEx packets a block sends; each event points into its own packet.
  ISysExPacket mSysExOut[kSysExOutPackets];
  ILatencyDelay mLatencyDelay;
};

} // namespace plugkit
