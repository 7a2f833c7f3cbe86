#pragma once

// The parameter changes a host passes with one process call
// (IParameterChanges with one IParamValueQueue per parameter). Storage is
// fixed at construction, so filling and clearing between blocks allocates
// nothing; a full list or queue refuses the addition (null or kResultFalse).
// Points of a queue stay ordered by sample offset; a point at an offset that
// already has one replaces its value.
//
// The objects belong to the host and outlive the process call; plug-ins must
// not keep them, so addRef and release only answer 1 and never delete.
// Filled on the host's audio thread before process, read by the plug-in
// during it; no locking.

#include <vector>

#include "pluginterfaces/vst/ivstparameterchanges.h"

namespace vst3host {

class ParamValueQueue : public Steinberg::Vst::IParamValueQueue {
 public:
  explicit ParamValueQueue(Steinberg::int32 maxPoints);
  virtual ~ParamValueQueue() = default;

  void Reset(Steinberg::Vst::ParamID id);

  Steinberg::Vst::ParamID PLUGIN_API getParameterId() SMTG_OVERRIDE { return paramId; }
  Steinberg::int32 PLUGIN_API getPointCount() SMTG_OVERRIDE { return count; }
  Steinberg::tresult PLUGIN_API getPoint(Steinberg::int32 index, Steinberg::int32& sampleOffset,
                                         Steinberg::Vst::ParamValue& value) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API addPoint(Steinberg::int32 sampleOffset, Steinberg::Vst::ParamValue value,
                                         Steinberg::int32& index) SMTG_OVERRIDE;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
  Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return 1; }
  Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE { return 1; }

 private:
  struct Point {
    Steinberg::int32 offset;
    Steinberg::Vst::ParamValue value;
  };
  Steinberg::Vst::ParamID paramId = 0;
  std::vector<Point> points;
  Steinberg::int32 count = 0;
};

class ParameterChanges : public Steinberg::Vst::IParameterChanges {
 public:
  explicit ParameterChanges(Steinberg::int32 maxParameters = 64, Steinberg::int32 maxPoints = 64);
  virtual ~ParameterChanges() = default;

  void Clear() { used = 0; }
  // Adds one point for a parameter; false when the list or queue is full.
  bool Add(Steinberg::Vst::ParamID id, Steinberg::int32 sampleOffset, Steinberg::Vst::ParamValue value);

  Steinberg::int32 PLUGIN_API getParameterCount() SMTG_OVERRIDE { return used; }
  Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData(Steinberg::int32 index) SMTG_OVERRIDE;
  Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData(const Steinberg::Vst::ParamID& id,
                                                                Steinberg::int32& index) SMTG_OVERRIDE;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
  Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return 1; }
  Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE { return 1; }

 private:
  std::vector<ParamValueQueue> queues;
  Steinberg::int32 used = 0;
};

}  // namespace vst3host
