#pragma once
// What the test host records of a plug-in's calls back into it.

#include <cstdint>
#include <string>
#include <vector>

namespace vst2host {

// One call of the host callback, with the host's answer. `text` keeps a copy
// of the text that crossed with the call (the capability asked by
// audioMasterCanDo, the string answered to the vendor and product queries),
// because `ptr` is only valid during the call.
struct HostCall {
  int32_t opcode = 0;
  int32_t index = 0;
  intptr_t value = 0;
  void* ptr = nullptr;
  float opt = 0.0f;
  intptr_t result = 0;
  std::string text;
};

// One event that the plug-in sent through audioMasterProcessEvents. `bytes`
// holds the three MIDI bytes of a MIDI event, or the dump of a SysEx event;
// other event types keep no bytes.
struct ReceivedEvent {
  int32_t type = 0;
  int32_t byteSize = 0;
  int32_t deltaFrames = 0;
  std::vector<uint8_t> bytes;
};

// The interface's name of a host-callback opcode, or null for an unknown one.
const char* HostOpcodeName(int32_t opcode);

// One line: "audioMasterGetTime index=0 value=0x3e00 opt=0 ptr=0x0 -> 0x..."
std::string DescribeHostCall(const HostCall& call);

} // namespace vst2host
