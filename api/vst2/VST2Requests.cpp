// IVST2Binding's dispatcher requests that carry more than a value: host
// identification, closing, the editor, state chunks, events from the host,
// parameter text, speaker arrangements and the host extensions.

#include <cstdio>
#include <cstring>

#include "api/vst2/IVST2Binding.h"
#include "api/vst2/VST2HostText.h"
#include "core/IHostIdentity.h"
#include "core/IParam.h"
#include "core/ISectionLock.h"
#include "core/StateHeader.h"

namespace plugkit {

namespace {

// The product-name buffer handed to the host: larger than the published
// size, since some hosts write past it.
constexpr int32_t kHostNameBytes = 256;

// Host-extension requests (effVendorSpecific index) answered here.
constexpr int32_t kVendorValueText = 7;     // ptr: text of the normalised value opt
constexpr int32_t kVendorTwoStateQuery = 8;  // does the parameter have two states?
constexpr int32_t kVendorTextToValue = 27;  // ptr: text in, normalised value out
// The interface publishes no size for those texts. What is written fits: a
// display text has at most IParam::kDisplayChars characters and "%.17f" of a
// value in [0, 1] has 19.
constexpr int32_t kVendorTextBytes = IParam::kDisplayChars + 1;

constexpr int32_t kAskedCockosExtensions = 1 << 0;
constexpr int32_t kAskedCockosViewAsConfig = 1 << 1;

// The host's decimal version (major * 10000 + minor * 100 + patch) packed as
// major << 16 | minor << 8 | patch; a negative or oversized answer is 0.
int32_t PackHostVersion(intptr_t decimal) {
  if (decimal < 0 || decimal > INT32_MAX) return 0;
  const uint32_t v = static_cast<uint32_t>(decimal);
  return static_cast<int32_t>((((v / 10000) & 0xffff) << 16) | (((v % 10000) / 100) << 8) | (v % 100));
}

} // namespace

void IVST2Binding::IdentifyHostOnce() {
  if (HostIdentity().Code != kHostUnidentified) return;
  char product[kHostNameBytes] = {};
  CallHost(audioMasterGetProductString, 0, 0, product);
  product[kHostNameBytes - 1] = '\0';
  const int32_t version = product[0] != '\0' ? PackHostVersion(CallHost(audioMasterGetVendorVersion)) : 0;
  SetHost(product, version);
}

void IVST2Binding::Close() {
  // The editor's window and controls call into this object; they go first,
  // still telling the host the end of a gesture in progress.
  if (mEditorOpen || EditorGraphics() != nullptr) CloseEditor();
  mClosed.store(true, std::memory_order_relaxed);
  if (mEditorHolds == 0) {
    DeleteClosed();
    return;
  }
  // Code of the editor's is still running (this close came from inside it)
  // and returns into this object; the last hold deletes it.
  StopEditorTimer();
}

void IVST2Binding::HoldForEditorCall() { ++mEditorHolds; }

void IVST2Binding::ReleaseEditorHold() {
  if (--mEditorHolds == 0 && mClosed.load(std::memory_order_relaxed)) DeleteClosed();
}

void IVST2Binding::DeleteClosed() {
  // Held once more for the destruction itself, as a counted object is: no
  // call of the editor's that it may run into deletes the object again.
  mEditorHolds = 1;
  delete this;
}

// --- Editor ----------------------------------------------------------------------

intptr_t IVST2Binding::OpenEditor(void* parentWindow) {
  if (!HasEditor()) return 0;
  // A second open without a close moves the editor to the new parent.
  if (mEditorOpen) CloseEditor();
  mEditorOpen = AttachEditor(parentWindow) != nullptr;
  return mEditorOpen ? 1 : 0;
}

intptr_t IVST2Binding::CloseEditor() {
  if (!HasEditor()) return 0;
  if (mClosingEditor) return 1;
  if (!mEditorOpen && EditorGraphics() == nullptr) return 1;  // nothing open
  mClosingEditor = true;
  DetachEditor();
  mEditorOpen = false;
  mClosingEditor = false;
  return 1;
}

// --- State chunks ----------------------------------------------------------------

intptr_t IVST2Binding::GetChunk(bool bank, void* ptr) {
  if (ptr == nullptr) return 0;
  // The lent chunk is rewritten only here, under the lock, so program and
  // name calls on other threads never touch what the host holds.
  ISectionGuard guard(StateLock());
  IStateBuffer& chunk = bank ? BankChunk : ProgramChunk;
  if (!WriteStateHeader(chunk)) return 0;
  bool written = false;
  if (bank) {
    ModifyCurrentPreset();
    written = SerializePresets(chunk);
  } else {
    written = SerializeParams(chunk);
  }
  if (!written || chunk.IsEmpty()) return 0;
  *static_cast<void**>(ptr) = chunk.Bytes();
  return chunk.Size();
}

intptr_t IVST2Binding::SetChunk(bool bank, intptr_t size, const void* ptr) {
  if (ptr == nullptr || size < 0 || size > INT32_MAX) return 0;
  // Read from a copy: a host may hand back the very bytes effGetChunk lent
  // it, and the chunks lent out stay valid until the next effGetChunk.
  IStateBuffer incoming;
  if (!incoming.Assign(ptr, static_cast<int32_t>(size))) return 0;
  ISectionGuard guard(StateLock());
  int32_t version = 0;
  int32_t position = ReadStateHeader(incoming, &version);
  if (bank && version >= kStateHeaderVersion) {
    position = UnserializePresets(incoming, position);
  } else {
    // The readers change nothing when they refuse, so neither may the preset.
    position = UnserializeParams(incoming, position);
    if (position >= 0) ModifyCurrentPreset();
  }
  if (position < 0) return 0;
  OnStateLoaded();
  return 1;
}

// --- Events from the host (audio thread) ---------------------------------------

intptr_t IVST2Binding::ReceiveEvents(const VstEvents* events) {
  if (events == nullptr) return 0;
  // The list really holds numEvents entries, more than the two declared.
  const VstEvent* const* list = events->events;
  for (int32_t i = 0; i < events->numEvents; ++i) {
    const VstEvent* event = list[i];
    if (event == nullptr) continue;
    if (event->type == kVstMidiType) {
      const VstMidiEvent& midi = *reinterpret_cast<const VstMidiEvent*>(event);
      IMidiShortMessage message;
      message.frameOffset = midi.deltaFrames;
      message.status = static_cast<uint8_t>(midi.midiData[0]);
      message.data1 = static_cast<uint8_t>(midi.midiData[1]);
      message.data2 = static_cast<uint8_t>(midi.midiData[2]);
      OnMidiIn(message);
      QueueMidiForEditor(message);
    } else if (event->type == kVstSysExType) {
      const VstMidiSysexEvent& sysex = *reinterpret_cast<const VstMidiSysexEvent*>(event);
      if (sysex.dumpBytes < 0 || (sysex.dumpBytes > 0 && sysex.sysexDump == nullptr)) continue;
      ISysExView view;
      view.frameOffset = sysex.deltaFrames;
      view.size = sysex.dumpBytes;
      view.data = reinterpret_cast<const uint8_t*>(sysex.sysexDump);
      OnSysExIn(view);
    }
  }
  return 1;
}

// --- Parameters and channels -------------------------------------------------------

intptr_t IVST2Binding::ParseParamText(int32_t index, const char* text) {
  IParam* param = GetParam(index);
  if (param == nullptr) return 0;
  if (text == nullptr) return 1;  // the host only asks whether texts are taken
  const double value = param->Constrain(param->ParseText(text));
  param->Set(value);
  PushParamFromHost(index, value, false);
  OnParamChange(index, IChangeSource::Host, -1);
  return 1;
}

intptr_t IVST2Binding::SetSpeakerArrangement(const VstSpeakerArrangement* inputs,
                                             const VstSpeakerArrangement* outputs) {
  // Both sides are checked before either is applied: a refused request
  // leaves every channel as it was.
  auto fits = [](const VstSpeakerArrangement* arrangement, int32_t limit) {
    return arrangement == nullptr || (arrangement->numChannels >= 0 && arrangement->numChannels <= limit);
  };
  if (!fits(inputs, Effect.numInputs) || !fits(outputs, Effect.numOutputs)) return 0;
  auto connectFirst = [this](IPortDirection direction, int32_t count) {
    SetChannelsConnected(direction, 0, count, true);
    SetChannelsConnected(direction, count, ChannelCount(direction) - count, false);
  };
  if (inputs != nullptr) connectFirst(IPortDirection::Input, inputs->numChannels);
  if (outputs != nullptr) connectFirst(IPortDirection::Output, outputs->numChannels);
  return 1;
}

// --- Host extensions and capabilities -----------------------------------------------

intptr_t IVST2Binding::VendorSpecific(int32_t index, intptr_t value, void* ptr, float opt) {
  const IParam* param = value >= 0 && value < ParamCount() ? GetParam(static_cast<int32_t>(value)) : nullptr;
  switch (index) {
    case kVendorValueText:
      if (ptr == nullptr) break;
      if (param != nullptr) {
        IStringBuffer display;
        param->FormatValue(opt, true, display, true);
        CopyToHostText(ptr, display.Get(), kVendorTextBytes);
      }
      return kVendorHandled;
    case kVendorTwoStateQuery: {
      if (param == nullptr) break;
      const IParamKind kind = param->Kind();
      if (kind == IParamKind::OnOff) return kVendorHandled;
      if ((kind == IParamKind::Integer || kind == IParamKind::ListChoice) && param->Max() - param->Min() < 1.5)
        return kVendorHandled;
      break;
    }
    case kVendorTextToValue: {
      if (ptr == nullptr || param == nullptr) break;
      char* text = static_cast<char*>(ptr);
      if (text[0] == '\0') return kVendorHandled;
      const double normalised = param->ToNormalised(param->ParseText(text));
      std::snprintf(text, kVendorTextBytes, "%.17f", normalised);
      return kVendorHandled;
    }
    default:
      break;
  }
  return OnVendorRequest(index, value, ptr, opt);
}

intptr_t IVST2Binding::CanDo(const char* text) {
  if (text == nullptr) return 0;
  auto is = [text](const char* name) { return std::strcmp(text, name) == 0; };
  if (is("receiveVstTimeInfo")) return 1;
  if (is("receiveVstEvents") || is("receiveVstMidiEvent")) return TakesMidiInput() ? 1 : 0;
  if (is("sendVstEvents") || is("sendVstMidiEvent")) return SendsMidiOutput() ? 1 : 0;
  if (is("hasCockosExtensions")) {
    HostExtensionBits |= kAskedCockosExtensions;
    return kVendorCanDo;
  }
  if (is("hasCockosViewAsConfig")) {
    HostExtensionBits |= kAskedCockosViewAsConfig;
    return kVendorCanDo;
  }
  if (is("wantsChannelCountNotifications")) return 1;
  return VSTCanDo(text);
}

} // namespace plugkit
