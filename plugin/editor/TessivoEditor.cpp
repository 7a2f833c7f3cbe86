// The product's two editor function objects: the graphics factory, which
// makes the editor's canvas when the host opens the editor, and the layout,
// which fills a freshly opened canvas with the product's controls. Both
// builds use the same layout.

#include "plugin/Tessivo.h"

#include <new>

#include "core/ModuleResources.h"
#include "graphics/ICanvas.h"
#include "graphics/IControl.h"
#include "graphics/controls/ICornerResizerControl.h"
#include "graphics/controls/IPanelControl.h"
#include "graphics/platform/ICanvasWin.h"
#include "plugin/editor/TAboutBox.h"
#include "plugin/editor/TEditorStyles.h"
#include "plugin/editor/TKnobControl.h"
#include "plugin/editor/TPresetControl.h"

using namespace plugkit::canvas;
using namespace tessivo_editor;

namespace {

constexpr IArgb kBackgroundColour{255, 47, 54, 58};
constexpr float kResizerSize = 20.0f;
constexpr float kStripHeight = 30.0f;
constexpr float kAboutFadeStep = 0.05f;
constexpr int32_t kEditorFramesPerSecond = 60;

struct IKnobPlace {
  IBox bounds;
  int32_t param;
  const char* label;
  float arcOrigin;
};

constexpr IKnobPlace kKnobs[] = {
    {{10, 45, 90, 139}, Coarse, "Coarse", 0.0f},
    {{85, 45, 165, 139}, Fine, "Fine", 0.0f},
    {{160, 45, 240, 139}, Mix, "Mix", -135.0f},
};

} // namespace

void Tessivo::InstallEditorFunctions() {
  SetGraphicsFactory([this]() { return CreateEditorGraphics(); });
  SetEditorLayout([this](ICanvas* g) { EditorLayoutCall(g); });
}

ICanvas* Tessivo::CreateEditorGraphics() {
  const plugkit::IPluginDescriptor d = Descriptor();
  ICanvas* g = new (std::nothrow) ICanvasWin(this, d.editorWidth, d.editorHeight, kEditorFramesPerSecond, 1.0f);
  // The window class and the embedded fonts and logo are the plug-in
  // module's, not the host's.
  if (g) g->StoreModuleInstance(plugkit::StoredModuleHandle());
  return g;
}

void Tessivo::EditorLayoutCall(ICanvas* g) {
  if (g) PopulateEditor(*this, *g);
}

void Tessivo::PopulateEditor(Tessivo& plugin, ICanvas& g) {
  const float w = static_cast<float>(g.Width());
  const float h = static_cast<float>(g.Height());

  g.SetMouseOverTracking(true);
  // The stock in-window entry and menu, unless the canvas already has its own.
  g.InstallTextEntryControl();
  if (!g.PopupMenuControl()) g.InstallPopupMenuControl();
  g.AttachCornerResizer(new ICornerResizerControl(IBox(0, 0, w, h), kResizerSize), EResizeMode::Scale, false);
  g.AttachBackground(new IPanelControl(IBox(0, 0, w, h), IFill(kBackgroundColour)));

  g.InstallFont("Roboto-Regular", "Roboto-Regular.ttf");
  g.InstallFont("forkawesome", "forkawesome-webfont.ttf");
  const IVectorImage logo = g.FetchVectorImage("corvathlogo.svg", "px", 72.0f);

  for (const IKnobPlace& k : kKnobs)
    g.AdoptControl(new TKnobControl(k.bounds, k.param, k.label, kKnobLabelText, kKnobValueText, k.arcOrigin));

  // A control the canvas refuses is deleted at once: only adopted ones count.
  auto* strip = static_cast<TPresetControl*>(
      g.AdoptControl(new TPresetControl(IBox(0, 0, w, kStripHeight), kPresetTitleText, kPresetIconText)));
  auto* about = static_cast<TAboutBox*>(g.AdoptControl(new TAboutBox(IBox(0, 0, w, h), logo, kAboutFadeStep)));
  plugin.SetEditorControls(strip, about);

  // The strip opens on the current preset's title, as a preset change would
  // leave it.
  plugin.ShowCurrentPresetTitle();
}
