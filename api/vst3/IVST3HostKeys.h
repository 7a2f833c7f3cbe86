#pragma once
// Keys a VST 3 host forwards to the editor view (onKeyDown / onKeyUp), turned
// into the IKeyStroke the canvas routes: the host's virtual-key code becomes
// the Windows virtual-key code, the character becomes UTF-8 text, and the
// host's modifier bits become Shift, Ctrl and Alt.
//
// Host key codes (the VST 3 virtual-key numbering): 1-56 are named keys
// (back space, tab, cursor keys, keypad, F1-F12, ...), 0 and 57 ("=") carry
// their meaning in the character, and 128-255 stand for the characters from
// "0" upwards (code - 128 + '0'). Codes 58-127, codes above 255 and negative
// codes are keys this editor does not know: virtual key 0.
//
// Modifiers: bit 0 Shift, bit 1 Alt; Ctrl is bit 2 (what hosts on Windows
// send for the Ctrl key) or bit 3 (the SDK's control-key bit, which hosts
// that share their code with other systems send), either one.
//
// Pure function of its arguments plus the thread's keyboard layout (for
// characters without a key code); user-interface thread.

#include "graphics/records/IKeyStroke.h"
#include "pluginterfaces/base/ftypes.h"

namespace plugkit {

// The host's modifier bits.
enum EVST3KeyModifier : Steinberg::int16 {
  kVST3ShiftKey = 1 << 0,
  kVST3AltKey = 1 << 1,
  kVST3CommandKey = 1 << 2,
  kVST3ControlKey = 1 << 3,
};

// Host key codes with a meaning of their own here.
constexpr Steinberg::int16 kVST3KeySpace = 7;
constexpr Steinberg::int16 kVST3KeyEquals = 57;
constexpr Steinberg::int16 kVST3FirstAsciiKey = 128;
constexpr Steinberg::int16 kVST3LastAsciiKey = 255;

canvas::IKeyStroke TranslateHostKey(Steinberg::char16 character, Steinberg::int16 keyCode,
                                    Steinberg::int16 modifiers);

} // namespace plugkit
