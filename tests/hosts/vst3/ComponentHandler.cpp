#include "tests/hosts/vst3/ComponentHandler.h"

using namespace Steinberg;
using EKind = vst3host::HandlerCall::EKind;

namespace vst3host {

std::vector<HandlerCall> ComponentHandler::Calls() const {
  std::lock_guard<std::mutex> guard(lock);
  return calls;
}

void ComponentHandler::ClearCalls() {
  std::lock_guard<std::mutex> guard(lock);
  calls.clear();
}

tresult ComponentHandler::Record(const HandlerCall& call) {
  std::lock_guard<std::mutex> guard(lock);
  calls.push_back(call);
  return kResultOk;
}

tresult PLUGIN_API ComponentHandler::beginEdit(Vst::ParamID id) { return Record({EKind::BeginEdit, id}); }

tresult PLUGIN_API ComponentHandler::performEdit(Vst::ParamID id, Vst::ParamValue value) {
  return Record({EKind::PerformEdit, id, value});
}

tresult PLUGIN_API ComponentHandler::endEdit(Vst::ParamID id) { return Record({EKind::EndEdit, id}); }

tresult PLUGIN_API ComponentHandler::restartComponent(int32 flags) {
  return Record({EKind::RestartComponent, 0, 0.0, flags});
}

tresult PLUGIN_API ComponentHandler::setDirty(TBool state) {
  return Record({EKind::SetDirty, 0, 0.0, state ? 1 : 0});
}

tresult PLUGIN_API ComponentHandler::requestOpenEditor(FIDString) {
  return Record({EKind::RequestOpenEditor});
}

tresult PLUGIN_API ComponentHandler::startGroupEdit() { return Record({EKind::StartGroupEdit}); }

tresult PLUGIN_API ComponentHandler::finishGroupEdit() { return Record({EKind::FinishGroupEdit}); }

Vst::IContextMenu* PLUGIN_API ComponentHandler::createContextMenu(IPlugView* plugView, const Vst::ParamID* paramID) {
  Record({EKind::CreateContextMenu, paramID ? *paramID : 0, 0.0, paramID ? 1 : 0});
  if (!offersContextMenus) return nullptr;
  lastMenu = IPtr<ContextMenu>(new ContextMenu(paramID), false);
  lastMenuView = plugView;
  // The caller gets a reference of its own; the handler keeps one for tests.
  lastMenu->addRef();
  return lastMenu.get();
}

tresult PLUGIN_API ComponentHandler::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) ||
      FUnknownPrivate::iidEqual(iid, Vst::IComponentHandler::iid)) {
    addRef();
    *obj = static_cast<Vst::IComponentHandler*>(this);
    return kResultOk;
  }
  if (offersHandler2 && FUnknownPrivate::iidEqual(iid, Vst::IComponentHandler2::iid)) {
    addRef();
    *obj = static_cast<Vst::IComponentHandler2*>(this);
    return kResultOk;
  }
  if (FUnknownPrivate::iidEqual(iid, Vst::IComponentHandler3::iid)) {
    addRef();
    *obj = static_cast<Vst::IComponentHandler3*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

uint32 PLUGIN_API ComponentHandler::addRef() { return static_cast<uint32>(++refCount); }

uint32 PLUGIN_API ComponentHandler::release() {
  int left = --refCount;
  if (left == 0) delete this;
  return static_cast<uint32>(left);
}

}  // namespace vst3host
