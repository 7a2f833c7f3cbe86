// IVST3Binding's editor side: the view the host asks for, size requests to the
// host, and parameter context menus shown by the host.

#include <algorithm>
#include <cstring>

#include "api/vst3/IVST3Binding.h"
#include "api/vst3/IVST3MenuTarget.h"
#include "api/vst3/IVST3Text.h"
#include "api/vst3/IVST3View.h"
#include "graphics/ICanvas.h"
#include "graphics/IControl.h"
#include "graphics/IPopupMenu.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace plugkit {

IPlugView* PLUGIN_API IVST3Binding::createView(FIDString name) {
  if (!name || std::strcmp(name, ViewType::kEditor) != 0 || !HasEditor()) return nullptr;
  // The host owns the view; the plug-in only remembers the latest one, and
  // the view forgets itself here when it goes.
  auto* view = new IVST3View(*this);
  EditorView = view;
  return view;
}

bool IVST3Binding::ResizeEditorInHost(int32_t width, int32_t height) {
  if (!HasEditor() || width < 1 || height < 1) return false;
  if (width == EditorWidth() && height == EditorHeight()) return true;
  bool accepted = false;
  IVST3View* view = EditorView;
  if (view && view->Frame()) {
    ViewRect rect(0, 0, width, height);
    accepted = view->Frame()->resizeView(view, &rect) == kResultTrue;
  }
  SetEditorSize(width, height);
  return accepted;
}

bool IVST3Binding::OpenHostContextMenu(canvas::IControl& control, canvas::IPopupMenu& menu, float x, float y) {
  canvas::ICanvas* graphics = EditorGraphics();
  IVST3View* view = EditorView;
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
