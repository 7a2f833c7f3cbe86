#include "tests/hosts/vst3/ParameterChanges.h"

using namespace Steinberg;

namespace vst3host {

namespace {

template <typename Interface>
tresult AnswerQuery(Interface* self, const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) || FUnknownPrivate::iidEqual(iid, Interface::iid)) {
    *obj = self;
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

}  // namespace

ParamValueQueue::ParamValueQueue(int32 maxPoints)
    : points(static_cast<size_t>(maxPoints > 0 ? maxPoints : 1)) {}

void ParamValueQueue::Reset(Vst::ParamID id) {
  paramId = id;
  count = 0;
}

tresult PLUGIN_API ParamValueQueue::getPoint(int32 index, int32& sampleOffset, Vst::ParamValue& value) {
  if (index < 0 || index >= count) return kInvalidArgument;
  sampleOffset = points[static_cast<size_t>(index)].offset;
  value = points[static_cast<size_t>(index)].value;
  return kResultOk;
}

tresult PLUGIN_API ParamValueQueue::addPoint(int32 sampleOffset, Vst::ParamValue value, int32& index) {
  if (sampleOffset < 0) return kInvalidArgument;
  int32 at = count;
  while (at > 0 && points[static_cast<size_t>(at - 1)].offset > sampleOffset) --at;
  if (at > 0 && points[static_cast<size_t>(at - 1)].offset == sampleOffset) {
    points[static_cast<size_t>(at - 1)].value = value;
    index = at - 1;
    return kResultOk;
  }
  if (count >= static_cast<int32>(points.size())) return kResultFalse;
  for (int32 i = count; i > at; --i) points[static_cast<size_t>(i)] = points[static_cast<size_t>(i - 1)];
  points[static_cast<size_t>(at)] = {sampleOffset, value};
  ++count;
  index = at;
  return kResultOk;
}

tresult PLUGIN_API ParamValueQueue::queryInterface(const TUID iid, void** obj) {
  return AnswerQuery<Vst::IParamValueQueue>(this, iid, obj);
}

ParameterChanges::ParameterChanges(int32 maxParameters, int32 maxPoints)
    : queues(static_cast<size_t>(maxParameters > 0 ? maxParameters : 1), ParamValueQueue(maxPoints)) {}

bool ParameterChanges::Add(Vst::ParamID id, int32 sampleOffset, Vst::ParamValue value) {
  int32 index = 0;
  Vst::IParamValueQueue* queue = addParameterData(id, index);
  return queue && queue->addPoint(sampleOffset, value, index) == kResultOk;
}

Vst::IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData(int32 index) {
  if (index < 0 || index >= used) return nullptr;
  return &queues[static_cast<size_t>(index)];
}

Vst::IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData(const Vst::ParamID& id, int32& index) {
  for (int32 i = 0; i < used; ++i)
    if (queues[static_cast<size_t>(i)].getParameterId() == id) {
      index = i;
      return &queues[static_cast<size_t>(i)];
    }
  if (used >= static_cast<int32>(queues.size())) return nullptr;
  queues[static_cast<size_t>(used)].Reset(id);
  index = used;
  return &queues[static_cast<size_t>(used++)];
}

tresult PLUGIN_API ParameterChanges::queryInterface(const TUID iid, void** obj) {
  return AnswerQuery<Vst::IParameterChanges>(this, iid, obj);
}

}  // namespace vst3host
