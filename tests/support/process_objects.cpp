#include "tests/support/process_objects.h"

#include <tlhelp32.h>

#include <string>

namespace plugkit::test {
namespace {

bool Ours(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId();
}

BOOL CALLBACK Collect(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

// A window and all its descendants (of whichever process: a window of this
// one may sit inside another's).
void CollectWithDescendants(HWND window, std::vector<HWND>& windows) {
  windows.push_back(window);
  EnumChildWindows(window, Collect, reinterpret_cast<LPARAM>(&windows));
}

} // namespace

std::vector<HWND> ProcessWindows() {
  std::vector<HWND> topLevel;
  EnumWindows(Collect, reinterpret_cast<LPARAM>(&topLevel));
  // Message-only windows are no desktop's children: EnumWindows skips them.
  for (HWND w = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
       w = FindWindowExA(HWND_MESSAGE, w, nullptr, nullptr))
    topLevel.push_back(w);
  std::vector<HWND> all;
  for (HWND w : topLevel) CollectWithDescendants(w, all);
  std::vector<HWND> ours;
  for (HWND w : all)
    if (Ours(w)) ours.push_back(w);
  return ours;
}

int WindowCount() { return static_cast<int>(ProcessWindows().size()); }

int GdiObjectCount() {
  if (const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<int>(counted);
  // A handle's low word is its index in the process's table; Wine takes an
  // index with no high word as the object there, whatever its generation.
  int count = 0;
  for (uintptr_t index = 1; index <= 0xFFFF; ++index)
    count += GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0;
  return count > 0 ? count : -1;
}

int ThreadCount() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL ok = Thread32First(snapshot, &entry); ok; ok = Thread32Next(snapshot, &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  CloseHandle(snapshot);
  return count;
}

int HandleCount() {
  // Handle values are multiples of 4, and a freed slot is handed out again
  // before the table grows: the handles in use lie below the most ever open
  // at once, and a long enough run of unused values means none follow.
  constexpr uintptr_t kRunOfUnused = 1024;
  int count = 0;
  for (uintptr_t value = 4, unused = 0; unused < kRunOfUnused; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
      ++count;
      unused = 0;
    } else {
      ++unused;
    }
  }
  return count > 0 ? count : -1;
}

ProcessObjects CountProcessObjects() { return {WindowCount(), GdiObjectCount(), ThreadCount(), HandleCount()}; }

ProcessObjects BaselineCounts() {
  std::vector<HDC> held(128);
  for (HDC& dc : held) dc = GetDC(nullptr);
  for (HDC dc : held)
    if (dc) ReleaseDC(nullptr, dc);
  { SCOPED_TRACE("the leak check's baseline"); }
  return CountProcessObjects();
}

namespace {

struct Named {
  const char* name;
  int ProcessObjects::*count;
};
constexpr Named kCounts[] = {{"windows", &ProcessObjects::Windows},
                             {"GDI objects", &ProcessObjects::GdiObjects},
                             {"threads", &ProcessObjects::Threads},
                             {"handles", &ProcessObjects::Handles}};

} // namespace

::testing::AssertionResult AllCounted(const ProcessObjects& counts) {
  std::string missing;
  for (const Named& c : kCounts)
    if (counts.*c.count <= 0) missing += std::string(missing.empty() ? "" : ", ") + c.name;
  if (missing.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "this system gives no count of its " << missing;
}

::testing::AssertionResult NoneGrew(const ProcessObjects& before, const ProcessObjects& now) {
  std::string grown;
  for (const Named& c : kCounts)
    if (now.*c.count > before.*c.count)
      grown += std::string(grown.empty() ? "" : ", ") + c.name + " " + std::to_string(before.*c.count) + " -> " +
               std::to_string(now.*c.count);
  if (grown.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "grew: " << grown;
}

::testing::AssertionResult CountsFallBackTo(const ProcessObjects& before, uint32_t limitMs) {
  ::testing::AssertionResult last = ::testing::AssertionSuccess();
  const ::testing::AssertionResult waited = WaitUntil(
      "the process's windows, GDI objects, threads and handles to fall back",
      [&] { return static_cast<bool>(last = NoneGrew(before, CountProcessObjects())); }, limitMs);
  if (waited) return waited;
  return ::testing::AssertionFailure() << waited.message() << "; " << last.message();
}

} // namespace plugkit::test
