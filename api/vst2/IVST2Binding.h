#pragma once
// IVST2Binding: the plug-in object as a VST 2.4 host sees it. It owns the
// AEffect record handed to the host, keeps the host's callback, answers the
// dispatcher and the record's audio and parameter entries, and implements the
// framework's host calls on the VST 2.4 host interface. The product class
// derives from it (chain: IApiBase + IProcessor -> IVST2Binding -> product).
//
// Lifetime and ownership:
// - The object is created by the DLL entry (see api/vst2/VST2Entry.h) and
//   lives until the host sends effClose, which runs the editor-close steps
//   when an editor is open and then deletes the object through its virtual
//   destructor. The record lives inside the object, so its address is valid
//   exactly as long; the record's object field points back at the binding.
// - An effClose that comes while the editor's own code runs (the host
//   answering one of the editor's calls, or a menu or dialog loop of the
//   editor's: see ICanvas::ICallScope) closes the editor and stops every
//   call to the host and the editor tick at once, but the delete waits
//   until that code has returned (the last ReleaseEditorHold). The host
//   must not use the record after effClose in either case.
// - Chunks handed to the host by effGetChunk stay owned here and valid until
//   the next effGetChunk of the same kind (bank or program) or effClose; no
//   other opcode changes their bytes.
//
// Threads:
// - Construction, effClose and every dispatcher opcode except
//   effProcessEvents and those below: the host's user-interface thread. That
//   is the thread of effEditOpen; until the host opens the editor, the
//   constructing thread stands in and owns the 20 ms editor timer, which
//   moves with the first effEditOpen on another thread (see IApiBase). A
//   host may construct on a loader thread, then open the editor, change
//   programs and automate from its user-interface thread.
// - effSetProgram, effGetProgram, effSetProgramName, effGetProgramName,
//   effGetProgramNameIndexed, effGetChunk and effSetChunk: any thread,
//   several at once (hosts change programs from a worker or the audio thread
//   while the interface renames programs or saves the session). Each runs
//   under the plug-in base's state lock as a whole, so it sees and leaves a
//   whole state; none calls the host while it holds the lock. A host that
//   changes programs from its audio thread may wait there until a state call
//   on another thread is done; the process entries themselves never wait.
//   effBeginSetProgram and effEndSetProgram are answered 0 and hold nothing:
//   a lock kept from one call to the next could be left by another thread,
//   or never.
// - The parameter text opcodes (effGetParamName, effGetParamLabel,
//   effGetParamDisplay, effString2Parameter) may also come from any thread:
//   each formats into a text of its own.
// - EffectProcess, EffectProcessReplacing, EffectProcessDoubleReplacing and
//   effProcessEvents: the host's audio thread. They take no lock (in
//   particular not the state lock: a program change never holds up a block),
//   allocate nothing and reach the editor only through IApiBase's queues.
// - The set-up opcodes (effSetSampleRate, effSetBlockSize, effMainsChanged,
//   effSetSpeakerArrangement) and the channel set-up of effOpen: the host's
//   user-interface thread, or any other. Each holds the processor's set-up
//   gate (core/ISetupGate.h), so one that a host makes while its audio thread
//   still runs blocks waits for the running block, and the blocks that come
//   meanwhile leave silence (the accumulating entry adds nothing).
// - EffectSetParameter / EffectGetParameter: any thread. Values are stored
//   atomically; off the user-interface thread the editor is updated on the
//   next tick, never directly.
//
// Host input is checked: a null record, null object, unknown opcode, null
// pointer where one is needed or an index out of range answers 0 and changes
// nothing. Texts copied into host buffers never exceed the buffer sizes that
// the VST 2.4 interface publishes for each opcode (api/vst2/VST2Interface.h).
// A null host callback is allowed: every call to the host then answers 0.
//
// Set-up (sample rate, block size, switching, speaker arrangements) is meant
// for while the host holds processing, and is safe at any time (above);
// chunks and programs may change at any time, since the audio thread reads
// only the atomic parameter values. A
// sample rate that is not finite and positive, or a block size of 0 or less,
// is ignored. effSetChunk reads a copy of the host's bytes, so the host may
// hand back a chunk the plug-in lent it; a chunk the readers refuse answers 0
// and changes nothing. An input channel that the host's arrangement leaves
// unconnected reads silence.

#include <atomic>
#include <cstdint>

#include "api/vst2/VST2Interface.h"
#include "core/IApiBase.h"
#include "core/IPluginDescriptor.h"
#include "core/IProcessor.h"
#include "core/IStateBuffer.h"
#include "core/IStringBuffer.h"

namespace plugkit {

class IVST2Binding : public IApiBase, public IProcessor {
public:
  // Answer of the host-extension requests that the binding handles itself.
  static constexpr intptr_t kVendorHandled = 0xbeef;
  static constexpr intptr_t kVendorCanDo = 0xbeef0000;
  // Block size assumed until the host announces one.
  static constexpr int32_t kInitialBlockSize = 512;

  // Fills the record from the descriptor, connects every channel slot, sizes
  // the scratch for kInitialBlockSize frames and starts the editor timer on
  // the calling thread (until effEditOpen moves it). Makes no call to the
  // host.
  IVST2Binding(audioMasterCallback host, const IPluginDescriptor& descriptor);
  // Stops the editor timer before anything else goes, then frees the chunks.
  ~IVST2Binding() override;

