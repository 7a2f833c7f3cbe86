#pragma once
// Text conversion between the framework's UTF-8 texts and the VST 3 SDK's
// UTF-16 fields (String128 and friends). Both directions always terminate the
// output inside its capacity, never write past it, and cut only at a whole
// character. Malformed UTF-8 bytes and unpaired surrogates become U+FFFD (or
// "?" in 8-bit text) instead of being passed on as garbage.
//
// Pure functions: any thread, no allocation.

#include <cstdint>

#include "pluginterfaces/base/ftypes.h"

namespace plugkit {

// UTF-8 text (null reads "") into out, at most capacity units including the
// terminator. Nothing is written when capacity <= 0.
void Utf8ToVST3Text(const char* text, Steinberg::char16* out, int32_t capacity);

// UTF-16 text (null reads "") into out as UTF-8, at most capacity bytes
// including the terminator; reads no further than maxUnits units of text
// (the size of the host's field). Nothing is written when capacity <= 0.
void VST3TextToUtf8(const Steinberg::char16* text, int32_t maxUnits, char* out, int32_t capacity);

} // namespace plugkit
