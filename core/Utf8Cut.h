#pragma once
// Cutting UTF-8 text to a byte bound without splitting a character.
//
// Fixed-size text fields (preset titles, the program-name field of preset
// files, the buffers a host hands over) hold a number of bytes, not
// characters. Every text that is cut to such a field is cut here, so that the
// part kept never ends with the first bytes of a character whose last bytes
// were left out; such a remnant would travel on into banks, files and host
// lists as a broken character.
//
// Only the cut is looked at: the text is not validated, and bytes that are not
// well-formed UTF-8 are kept as they stand. Pure computation: any thread, no
// allocation, no lock.

#include <cstdint>

namespace plugkit {

// How many bytes of text to keep in a field of maxBytes bytes (the
// terminating NUL not counted). The text ends at its first NUL and, when
// available >= 0, after its first `available` bytes (for texts that are not
// terminated, such as a title inside a bank). A text that fits is kept whole;
// a longer one is cut at maxBytes, moved back to the start of the character
// that would cross it. At most maxBytes + 1 bytes are read (the one after the
// bound tells whether a character crosses it), and never more than
// `available`. 0 for a null text or maxBytes <= 0.
int32_t Utf8CutLength(const char* text, int32_t maxBytes, int32_t available = -1);

} // namespace plugkit
