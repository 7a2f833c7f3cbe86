#pragma once
// IApiBase: the part of the plug-in object that does not depend on the plug-in
// interface. It reads the configuration record, owns the five hand-off queues
// between the audio thread and the editor, turns editor actions into host edit
// calls (which the bindings implement) and drains the audio-to-editor queues
// on the 20 ms editor tick.
//
// Chain: ... -> IPluginBase -> IApiBase -> binding (with IProcessor) -> product.
// The virtual operations below continue IPluginBase's table in slot order.
//
// Threads:
// - The user-interface thread is the thread on which the host shows the
//   editor: the thread of AttachEditor (VST 2.4 effEditOpen, VST 3 attached)
//   and, in VST 3, of createView. Until an editor is shown, the thread that
//   constructed the object stands in. A host may build the object on a loader
//   or worker thread and show the editor on another: the showing thread then
//   takes over (AdoptUserInterfaceThread), the editor timer moves to it, and
//   from then on nothing reaches the editor from the old one. Editor
//   gestures, the editor tick, SetHost and everything inherited run on the
//   user-interface thread, except the preset and state operations, which any
//   thread may call (they hold IPluginBase's state lock).
// - OnUserInterfaceThread is the one check of it: every part of the plug-in
//   that keeps editor-only values (the product's strip, about box and title)
//   asks it, so they follow the thread when it moves.
// - PushParamFromHost may come from any thread (a VST 2.4 host may set
//   parameters from its audio thread). Off the user-interface thread it never
//   touches the editor: it queues the value, and the next tick applies it. A
//   value that cannot be queued marks the editor stale instead: the next tick
//   shows every parameter's current value, so the editor never keeps one it
//   missed.
// - Queues (see core/IHandoffQueue.h), each with one producer and one consumer:
//     parameter updates  audio -> editor   IParamUpdate       512 usable
//     MIDI to editor     audio -> editor   IMidiShortMessage   32 usable
//     MIDI to processor  editor -> audio   IMidiShortMessage   32 usable
//     SysEx to editor    audio -> editor   ISysExPacket         4 usable
//     SysEx to processor editor -> audio   ISysExPacket         4 usable
//   The audio-side helpers (QueueMidiForEditor, QueueSysExForEditor,
//   TakeMidiForProcessor, TakeSysExForProcessor, QueueParamForEditor) never
//   allocate, lock or throw. A full queue drops the new element and the
//   helper returns false; nothing else is reported.
//
// Ownership: the queues live from construction to destruction and are never
// resized. The editor timer is owned here; the binding starts it with
// StartEditorTimer on the constructing thread, AdoptUserInterfaceThread moves
// it, and the destructor stops it before anything else is torn down.

#include <atomic>
#include <cstdint>
#include <memory>

#include "core/IHandoffQueue.h"
#include "core/IMidiShortMessage.h"
#include "core/IParamUpdate.h"
#include "core/IPluginBase.h"
#include "core/IPluginDescriptor.h"
#include "core/IStateBuffer.h"
#include "core/IStringBuffer.h"
#include "core/ISysExPacket.h"
#include "core/ISysExView.h"
#include "core/Timer.h"

namespace plugkit {

class IApiBase : public IPluginBase {
public:
  static constexpr int32_t kParamQueueSlots = 513;
  static constexpr int32_t kMidiQueueSlots = 33;
  static constexpr int32_t kSysExQueueSlots = 5;
  static constexpr int32_t kEditorTimerMs = 20;
  static constexpr int32_t kNameChars = 128;        // names kept from the record
  static constexpr int32_t kBuildTextChars = 256;   // DescribeBuild's text

  // Copies what it keeps from the record (which need not outlive the call).
  // The calling thread becomes the user-interface thread.
  explicit IApiBase(const IPluginDescriptor& descriptor);
  // Stops the editor timer first, then frees queues and texts.
  ~IApiBase() override;

