#pragma once
// Picks an item of the preset strip's action menu, as the menu's answer does
// when the user picks it: the strip's timer hands the action to the editor's
// display tick 40 ms later, which runs it (a Save or Load dialog among them).

#include <cstdint>

#include "graphics/records/IPopupMenu.h"
#include "plugin/editor/TPresetControl.h"

namespace tessivo_editor_test {

inline void ChooseStripAction(TPresetControl& strip, int32_t action) {
  plugkit::canvas::IPopupMenu menu;
  for (int32_t i = 0; i <= TPresetControl::kAbout; ++i) menu.AppendItem("item");
  menu.ReportChoice(action);
  strip.OnMenuChoice(&menu, TPresetControl::kActionMenuIndex);
}

} // namespace tessivo_editor_test
