#pragma once
// IProcessor: the audio side of the plug-in object, the second base of the
// product class beside the plug-in base. It turns the channel-input/output
// text of the configuration record into layouts, keeps one IChannelSlot per
// possible input and output channel, and runs the block processor
// (ProcessAudio) on double-precision buffers, whatever precision the host
// speaks.
//
// Threads. The block operations (BindChannelBuffers, ReplaceBlock,
// AccumulateBlock, ProcessFloatBlock, ProcessDoubleBlock) and the hooks they
// reach (ProcessAudio, OnMidiIn, OnSysExIn) run on the host's audio thread:
// they never allocate, lock or throw. Everything else that changes state
// (ChangeBlockSize, SetSampleRate, OnStreamReset, connecting channels) is for
// the binding's set-up calls; the binding may also (dis)connect channels at
// the start of a block. The two never overlap: a binding runs each block
// under a pass of the processor's SetupGate() and each set-up call under a
// hold of it (core/ISetupGate.h), so a set-up call that a host makes while
// its audio thread still runs blocks waits for the running block and leaves
// the next ones silent until it is done. Outside the bindings (a test, a
// benchmark) one thread drives both sides and needs no gate.
//
// Blocks longer than the block size. The scratch buffers hold BlockSize()
// frames, the size the host announced. A host that then hands over a longer
// block is served in sub-blocks of at most BlockSize() frames: ProcessAudio
// is called once per sub-block with consecutive parts of the host buffers, so
// it never sees more than BlockSize() frames and nothing is written past a
// scratch buffer. With a block size of 0 ProcessAudio is not called at all
// and the output is silence (replacing calls zero the host outputs,
// accumulating calls add nothing).
//
// How a binding drives a block:
// - single precision, one call: ProcessFloatBlock(inputs, n, outputs, m,
//   frames, Replace or Accumulate) binds, processes and writes back;
// - single precision, in steps (when the binding does other work between
//   binding and processing): BindChannelBuffers(Input, ...) and
//   BindChannelBuffers(Output, ...), then ReplaceBlock(frames) or
//   AccumulateBlock(frames). Calling ProcessAudio and CopyDoublesToFloats by
//   hand instead is only safe for blocks of at most BlockSize() frames;
// - double precision: ProcessDoubleBlock(inputs, n, outputs, m, frames)
//   processes in place on the host's buffers through the channel-pointer
//   arrays, in sub-blocks as above.
// Host buffers are consumed in order by the connected slots only (an
// unconnected slot takes none). A null host buffer, or a connected slot left
// without one, is silence on input and is skipped on output. Host buffers are
// borrowed for the one block and forgotten once it has run.
//
// The bypass flag is the one value both threads write: the binding sets it
// from the host's user-interface thread while processing is off and from the
// audio thread at the start of each block, and ProcessAudio reads it. It is
// atomic so that each side sees the other's last write; it is read once per
// block and guards no other data, so relaxed ordering is enough.

#include <atomic>
#include <cstdint>

#include "core/IChannelLayout.h"
#include "core/IChannelSlot.h"
#include "core/IHeapBlock.h"
#include "core/IMidiShortMessage.h"
#include "core/IPluginDescriptor.h"
#include "core/IPointerArray.h"
#include "core/IPortDirection.h"
#include "core/ISetupGate.h"
#include "core/ISysExView.h"
#include "core/ITransportState.h"

namespace plugkit {

// How a processed single-precision block reaches the host's output buffers.
enum class EBlockWrite { Replace, Accumulate };

class IProcessor {
public:
  // Scratch buffers never hold more frames than this; a larger announced
  // block size is taken as this one, and longer host blocks run in sub-blocks.
  static constexpr int32_t kMaxBlockSize = 65536;

  // Copies kind, MIDI switches and latency from the record, parses its
  // channel-input/output text and creates the channel slots (unconnected,
  // with empty scratch until ChangeBlockSize).
  explicit IProcessor(const IPluginDescriptor& descriptor);
  virtual ~IProcessor();
  IProcessor(const IProcessor&) = delete;
  IProcessor& operator=(const IProcessor&) = delete;

  // --- Hooks, in the order the bindings and products rely on ---------------

