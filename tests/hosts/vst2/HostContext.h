#pragma once
// The host side of one plug-in instance: what the host answers to the
// plug-in's callbacks, and the record of every callback and sent event.
//
// The plug-in reaches its host only through the one callback function with
// its record's address, so `Callback` finds the context through the record's
// `user` field, which `PluginInstance` sets once the entry has returned.
// Callbacks made while the entry is still running (the record not yet
// known, or its address passed with `user` still null) go to the context
// registered with `BeginCreation`; creations are serialised by the caller.
// Callbacks that find no context at all are answered 0 and counted.
//
// Thread use: the plug-in may call back from any thread; the log is locked.
// `Settings` may be changed only while the plug-in is not being called.

#include "api/vst2/VST2Interface.h"
#include "tests/hosts/vst2/HostCall.h"

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace vst2host {

struct HostSettings {
  std::string productString = "plugkit vst2host";  // matches no entry of a plug-in's host table
  std::string vendorString = "plugkit";
  int32_t vendorVersion = 10000;  // 1.0.0
  int32_t vstVersion = kVstVersion;
  int32_t processLevel = kVstProcessLevelRealtime;
  intptr_t sizeWindowAnswer = 1;
  double sampleRate = 44100.0;
  int32_t blockSize = 512;
  // audioMasterGetTime answers a copy of `timeInfo`, or null when this is false.
  bool provideTimeInfo = true;
  VstTimeInfo timeInfo = DefaultTimeInfo(44100.0);
  // False: callbacks are answered but not recorded, so that a thread calling
  // back (a stress run's audio thread) finds no lock and no allocation here.
  bool logCalls = true;
  // Capabilities answered 1 to audioMasterCanDo; anything else is answered 0.
  std::vector<std::string> canDo = {"sendVstEvents",   "sendVstMidiEvent", "sendVstTimeInfo",
                                    "receiveVstEvents", "receiveVstMidiEvent", "sizeWindow"};

  // Stopped transport at 120 bpm in 4/4 at position 0.
  static VstTimeInfo DefaultTimeInfo(double sampleRate);
};

class HostContext {
 public:
  explicit HostContext(HostSettings settings = HostSettings());
  HostContext(const HostContext&) = delete;
  HostContext& operator=(const HostContext&) = delete;

  HostSettings& Settings() { return mSettings; }

  // Answers and records one callback.
  intptr_t Answer(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);

  std::vector<HostCall> Calls() const;
  size_t CountCalls(int32_t opcode) const;
  std::vector<ReceivedEvent> Events() const;
  void ClearLog();
  size_t DroppedCalls() const;  // beyond kMaxLoggedCalls

  // Moves the answered transport on by a processed block.
  void AdvanceTransport(int32_t frames);

  // The function handed to the plug-in's entry.
  static intptr_t VST2_CALL Callback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                     float opt);
  static void BeginCreation(HostContext* context);
  static void EndCreation();
  static size_t OrphanCalls();

  static constexpr size_t kMaxLoggedCalls = 1000000;

 private:
  void RecordEvents(const VstEvents* events);

  HostSettings mSettings;
  VstTimeInfo mAnsweredTime{};  // what the last audioMasterGetTime pointed at
  mutable std::mutex mLock;
  std::vector<HostCall> mCalls;
  std::vector<ReceivedEvent> mEvents;
  size_t mDropped = 0;
};

} // namespace vst2host