  // 43. True when every parameter's value matches the stored parameter state
  // in state at byte position start (the format of SerializeParams), both
  // taken as float32, within 1e-5. True without parameters; false when the
  // state does not hold a value for every parameter.
  // Why a buffer and a byte position rather than a bare array of values and
  // an index: the state usually is a host chunk, and a chunk is never read
  // past its end, so a short one gives false instead of an out-of-bounds
  // read. start is a byte position, as in UnserializeParams, so a caller
  // passes the same position it would read the state from.
  virtual bool StateMatches(const IStateBuffer& state, int32_t start) const;
  // 44. The host asks for the about box. Base: false.
  virtual bool OnAboutRequest();
  // 46. Called by SetHost after AdaptToHost. Base: nothing.
  virtual void OnHostKnown();
  // 50. A name for a MIDI key. Base: empties text, false.
  virtual bool GetMidiKeyLabel(int32_t key, IStringBuffer& text);
  // 51. The open editor's graphics object, or null (owned by the delegate).
  virtual canvas::ICanvas* GetEditorView() const;
  // 52. Called at the end of every editor tick. Base: nothing.
  virtual void OnEditorTick();
  // 53. Forms the build description ("<name> version v1.2.3 VST2 (x64), built
  // on <date> at <hh:mm> ", at most 256 characters) and returns it; the text
  // stays readable through BuildDescription() until the next call.
  virtual const char* DescribeBuild();
  // 56. A host changed a parameter; the bound editor controls follow. value is
  // normalised or real as isNormalised says; a normalised value is turned into
  // a real one (denormalised, rounded when quantised, clamped). On the
  // user-interface thread the real value goes to PushParamValue at once
  // (under the state lock); on any other thread it is queued for the next
  // editor tick, without a lock. The parameter itself is not changed here.
  // Out-of-range indices and non-finite values are ignored.
  virtual void PushParamFromHost(int32_t index, double value, bool isNormalised);
  // 57. Called by SetHost once the host is identified. Base: nothing.
  virtual void AdaptToHost();
  // 58. Asks the host to resize the editor window. Base: remembers the size,
  // false.
  virtual bool ResizeEditorInHost(int32_t width, int32_t height);
  // 59.-61. Host edit calls (begin edit, automate, end edit); the bindings
  // implement them. Base: nothing. Called on the user-interface thread with
  // valid indices only.
  virtual void BeginHostParamEdit(int32_t index);
  virtual void EndHostParamEdit(int32_t index);
  virtual void SendHostParamValue(int32_t index, double normalisedValue);

  // IEditorDelegate overrides. Indices out of range are ignored.
  // The host shows the editor: the calling thread becomes the user-interface
  // thread (AdoptUserInterfaceThread) before the delegate opens it.
  void* AttachEditor(void* parentWindow) override;
  // On the user-interface thread as the delegate's (the editor shows every
  // value). A state or preset call from another thread must not reach into
  // the editor's controls: there every value is queued for the next tick
  // instead, as PushParamFromHost does (nothing without an editor).
  void OnStateLoaded() override;
  void SendAllParamValuesToHost() override;
  void BeginEditorGesture(int32_t index) override;
  void EndEditorGesture(int32_t index) override;
  // In this order: IParam::ApplyNormalised, SendHostParamValue,
  // OnParamChange (index, UI, -1), IParam::ApplyNormalised again,
  // OnParamChangeForEditor (index, UI). A non-finite value is ignored.
  void SetParamFromEditor(int32_t index, double normalisedValue) override;
  bool RequestEditorResize(int32_t width, int32_t height) override;
  void RouteEditorMidi(const IMidiShortMessage& message) override;
  void RouteEditorSysEx(const ISysExView& view) override;
  void RouteEditorMessage(int32_t messageTag, int32_t controlTag, int32_t size, const void* data) override;
  // Editor -> audio. Dropped when the queue is full; SysEx longer than
  // kSysExPacketBytes (or of negative size) is dropped, never cut.
  void QueueMidiForProcessor(const IMidiShortMessage& message) override;
  void QueueSysExForProcessor(const ISysExView& view) override;

  // The 20 ms editor tick, on the user-interface thread. When the plug-in has
  // an editor: the parameter-update queue goes to PushParamValue (real
  // values); when an update was dropped since the last tick, every
  // parameter's current value follows it; then the MIDI queue goes to
  // PushMidiToEditor, then the SysEx queue to PushSysExToEditor. Each queue
  // drains what was waiting when it started. Always ends with OnEditorTick.
  // A tick that fires on another thread (a timer the user-interface thread
  // has just left) does nothing.
  void OnEditorTimer(Timer& timer);

