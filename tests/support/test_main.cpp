// The main function of every test program: runs the tests, then ends the
// process at once. A program ending the usual way first runs the shutdown
// code of every library it loaded (OpenGL and its software renderer among
// them); on a loaded machine that can take longer than the Wine server lets
// a dying process take, and it killed programs whose tests had all passed.
// The results are out by then and every file the tests wrote is closed.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  std::fflush(stdout);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(result));
  return result;
}
