#pragma once

// The event list a host passes with one process call (IEventList), input or
// output. Storage is fixed at construction; a full list refuses addEvent
// with kResultFalse. Host-owned like ParameterChanges: addRef and release
// only answer 1. Data events keep the plug-in's byte pointer as given; it is
// valid only until the process call returns.

#include <vector>

#include "pluginterfaces/vst/ivstevents.h"

namespace vst3host {

class EventList : public Steinberg::Vst::IEventList {
 public:
  explicit EventList(Steinberg::int32 capacity = 512);
  virtual ~EventList() = default;

  void Clear() { used = 0; }

  Steinberg::int32 PLUGIN_API getEventCount() SMTG_OVERRIDE { return used; }
  Steinberg::tresult PLUGIN_API getEvent(Steinberg::int32 index, Steinberg::Vst::Event& e) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API addEvent(Steinberg::Vst::Event& e) SMTG_OVERRIDE;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
  Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return 1; }
  Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE { return 1; }

 private:
  std::vector<Steinberg::Vst::Event> events;
  Steinberg::int32 used = 0;
};

}  // namespace vst3host
