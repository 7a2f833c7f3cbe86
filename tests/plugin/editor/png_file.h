#pragma once
// Writes a picture for people to look at (the editor tests' screenshots).

#include <cstdint>

namespace tessivo_editor_test {

// rgba: height rows of width pixels, top row first, 4 bytes each. False when
// the file cannot be written.
bool WritePng(const char* path, int32_t width, int32_t height, const unsigned char* rgba);

} // namespace tessivo_editor_test
