#include "api/vst3/IVST3MenuTarget.h"

#include "api/vst3/IVST3Binding.h"
#include "graphics/ICanvas.h"
#include "graphics/IControl.h"

using namespace Steinberg;

namespace plugkit {

IVST3MenuTarget::IVST3MenuTarget(IVST3Binding& plugin, canvas::ICanvas* graphics, canvas::IControl* control,
                                 int32_t itemCount)
  : mPlugin(&plugin), mGraphics(graphics), mControl(control), mItemCount(itemCount),
    mGeneration(plugin.EditorGeneration()) {
  mPlugin->addRef();
}

IVST3MenuTarget::~IVST3MenuTarget() { mPlugin->release(); }

tresult PLUGIN_API IVST3MenuTarget::executeMenuItem(int32 tag) {
  if (tag < 0 || tag >= mItemCount) return kInvalidArgument;
  // The editor that showed the menu must still be the one open: every open
  // and close counts up the generation, so a graphics object built later at
  // the same address is not taken for it.
  canvas::ICanvas* graphics = mPlugin->EditorGraphics();
  if (!graphics || graphics != mGraphics || mPlugin->EditorGeneration() != mGeneration) return kResultFalse;
  bool present = false;
  graphics->VisitAllControls([&](canvas::IControl& control) { present = present || &control == mControl; });
  if (!present) return kResultFalse;
  canvas::ICanvas::ICallScope call(graphics);
  mControl->OnContextMenuChoice(tag);
  return kResultOk;
}

} // namespace plugkit
