// IApiBase, editor side: gestures and values from the editor, values pushed
// by the host, the hand-off queues and the editor tick.

#include "core/IApiBase.h"

#include <cmath>

#include "core/IParam.h"
#include "core/ISectionLock.h"

namespace plugkit {

namespace {

// How often a producer tries for its turn on the parameter-update queue before
// it drops the update. The turn is held only for one 16-byte copy.
constexpr int kProducerTries = 64;

} // namespace

// --- Editor -> host ----------------------------------------------------------------

void IApiBase::OnStateLoaded() {
  if (OnUserInterfaceThread()) {
    IPluginBase::OnStateLoaded();
  } else if (HasEditor()) {
    for (int32_t i = 0; i < ParamCount(); ++i) QueueParamForEditor(i, GetParam(i)->Value());
  }
}

void IApiBase::SendAllParamValuesToHost() {
  for (int32_t i = 0; i < ParamCount(); ++i) SendHostParamValue(i, GetParam(i)->ReadNormalised());
}

void IApiBase::BeginEditorGesture(int32_t index) {
  if (GetParam(index) == nullptr) return;
  BeginHostParamEdit(index);
}

void IApiBase::EndEditorGesture(int32_t index) {
  if (GetParam(index) == nullptr) return;
  EndHostParamEdit(index);
}

void IApiBase::SetParamFromEditor(int32_t index, double normalisedValue) {
  IParam* param = GetParam(index);
  if (param == nullptr || !std::isfinite(normalisedValue)) return;
  param->ApplyNormalised(normalisedValue);
  SendHostParamValue(index, normalisedValue);
  OnParamChange(index, IChangeSource::UI, -1);
  // Applied again: the change handler may have moved the value, and the
  // editor is to show what the editor asked for.
  param->ApplyNormalised(normalisedValue);
  OnParamChangeForEditor(index, IChangeSource::UI);
}

bool IApiBase::RequestEditorResize(int32_t width, int32_t height) {
  return ResizeEditorInHost(width, height);
}

void IApiBase::RouteEditorMidi(const IMidiShortMessage& message) { QueueMidiForProcessor(message); }

void IApiBase::RouteEditorSysEx(const ISysExView& view) { QueueSysExForProcessor(view); }

void IApiBase::RouteEditorMessage(int32_t messageTag, int32_t controlTag, int32_t size, const void* data) {
  OnTaggedMessage(messageTag, controlTag, size, data);
}

// --- Host -> editor ----------------------------------------------------------------

void IApiBase::PushParamFromHost(int32_t index, double value, bool isNormalised) {
  const IParam* param = GetParam(index);
  if (param == nullptr || !std::isfinite(value)) return;
  const double real = isNormalised ? param->FromNormalised(value) : value;
  if (!std::isfinite(real)) return;
  if (OnUserInterfaceThread()) {
    // Asked again under the lock that AdoptUserInterfaceThread moves the
    // thread under: the host may be showing the editor on another thread
    // right now, and then the value waits for the tick there.
    ISectionGuard guard(StateLock());
    if (OnUserInterfaceThread()) {
      PushParamValue(index, real, false);
      return;
    }
  }
  // The editor's controls belong to the user-interface thread; the tick
  // applies the value there.
  if (HasEditor()) QueueParamForEditor(index, real);
}

// --- Queues ------------------------------------------------------------------------

void IApiBase::QueueMidiForProcessor(const IMidiShortMessage& message) { mMidiToProcessor.Push(message); }

void IApiBase::QueueSysExForProcessor(const ISysExView& view) {
  ISysExPacket packet;
  if (PackSysEx(view, packet)) mSysExToProcessor.Push(packet);
}

bool IApiBase::QueueMidiForEditor(const IMidiShortMessage& message) { return mMidiToEditor.Push(message); }

bool IApiBase::QueueSysExForEditor(const ISysExView& view) {
  ISysExPacket packet;
  return PackSysEx(view, packet) && mSysExToEditor.Push(packet);
}

bool IApiBase::TakeMidiForProcessor(IMidiShortMessage& message) { return mMidiToProcessor.Take(message); }

bool IApiBase::TakeSysExForProcessor(ISysExPacket& packet) { return mSysExToProcessor.Take(packet); }

bool IApiBase::QueueParamForEditor(int32_t index, double value) {
  // The ring has room for one producer, but a host may set parameters from
  // more than one thread. Producers take turns; none ever waits for another.
  for (int attempt = 0; attempt < kProducerTries; ++attempt) {
    if (!mParamProducerBusy.test_and_set(std::memory_order_acquire)) {
      const bool queued = mParamUpdates.Push(IParamUpdate{index, value});
      mParamProducerBusy.clear(std::memory_order_release);
      if (!queued) break;
      return true;
    }
  }
  // The editor would keep the value it has for good; the tick shows every
  // current value instead. Released after the parameter was set, so the tick
  // reads the new value.
  mEditorStale.store(true, std::memory_order_release);
  return false;
}

// --- The editor tick ---------------------------------------------------------------

void IApiBase::OnEditorTimer(Timer& /*timer*/) {
  // A tick of the timer that the user-interface thread has just left behind.
  if (!OnUserInterfaceThread()) return;
  if (HasEditor()) {
    // Each queue gives up what was waiting when the tick began: a producer
    // that keeps pushing cannot hold the user-interface thread here.
    IParamUpdate update;
    for (int32_t n = mParamUpdates.Capacity(); n > 0 && mParamUpdates.Take(update); --n) {
      if (GetParam(update.index) != nullptr) PushParamValue(update.index, update.value, false);
    }
    // Cleared before the values are read: an update dropped meanwhile marks
    // the editor again for the next tick.
    if (mEditorStale.exchange(false, std::memory_order_acquire)) {
      for (int32_t i = 0; i < ParamCount(); ++i) PushParamValue(i, GetParam(i)->Value(), false);
    }
    IMidiShortMessage message;
    for (int32_t n = mMidiToEditor.Capacity(); n > 0 && mMidiToEditor.Take(message); --n) {
      PushMidiToEditor(message);
    }
    // The view points at this local copy, so the receiver's bytes stay put
    // while the ring slot is reused.
    ISysExPacket packet;
    for (int32_t n = mSysExToEditor.Capacity(); n > 0 && mSysExToEditor.Take(packet); --n) {
      PushSysExToEditor(ViewOfPacket(packet));
    }
  }
  OnEditorTick();
}

} // namespace plugkit
