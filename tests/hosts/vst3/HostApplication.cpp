#include "tests/hosts/vst3/HostApplication.h"

#include "tests/hosts/vst3/HostText.h"

using namespace Steinberg;

namespace vst3host {

HostApplication::HostApplication(const std::string& name) : hostName(Utf8ToUtf16(name)) {}

tresult PLUGIN_API HostApplication::getName(Vst::String128 name) {
  ++nameCalls;
  if (!name) return kInvalidArgument;
  CopyToString128(hostName, name);
  return kResultOk;
}

tresult PLUGIN_API HostApplication::createInstance(TUID, TUID, void** obj) {
  if (obj) *obj = nullptr;
  return kResultFalse;
}

tresult PLUGIN_API HostApplication::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) ||
      FUnknownPrivate::iidEqual(iid, Vst::IHostApplication::iid)) {
    addRef();
    *obj = static_cast<Vst::IHostApplication*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

uint32 PLUGIN_API HostApplication::addRef() { return static_cast<uint32>(++refCount); }

uint32 PLUGIN_API HostApplication::release() {
  int left = --refCount;
  if (left == 0) delete this;
  return static_cast<uint32>(left);
}

}  // namespace vst3host
