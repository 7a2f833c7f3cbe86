#include "core/Utf8Cut.h"

namespace plugkit {

namespace {

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The number of bytes a character announces by its first byte; 1 for a byte
// that cannot start one, so that it is kept as a unit of its own.
int32_t AnnouncedLength(unsigned char lead) {
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

} // namespace

int32_t Utf8CutLength(const char* text, int32_t maxBytes, int32_t available) {
  if (!text || maxBytes <= 0) return 0;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  const bool bounded = available >= 0;
  int32_t length = 0;
  while (length < maxBytes && (!bounded || length < available) && bytes[length] != 0) ++length;
  // The whole text fits: nothing is cut.
  if (length < maxBytes || (bounded && length >= available) || bytes[length] == 0) return length;
  // bytes[length] is the first byte left out. Only when it continues a
  // character can the cut be inside one; that character starts at most three
  // bytes earlier, else the bytes are not UTF-8 and the cut stays.
  if (!IsContinuation(bytes[length])) return length;
  int32_t start = length - 1;
  while (start >= 0 && start > length - 4 && IsContinuation(bytes[start])) --start;
  if (start < 0 || IsContinuation(bytes[start])) return length;
  return start + AnnouncedLength(bytes[start]) > length ? start : length;
}

} // namespace plugkit
