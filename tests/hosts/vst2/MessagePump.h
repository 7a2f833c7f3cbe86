#pragma once
// Lets a plug-in's window timers run in a console host: a plug-in that
// schedules work with thread timers on the host's user-interface thread only
// sees it run while that thread dispatches its messages.

#include <cstdint>

namespace vst2host {

// Dispatches the calling thread's window messages for about `milliseconds`
// (at least one pass), then returns.
void PumpMessages(int32_t milliseconds);

} // namespace vst2host
