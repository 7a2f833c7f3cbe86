#pragma once

// The frame a host gives a plug-in view (IPlugFrame): it records every
// resizeView request and, like a host that grants it, answers by calling the
// view's onSize with the new rectangle (kResultTrue). A frame set to refuse
// answers kResultFalse and leaves the view alone.
//
// Reference counted (one reference at creation). User-interface thread only.

#include <atomic>
#include <vector>

#include "pluginterfaces/gui/iplugview.h"

namespace vst3host {

class PlugFrame : public Steinberg::IPlugFrame {
 public:
  struct Request {
    Steinberg::IPlugView* view;
    Steinberg::ViewRect rect;
  };

  virtual ~PlugFrame() = default;

  void SetGrants(bool grant) { grants = grant; }
  const std::vector<Request>& Requests() const { return requests; }
  void ClearRequests() { requests.clear(); }

  Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view, Steinberg::ViewRect* newSize) SMTG_OVERRIDE;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
  Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE;
  Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE;

 private:
  bool grants = true;
  std::vector<Request> requests;
  std::atomic<int> refCount{1};
};

}  // namespace vst3host
