#include "tests/hosts/vst2/MessagePump.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace vst2host {
namespace {

int gTicks = 0;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++gTicks; }

TEST(MessagePump, RunsThreadTimersWhilePumping) {
  gTicks = 0;
  UINT_PTR timer = SetTimer(nullptr, 0, 10, CountTick);
  ASSERT_NE(timer, 0u);
  PumpMessages(200);
  KillTimer(nullptr, timer);
  EXPECT_GE(gTicks, 2);
}

} // namespace
} // namespace vst2host
