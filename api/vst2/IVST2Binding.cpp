// IVST2Binding: the effect record, construction, and the framework's host
// calls made through the VST 2.4 host callback.

#include "api/vst2/IVST2Binding.h"

#include <cstring>

#include "core/IHostIdentity.h"
#include "core/TraceCall.h"

namespace plugkit {

namespace {

int32_t ArrangementType(int32_t channels) {
  switch (channels) {
    case 0: return kSpeakerArrEmpty;
    case 1: return kSpeakerArrMono;
    case 2: return kSpeakerArrStereo;
    default: return kSpeakerArrUserDefined;
  }
}

void DescribeArrangement(VstSpeakerArrangement& arrangement, int32_t channels) {
  arrangement.type = ArrangementType(channels);
  arrangement.numChannels = channels;
}

// The vendor version packed as major << 16 | minor << 8 | patch, as hosts
// read it: major * 10000 + minor * 100 + patch.
int32_t DecimalVersion(int32_t packed) {
  const uint32_t v = static_cast<uint32_t>(packed);
  return static_cast<int32_t>(((v >> 16) & 0xffff) * 10000 + ((v >> 8) & 0xff) * 100 + (v & 0xff));
}

} // namespace

IVST2Binding::IVST2Binding(audioMasterCallback host, const IPluginDescriptor& descriptor)
    : IApiBase(descriptor), IProcessor(descriptor), MasterCallback(host) {
  TraceCall("plugkit::IVST2Binding::IVST2Binding", __LINE__, "%s", PluginName());
  HostExtensionBits = 0;

  std::memset(&Effect, 0, sizeof Effect);
  Effect.object = static_cast<IVST2Binding*>(this);
  Effect.magic = kEffectMagic;
  Effect.dispatcher = &IVST2Binding::VSTDispatcher;
  Effect.getParameter = &IVST2Binding::EffectGetParameter;
  Effect.setParameter = &IVST2Binding::EffectSetParameter;
  Effect.numPrograms = PresetCount();
  Effect.numParams = ParamCount();
  Effect.numInputs = ChannelCount(IPortDirection::Input);
  Effect.numOutputs = ChannelCount(IPortDirection::Output);
  Effect.uniqueID = UniqueCode();
  Effect.version = DecimalVersion(VendorVersion());
  Effect.ioRatio = 1.0f;
  Effect.process = &IVST2Binding::EffectProcess;
  Effect.processReplacing = &IVST2Binding::EffectProcessReplacing;
  Effect.processDoubleReplacing = &IVST2Binding::EffectProcessDoubleReplacing;
  Effect.initialDelay = Latency();
  Effect.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
  if (UsesStateChunks()) Effect.flags |= effFlagsProgramChunks;
  if (LegalIO(1, -1)) Effect.flags |= effFlagsCanMono;
  if (PluginKind() == 1) Effect.flags |= effFlagsIsSynth;

  EditorExtent = ERect{};
  std::memset(&InputArrangement, 0, sizeof InputArrangement);
  std::memset(&OutputArrangement, 0, sizeof OutputArrangement);
  SetArrangementCounts();

  SetChannelsConnected(IPortDirection::Input, 0, ChannelCount(IPortDirection::Input), true);
  SetChannelsConnected(IPortDirection::Output, 0, ChannelCount(IPortDirection::Output), true);
  ChangeBlockSize(kInitialBlockSize);

  if (HasEditor()) {
    Effect.flags |= effFlagsHasEditor;
    EditorExtent.bottom = static_cast<int16_t>(EditorHeight());
    EditorExtent.right = static_cast<int16_t>(EditorWidth());
  }
  StartEditorTimer();
}

IVST2Binding::~IVST2Binding() {
  // A tick reaches the product's overrides, which are already gone.
  StopEditorTimer();
}

IVST2Binding* IVST2Binding::FromEffect(AEffect* effect) {
  return effect ? static_cast<IVST2Binding*>(effect->object) : nullptr;
}

intptr_t IVST2Binding::CallHost(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  if (!MasterCallback || mClosed.load(std::memory_order_relaxed)) return 0;
  return MasterCallback(&Effect, opcode, index, value, ptr, opt);
}

void IVST2Binding::SetArrangementCounts() {
  DescribeArrangement(InputArrangement, ChannelCount(IPortDirection::Input));
  DescribeArrangement(OutputArrangement, ChannelCount(IPortDirection::Output));
}

intptr_t IVST2Binding::OnVendorRequest(int32_t /*index*/, intptr_t /*value*/, void* /*ptr*/, float /*opt*/) {
  return 0;
}

intptr_t IVST2Binding::VSTCanDo(const char* /*text*/) { return 0; }

// --- Host calls ----------------------------------------------------------------

void IVST2Binding::NotifyHostPresetChanged() { CallHost(audioMasterUpdateDisplay); }

void IVST2Binding::AdaptToHost() {
  ISetupHold hold(SetupGate());
  const int32_t code = HostIdentity().Code;
  if (code == kHostForte || code == kHostAudition || code == kHostOrion || code == kHostSAWStudio) {
    // These hosts connect only the first two inputs, but every output.
    SetChannelsConnected(IPortDirection::Input, 2, ChannelCount(IPortDirection::Input) - 2, false);
    SetChannelsConnected(IPortDirection::Output, 2, ChannelCount(IPortDirection::Output) - 2, true);
  }
  Effect.numInputs = ChannelCount(IPortDirection::Input);
  Effect.numOutputs = ChannelCount(IPortDirection::Output);
  SetArrangementCounts();
}

bool IVST2Binding::ResizeEditorInHost(int32_t width, int32_t height) {
  // ERect holds 16-bit coordinates; a size it cannot carry is refused rather
  // than wrapped.
  if (!HasEditor() || width < 1 || height < 1 || width > INT16_MAX || height > INT16_MAX) return false;
  bool resized = false;
  if (width != EditorWidth() || height != EditorHeight()) {
    EditorExtent = ERect{0, 0, static_cast<int16_t>(height), static_cast<int16_t>(width)};
    resized = CallHost(audioMasterSizeWindow, width, height) != 0;
  }
  SetEditorSize(width, height);
  return resized;
}

void IVST2Binding::BeginHostParamEdit(int32_t index) { CallHost(audioMasterBeginEdit, index); }

void IVST2Binding::EndHostParamEdit(int32_t index) { CallHost(audioMasterEndEdit, index); }

void IVST2Binding::SendHostParamValue(int32_t index, double normalisedValue) {
  CallHost(audioMasterAutomate, index, 0, nullptr, static_cast<float>(normalisedValue));
}

bool IVST2Binding::SendMidiToHost(const IMidiShortMessage& message) {
  VstMidiEvent event;
  std::memset(&event, 0, sizeof event);
  event.type = kVstMidiType;
  event.byteSize = static_cast<int32_t>(sizeof event);
  event.deltaFrames = message.frameOffset;
  event.midiData[0] = static_cast<char>(message.status);
  event.midiData[1] = static_cast<char>(message.data1);
  event.midiData[2] = static_cast<char>(message.data2);
  VstEvents list;
  std::memset(&list, 0, sizeof list);
  list.numEvents = 1;
  list.events[0] = reinterpret_cast<VstEvent*>(&event);
  return CallHost(audioMasterProcessEvents, 0, 0, &list) == 1;
}

bool IVST2Binding::SendSysExToHost(const ISysExView& view) {
  if (view.size < 0 || (view.size > 0 && view.data == nullptr)) return false;
  VstMidiSysexEvent event;
  std::memset(&event, 0, sizeof event);
  event.type = kVstSysExType;
  event.byteSize = static_cast<int32_t>(sizeof event);
  event.deltaFrames = view.frameOffset;
  event.dumpBytes = view.size;
  // The host only reads the dump; the interface declares it writable.
  event.sysexDump = reinterpret_cast<char*>(const_cast<uint8_t*>(view.data));
  VstEvents list;
  std::memset(&list, 0, sizeof list);
  list.numEvents = 1;
  list.events[0] = reinterpret_cast<VstEvent*>(&event);
  return CallHost(audioMasterProcessEvents, 0, 0, &list) == 1;
}

void IVST2Binding::ChangeLatency(int32_t frames) {
  Effect.initialDelay = frames;
  IProcessor::ChangeLatency(frames);
}

} // namespace plugkit
