#include "tests/hosts/vst3/ContextMenu.h"

#include "tests/hosts/vst3/HostText.h"

using namespace Steinberg;

namespace vst3host {

ContextMenu::ContextMenu(const Vst::ParamID* paramId) : forParameter(paramId != nullptr) {
  if (paramId) parameter = *paramId;
}

ContextMenu::~ContextMenu() {
  for (Entry& entry : entries)
    if (entry.target) entry.target->release();
}

tresult ContextMenu::Pick(size_t index) {
  if (index >= entries.size() || !entries[index].target) return kInvalidArgument;
  return entries[index].target->executeMenuItem(entries[index].tag);
}

int32 PLUGIN_API ContextMenu::getItemCount() { return static_cast<int32>(entries.size()); }

tresult PLUGIN_API ContextMenu::getItem(int32 index, Item& item, Vst::IContextMenuTarget** target) {
  if (index < 0 || static_cast<size_t>(index) >= entries.size()) return kInvalidArgument;
  const Entry& entry = entries[static_cast<size_t>(index)];
  CopyToString128(Utf8ToUtf16(entry.name), item.name);
  item.tag = entry.tag;
  item.flags = entry.flags;
  if (target) {
    *target = entry.target;
    if (entry.target) entry.target->addRef();
  }
  return kResultOk;
}

tresult PLUGIN_API ContextMenu::addItem(const Item& item, Vst::IContextMenuTarget* target) {
  Entry entry;
  entry.name = SdkTextToUtf8(item.name);
  entry.tag = item.tag;
  entry.flags = item.flags;
  entry.target = target;
  if (target) target->addRef();
  entries.push_back(entry);
  return kResultOk;
}

tresult PLUGIN_API ContextMenu::removeItem(const Item& item, Vst::IContextMenuTarget* target) {
  for (auto it = entries.begin(); it != entries.end(); ++it) {
    if (it->tag == item.tag && it->target == target) {
      if (it->target) it->target->release();
      entries.erase(it);
      return kResultOk;
    }
  }
  return kResultFalse;
}

tresult PLUGIN_API ContextMenu::popup(UCoord x, UCoord y) {
  ++popups;
  popupX = x;
  popupY = y;
  return kResultOk;
}

tresult PLUGIN_API ContextMenu::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) || FUnknownPrivate::iidEqual(iid, Vst::IContextMenu::iid)) {
    addRef();
    *obj = static_cast<Vst::IContextMenu*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

uint32 PLUGIN_API ContextMenu::addRef() { return static_cast<uint32>(++refCount); }

uint32 PLUGIN_API ContextMenu::release() {
  const int left = --refCount;
  if (left == 0) delete this;
  return static_cast<uint32>(left);
}

}  // namespace vst3host
