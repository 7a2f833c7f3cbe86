#pragma once

// The host context handed to a plug-in's initialize: IHostApplication with a
// configurable name. createInstance makes nothing (the plug-ins under test
// need no host messages). Counts getName calls so that tests can see whether
// a plug-in asked who its host is.
//
// Reference counted: create with new, hold with IPtr (one reference at
// creation); the plug-in may keep its own references. Thread-safe counting;
// getName may be called from any thread.

#include <atomic>
#include <string>

#include "pluginterfaces/vst/ivsthostapplication.h"

namespace vst3host {

class HostApplication : public Steinberg::Vst::IHostApplication {
 public:
  explicit HostApplication(const std::string& name = "plugkit VST3 test host");
  virtual ~HostApplication() = default;

  int GetNameCalls() const { return nameCalls.load(); }

  // IHostApplication: the name is cut to 127 UTF-16 units and terminated.
  Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 name) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API createInstance(Steinberg::TUID cid, Steinberg::TUID iid,
                                               void** obj) SMTG_OVERRIDE;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
  Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE;
  Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE;

 private:
  std::u16string hostName;
  std::atomic<int> nameCalls{0};
  std::atomic<int> refCount{1};
};

}  // namespace vst3host
