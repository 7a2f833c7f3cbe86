#pragma once
// Conversions between UTF-8 (the canvas' texts) and UTF-16 (the in-window
// text entry's units), free of any platform call. Malformed input never
// fails: each byte or unit that is not part of a valid sequence (stray
// continuation bytes, overlong forms, surrogates encoded in UTF-8, lone
// surrogates) becomes U+FFFD. Pure functions; any thread.

#include <cstddef>
#include <string>

namespace plugkit {
namespace canvas {

// null counts as "".
std::u16string Utf8ToUtf16(const char* utf8);
std::string Utf16ToUtf8(const char16_t* units, size_t count);
inline std::string Utf16ToUtf8(const std::u16string& text) { return Utf16ToUtf8(text.data(), text.size()); }

} // namespace canvas
} // namespace plugkit
