#pragma once
// Writes a picture for people to look at (the editor tests' screenshots).
// Pictures go beside the test program, into the build tree, never into the
// folder the tests were started from.

#include <cstdint>
#include <string>

namespace tessivo_editor_test {

// rgba: height rows of width pixels, top row first, 4 bytes each. name is a
// plain file name, written in the test program's own folder. False when the
// file cannot be written.
bool WritePng(const char* name, int32_t width, int32_t height, const unsigned char* rgba);

// Where WritePng writes name.
std::string PicturePath(const char* name);

} // namespace tessivo_editor_test
