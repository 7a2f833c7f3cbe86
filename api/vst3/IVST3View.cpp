#include "api/vst3/IVST3View.h"

#include <cmath>
#include <cstring>

#include "api/vst3/IVST3Binding.h"
#include "api/vst3/IVST3HostKeys.h"
#include "graphics/ICanvas.h"
#include "pluginterfaces/base/smartpointer.h"

using namespace Steinberg;

namespace plugkit {

int32_t IVST3View::ScreenScaleOf(float factor) {
  if (!std::isfinite(factor) || factor <= 0.0f) return 0;
  const float rounded = std::round(factor);
  if (rounded < 1.0f) return 1;
  if (rounded > static_cast<float>(canvas::ICanvas::kMaxScreenScale)) return canvas::ICanvas::kMaxScreenScale;
  return static_cast<int32_t>(rounded);
}

IVST3View::IVST3View(IVST3Binding& plugin) : mPlugin(&plugin) { mPlugin->addRef(); }

IVST3View::~IVST3View() {
  // A host may release a view it never removed; its window must not outlive it.
  if (mEditorOpen) CloseEditor();
  mPlugin->OnViewGone(*this);
  mPlugin->release();
}

tresult PLUGIN_API IVST3View::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (FUnknownPrivate::iidEqual(iid, IPlugViewContentScaleSupport::iid)) {
    addRef();
    *obj = static_cast<IPlugViewContentScaleSupport*>(this);
    return kResultOk;
  }
  return CPluginView::queryInterface(iid, obj);
}

tresult PLUGIN_API IVST3View::isPlatformTypeSupported(FIDString type) {
  return mPlugin->HasEditor() && type && std::strcmp(type, kPlatformTypeHWND) == 0 ? kResultOk : kResultFalse;
}

tresult PLUGIN_API IVST3View::attached(void* parent, FIDString type) {
  if (!mPlugin->HasEditor()) return kResultFalse;
  // Saying yes without opening anything would leave the host showing an
  // empty frame it believes holds the editor.
  if (!type || std::strcmp(type, kPlatformTypeHWND) != 0) return kResultFalse;
  if (!parent) return kInvalidArgument;
  // One editor, one window: a second attach (of this view or another one)
  // while it is open would open the same graphics twice.
  if (mEditorOpen || mPlugin->EditorGraphics()) return kResultFalse;

  // The host may remove and release this view from inside a size request.
  IPtr<IVST3View> keep(this);
  // This view shows the editor from the start: the window asks for its size
  // while it opens, and the request belongs to this view's frame.
  mEditorOpen = true;
  mPlugin->OnViewShowsEditor(*this);
  if (!mPlugin->AttachEditor(parent)) {
    mEditorOpen = false;
    mPlugin->OnViewHidesEditor(*this);
    // A graphics object that was built but could not open its window goes
    // at once; nothing of a failed attach stays behind.
    if (mPlugin->EditorGraphics()) mPlugin->DetachEditor();
    return kResultFalse;
  }
  CPluginView::attached(parent, type);
  // A content scale the host gave before the window existed.
  canvas::ICanvas* graphics = mPlugin->EditorGraphics();
  if (mHostScale > 0 && graphics) {
    // Its size request may see the host close the editor.
    canvas::ICanvas::ICallScope call(graphics);
    graphics->SetHostScreenScale(mHostScale);
    if (graphics->ScreenScale() != mHostScale) graphics->ApplyScreenScale(mHostScale);
  }
  return kResultOk;
}

void IVST3View::CloseEditor() {
  // Cleared first: closing may make the host call removed again.
  mEditorOpen = false;
  mPlugin->OnViewHidesEditor(*this);
  mPlugin->DetachEditor();
}

tresult PLUGIN_API IVST3View::removed() {
  if (mEditorOpen) CloseEditor();
  return CPluginView::removed();
}

tresult PLUGIN_API IVST3View::onSize(ViewRect* newSize) {
  if (!newSize) return kInvalidArgument;
  CPluginView::onSize(newSize);
  if (mEditorOpen) mPlugin->TakeHostEditorSize(newSize->getWidth(), newSize->getHeight());
  return kResultTrue;
}

tresult PLUGIN_API IVST3View::getSize(ViewRect* size) {
  if (!size) return kInvalidArgument;
  if (!mPlugin->HasEditor()) return kResultFalse;
  *size = ViewRect(0, 0, mPlugin->EditorWidth(), mPlugin->EditorHeight());
  return kResultOk;
}

// Keys reach the editor only through the view that shows it.
tresult PLUGIN_API IVST3View::onKeyDown(char16 key, int16 keyCode, int16 modifiers) {
  if (!mEditorOpen) return kResultFalse;
  return mPlugin->OnHostKeyDown(TranslateHostKey(key, keyCode, modifiers)) ? kResultOk : kResultFalse;
}

tresult PLUGIN_API IVST3View::onKeyUp(char16 key, int16 keyCode, int16 modifiers) {
  if (!mEditorOpen) return kResultFalse;
  return mPlugin->OnHostKeyUp(TranslateHostKey(key, keyCode, modifiers)) ? kResultOk : kResultFalse;
}

tresult PLUGIN_API IVST3View::setContentScaleFactor(ScaleFactor factor) {
  const int32_t scale = ScreenScaleOf(factor);
  if (scale == 0) return kInvalidArgument;
  mHostScale = scale;
  canvas::ICanvas* graphics = mEditorOpen ? mPlugin->EditorGraphics() : nullptr;
  if (graphics) {
    // Its size request may see the host close the editor.
    canvas::ICanvas::ICallScope call(graphics);
    // Held from now on: the window would otherwise go back to its display's
    // scale on its next tick.
    graphics->SetHostScreenScale(scale);
    graphics->ApplyScreenScale(scale);
  }
  return kResultOk;
}

} // namespace plugkit
