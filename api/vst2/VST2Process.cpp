// IVST2Binding's audio and parameter entries. The process entries run on the
// host's audio thread: no allocation, no lock, the editor only through the
// queues. Host blocks longer than the block size are served by IProcessor's
// block operations in sub-blocks, so nothing is written past the scratch.

#include <cmath>

#include "api/vst2/IVST2Binding.h"
#include "core/IParam.h"

namespace plugkit {

namespace {

constexpr intptr_t kWantedTimeInfo =
    kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid;

int32_t FramesOrZero(int32_t frames) { return frames > 0 ? frames : 0; }

} // namespace

// --- Record entries ----------------------------------------------------------------

// Each block runs under a pass of the processor's gate. A block that comes
// while a set-up call holds it (a host changing the rate during playback)
// touches nothing: the replacing entries leave silence, the accumulating one
// adds nothing.

void VST2_CALL IVST2Binding::EffectProcess(AEffect* effect, float** inputs, float** outputs, int32_t frames) {
  IVST2Binding* binding = FromEffect(effect);
  if (binding == nullptr) return;
  {
    IBlockPass pass(binding->SetupGate());
    if (pass.Passed()) {
      binding->PrepareFloatBlock(inputs, outputs, FramesOrZero(frames));
      binding->AccumulateBlock(FramesOrZero(frames));
    }
  }
  binding->ForwardEditorSysEx();
}

void VST2_CALL IVST2Binding::EffectProcessReplacing(AEffect* effect, float** inputs, float** outputs,
                                                    int32_t frames) {
  IVST2Binding* binding = FromEffect(effect);
  if (binding == nullptr) return;
  {
    IBlockPass pass(binding->SetupGate());
    if (pass.Passed()) {
      binding->PrepareFloatBlock(inputs, outputs, FramesOrZero(frames));
      binding->ReplaceBlock(FramesOrZero(frames));
    } else {
      ZeroHostChannels(outputs, binding->Effect.numOutputs, FramesOrZero(frames));
    }
  }
  binding->ForwardEditorSysEx();
}

void VST2_CALL IVST2Binding::EffectProcessDoubleReplacing(AEffect* effect, double** inputs, double** outputs,
                                                          int32_t frames) {
  IVST2Binding* binding = FromEffect(effect);
  if (binding == nullptr) return;
  {
    IBlockPass pass(binding->SetupGate());
    if (pass.Passed()) {
      binding->PrepareDoubleBlock();
      binding->ProcessDoubleBlock(inputs, binding->Effect.numInputs, outputs, binding->Effect.numOutputs,
                                  FramesOrZero(frames));
    } else {
      ZeroHostChannels(outputs, binding->Effect.numOutputs, FramesOrZero(frames));
    }
  }
  binding->ForwardEditorSysEx();
}

float VST2_CALL IVST2Binding::EffectGetParameter(AEffect* effect, int32_t index) {
  IVST2Binding* binding = FromEffect(effect);
  const IParam* param = binding != nullptr ? binding->GetParam(index) : nullptr;
  return param != nullptr ? static_cast<float>(param->ReadNormalised()) : 0.0f;
}

void VST2_CALL IVST2Binding::EffectSetParameter(AEffect* effect, int32_t index, float value) {
  IVST2Binding* binding = FromEffect(effect);
  if (binding != nullptr) binding->SetParameterFromHost(index, value);
}

void IVST2Binding::SetParameterFromHost(int32_t index, float value) {
  IParam* param = GetParam(index);
  if (param == nullptr || !std::isfinite(value)) return;
  param->ApplyNormalised(value);
  // Off the user-interface thread this only queues the value for the editor.
  PushParamFromHost(index, value, true);
  OnParamChange(index, IChangeSource::Host, -1);
}

// --- Block preparation -------------------------------------------------------------

void IVST2Binding::PrepareFloatBlock(float** inputs, float** outputs, int32_t frames) {
  if (TakesMidiInput()) CallHost(audioMasterWantMidi, 0, 1);
  BindChannelBuffers(IPortDirection::Input, Effect.numInputs, inputs, frames);
  BindChannelBuffers(IPortDirection::Output, Effect.numOutputs, outputs, frames);
  ReadHostTransport();
  SetRenderingOffline(CallHost(audioMasterGetCurrentProcessLevel) == kVstProcessLevelOffline);
  DrainEditorMidi();
}

void IVST2Binding::PrepareDoubleBlock() {
  // The double entry processes on the host's buffers; only the per-block
  // state is gathered here.
  if (TakesMidiInput()) CallHost(audioMasterWantMidi, 0, 1);
  ReadHostTransport();
  SetRenderingOffline(CallHost(audioMasterGetCurrentProcessLevel) == kVstProcessLevelOffline);
  DrainEditorMidi();
}

void IVST2Binding::ReadHostTransport() {
  ITransportState transport;
  const VstTimeInfo* info = reinterpret_cast<const VstTimeInfo*>(CallHost(audioMasterGetTime, 0, kWantedTimeInfo));
  if (info != nullptr) {
    const int32_t flags = info->flags;
    transport.samplePosition = info->samplePos;
    if ((flags & kVstPpqPosValid) && info->ppqPos >= 0.0) transport.beatPosition = info->ppqPos;
    if ((flags & kVstTempoValid) && info->tempo > 0.0) transport.tempoBpm = info->tempo;
    if ((flags & kVstBarsValid) && info->barStartPos >= 0.0) transport.barStartBeat = info->barStartPos;
    if ((flags & kVstCyclePosValid) && info->cycleStartPos >= 0.0 && info->cycleEndPos >= 0.0) {
      transport.loopStartBeat = info->cycleStartPos;
      transport.loopEndBeat = info->cycleEndPos;
    }
    if ((flags & kVstTimeSigValid) && info->timeSigNumerator > 0 && info->timeSigDenominator > 0) {
      transport.meterNumerator = info->timeSigNumerator;
      transport.meterDenominator = info->timeSigDenominator;
    }
    transport.isPlaying = (flags & kVstTransportPlaying) != 0;
    transport.isLooping = (flags & kVstTransportCycleActive) != 0;
  }
  SetTransport(transport);
}

void IVST2Binding::DrainEditorMidi() {
  IMidiShortMessage message;
  for (int32_t n = MidiToProcessorQueue().Capacity(); n > 0 && TakeMidiForProcessor(message); --n)
    OnMidiIn(message);
}

void IVST2Binding::ForwardEditorSysEx() {
  ISysExPacket packet;
  for (int32_t n = SysExToProcessorQueue().Capacity(); n > 0 && TakeSysExForProcessor(packet); --n)
    SendSysExToHost(ViewOfPacket(packet));
}

} // namespace plugkit
