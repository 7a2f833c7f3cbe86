// IVST2Binding's dispatcher: the host's single entry for everything that is
// not audio or a parameter value. The opcodes that need more than a few lines
// (state chunks, events, the editor, host identification, host extensions)
// are in VST2Requests.cpp.

#include <cstdio>

#include "api/vst2/IVST2Binding.h"
#include "api/vst2/VST2HostText.h"
#include "core/IParam.h"
#include "core/ISectionLock.h"

namespace plugkit {

namespace {

constexpr intptr_t kLastAnsweredOpcode = effGetSpeakerArrangement;

void FillPinProperties(VstPinProperties& pin, const IChannelSlot& slot, IPortDirection direction, int32_t index,
                       int32_t count) {
  pin.flags = kVstPinIsActive;
  // Channels pair up as stereo from the first one on; a last odd one is mono.
  if (index % 2 == 0 && index < count - 1) pin.flags |= kVstPinIsStereo;
  if (!slot.label.IsEmpty()) {
    CopyToHostText(pin.label, slot.label.Get(), kVstMaxLabelLen);
  } else {
    std::snprintf(pin.label, kVstMaxLabelLen, "%s %d", direction == IPortDirection::Input ? "Input" : "Output",
                  index + 1);
  }
}

void FillParameterProperties(VstParameterProperties& properties, const IParam& param) {
  switch (param.Kind()) {
    case IParamKind::OnOff:
      properties.flags = kVstParameterIsSwitch;
      break;
    case IParamKind::Integer:
    case IParamKind::ListChoice:
      properties.flags = kVstParameterUsesIntegerMinMax | kVstParameterUsesIntStep;
      properties.minInteger = static_cast<int32_t>(param.Min());
      properties.maxInteger = static_cast<int32_t>(param.Max());
      properties.stepInteger = 1;
      properties.largeStepInteger = 1;
      break;
    default: {
      const float step = static_cast<float>(param.Step());
      properties.flags = kVstParameterUsesFloatStep;
      properties.stepFloat = step;
      properties.smallStepFloat = step;
      properties.largeStepFloat = step;
      break;
    }
  }
  CopyToHostText(properties.label, param.ShownLabel(), kVstMaxLabelLen);
}

} // namespace

intptr_t VST2_CALL IVST2Binding::VSTDispatcher(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                               void* ptr, float opt) {
  IVST2Binding* binding = FromEffect(effect);
  if (binding == nullptr || opcode < 0 || opcode > kLastAnsweredOpcode) return 0;
  return binding->Dispatch(opcode, index, value, ptr, opt);
}

intptr_t IVST2Binding::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  IParam* param = GetParam(index);
  switch (opcode) {
    case effOpen:
      IdentifyHostOnce();
      OnEveryParamChange(IChangeSource::Reset);
      return 0;
    case effClose:
      Close();  // the object is not to be touched afterwards (see Close)
      return 0;
    case effSetProgram: {
      // Storing the old program and switching are one step for other threads.
      ISectionGuard guard(StateLock());
      if (!UsesStateChunks()) ModifyCurrentPreset();
      if (value >= 0 && value < PresetCount()) ApplyPreset(static_cast<int32_t>(value));
      return 0;
    }
    case effGetProgram:
      return CurrentPreset();
    case effSetProgramName: {
      if (ptr == nullptr) return 0;
      ISectionGuard guard(StateLock());
      ModifyCurrentPreset(static_cast<const char*>(ptr));
      OnPresetRestored();
      return 0;
    }
    case effGetProgramName:
      if (ptr != nullptr) {
        ISectionGuard guard(StateLock());
        CopyToHostText(ptr, PresetTitleAt(CurrentPreset()), kVstMaxProgNameLen);
      }
      return 0;
    case effGetParamLabel:
      if (param != nullptr && ptr != nullptr) CopyToHostText(ptr, param->ShownLabel(), kVstMaxParamStrLen);
      return 0;
    case effGetParamDisplay:
      if (param != nullptr && ptr != nullptr) {
        // A text of its own per call: hosts ask from several threads at once.
        IStringBuffer display;
        param->FormatValue(param->Value(), false, display, true);
        CopyToHostText(ptr, display.Get(), kVstMaxParamStrLen);
      }
      return 0;
    case effGetParamName:
      if (param != nullptr && ptr != nullptr) CopyToHostText(ptr, param->Name(), kVstMaxParamStrLen);
      return 0;
    // The set-up opcodes hold the processor's gate: a host that makes them
    // while its audio thread still runs blocks gets them done between two
    // blocks, never under one.
    case effSetSampleRate: {
      ISetupHold hold(SetupGate());
      // A rate that is not finite and positive is refused; the stream stays.
      if (SetSampleRate(opt)) OnStreamReset();
      return 0;
    }
    case effSetBlockSize: {
      ISetupHold hold(SetupGate());
      // No block size of 0 or less: the scratch keeps the size it has.
      if (value > 0 && ChangeBlockSize(value > kMaxBlockSize ? kMaxBlockSize : static_cast<int32_t>(value)))
        OnStreamReset();
      return 0;
    }
    case effMainsChanged: {
      ISetupHold hold(SetupGate());
      OnActiveChange(value != 0);
      if (value == 0) OnStreamReset();
      return 0;
    }
    case effEditGetRect:
      if (ptr == nullptr || !HasEditor()) return 0;
      *static_cast<ERect**>(ptr) = &EditorExtent;
      return 1;
    case effEditOpen:
      return OpenEditor(ptr);
    case effEditClose:
      return CloseEditor();
    case effIdentify:
      return VstFourCC('N', 'v', 'E', 'f');
    case effGetChunk:
      return GetChunk(index == 0, ptr);
    case effSetChunk:
      return SetChunk(index == 0, value, ptr);
    case effProcessEvents:
      return ReceiveEvents(static_cast<const VstEvents*>(ptr));
    case effCanBeAutomated:
      return param != nullptr && !param->HasFlag(IParamFlag::HostLocked) ? 1 : 0;
    case effString2Parameter:
      return ParseParamText(index, static_cast<const char*>(ptr));
    case effGetProgramNameIndexed: {
      if (ptr == nullptr) return 0;
      ISectionGuard guard(StateLock());
      const char* title = PresetTitleAt(index);
      CopyToHostText(ptr, title, kVstMaxProgNameLen);
      return title[0] != '\0' ? 1 : 0;
    }
    case effGetInputProperties:
    case effGetOutputProperties: {
      const IPortDirection direction =
          opcode == effGetInputProperties ? IPortDirection::Input : IPortDirection::Output;
      const IChannelSlot* slot = Channel(direction, index);
      if (ptr == nullptr || slot == nullptr) return 0;
      FillPinProperties(*static_cast<VstPinProperties*>(ptr), *slot, direction, index, ChannelCount(direction));
      return 1;
    }
    case effGetPlugCategory:
      return PluginKind() == 1 ? kPlugCategSynth : kPlugCategEffect;
    case effSetSpeakerArrangement: {
      ISetupHold hold(SetupGate());
      return SetSpeakerArrangement(reinterpret_cast<const VstSpeakerArrangement*>(value),
                                   static_cast<const VstSpeakerArrangement*>(ptr));
    }
    case effGetEffectName:
      if (ptr == nullptr) return 0;
      CopyToHostText(ptr, PluginName(), kVstMaxEffectNameLen);
      return 1;
    case effGetVendorString:
      if (ptr == nullptr) return 0;
      CopyToHostText(ptr, MakerName(), kVstMaxVendorStrLen);
      return 1;
    case effGetProductString:
      if (ptr == nullptr) return 0;
      CopyToHostText(ptr, ProductName(), kVstMaxProductStrLen);
      return 1;
    case effGetVendorVersion:
      return Effect.version;
    case effVendorSpecific:
      return VendorSpecific(index, value, ptr, opt);
    case effCanDo:
      return CanDo(static_cast<const char*>(ptr));
    case effGetTailSize:
      return TailSize();
    case effGetParameterProperties:
      if (param == nullptr || ptr == nullptr) return 0;
      FillParameterProperties(*static_cast<VstParameterProperties*>(ptr), *param);
      return 1;
    case effGetVstVersion:
      return kVstVersion;
    case effGetMidiKeyName: {
      if (ptr == nullptr) return 0;
      MidiKeyName& key = *static_cast<MidiKeyName*>(ptr);
      key.keyName[0] = '\0';
      IStringBuffer name;
      const bool named = GetMidiKeyLabel(key.thisKeyNumber, name);
      if (named) CopyToHostText(key.keyName, name.Get(), kVstMaxNameLen);
      return named ? 1 : 0;
    }
    case effGetSpeakerArrangement:
      if (value != 0) *reinterpret_cast<VstSpeakerArrangement**>(value) = nullptr;
      if (ptr != nullptr) *static_cast<VstSpeakerArrangement**>(ptr) = nullptr;
      return 0;
    default:
      return 0;
  }
}

} // namespace plugkit
