#pragma once
// IVST3MenuTarget: what the host calls back when the user picks one of the
// items a control added to the host's context menu (see
// IVST3Binding::OpenHostContextMenu). It stands in for the control, because
// the host holds its targets for as long as it likes, possibly past the
// editor's close: a pick reaches the control's OnContextMenuChoice only while
// the editor that showed the menu is still open and still holds the control.
//
// Lifetime: FObject counting, one reference at creation; it keeps a counted
// reference to the plug-in, so the plug-in outlives it. The control and the
// graphics object are remembered, never dereferenced unless found alive.
//
// Threads: the host's user-interface thread.

#include <cstdint>

#include "base/source/fobject.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"

namespace plugkit {

class IVST3Binding;

namespace canvas {
class ICanvas;
class IControl;
}

class IVST3MenuTarget : public Steinberg::FObject, public Steinberg::Vst::IContextMenuTarget {
public:
  // A target for the itemCount items control added to a menu shown in the
  // editor whose graphics object is graphics.
  IVST3MenuTarget(IVST3Binding& plugin, canvas::ICanvas* graphics, canvas::IControl* control, int32_t itemCount);
  ~IVST3MenuTarget() override;

  // OnContextMenuChoice(tag) of the control: kResultOk. kInvalidArgument for a
  // tag that is not one of the items; kResultFalse, nothing called, once the
  // editor was closed or the control is gone.
  Steinberg::tresult PLUGIN_API executeMenuItem(Steinberg::int32 tag) SMTG_OVERRIDE;

  OBJ_METHODS(IVST3MenuTarget, FObject)
  DEFINE_INTERFACES
    DEF_INTERFACE(IContextMenuTarget)
  END_DEFINE_INTERFACES(FObject)
  REFCOUNT_METHODS(FObject)

private:
  IVST3Binding* mPlugin;
  canvas::ICanvas* mGraphics;
  canvas::IControl* mControl;
  int32_t mItemCount;
  uint32_t mGeneration;
};

} // namespace plugkit
