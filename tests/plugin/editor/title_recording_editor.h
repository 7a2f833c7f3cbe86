#pragma once
// The product's real Windows editor with one addition: it writes down every
// title the preset strip draws (the text drawn into the strip's title box),
// so that tests can check what the strip showed while host threads changed
// presets. Installed as the plug-in's graphics factory; the layout is the
// product's own. The list belongs to the test and is written on the editor's
// thread only.

#include <string>
#include <vector>

#include "core/ModuleResources.h"
#include "graphics/platform/ICanvasWin.h"
#include "plugin/Tessivo.h"

namespace tessivo_editor_test {

class TitleRecordingEditor : public plugkit::canvas::ICanvasWin {
public:
  // The strip's title box in an editor of 250 by 160.
  static plugkit::canvas::IBox TitleBox() { return plugkit::canvas::IBox(25, 0, 200, 29); }

  TitleRecordingEditor(Tessivo& plugin, std::vector<std::string>& titles)
      : ICanvasWin(&plugin, 250, 160, 60, 1.0f), mTitles(titles) {
    // The fonts and the logo are found where the product's own editor finds them.
    StoreModuleInstance(plugkit::StoredModuleHandle());
  }

  // Makes every editor plugin opens from now on one of these.
  static void Install(Tessivo& plugin, std::vector<std::string>& titles) {
    plugin.SetGraphicsFactory([&plugin, &titles]() -> plugkit::canvas::ICanvas* {
      return new TitleRecordingEditor(plugin, titles);
    });
  }

  void RenderTextRun(const plugkit::canvas::ITextStyle& style, const char* text, const plugkit::canvas::IBox& box,
                     const plugkit::canvas::IComposite* blend) override {
    if (box == TitleBox()) mTitles.emplace_back(text ? text : "");
    ICanvasWin::RenderTextRun(style, text, box, blend);
  }

private:
  std::vector<std::string>& mTitles;
};

} // namespace tessivo_editor_test
