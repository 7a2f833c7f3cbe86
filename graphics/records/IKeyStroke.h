#pragma once
// IKeyStroke: one key press or release as the platform layer hands it to the
// canvas on the UI thread. Text is the key's UTF-8 text, always
// zero-terminated; SetText keeps it so, whatever it is given.

#include <cstdint>

namespace plugkit {
namespace canvas {

struct IKeyStroke {
  static constexpr int32_t kTextCapacity = 5;

  int32_t VirtualKey = 0;           // the Windows virtual-key code
  char Text[kTextCapacity] = {};    // UTF-8, zero-terminated; "" for keys without text
  bool Shift = false;
  bool Ctrl = false;
  bool Alt = false;

  // Copies the first UTF-8 character of utf8 (null counts as ""). A text
  // longer than one character is cut after its first character, never inside
  // a character's byte sequence; a first character that is malformed (a
  // lead byte that starts none, or too few continuation bytes) gives "".
  void SetText(const char* utf8);
};

} // namespace canvas
} // namespace plugkit
