#pragma once
// UTF-8 to UTF-16 for the native calls of the Windows layer (the reverse is
// IStringBuffer::AssignWide).

#include <cstddef>
#include <string>

namespace plugkit {
namespace canvas {

// Converts utf8 (null counts as "") into wide. maxUnits > 0: a text that needs
// more UTF-16 units than that (terminator included) is refused. False, with
// wide empty, when refused or not valid UTF-8.
bool WideFromUtf8(const char* utf8, std::wstring& wide, size_t maxUnits = 0);

} // namespace canvas
} // namespace plugkit
