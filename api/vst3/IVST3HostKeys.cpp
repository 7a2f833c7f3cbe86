#include "api/vst3/IVST3HostKeys.h"

#include <windows.h>

#include "api/vst3/IVST3Text.h"

namespace plugkit {

namespace {

// Windows virtual keys of host key codes 1 to 56, in order.
constexpr uint8_t kNamedKeys[] = {
    0x08, 0x09, 0x0C, 0x0D,                         // 1-4: back space, tab, clear, return
    0x13, 0x1B, 0x20,                               // 5-7: pause, escape, space
    0x22, 0x23, 0x24,                               // 8-10: next, end, home
    0x25, 0x26, 0x27, 0x28,                         // 11-14: left, up, right, down
    0x21, 0x22,                                     // 15-16: page up, page down
    0x29, 0x2A, 0x0D, 0x2C,                         // 17-20: select, print, enter, snapshot
    0x2D, 0x2E, 0x2F,                               // 21-23: insert, delete, help
    0x60, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, // 24-33: keypad 0-9
    0x68, 0x69,
    0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F,             // 34-39: multiply, add, separator, subtract, decimal, divide
    0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, // 40-51: F1-F12
    0x78, 0x79, 0x7A, 0x7B,
    0x90, 0x91,                                     // 52-53: num lock, scroll lock
    0x10, 0x11, 0x12,                               // 54-56: shift, control, alt
};
constexpr int32_t kNamedKeyCount = static_cast<int32_t>(sizeof kNamedKeys);
static_assert(kNamedKeyCount == 56, "one entry per named host key");

// Host codes 128 and up stand for the characters from '0' on.
constexpr int32_t kAsciiKeyOffset = kVST3FirstAsciiKey - '0';

int32_t VirtualKeyOfCharacter(Steinberg::char16 character) {
  if (character == 0) return 0;
  // The low byte is the key; the high byte says which shift keys type the
  // character, which the stroke carries in its own fields. -1: no key.
  const SHORT found = VkKeyScanExW(static_cast<WCHAR>(character), GetKeyboardLayout(0));
  return found == -1 ? 0 : (found & 0xFF);
}

} // namespace

canvas::IKeyStroke TranslateHostKey(Steinberg::char16 character, Steinberg::int16 keyCode,
                                    Steinberg::int16 modifiers) {
  canvas::IKeyStroke key;
  const bool asciiKey = keyCode >= kVST3FirstAsciiKey && keyCode <= kVST3LastAsciiKey;
  if (character == 0) {
    if (asciiKey)
      character = static_cast<Steinberg::char16>(keyCode - kAsciiKeyOffset);
    else if (keyCode == kVST3KeySpace)
      character = ' ';
  }

  // A surrogate alone is no character; everything else is its UTF-8 form.
  if (character != 0 && (character < 0xD800 || character > 0xDFFF)) {
    const Steinberg::char16 text[2] = {character, 0};
    char utf8[canvas::IKeyStroke::kTextCapacity] = {};
    VST3TextToUtf8(text, 2, utf8, static_cast<int32_t>(sizeof utf8));
    key.SetText(utf8);
  }

  if (keyCode >= 1 && keyCode <= kNamedKeyCount)
    key.VirtualKey = kNamedKeys[keyCode - 1];
  else if (keyCode == 0 || keyCode == kVST3KeyEquals)
    key.VirtualKey = VirtualKeyOfCharacter(character);
  else if (asciiKey)
    key.VirtualKey = keyCode - kAsciiKeyOffset;
  // Negative codes, 58-127 and codes past the character range: unknown (0).

  key.Shift = (modifiers & kVST3ShiftKey) != 0;
  key.Alt = (modifiers & kVST3AltKey) != 0;
  key.Ctrl = (modifiers & (kVST3CommandKey | kVST3ControlKey)) != 0;
  return key;
}

} // namespace plugkit
