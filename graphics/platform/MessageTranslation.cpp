#include "graphics/platform/MessageTranslation.h"

#include <cmath>

namespace plugkit {
namespace canvas {

namespace {
int16_t LowWord(uintptr_t v) { return static_cast<int16_t>(v & 0xFFFF); }
int16_t HighWord(uintptr_t v) { return static_cast<int16_t>((v >> 16) & 0xFFFF); }
// A scale that is not a positive number would turn positions into NaN or
// infinity; such positions are treated as unscaled.
float SafeScale(float scale) { return scale > 0.0f && std::isfinite(scale) ? scale : 1.0f; }
} // namespace

IPointerEvent PointerEventFromMessage(intptr_t lParam, uintptr_t wParam, float scale, bool altDown) {
  const float s = SafeScale(scale);
  IPointerEvent e;
  e.X = static_cast<float>(LowWord(static_cast<uintptr_t>(lParam))) / s;
  e.Y = static_cast<float>(HighWord(static_cast<uintptr_t>(lParam))) / s;
  e.Mods.Left = (wParam & 0x0001) != 0;
  e.Mods.Right = (wParam & 0x0002) != 0;
  e.Mods.Shift = (wParam & 0x0004) != 0;
  e.Mods.Ctrl = (wParam & 0x0008) != 0;
  e.Mods.Alt = altDown;
  return e;
}

float WheelNotches(uintptr_t wParam) { return static_cast<float>(HighWord(wParam) / 120); }

bool IsPenSignature(uintptr_t extraInfo) { return (extraInfo & 0xFFFFFF00u) == 0xFF515700u; }

int32_t SystemCursorId(int32_t shape) {
  static const int32_t kIds[] = {32512, 32513, 32514, 32515, 32516, 32642, 32643,
                                 32644, 32645, 32646, 32648, 32649, 32650, 32651};
  if (shape < 0 || shape >= static_cast<int32_t>(sizeof kIds / sizeof kIds[0])) return 32512;
  return kIds[shape];
}

int32_t DisplayScaleForDpi(uint32_t dpi) {
  if (dpi == 0 || dpi == 96) return 1;
  const int32_t k = static_cast<int32_t>(std::lround(dpi / 96.0));
  return k < 1 ? 1 : k;
}

IPixelRect PixelRectForBox(const IBox& box, float scale) {
  const float s = SafeScale(scale);
  IPixelRect r;
  r.Left = static_cast<int32_t>(std::floor(box.Left * s));
  r.Top = static_cast<int32_t>(std::floor(box.Top * s));
  r.Right = static_cast<int32_t>(std::ceil(box.Right * s));
  r.Bottom = static_cast<int32_t>(std::ceil(box.Bottom * s));
  return r;
}

IBox LogicalBoxForRect(const IPixelRect& rect, float scale) {
  const float s = SafeScale(scale);
  return IBox(std::floor(rect.Left / s), std::floor(rect.Top / s), std::ceil(rect.Right / s),
              std::ceil(rect.Bottom / s));
}

IPixelRect DirtyRectForBounds(const IBox& bounds, float scale) {
  const IBox grown(bounds.Left - 0.75f, bounds.Top - 0.75f, bounds.Right + 0.75f, bounds.Bottom + 0.75f);
  return PixelRectForBox(grown, scale);
}

IKeyStroke KeyStrokeFromKey(int32_t virtualKey, int32_t produced, char character, bool shift, bool ctrl, bool alt) {
  IKeyStroke key;
  key.VirtualKey = virtualKey;
  const char text[2] = {produced == 1 ? character : '\0', '\0'};
  key.SetText(text);
  key.Shift = shift;
  key.Ctrl = ctrl;
  key.Alt = alt;
  return key;
}

bool TextFieldAcceptsCharacter(int32_t kind, uint32_t c) {
  if (c == 8) return true;
  const bool digit = c >= '0' && c <= '9';
  switch (kind) {
    case 1:
    case 2:
    case 3:
      return digit || c == '+' || c == '-';
    case 4:
      return digit || c == '+' || c == '-' || c == '.';
    case 5:
      return digit || (c >= 'A' && c <= 'G') || (c >= 'a' && c <= 'g') || c == '#';
    default:
      return true;
  }
}

} // namespace canvas
} // namespace plugkit
