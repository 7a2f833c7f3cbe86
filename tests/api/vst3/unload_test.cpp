// A host that gives the VST 3 module's last instance its last release and
// unloads the module on a worker thread while its user-interface thread
// pumps messages: the editor timer that the instance runs on that thread
// never calls into the freed module. Released and unloaded on the
// user-interface thread itself, the module unloads as usual.

#include <gtest/gtest.h>

#include "tests/hosts/unload/UnloadRun.h"
#include "tests/hosts/vst2/Utf8Path.h"

namespace vst3test {
namespace {

using unloadhost::RunUnloadHost;
using unloadhost::UnloadedSafely;

TEST(VST3Module, ReleasedAndUnloadedOnAWorkerNothingOfTheUserInterfaceThreadCallsIntoIt) {
  const std::string host = vst2host::BesideExecutable(UNLOADHOST_PROGRAM_PATH);
  const std::string module = vst2host::ExecutableDirectory() + TESSIVO_VST3_TEST_MODULE;
  EXPECT_TRUE(UnloadedSafely(RunUnloadHost(host, "vst3", module, "worker"), false));
  EXPECT_TRUE(UnloadedSafely(RunUnloadHost(host, "vst3", module, "ui"), true));
}

} // namespace
} // namespace vst3test
