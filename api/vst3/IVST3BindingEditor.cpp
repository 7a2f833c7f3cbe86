// IVST3Binding's editor side: the view the host asks for, size requests to the
// host, and parameter context menus shown by the host.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "api/vst3/IVST3Binding.h"
#include "api/vst3/IVST3MenuTarget.h"
#include "api/vst3/IVST3Text.h"
#include "api/vst3/IVST3View.h"
#include "graphics/ICanvas.h"
#include "graphics/IControl.h"
#include "graphics/records/IPopupMenu.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace plugkit {

IPlugView* PLUGIN_API IVST3Binding::createView(FIDString name) {
  if (!name || std::strcmp(name, ViewType::kEditor) != 0 || !HasEditor()) return nullptr;
  // Hosts make views where they show them: a plug-in built on a loader
  // thread gets its user-interface thread here.
  AdoptUserInterfaceThread();
  // The host owns the view; it reports to the plug-in from now until it goes.
  auto* view = new IVST3View(*this);
  OnViewCreated(*view);
  return view;
}

// Whatever the host answers, true: a VST 3 host owns its frame and its
// windows, and growing them from here would fight the host's own layout.
bool IVST3Binding::ResizeEditorInHost(int32_t width, int32_t height) {
  if (!HasEditor() || width < 1 || height < 1 || mFittingEditor) return true;
  if (width == EditorWidth() && height == EditorHeight()) return true;
  IVST3View* view = EditorView();
  if (view && view->EditorOpen() && view->Frame()) {
    const uint32_t sizesBefore = mHostSizesTaken;
    ViewRect rect(0, 0, width, height);
    if (view->Frame()->resizeView(view, &rect) == kResultTrue) {
      // A host that sized the view meanwhile (onSize) has the last word.
      if (mHostSizesTaken == sizesBefore) SetEditorSize(width, height);
      return true;
    }
  }
  // Refused, or nobody to ask: the editor stays in the window it has.
  FitEditorToHostSize();
  return true;
}

void IVST3Binding::TakeHostEditorSize(int32_t width, int32_t height) {
  if (!HasEditor() || width < 1 || height < 1) return;
  ++mHostSizesTaken;
  SetEditorSize(width, height);
  FitEditorToHostSize();
}

void IVST3Binding::FitEditorToHostSize() {
  canvas::ICanvas* graphics = EditorGraphics();
  if (!graphics || mFittingEditor) return;
  const int32_t width = EditorWidth(), height = EditorHeight();
  const int32_t logicalWidth = graphics->Width(), logicalHeight = graphics->Height();
  // The editor's window at screen scale k and draw scale s, counted as the
  // window counts it: inside the host's size, or filling it.
  const auto inside = [&](int32_t k, float s) {
    return canvas::ICanvas::DevicePixels(k, logicalWidth, s) <= width &&
           canvas::ICanvas::DevicePixels(k, logicalHeight, s) <= height;
  };
  const auto filling = [&](int32_t k, float s) {
    return canvas::ICanvas::DevicePixels(k, logicalWidth, s) == width &&
           canvas::ICanvas::DevicePixels(k, logicalHeight, s) == height;
  };
  // The screen scale asked for, or the largest one below it at which the
  // editor fits at its smallest draw scale: a small window at a high content
  // scale would otherwise leave the editor larger than the window.
  const int32_t asked = graphics->AskedScreenScale();
  int32_t k = asked;
  while (k > 1 && !inside(k, graphics->MinScale())) --k;
  const int32_t cap = k < asked ? k : 0;
  if (cap == graphics->ScreenScaleCap() && filling(k, graphics->DrawScale())) return;

  const double byWidth = static_cast<double>(width) / (static_cast<double>(k) * logicalWidth);
  const double byHeight = static_cast<double>(height) / (static_cast<double>(k) * logicalHeight);
  float scale = static_cast<float>(std::min(byWidth, byHeight));
  // A scale a hair under the ratio would leave the window a pixel short.
  if (!filling(k, scale)) {
    const float up = std::nextafter(scale, std::numeric_limits<float>::infinity());
    if (inside(k, up)) scale = up;
  }
  // The editor's own requests for the fitted size must not go to the host.
  mFittingEditor = true;
  graphics->CapScreenScale(cap);
  graphics->ApplySize(logicalWidth, logicalHeight, scale);
  mFittingEditor = false;
}

bool IVST3Binding::OpenHostContextMenu(canvas::IControl& control, canvas::IPopupMenu& menu, float x, float y) {
  canvas::ICanvas* graphics = EditorGraphics();
  IVST3View* view = EditorView();
  IComponentHandler* handler = getComponentHandler();
  if (!graphics || !view || !view->EditorOpen() || !handler) return false;

  const int32_t param = control.ParamIndexAt(std::max(control.ValueIndexAt(x, y), 0));
  if (param < 0 && menu.ItemCount() == 0) return false; // the host would offer nothing for it

  IComponentHandler3* handler3 = nullptr;
  if (handler->queryInterface(IComponentHandler3::iid, reinterpret_cast<void**>(&handler3)) != kResultOk ||
      !handler3)
    return false;
  const ParamID id = static_cast<ParamID>(param);
  IContextMenu* hostMenu = handler3->createContextMenu(view, param >= 0 ? &id : nullptr);
  handler3->release();
  if (!hostMenu) return false;

  auto* target = new IVST3MenuTarget(*this, graphics, &control, menu.ItemCount());
  for (int32_t i = 0; i < menu.ItemCount(); ++i) {
    const canvas::IPopupMenuItem* item = menu.ItemAt(i);
    IContextMenuItem entry{};
    Utf8ToVST3Text(item ? item->Caption.Get() : "", entry.name, 128);
    entry.tag = i;
    if (item && item->HasFlag(canvas::EPopupItemFlag::Divider))
      entry.flags = IContextMenuItem::kIsSeparator;
    else if (!item || !item->IsChoosable())
      entry.flags = IContextMenuItem::kIsDisabled;
    if (item && item->HasFlag(canvas::EPopupItemFlag::Ticked)) entry.flags |= IContextMenuItem::kIsChecked;
    hostMenu->addItem(entry, target);
  }
  // The host places the menu in the view's pixels.
  const float pixels = static_cast<float>(graphics->ScreenScale()) * graphics->DrawScale();
  const tresult shown = hostMenu->popup(static_cast<UCoord>(x * pixels), static_cast<UCoord>(y * pixels));
  hostMenu->release();
  target->release();
  return shown == kResultOk || shown == kResultTrue;
}

} // namespace plugkit
