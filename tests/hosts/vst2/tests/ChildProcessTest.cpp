// The child-process helper explains every way a child can fail to report back.

#include "tests/hosts/vst2/ChildProcess.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace vst2host {
namespace {

std::string ThisProgram() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

// Runs only as the child of the tests below, never on its own.
TEST(ChildProcessChild, DISABLED_Sleeps) { Sleep(60000); }
TEST(ChildProcessChild, DISABLED_ExitsWithMinusTwo) { ExitProcess(static_cast<UINT>(-2)); }

TEST(ChildProcess, ReportsWhyAChildDidNotRunOrFinish) {
  ChildResult missing = RunChildProcess("no-such-program.exe", "");
  EXPECT_EQ(missing.exitCode, -1);
  EXPECT_NE(missing.failure.find("cannot start no-such-program.exe: error "), std::string::npos) << missing.failure;

  const std::string child = "--gtest_also_run_disabled_tests --gtest_filter=ChildProcessChild.";
  const DWORD begun = GetTickCount();
  ChildResult hung = RunChildProcess(ThisProgram(), child + "DISABLED_Sleeps", 300);
  EXPECT_LT(GetTickCount() - begun, 60000u) << "given up before the child would have ended by itself";
  EXPECT_EQ(hung.exitCode, -1);
  EXPECT_EQ(hung.failure, "still running after 300 ms: terminated");
  EXPECT_NE(hung.output.find(hung.failure), std::string::npos);

  ChildResult negative = RunChildProcess(ThisProgram(), child + "DISABLED_ExitsWithMinusTwo");
  EXPECT_EQ(negative.exitCode, -2) << negative.output;
  EXPECT_TRUE(negative.failure.empty());
}

} // namespace
} // namespace vst2host
