#pragma once

// Text conversions between the host's UTF-8 strings and the SDK's UTF-16
// fields. Invalid UTF-8 bytes become U+FFFD; unpaired surrogates likewise.

#include <string>

#include "pluginterfaces/vst/vsttypes.h"

namespace vst3host {

std::u16string Utf8ToUtf16(const std::string& text);
std::string Utf16ToUtf8(const std::u16string& text);

// The SDK's char16 text (wchar_t with this compiler) up to its terminator or
// `limit` units, whichever comes first.
std::string SdkTextToUtf8(const Steinberg::char16* text, size_t limit = 128);

// Copies into a 128-unit field: at most 127 units, then a terminator.
void CopyToString128(const std::u16string& text, Steinberg::Vst::String128 out);

}  // namespace vst3host
