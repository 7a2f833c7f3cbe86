#include "tests/hosts/vst2/HostContext.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace vst2host {
namespace {

std::atomic<HostContext*> gCreating{nullptr};
std::atomic<size_t> gOrphanCalls{0};

// Limits on what a misbehaving plug-in can make the host read.
constexpr int32_t kMaxEventsPerList = 65536;
constexpr int32_t kMaxSysExBytes = 1 << 20;
constexpr size_t kMaxCapabilityText = 256;

intptr_t CopyAnswerText(const std::string& text, void* ptr, int capacity) {
  if (!ptr) return 0;
  char* out = static_cast<char*>(ptr);
  size_t count = std::min(text.size(), static_cast<size_t>(capacity - 1));
  std::memcpy(out, text.data(), count);
  out[count] = '\0';
  return 1;
}

} // namespace

VstTimeInfo HostSettings::DefaultTimeInfo(double sampleRate) {
  VstTimeInfo info{};
  info.sampleRate = sampleRate;
  info.tempo = 120.0;
  info.timeSigNumerator = 4;
  info.timeSigDenominator = 4;
  info.flags = kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
  return info;
}

HostContext::HostContext(HostSettings settings) : mSettings(std::move(settings)) {}

intptr_t HostContext::Answer(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  HostCall call;
  call.opcode = opcode;
  call.index = index;
  call.value = value;
  call.ptr = ptr;
  call.opt = opt;

  intptr_t result = 0;
  switch (opcode) {
    case audioMasterVersion: result = mSettings.vstVersion; break;
    case audioMasterWantMidi: result = 1; break;
    case audioMasterGetTime:
      if (mSettings.provideTimeInfo) {
        mAnsweredTime = mSettings.timeInfo;
        result = reinterpret_cast<intptr_t>(&mAnsweredTime);
      }
      break;
    case audioMasterProcessEvents:
      if (ptr) {
        RecordEvents(static_cast<const VstEvents*>(ptr));
        result = 1;
      }
      break;
    case audioMasterIOChanged: result = 1; break;
    case audioMasterSizeWindow: result = mSettings.sizeWindowAnswer; break;
    case audioMasterGetSampleRate: result = static_cast<intptr_t>(mSettings.sampleRate); break;
    case audioMasterGetBlockSize: result = mSettings.blockSize; break;
    case audioMasterGetCurrentProcessLevel: result = mSettings.processLevel; break;
    case audioMasterGetAutomationState: result = 1; break;  // automation off
    case audioMasterGetVendorString:
      call.text = mSettings.vendorString;
      result = CopyAnswerText(mSettings.vendorString, ptr, kVstMaxVendorStrLen);
      break;
    case audioMasterGetProductString:
      call.text = mSettings.productString;
      result = CopyAnswerText(mSettings.productString, ptr, kVstMaxProductStrLen);
      break;
    case audioMasterGetVendorVersion: result = mSettings.vendorVersion; break;
    case audioMasterCanDo:
      if (ptr) {
        const char* text = static_cast<const char*>(ptr);
        call.text.assign(text, strnlen(text, kMaxCapabilityText));
        const auto& known = mSettings.canDo;
        result = std::find(known.begin(), known.end(), call.text) != known.end() ? 1 : 0;
      }
      break;
    case audioMasterGetLanguage: result = 1; break;  // English
    case audioMasterUpdateDisplay:
    case audioMasterBeginEdit:
    case audioMasterEndEdit: result = 1; break;
    default: break;  // audioMasterAutomate and everything unsupported answer 0
  }
  call.result = result;
  if (!mSettings.logCalls) return result;

  std::lock_guard<std::mutex> guard(mLock);
  if (mCalls.size() < kMaxLoggedCalls)
    mCalls.push_back(std::move(call));
  else
    ++mDropped;
  return result;
}

void HostContext::RecordEvents(const VstEvents* events) {
  int32_t count = std::min(events->numEvents, kMaxEventsPerList);
  std::vector<ReceivedEvent> received;
  for (int32_t i = 0; i < count; ++i) {
    const VstEvent* event = events->events[i];
    if (!event) continue;
    ReceivedEvent copy;
    copy.type = event->type;
    copy.byteSize = event->byteSize;
    copy.deltaFrames = event->deltaFrames;
    if (event->type == kVstMidiType) {
      const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
      copy.bytes.assign(midi->midiData, midi->midiData + 3);
    } else if (event->type == kVstSysExType) {
      const auto* sysex = reinterpret_cast<const VstMidiSysexEvent*>(event);
      if (sysex->sysexDump && sysex->dumpBytes > 0 && sysex->dumpBytes <= kMaxSysExBytes)
        copy.bytes.assign(sysex->sysexDump, sysex->sysexDump + sysex->dumpBytes);
    }
    received.push_back(std::move(copy));
  }
  std::lock_guard<std::mutex> guard(mLock);
  mEvents.insert(mEvents.end(), received.begin(), received.end());
}

std::vector<HostCall> HostContext::Calls() const {
  std::lock_guard<std::mutex> guard(mLock);
  return mCalls;
}

size_t HostContext::CountCalls(int32_t opcode) const {
  std::lock_guard<std::mutex> guard(mLock);
  return static_cast<size_t>(std::count_if(mCalls.begin(), mCalls.end(),
                                           [opcode](const HostCall& call) { return call.opcode == opcode; }));
}

std::vector<ReceivedEvent> HostContext::Events() const {
  std::lock_guard<std::mutex> guard(mLock);
  return mEvents;
}

void HostContext::ClearLog() {
  std::lock_guard<std::mutex> guard(mLock);
  mCalls.clear();
  mEvents.clear();
  mDropped = 0;
}

size_t HostContext::DroppedCalls() const {
  std::lock_guard<std::mutex> guard(mLock);
  return mDropped;
}

void HostContext::AdvanceTransport(int32_t frames) {
  VstTimeInfo& time = mSettings.timeInfo;
  time.samplePos += frames;
  if (time.sampleRate > 0.0) time.ppqPos += frames / time.sampleRate * time.tempo / 60.0;
}

intptr_t VST2_CALL HostContext::Callback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                         void* ptr, float opt) {
  HostContext* context = effect && effect->user ? static_cast<HostContext*>(effect->user) : gCreating.load();
  if (!context) {
    ++gOrphanCalls;
    return 0;
  }
  return context->Answer(opcode, index, value, ptr, opt);
}

void HostContext::BeginCreation(HostContext* context) { gCreating.store(context); }
void HostContext::EndCreation() { gCreating.store(nullptr); }
size_t HostContext::OrphanCalls() { return gOrphanCalls.load(); }

} // namespace vst2host