  // The record to hand to the host.
  AEffect* EffectRecord() { return &Effect; }
  // The binding behind a record, or null for a null record or object.
  static IVST2Binding* FromEffect(AEffect* effect);

  // --- Record entries (static: the host calls them through the record) -----

  static intptr_t VST2_CALL VSTDispatcher(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                          void* ptr, float opt);
  static void VST2_CALL EffectProcess(AEffect* effect, float** inputs, float** outputs, int32_t frames);
  static void VST2_CALL EffectProcessReplacing(AEffect* effect, float** inputs, float** outputs,
                                               int32_t frames);
  static void VST2_CALL EffectProcessDoubleReplacing(AEffect* effect, double** inputs, double** outputs,
                                                     int32_t frames);
  static float VST2_CALL EffectGetParameter(AEffect* effect, int32_t index);
  static void VST2_CALL EffectSetParameter(AEffect* effect, int32_t index, float value);

  // --- Operations the binding adds --------------------------------------------

  // 64. A host-extension request (effVendorSpecific) the binding does not
  // answer itself. Base: 0.
  virtual intptr_t OnVendorRequest(int32_t index, intptr_t value, void* ptr, float opt);
  // 65. A capability text (effCanDo) the binding does not know. Base: 0.
  virtual intptr_t VSTCanDo(const char* text);

  // --- Framework host calls -----------------------------------------------------

  // audioMasterUpdateDisplay.
  void NotifyHostPresetChanged() override;
  // Host-specific channel set-up, then the record's channel counts follow the
  // slot counts. Runs once, when effOpen has identified the host.
  void AdaptToHost() override;
  // Without an editor, or for a size outside 1..32767: false, nothing changed.
  // A new size updates EditorExtent and asks the host (audioMasterSizeWindow);
  // true when the host agreed. The size is remembered either way; an
  // unchanged size makes no host call and answers false.
  bool ResizeEditorInHost(int32_t width, int32_t height) override;
  // audioMasterBeginEdit, audioMasterEndEdit, audioMasterAutomate.
  void BeginHostParamEdit(int32_t index) override;
  void EndHostParamEdit(int32_t index) override;
  void SendHostParamValue(int32_t index, double normalisedValue) override;

  // One event through audioMasterProcessEvents; true when the host answers 1.
  // Audio thread or user-interface thread; the event lives on the stack.
  bool SendMidiToHost(const IMidiShortMessage& message) override;
  // False without calling the host for a negative size or a null pointer
  // with bytes.
  bool SendSysExToHost(const ISysExView& view) override;
  // The record's initialDelay follows; the host is not told.
  void ChangeLatency(int32_t frames) override;

  // Whether an editor opened through effEditOpen is open now.
  bool IsEditorOpen() const { return mEditorOpen; }

  // Counted holds of the editor's calls (user-interface thread); the last
  // one deletes an object the host closed meanwhile.
  void HoldForEditorCall() override;
  void ReleaseEditorHold() override;

protected:
  // Calls the host's callback with the record's address; 0 without a host,
  // and once the host closed the object.
  intptr_t CallHost(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0.0f);

  // The editor's rectangle handed to the host by effEditGetRect.
  ERect EditorExtent{};
  // Kept in step with the channel counts; never handed to the host.
  VstSpeakerArrangement InputArrangement{};
  VstSpeakerArrangement OutputArrangement{};
  // Value 1: the host asked "hasCockosExtensions"; value 2: it asked
  // "hasCockosViewAsConfig". Nothing reads it yet.
  int32_t HostExtensionBits = 0;
  // Chunks handed out by effGetChunk (program and bank).
  IStateBuffer ProgramChunk;
  IStateBuffer BankChunk;
  AEffect Effect{};
  audioMasterCallback MasterCallback = nullptr;

private:
  // The dispatcher, per opcode group (VST2Dispatcher.cpp, VST2Requests.cpp).
  intptr_t Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
  void IdentifyHostOnce();
  void Close();
  void DeleteClosed();
  intptr_t OpenEditor(void* parentWindow);
  intptr_t CloseEditor();
  intptr_t GetChunk(bool bank, void* ptr);
  intptr_t SetChunk(bool bank, intptr_t size, const void* ptr);
  intptr_t ReceiveEvents(const VstEvents* events);
  intptr_t ParseParamText(int32_t index, const char* text);
  intptr_t SetSpeakerArrangement(const VstSpeakerArrangement* inputs, const VstSpeakerArrangement* outputs);
  intptr_t VendorSpecific(int32_t index, intptr_t value, void* ptr, float opt);
  intptr_t CanDo(const char* text);

  // The audio side (VST2Process.cpp).
  void PrepareFloatBlock(float** inputs, float** outputs, int32_t frames);
  void PrepareDoubleBlock();
  void ReadHostTransport();
  void DrainEditorMidi();
  void ForwardEditorSysEx();
  void SetParameterFromHost(int32_t index, float value);

  void SetArrangementCounts();

  bool mEditorOpen = false;
  bool mClosingEditor = false;
  int32_t mEditorHolds = 0;
  // Set by effClose; read by host calls on any thread.
  std::atomic<bool> mClosed{false};
};

} // namespace plugkit
