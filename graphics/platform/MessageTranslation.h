#pragma once
// Pure translations from the numbers of Windows messages to the canvas'
// records and back: pointer positions and buttons, wheel notches, the pen
// signature, cursor ids, display scales, and the rounding between logical
// boxes and device-pixel rectangles. They call no system function, so tests
// feed them synthetic message parameters; the window procedure reads the
// system state (key states, window rectangles) and passes it in.

#include <cstdint>

#include "graphics/records/IBox.h"
#include "graphics/records/IKeyStroke.h"
#include "graphics/records/IPointerEvent.h"

namespace plugkit {
namespace canvas {

// A rectangle of device pixels (right and bottom outside).
struct IPixelRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
};

// The mouse message's position (signed low and high words of lParam, client
// or screen pixels) divided by scale (screen scale x draw scale), with the
// buttons and modifiers of wParam (MK_LBUTTON, MK_RBUTTON, MK_SHIFT,
// MK_CONTROL) and the Alt state the caller read. No deltas, pointer id 0.
IPointerEvent PointerEventFromMessage(intptr_t lParam, uintptr_t wParam, float scale, bool altDown);

// Whole wheel notches of a WM_MOUSEWHEEL wParam: the signed high word / 120,
// remainder dropped (60 gives 0, 240 gives 2, -120 gives -1).
float WheelNotches(uintptr_t wParam);

// Whether GetMessageExtraInfo's value marks a mouse message as made up from
// pen or touch input.
bool IsPenSignature(uintptr_t extraInfo);

// The system cursor id (for LoadCursor) of a pointer shape; the arrow for
// any value not in EPointerShape.
int32_t SystemCursorId(int32_t shape);

// The display scale of a window of dpi dots per inch: 1 for 0 (unknown) or
// 96, else round(dpi / 96), never below 1.
int32_t DisplayScaleForDpi(uint32_t dpi);

// The device pixels a logical box touches at scale (floor of the top-left,
// ceiling of the bottom-right).
IPixelRect PixelRectForBox(const IBox& box, float scale);
// The logical box that covers a device-pixel rectangle at scale.
IBox LogicalBoxForRect(const IPixelRect& rect, float scale);
// A dirty control's bounds as the tick invalidates them: grown by 0.75 on
// each side, then PixelRectForBox.
IPixelRect DirtyRectForBounds(const IBox& bounds, float scale);

// The key record for a virtual key and what ToAscii produced (produced 0:
// no text; 1: the one byte in character).
IKeyStroke KeyStrokeFromKey(int32_t virtualKey, int32_t produced, char character, bool shift, bool ctrl, bool alt);

// Whether a character typed into the native text field is allowed for a
// parameter of kind (the IParamKind value): all for kinds 0 and below or
// above 5; digits, '+' and '-' for 1 to 3; with '.' for 4; hex digits A-G,
// digits and '#' for 5. Backspace (8) is always allowed.
bool TextFieldAcceptsCharacter(int32_t kind, uint32_t character);

} // namespace canvas
} // namespace plugkit
