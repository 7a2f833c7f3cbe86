#include "tests/hosts/vst3/PlugFrame.h"

using namespace Steinberg;

namespace vst3host {

tresult PLUGIN_API PlugFrame::resizeView(IPlugView* view, ViewRect* newSize) {
  if (!view || !newSize) return kInvalidArgument;
  requests.push_back({view, *newSize});
  if (!grants) return kResultFalse;
  view->onSize(newSize);
  return kResultTrue;
}

tresult PLUGIN_API PlugFrame::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) || FUnknownPrivate::iidEqual(iid, IPlugFrame::iid)) {
    addRef();
    *obj = static_cast<IPlugFrame*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

uint32 PLUGIN_API PlugFrame::addRef() { return static_cast<uint32>(++refCount); }

uint32 PLUGIN_API PlugFrame::release() {
  const int left = --refCount;
  if (left == 0) delete this;
  return static_cast<uint32>(left);
}

}  // namespace vst3host
