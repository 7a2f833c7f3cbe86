#pragma once
// Counting what this process holds, for leak checks: its windows, GDI
// objects, threads and kernel handles. A leak check takes BaselineCounts
// once what it exercises has run a first time (fonts, caches and the like
// are made once per process), repeats it, and expects no count to have
// grown (CountsFallBackTo).
//
// Each count is taken in a way that answers under Wine, where the tests
// run: there GetGuiResources and GetProcessHandleCount answer 0 whatever
// the process holds, so a check built on them could never fail.
//   windows      enumerated: the desktop's top-level windows and the
//                message-only ones, with all their descendants, kept when
//                this process made them
//   GDI objects  GetGuiResources where the system answers it; otherwise the
//                handle table is probed with GetObjectType, which Wine lets
//                look a handle up by its index alone
//   threads      the system's thread snapshot, kept when they are this
//                process's
//   handles      probed value by value with GetHandleInformation. (The
//                system's list of every process's handles would be the
//                direct way, but Wine's server ends when it is asked for
//                that list while another process starts or ends, and takes
//                every program of the prefix with it.)
// A count that cannot be taken is -1; AllCounted tells a check built on
// counts that show nothing from one that shows no leak.
//
// Any thread may count; the counts are of the whole process, so what other
// threads make or free meanwhile is counted too.

#include <windows.h>

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/wait.h"

namespace plugkit::test {

struct ProcessObjects {
  int Windows = -1;
  int GdiObjects = -1;
  int Threads = -1;
  int Handles = -1;
};

// The windows of this process (see above).
std::vector<HWND> ProcessWindows();
int WindowCount();
int GdiObjectCount();
int ThreadCount();
int HandleCount();
ProcessObjects CountProcessObjects();

// The counts a leak check starts from, taken once two things that a
// process makes once and keeps are made:
// - the system's cache of window DCs, full. Wine keeps each DC that GetDC
//   or BeginPaint hands out, with its region, for the window and clip it
//   was made for, and makes a new one for each new pair until it holds 64:
//   a window that first paints with a new clip region during the check
//   would leave two GDI objects that are no leak. Holding twice that many
//   DCs at once takes the cache to its end, after which it reuses them.
// - GoogleTest's watcher thread for the calling thread, which the first
//   SCOPED_TRACE on a thread starts and which lasts as long as that thread.
ProcessObjects BaselineCounts();

// Success when every count is above 0, as each is in a process that shows
// a window; otherwise a failure that names the counts this system does not
// give.
::testing::AssertionResult AllCounted(const ProcessObjects& counts);

// Success when no count in now is above its value in before; otherwise a
// failure that names each count that grew, from what to what.
::testing::AssertionResult NoneGrew(const ProcessObjects& before, const ProcessObjects& now);

// Waits until no count is above its value in before (threads end, and give
// back their handles, a little after they are told to): success, or the
// failure of NoneGrew for the last counts taken.
::testing::AssertionResult CountsFallBackTo(const ProcessObjects& before, uint32_t limitMs = kWaitLimitMs);

} // namespace plugkit::test
