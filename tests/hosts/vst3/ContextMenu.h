#pragma once

// A host's context menu as IComponentHandler3::createContextMenu hands it to a
// plug-in: it keeps the items (and their targets) the plug-in adds, records
// where the plug-in asks it to pop up, and lets a test pick an item as a user
// would, which calls the item's target.
//
// Reference counted (one reference at creation); the targets it holds are
// counted too and released with the menu. User-interface thread only.

#include <atomic>
#include <string>
#include <vector>

#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/vsttypes.h"

namespace vst3host {

class ContextMenu : public Steinberg::Vst::IContextMenu {
 public:
  struct Entry {
    std::string name;
    Steinberg::int32 tag = 0;
    Steinberg::int32 flags = 0;
    Steinberg::Vst::IContextMenuTarget* target = nullptr;  // counted while listed
  };

  // paramId null: a menu for no particular parameter.
  explicit ContextMenu(const Steinberg::Vst::ParamID* paramId);
  virtual ~ContextMenu();

  bool ForParameter() const { return forParameter; }
  Steinberg::Vst::ParamID Parameter() const { return parameter; }
  const std::vector<Entry>& Entries() const { return entries; }
  int PopupCount() const { return popups; }
  Steinberg::UCoord PopupX() const { return popupX; }
  Steinberg::UCoord PopupY() const { return popupY; }
  // Calls the target of entry index with its tag; kInvalidArgument without
  // such an entry or target.
  Steinberg::tresult Pick(size_t index);

  // IContextMenu
  Steinberg::int32 PLUGIN_API getItemCount() SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getItem(Steinberg::int32 index, Item& item,
                                        Steinberg::Vst::IContextMenuTarget** target) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API addItem(const Item& item, Steinberg::Vst::IContextMenuTarget* target) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API removeItem(const Item& item, Steinberg::Vst::IContextMenuTarget* target) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API popup(Steinberg::UCoord x, Steinberg::UCoord y) SMTG_OVERRIDE;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
  Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE;
  Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE;

 private:
  bool forParameter = false;
  Steinberg::Vst::ParamID parameter = 0;
  std::vector<Entry> entries;
  int popups = 0;
  Steinberg::UCoord popupX = 0;
  Steinberg::UCoord popupY = 0;
  std::atomic<int> refCount{1};
};

}  // namespace vst3host
