// The counts the leak checks rest on: each sees one object of its kind made
// and falls back when it is freed, under Wine as on Windows.

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <vector>

#include "tests/support/process_objects.h"

namespace plugkit::test {
namespace {

HWND MakeWindow(DWORD style, HWND parent) {
  return CreateWindowExA(0, "STATIC", "", style, 0, 0, 40, 30, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
}

DWORD WINAPI WaitForEvent(void* event) { return WaitForSingleObject(event, INFINITE); }

TEST(ProcessObjects, EachCountSeesOneObjectMadeAndFallsBackWhenItIsFreed) {
  // A window of the test's own, so that every count has something to count.
  HWND owner = MakeWindow(WS_POPUP, nullptr);
  ASSERT_TRUE(owner);
  ASSERT_TRUE(AllCounted(CountProcessObjects()));

  HANDLE event = nullptr;
  void* made = nullptr;
  const struct {
    const char* name;
    int ProcessObjects::*count;
    std::function<bool()> make;
    std::function<void()> free;
  } cases[] = {
      {"a brush", &ProcessObjects::GdiObjects, [&] { return (made = CreateSolidBrush(RGB(1, 2, 3))) != nullptr; },
       [&] { DeleteObject(made); }},
      {"a memory DC", &ProcessObjects::GdiObjects, [&] { return (made = CreateCompatibleDC(nullptr)) != nullptr; },
       [&] { DeleteDC(static_cast<HDC>(made)); }},
      {"a top-level window", &ProcessObjects::Windows,
       [&] { return (made = MakeWindow(WS_POPUP, nullptr)) != nullptr; },
       [&] { DestroyWindow(static_cast<HWND>(made)); }},
      {"a child window", &ProcessObjects::Windows, [&] { return (made = MakeWindow(WS_CHILD, owner)) != nullptr; },
       [&] { DestroyWindow(static_cast<HWND>(made)); }},
      {"a message-only window", &ProcessObjects::Windows,
       [&] { return (made = MakeWindow(0, HWND_MESSAGE)) != nullptr; },
       [&] { DestroyWindow(static_cast<HWND>(made)); }},
      {"an event", &ProcessObjects::Handles,
       [&] { return (event = CreateEventA(nullptr, TRUE, FALSE, nullptr)) != nullptr; }, [&] { CloseHandle(event); }},
      // Made with CreateThread, so that the counts see the thread and its
      // handle alone, none of a thread library's bookkeeping.
      {"a thread", &ProcessObjects::Threads,
       [&] {
         event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
         made = CreateThread(nullptr, 0, WaitForEvent, event, 0, nullptr);
         return event && made;
       },
       [&] {
         SetEvent(event);
         WaitForSingleObject(made, INFINITE);
         CloseHandle(made);
         CloseHandle(event);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // Made and freed once first: a first object of a kind may bring what
    // the process then keeps (a thread's message queue, say).
    ASSERT_TRUE(c.make());
    c.free();
    const ProcessObjects before = CountProcessObjects();
    ASSERT_TRUE(c.make());
    EXPECT_GE(CountProcessObjects().*c.count, before.*c.count + 1);
    EXPECT_FALSE(NoneGrew(before, CountProcessObjects()));
    c.free();
    EXPECT_TRUE(CountsFallBackTo(before));
  }
  DestroyWindow(owner);
}

// Windows that take DCs for the first time after the baseline, several at
// once as a host window and an editor do, leave nothing the checks count.
TEST(ProcessObjects, DcsCachedForNewWindowsAreNoGrowth) {
  const ProcessObjects before = BaselineCounts();
  std::vector<HWND> windows;
  for (int i = 0; i < 8; ++i) {
    HWND window = MakeWindow(WS_POPUP, nullptr);
    ASSERT_TRUE(window);
    windows.push_back(window);
    HRGN clip = CreateRectRgn(0, 0, 10 + i, 10);
    HDC dc = GetDCEx(window, clip, DCX_CACHE | DCX_INTERSECTRGN);  // the DC owns the region now
    ASSERT_TRUE(dc);
    ReleaseDC(window, dc);
  }
  for (HWND window : windows) DestroyWindow(window);
  EXPECT_TRUE(CountsFallBackTo(before));
}

// A leak shows in the failure as the count it grew, from what to what.
TEST(ProcessObjects, AGrownCountIsNamedWithItsValues) {
  ProcessObjects before{3, 40, 2, 30};
  ProcessObjects now = before;
  EXPECT_TRUE(NoneGrew(before, now));
  now.Handles = 130;
  now.Threads = 1;
  const ::testing::AssertionResult grown = NoneGrew(before, now);
  EXPECT_FALSE(grown);
  EXPECT_STREQ(grown.message(), "grew: handles 30 -> 130");
  EXPECT_FALSE(AllCounted({3, -1, 2, 0}));
  EXPECT_STREQ(AllCounted({3, -1, 2, 0}).message(), "this system gives no count of its GDI objects, handles");
}

} // namespace
} // namespace plugkit::test
