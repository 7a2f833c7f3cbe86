// A host that closes Tessivo.dll's last instance and frees the library on a
// worker thread while its user-interface thread pumps messages: the editor
// timer that the instance runs on that thread never calls into the freed
// module. Closed and freed on the user-interface thread itself, the module
// unloads as usual.

#include <gtest/gtest.h>

#include "tests/hosts/unload/UnloadRun.h"
#include "tests/hosts/vst2/Utf8Path.h"

namespace vst2test {
namespace {

using unloadhost::RunUnloadHost;
using unloadhost::UnloadedSafely;

TEST(Dll, FreedOnAWorkerNothingOfTheUserInterfaceThreadCallsIntoIt) {
  const std::string host = vst2host::BesideExecutable(UNLOADHOST_PROGRAM_PATH);
  const std::string dll = vst2host::BesideExecutable(TESSIVO_VST2_DLL);
  EXPECT_TRUE(UnloadedSafely(RunUnloadHost(host, "vst2", dll, "worker"), false));
  EXPECT_TRUE(UnloadedSafely(RunUnloadHost(host, "vst2", dll, "ui"), true));
}

} // namespace
} // namespace vst2test
