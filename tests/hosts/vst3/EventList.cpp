#include "tests/hosts/vst3/EventList.h"

using namespace Steinberg;

namespace vst3host {

EventList::EventList(int32 capacity) : events(static_cast<size_t>(capacity > 0 ? capacity : 1)) {}

tresult PLUGIN_API EventList::getEvent(int32 index, Vst::Event& e) {
  if (index < 0 || index >= used) return kInvalidArgument;
  e = events[static_cast<size_t>(index)];
  return kResultOk;
}

tresult PLUGIN_API EventList::addEvent(Vst::Event& e) {
  if (used >= static_cast<int32>(events.size())) return kResultFalse;
  events[static_cast<size_t>(used++)] = e;
  return kResultOk;
}

tresult PLUGIN_API EventList::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) || FUnknownPrivate::iidEqual(iid, Vst::IEventList::iid)) {
    *obj = static_cast<Vst::IEventList*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

}  // namespace vst3host
