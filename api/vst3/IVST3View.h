#pragma once
// IVST3View: the plug-in's editor as a VST 3 host shows it. The edit
// controller makes one per createView("editor"); the host attaches it to a
// parent window, asks its size, passes content scale and keys, and removes
// and releases it. The editor itself is the plug-in's (ICanvasEditorDelegate
// with its ICanvas, opened as a child of the host's window); the view only
// adapts the host's calls to it.
//
// Lifetime and ownership:
// - The host owns the view (one reference at creation, FObject counting);
//   the view holds a counted reference to its plug-in, so the plug-in
//   outlives every view it made.
// - The view tells its plug-in when it is made, opens or closes the editor
//   and goes (IVST3ControllerBase::EditorView), so resize requests and host
//   context menus reach the frame of the view that shows the editor, and
//   never a freed view.
// - At most one view has the editor open at a time; only that view's removed
//   (or its destructor, for a host that releases an attached view without
//   removing it) closes the editor.
// - A host may remove and release the view from inside a request the editor
//   makes of it (an edit, a resize); attached holds a reference to itself
//   while the editor opens, and the editor's own calls hold the editor and
//   the plug-in (see ICanvas::ICallScope).
//
// Calls (the host's user-interface thread):
// - isPlatformTypeSupported: kResultOk for "HWND" when the plug-in has an
//   editor, else kResultFalse.
// - attached(parent, "HWND"): builds the editor's graphics (at the size and
//   draw scale remembered at the last close) and opens its window inside
//   parent. kResultFalse, with nothing left behind (the graphics is deleted),
//   when the plug-in has no editor, no graphics could be built, the window did
//   not open, or the editor is already open; kResultFalse too for other
//   window types and kInvalidArgument for a null parent. The thread it opens
//   the editor on becomes the plug-in's user-interface thread (see
//   IApiBase), as createView's thread did.
// - removed: closes the editor this view opened, remembering its size and
//   draw scale; always kResultOk.
// - getSize: {0, 0, editor width, editor height} (kResultOk); kResultFalse
//   without an editor, kInvalidArgument for a null rectangle.
// - onKeyDown / onKeyUp: the key (TranslateHostKey) goes to the editor's key
//   routing; kResultOk when a control or the key handler took it,
//   kResultFalse when not, or when the editor is not open in this view.
// - setContentScaleFactor: the screen scale, rounded (halves away from 0)
//   and clamped to 1..ICanvas::kMaxScreenScale, so a factor below 0.5 gives 1,
//   never 0. The editor keeps the host's scale (ICanvas::SetHostScreenScale)
//   rather than its display's; a factor given before the editor opens is
//   applied when it opens.
//   kInvalidArgument (nothing changes) for a factor that is not a positive
//   number.
// - onSize: the host's size for the view. While this view shows the editor
//   the editor takes it (IVST3Binding::TakeHostEditorSize): its draw scale
//   follows the size the host gives. kResultTrue; kInvalidArgument for a
//   null rectangle.
// - Sizes: the editor never moves or resizes a window of the host. It asks
//   the host through this view's frame; when the host refuses, or there is
//   no frame, it keeps the size the host gave last (or the size it had),
//   which getSize goes on answering, and fits itself inside it: its draw
//   scale and, where the content scale would leave it too large even at its
//   smallest draw scale, a screen scale capped below the content scale.
// - onFocus, onWheel, setFrame, canResize, checkSizeConstraint keep the
//   SDK's CPluginView behaviour; the frame is borrowed, not counted.

#include <cstdint>

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "public.sdk/source/common/pluginview.h"

namespace plugkit {

class IVST3Binding;

class IVST3View : public Steinberg::CPluginView, public Steinberg::IPlugViewContentScaleSupport {
public:
  // The screen scale a host's content-scale factor gives: the factor rounded,
  // halves away from 0, clamped to 1..ICanvas::kMaxScreenScale; 0 for a
  // factor that is not a positive number.
  static int32_t ScreenScaleOf(float factor);

  // Adds a reference to plugin, released by the destructor.
  explicit IVST3View(IVST3Binding& plugin);
  ~IVST3View() override;

  OBJ_METHODS(IVST3View, CPluginView)
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
  REFCOUNT_METHODS(CPluginView)

  // --- IPlugView ---------------------------------------------------------------
  Steinberg::tresult PLUGIN_API isPlatformTypeSupported(Steinberg::FIDString type) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API attached(void* parent, Steinberg::FIDString type) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API removed() SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API onSize(Steinberg::ViewRect* newSize) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getSize(Steinberg::ViewRect* size) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API onKeyDown(Steinberg::char16 key, Steinberg::int16 keyCode,
                                          Steinberg::int16 modifiers) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API onKeyUp(Steinberg::char16 key, Steinberg::int16 keyCode,
                                        Steinberg::int16 modifiers) SMTG_OVERRIDE;

  // --- IPlugViewContentScaleSupport --------------------------------------------
  Steinberg::tresult PLUGIN_API setContentScaleFactor(ScaleFactor factor) SMTG_OVERRIDE;

  // The frame the host gave (null: none), for resize requests.
  Steinberg::IPlugFrame* Frame() const { return plugFrame; }
  // Whether the editor is open in this view.
  bool EditorOpen() const { return mEditorOpen; }

private:
  void CloseEditor();

  IVST3Binding* mPlugin;
  bool mEditorOpen = false;
  // The host's screen scale, kept until the editor opens (0: none given).
  int32_t mHostScale = 0;
};

} // namespace plugkit
