#pragma once
// Where the x86_64 build of the VST 3 module that the end-to-end tests load
// lies: beside the test program, at the path the build gives it.

#include <string>

#include "tests/hosts/vst2/Utf8Path.h"

namespace vst3test {

inline std::string TestModulePath() { return vst2host::ExecutableDirectory() + TESSIVO_VST3_TEST_MODULE; }

} // namespace vst3test
