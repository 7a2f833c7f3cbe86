#include "graphics/records/IKeyStroke.h"

namespace plugkit {
namespace canvas {

namespace {

// Bytes in the UTF-8 sequence that starts with lead, or 0 for a byte that
// cannot start one.
int32_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

} // namespace

void IKeyStroke::SetText(const char* utf8) {
  for (char& c : Text) c = '\0';
  if (!utf8 || utf8[0] == '\0') return;
  const int32_t n = SequenceLength(static_cast<unsigned char>(utf8[0]));
  for (int32_t i = 1; i < n; ++i) {
    const unsigned char b = static_cast<unsigned char>(utf8[i]);
    if ((b & 0xC0) != 0x80) return;  // truncated or malformed: no text
  }
  for (int32_t i = 0; i < n; ++i) Text[i] = utf8[i];
}

} // namespace canvas
} // namespace plugkit
