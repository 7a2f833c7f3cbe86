#pragma once

// The host side of a plug-in's edit calls: IComponentHandler,
// IComponentHandler2 and IComponentHandler3, recording every call in order so
// that tests can check what a plug-in told its host (edits, restart flags,
// group edits, dirty state, context-menu requests), each with the thread it
// came on. Every call answers kResultOk; createContextMenu answers a new
// ContextMenu (kept for the test as LastContextMenu) unless context menus
// are switched off. A handler can also stand for a host without
// IComponentHandler2 (SetOffersHandler2).
//
// Reference counted like HostApplication (one reference at creation). Calls
// may come from any thread; the record is guarded by a mutex.

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "tests/hosts/vst3/ContextMenu.h"

namespace vst3host {

struct HandlerCall {
  enum class EKind {
    BeginEdit,
    PerformEdit,
    EndEdit,
    RestartComponent,
    SetDirty,
    RequestOpenEditor,
    StartGroupEdit,
    FinishGroupEdit,
    CreateContextMenu  // flags: 1 when a parameter id came with it
  };
  EKind kind;
  Steinberg::Vst::ParamID id = 0;          // edits
  Steinberg::Vst::ParamValue value = 0.0;  // performEdit
  Steinberg::int32 flags = 0;              // restartComponent flags, setDirty state
  std::thread::id thread = std::this_thread::get_id();  // where the call came from
};

class ComponentHandler : public Steinberg::Vst::IComponentHandler,
                         public Steinberg::Vst::IComponentHandler2,
                         public Steinberg::Vst::IComponentHandler3 {
 public:
  virtual ~ComponentHandler() = default;

  std::vector<HandlerCall> Calls() const;
  void ClearCalls();
  // Whether createContextMenu answers a menu (true) or null.
  void SetOffersContextMenus(bool offer) { offersContextMenus = offer; }
  // Whether queryInterface answers IComponentHandler2 (true) or not; to be set
  // before the handler is given to a plug-in.
  void SetOffersHandler2(bool offer) { offersHandler2 = offer; }
  // The menu createContextMenu made last (null: none yet), and the view it
  // was made for.
  Steinberg::IPtr<ContextMenu> LastContextMenu() const { return lastMenu; }
  Steinberg::IPlugView* LastContextMenuView() const { return lastMenuView; }

  // IComponentHandler
  Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id,
                                            Steinberg::Vst::ParamValue value) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) SMTG_OVERRIDE;

  // IComponentHandler2
  Steinberg::tresult PLUGIN_API setDirty(Steinberg::TBool state) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API requestOpenEditor(Steinberg::FIDString name) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API startGroupEdit() SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API finishGroupEdit() SMTG_OVERRIDE;

  // IComponentHandler3
  Steinberg::Vst::IContextMenu* PLUGIN_API createContextMenu(Steinberg::IPlugView* plugView,
                                                             const Steinberg::Vst::ParamID* paramID) SMTG_OVERRIDE;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
  Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE;
  Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE;

 private:
  Steinberg::tresult Record(const HandlerCall& call);

  mutable std::mutex lock;
  std::vector<HandlerCall> calls;
  std::atomic<int> refCount{1};
  bool offersContextMenus = true;
  bool offersHandler2 = true;
  Steinberg::IPtr<ContextMenu> lastMenu;
  Steinberg::IPlugView* lastMenuView = nullptr;
};

}  // namespace vst3host