  // The block processor. inputs and outputs hold one buffer per input and
  // output slot (ChannelCount), each of at least frames samples, frames never
  // above BlockSize() when called from the block operations. The default
  // copies input i to output i and zeroes outputs without an input.
  virtual void ProcessAudio(double** inputs, double** outputs, int32_t frames);
  // A MIDI message for this block; the default passes it on to the host.
  virtual void OnMidiIn(const IMidiShortMessage& message);
  // A SysEx message for this block; the bytes live only during the call.
  virtual void OnSysExIn(const ISysExView& view);
  // The stream restarts (new sample rate or block size, switch-off); from a
  // set-up call, never during a block.
  virtual void OnStreamReset();
  virtual void OnActiveChange(bool active);
  // Sends one message to the host; implemented by each binding.
  virtual bool SendMidiToHost(const IMidiShortMessage& message) = 0;
  // Sends count messages in order, every one of them even after a failure;
  // true when all were sent (also for count 0). A null list with a positive
  // count sends nothing and fails.
  virtual bool SendMidiListToHost(const IMidiShortMessage* messages, int32_t count);
  // The base cannot send SysEx: false.
  virtual bool SendSysExToHost(const ISysExView& view);
  // Stores the latency in frames; bindings override it to tell the host first.
  virtual void ChangeLatency(int32_t frames);

  // --- Configuration and per-block state ----------------------------------

  int32_t PluginKind() const { return mPluginKind; }
  bool TakesMidiInput() const { return mMidiIn; }
  bool SendsMidiOutput() const { return mMidiOut; }
  bool IsMpe() const { return mMpe; }
  int32_t Latency() const { return mLatency; }
  // Frames the output rings on after the input stops (0: none). Hosts read it
  // to know how long to keep processing past the end of a region. The
  // product sets it from its set-up calls (its stream reset); any thread may
  // read it, since hosts ask from whichever thread they like.
  int32_t TailSize() const { return mTailSize.load(std::memory_order_relaxed); }
  void SetTailSize(int32_t frames) { mTailSize.store(frames > 0 ? frames : 0, std::memory_order_relaxed); }

  double SampleRate() const { return mSampleRate; }
  // Rejects (false, rate unchanged) a rate that is not finite and positive.
  bool SetSampleRate(double rate);

  int32_t BlockSize() const { return mBlockSize; }
  // Resizes every slot's scratch to frames float64 samples (at most
  // kMaxBlockSize) and zeroes them. The same size changes nothing, not even
  // the scratch contents. False, with size and scratch as they were, for a
  // negative size or when memory ran out. A set-up call: the scratch may
  // move, so no block may run meanwhile (hold the SetupGate()).
  bool ChangeBlockSize(int32_t frames);

  bool IsRenderingOffline() const { return mRenderingOffline; }
  void SetRenderingOffline(bool offline) { mRenderingOffline = offline; }
  bool IsBypassed() const { return mBypassed.load(std::memory_order_relaxed); }
  void SetBypassed(bool bypassed) { mBypassed.store(bypassed, std::memory_order_relaxed); }

  const ITransportState& Transport() const { return mTransport; }
  void SetTransport(const ITransportState& transport) { mTransport = transport; }

  // What keeps the bindings' set-up calls and blocks apart (see above).
  ISetupGate& SetupGate() { return mSetupGate; }

  // --- Layouts --------------------------------------------------------------

  int32_t LayoutCount() const { return mLayouts.Count(); }
  const IChannelLayout* Layout(int32_t index) const { return mLayouts.Get(index); }
  const IChannelLimits& Limits() const { return mLimits; }
  // True when some layout's input buses add up to inputs and, unless outputs
  // is -1, its output buses to outputs.
  bool LegalIO(int32_t inputs, int32_t outputs) const;

  // --- Channels ---------------------------------------------------------------

  int32_t ChannelCount(IPortDirection direction) const;
  // The slot at index, or null when out of range.
  IChannelSlot* Channel(IPortDirection direction, int32_t index) const;
  // The array that ProcessAudio receives for the direction (ChannelCount
  // entries), or null without channels.
  double** ChannelPointers(IPortDirection direction) const;
  bool IsChannelConnected(IPortDirection direction, int32_t index) const;
  // Sets the connected flag of the slots [first, first + count) that exist.
  // A slot that becomes unconnected points at its own scratch, zeroed so that
  // it reads as silence.
  void SetChannelsConnected(IPortDirection direction, int32_t first, int32_t count, bool connected);

