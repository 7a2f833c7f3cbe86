#pragma once
// The editor of a view the module shows, as this program sees it: the module
// is built from these same sources, so the object behind its window is an
// ICanvasWin this program knows, and a test may look at its controls and
// their states (on the thread that shows the editor, as the module does).

#include <windows.h>

#include "graphics/platform/ICanvasWin.h"

namespace vst3test {

// The module's editor in the view's window (null for another window).
inline plugkit::canvas::ICanvasWin* ModuleEditor(HWND window) {
  return reinterpret_cast<plugkit::canvas::ICanvasWin*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

} // namespace vst3test
