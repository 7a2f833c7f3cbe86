#pragma once
// A monotonic clock for the benchmarks: the performance counter, read as
// nanoseconds since some fixed start.

namespace tessivo_bench {

// Nanoseconds on the performance counter's time line.
double NowNanoseconds();

} // namespace tessivo_bench
