#include "tests/hosts/vst2/HostCall.h"

#include "api/vst2/VST2Interface.h"

#include <cinttypes>
#include <cstdio>

namespace vst2host {

const char* HostOpcodeName(int32_t opcode) {
  switch (opcode) {
    case audioMasterAutomate: return "audioMasterAutomate";
    case audioMasterVersion: return "audioMasterVersion";
    case audioMasterCurrentId: return "audioMasterCurrentId";
    case audioMasterIdle: return "audioMasterIdle";
    case audioMasterPinConnected: return "audioMasterPinConnected";
    case audioMasterWantMidi: return "audioMasterWantMidi";
    case audioMasterGetTime: return "audioMasterGetTime";
    case audioMasterProcessEvents: return "audioMasterProcessEvents";
    case audioMasterSetTime: return "audioMasterSetTime";
    case audioMasterTempoAt: return "audioMasterTempoAt";
    case audioMasterGetNumAutomatableParameters: return "audioMasterGetNumAutomatableParameters";
    case audioMasterGetParameterQuantization: return "audioMasterGetParameterQuantization";
    case audioMasterIOChanged: return "audioMasterIOChanged";
    case audioMasterNeedIdle: return "audioMasterNeedIdle";
    case audioMasterSizeWindow: return "audioMasterSizeWindow";
    case audioMasterGetSampleRate: return "audioMasterGetSampleRate";
    case audioMasterGetBlockSize: return "audioMasterGetBlockSize";
    case audioMasterGetInputLatency: return "audioMasterGetInputLatency";
    case audioMasterGetOutputLatency: return "audioMasterGetOutputLatency";
    case audioMasterGetPreviousPlug: return "audioMasterGetPreviousPlug";
    case audioMasterGetNextPlug: return "audioMasterGetNextPlug";
    case audioMasterWillReplaceOrAccumulate: return "audioMasterWillReplaceOrAccumulate";
    case audioMasterGetCurrentProcessLevel: return "audioMasterGetCurrentProcessLevel";
    case audioMasterGetAutomationState: return "audioMasterGetAutomationState";
    case audioMasterOfflineStart: return "audioMasterOfflineStart";
    case audioMasterOfflineRead: return "audioMasterOfflineRead";
    case audioMasterOfflineWrite: return "audioMasterOfflineWrite";
    case audioMasterOfflineGetCurrentPass: return "audioMasterOfflineGetCurrentPass";
    case audioMasterOfflineGetCurrentMetaPass: return "audioMasterOfflineGetCurrentMetaPass";
    case audioMasterSetOutputSampleRate: return "audioMasterSetOutputSampleRate";
    case audioMasterGetOutputSpeakerArrangement: return "audioMasterGetOutputSpeakerArrangement";
    case audioMasterGetVendorString: return "audioMasterGetVendorString";
    case audioMasterGetProductString: return "audioMasterGetProductString";
    case audioMasterGetVendorVersion: return "audioMasterGetVendorVersion";
    case audioMasterVendorSpecific: return "audioMasterVendorSpecific";
    case audioMasterSetIcon: return "audioMasterSetIcon";
    case audioMasterCanDo: return "audioMasterCanDo";
    case audioMasterGetLanguage: return "audioMasterGetLanguage";
    case audioMasterOpenWindow: return "audioMasterOpenWindow";
    case audioMasterCloseWindow: return "audioMasterCloseWindow";
    case audioMasterGetDirectory: return "audioMasterGetDirectory";
    case audioMasterUpdateDisplay: return "audioMasterUpdateDisplay";
    case audioMasterBeginEdit: return "audioMasterBeginEdit";
    case audioMasterEndEdit: return "audioMasterEndEdit";
    case audioMasterOpenFileSelector: return "audioMasterOpenFileSelector";
    case audioMasterCloseFileSelector: return "audioMasterCloseFileSelector";
    case audioMasterEditFile: return "audioMasterEditFile";
    case audioMasterGetChunkFile: return "audioMasterGetChunkFile";
    case audioMasterGetInputSpeakerArrangement: return "audioMasterGetInputSpeakerArrangement";
    default: return nullptr;
  }
}

std::string DescribeHostCall(const HostCall& call) {
  char line[256];
  const char* name = HostOpcodeName(call.opcode);
  char unknown[32];
  if (!name) {
    std::snprintf(unknown, sizeof unknown, "opcode %" PRId32, call.opcode);
    name = unknown;
  }
  std::snprintf(line, sizeof line, "%s index=%" PRId32 " value=%" PRIdPTR " opt=%g ptr=%p -> %" PRIdPTR, name,
                call.index, call.value, static_cast<double>(call.opt), call.ptr, call.result);
  std::string text = line;
  if (!call.text.empty()) text += " \"" + call.text + "\"";
  return text;
}

} // namespace vst2host
