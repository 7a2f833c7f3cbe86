#pragma once
// One plug-in instance driven by the test host: the effect record the entry
// returned, the host context that answers its callbacks, and thin wrappers
// over the dispatcher and the record's entry points.
//
// The wrappers pass what they are given straight through (no range checks),
// so tests can probe how the plug-in handles bad requests. They run on the
// caller's thread, which usually plays both the host's user-interface and
// audio threads; a test may also call the dispatcher, parameter, text and
// chunk wrappers from several threads at once, as some hosts do (the overrun
// record is locked; nothing else here is shared between such calls). Create,
// Open, Configure, Resume, Suspend and Close stay on one thread. The instance
// must be destroyed (or closed) before the library it came from.

#include "api/vst2/VST2Interface.h"
#include "tests/hosts/vst2/HostContext.h"
#include "tests/hosts/vst2/PluginLibrary.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace vst2host {

// A text the plug-in wrote past the host's buffer size for its opcode, or
// without a terminating NUL inside it.
struct TextOverrun {
  int32_t opcode = 0;
  int32_t index = 0;
  int32_t capacity = 0;
  std::string text;  // as written, up to its NUL or the end of the guard area
};

class PluginInstance {
 public:
  explicit PluginInstance(HostSettings settings = HostSettings());
  ~PluginInstance();  // Close()
  PluginInstance(const PluginInstance&) = delete;
  PluginInstance& operator=(const PluginInstance&) = delete;

  // Calls the library's entry with this instance's callback. Fails when the
  // entry returns null or a record without the effect magic (that record is
  // left alone: it cannot be trusted to close).
  bool Create(const PluginLibrary& library, std::string* error);
  bool IsCreated() const { return mEffect != nullptr; }
  AEffect* Effect() const { return mEffect; }
  HostContext& Host() { return mHost; }

  // Dispatcher call; 0 when no record is held.
  intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0.0f);

  // The usual host sequence around processing.
  void Open();                                          // effOpen
  void Configure(double sampleRate, int32_t blockSize);  // effSetSampleRate, effSetBlockSize
  void Resume();                                         // effMainsChanged 1, effStartProcess
  void Suspend();                                        // effStopProcess, effMainsChanged 0
  void Close();                                          // effClose; the record is gone after it

  // Text queries through a buffer of `capacity` bytes followed by a guard
  // area; a write past the capacity is recorded as an overrun.
  std::string ReadText(int32_t opcode, int32_t index, int32_t capacity, intptr_t value = 0);
  std::string ParamName(int32_t index) { return ReadText(effGetParamName, index, kVstMaxParamStrLen); }
  std::string ParamLabel(int32_t index) { return ReadText(effGetParamLabel, index, kVstMaxParamStrLen); }
  std::string ParamDisplay(int32_t index) { return ReadText(effGetParamDisplay, index, kVstMaxParamStrLen); }
  std::string ProgramName() { return ReadText(effGetProgramName, 0, kVstMaxProgNameLen); }
  std::string ProgramNameIndexed(int32_t index) {
    return ReadText(effGetProgramNameIndexed, index, kVstMaxProgNameLen);
  }
  std::string EffectName() { return ReadText(effGetEffectName, 0, kVstMaxEffectNameLen); }
  std::string VendorString() { return ReadText(effGetVendorString, 0, kVstMaxVendorStrLen); }
  std::string ProductString() { return ReadText(effGetProductString, 0, kVstMaxProductStrLen); }
  std::vector<TextOverrun> Overruns() const;

  // Index of the parameter whose reported name equals `name` (exactly, else
  // ignoring case), or -1.
  int32_t FindParam(const std::string& name);

  float GetParameter(int32_t index);
  void SetParameter(int32_t index, float value);

  // The record's process entries; false when the record lacks the entry.
  bool ProcessReplacing(float** inputs, float** outputs, int32_t frames);
  bool ProcessDoubleReplacing(double** inputs, double** outputs, int32_t frames);
  bool ProcessAccumulating(float** inputs, float** outputs, int32_t frames);

  // State chunks (bank: index 0, program: index 1). GetChunk copies the
  // plug-in's bytes; false when it answered no data.
  bool GetChunk(bool bank, std::vector<uint8_t>& data);
  bool SetChunk(bool bank, const std::vector<uint8_t>& data);

 private:
  HostContext mHost;
  AEffect* mEffect = nullptr;
  mutable std::mutex mOverrunLock;
  std::vector<TextOverrun> mOverruns;
};

} // namespace vst2host
