#pragma once
// The editor's window handles travel as void* through this layer's headers,
// so that their users need no <windows.h>; the layer's sources, which call
// Windows anyway, turn them back with Hwnd. A cast, nothing more: null stays
// null, and a handle is not checked for a live window.

#include <windows.h>

namespace plugkit {
namespace canvas {

inline HWND Hwnd(void* handle) { return static_cast<HWND>(handle); }

} // namespace canvas
} // namespace plugkit