  // --- Block operations (audio thread) -------------------------------------

  // Binds count host buffers (single precision, frames samples each) to the
  // direction's connected slots, in order; the buffers are remembered for
  // the block. Inputs: the first min(frames, BlockSize()) frames are
  // converted into the slots' scratch at once. Outputs: the slots' entries
  // point at their scratch. A null buffer array counts as no buffers.
  void BindChannelBuffers(IPortDirection direction, int32_t count, float* const* hostBuffers, int32_t frames);
  // Runs the bound block: ProcessAudio in sub-blocks, then the scratch
  // outputs replace (ReplaceBlock) or are added to (AccumulateBlock) the
  // bound host outputs. frames is cut to the frames that were bound.
  void ReplaceBlock(int32_t frames);
  void AccumulateBlock(int32_t frames);
  // Bind both directions and run, in one call.
  void ProcessFloatBlock(float* const* inputs, int32_t inputCount, float* const* outputs, int32_t outputCount,
                         int32_t frames, EBlockWrite write);
  // Double-precision hosts: ProcessAudio works directly on the host's buffers
  // (the channel pointers point into them), in sub-blocks of at most
  // BlockSize() frames. Channels without a host buffer use their scratch.
  void ProcessDoubleBlock(double* const* inputs, int32_t inputCount, double* const* outputs, int32_t outputCount,
                          int32_t frames);

protected:
  // Parses the channel-input/output text into the layouts and limits; the
  // number of configurations read. Called once, by the constructor.
  int32_t ReadChannelLayouts(const char* text);

private:
  IPointerArray<IChannelSlot>& Slots(IPortDirection direction);
  const IPointerArray<IChannelSlot>& Slots(IPortDirection direction) const;
  void CreateSlots(IPortDirection direction, int32_t count);
  void PointEntriesAtScratch();
  void StageInputs(int32_t offset, int32_t frames);
  void WriteOutputs(int32_t offset, int32_t frames, EBlockWrite write);
  void SilenceBoundOutputs(int32_t frames);
  void RunBoundBlock(int32_t frames, EBlockWrite write);
  void ForgetHostBuffers();
  void MapDoubleBuffers(IPortDirection direction, double* const* buffers, int32_t count, int32_t offset,
                        int32_t frames);

  int32_t mPluginKind = 0;
  bool mMidiIn = false;
  bool mMidiOut = false;
  bool mMpe = false;
  int32_t mLatency = 0;
  std::atomic<int32_t> mTailSize{0};
  double mSampleRate = 44100.0;
  int32_t mBlockSize = 0;
  bool mRenderingOffline = false;
  std::atomic<bool> mBypassed{false};
  IPointerArray<IChannelLayout> mLayouts;
  IChannelLimits mLimits;
  IHeapBlock mChannelPointers[kPortDirectionCount];
  IPointerArray<IChannelSlot> mSlots[kPortDirectionCount];
  ITransportState mTransport;
  ISetupGate mSetupGate;
  // Frames covered by the host buffers bound per direction since the last
  // block ran (-1: none bound), and how many input frames sit converted in
  // the scratch already.
  int32_t mBoundFrames[kPortDirectionCount] = {-1, -1};
  int32_t mStagedFrames = 0;
};

// dst[j] = float(src[j]) for j < count; nothing for count <= 0 or null buffers.
void CopyDoublesToFloats(float* dst, const double* src, int32_t count);
// samples[j] = 0.0 for j < count; nothing for count <= 0 or a null buffer.
void ZeroDoubles(double* samples, int32_t count);

// Zeroes frames samples of each of the count host channels (a block that may
// not run leaves silence); null arrays and channels are skipped.
void ZeroHostChannels(float* const* channels, int32_t count, int32_t frames);
void ZeroHostChannels(double* const* channels, int32_t count, int32_t frames);

} // namespace plugkit