  // Called by the bindings once the host is known: identifies the host by
  // name (null reads ""), stores code and version (packed major << 16 |
  // minor << 8 | patch), then AdaptToHost and OnHostKnown, once each.
  void SetHost(const char* hostName, int32_t hostVersion);

  // The text formed by the last DescribeBuild ("" before the first).
  const char* BuildDescription() const { return mBuildDescription.Get(); }

  // Whether the caller runs on the user-interface thread (see Threads above).
  // Any thread; never allocates or locks, so the audio thread may ask.
  bool OnUserInterfaceThread() const;

protected:
  // Creates the 20 ms editor timer bound to OnEditorTimer, replacing (and
  // deleting) any earlier one. The timer fires through the message loop of
  // the calling thread, which should be the user-interface thread (the
  // bindings start it while the object is constructed). Returns false when no
  // timer could be created.
  bool StartEditorTimer();
  // Stops and deletes the editor timer; nothing when none runs. Bindings that
  // must stop ticks before their own teardown call it from their destructor.
  void StopEditorTimer();
  bool HasEditorTimer() const { return mEditorTimer != nullptr; }

  // Makes the calling thread the user-interface thread: called where the
  // host shows the editor (AttachEditor, and the VST 3 binding's createView).
  // Nothing changes when it already is. Otherwise, in this order: the thread
  // changes under the state lock, so a preset call on the old thread either
  // has finished with the editor's values or finds it is no longer theirs;
  // then a running editor timer is rescheduled on the calling thread (a tick
  // still running on the old thread is waited for, none follows there).
  // Call it only where no editor of another thread is open.
  void AdoptUserInterfaceThread();

  // Audio-thread side of the queues. Each has exactly one producer and one
  // consumer (see the table above); false when full / empty.
  bool QueueMidiForEditor(const IMidiShortMessage& message);
  // False also when the message does not fit a packet (dropped, never cut).
  bool QueueSysExForEditor(const ISysExView& view);
  bool TakeMidiForProcessor(IMidiShortMessage& message);
  bool TakeSysExForProcessor(ISysExPacket& packet);
  // Queues a real parameter value for the editor. Safe from several non-user-
  // interface threads at once: producers take turns through a flag that is
  // only ever tried, never waited on; an update that cannot get its turn
  // after a few tries is dropped like one that finds the queue full. A
  // dropped update (false) marks the editor stale, one atomic store: the next
  // tick shows every parameter's current value.
  bool QueueParamForEditor(int32_t index, double value);

  // The queues themselves, for bindings that drain them in their own loops.
  IHandoffQueue<IParamUpdate>& ParamUpdateQueue() { return mParamUpdates; }
  IHandoffQueue<IMidiShortMessage>& MidiToEditorQueue() { return mMidiToEditor; }
  IHandoffQueue<IMidiShortMessage>& MidiToProcessorQueue() { return mMidiToProcessor; }
  IHandoffQueue<ISysExPacket>& SysExToEditorQueue() { return mSysExToEditor; }
  IHandoffQueue<ISysExPacket>& SysExToProcessorQueue() { return mSysExToProcessor; }

private:
  static uint32_t CurrentThreadTag();

  IStringBuffer mBuildDescription;
  std::unique_ptr<Timer> mEditorTimer;
  IHandoffQueue<IParamUpdate> mParamUpdates{kParamQueueSlots};
  IHandoffQueue<IMidiShortMessage> mMidiToProcessor{kMidiQueueSlots};
  IHandoffQueue<IMidiShortMessage> mMidiToEditor{kMidiQueueSlots};
  IHandoffQueue<ISysExPacket> mSysExToProcessor{kSysExQueueSlots};
  IHandoffQueue<ISysExPacket> mSysExToEditor{kSysExQueueSlots};
  std::atomic_flag mParamProducerBusy = ATOMIC_FLAG_INIT;
  // Set when a parameter update for the editor was dropped; the tick clears it.
  std::atomic<bool> mEditorStale{false};
  std::atomic<uint32_t> mUserInterfaceThread{0};
};

} // namespace plugkit
