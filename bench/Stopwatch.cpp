#include "bench/Stopwatch.h"

#include <windows.h>

namespace tessivo_bench {

double NowNanoseconds() {
  static const double nanosecondsPerTick = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1e9 / double(frequency.QuadPart);
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return double(now.QuadPart) * nanosecondsPerTick;
}

} // namespace tessivo_bench
