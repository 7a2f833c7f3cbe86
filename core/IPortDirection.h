#pragma once
// IPortDirection: which side of the processor a bus or a channel is on. The
// values index per-direction arrays, so they are 0 and 1 and nothing else.

#include <cstdint>

namespace plugkit {

enum class IPortDirection : int32_t { Input = 0, Output = 1 };

constexpr int32_t kPortDirectionCount = 2;

// Index of the direction in per-direction arrays.
constexpr int32_t PortIndex(IPortDirection direction) { return static_cast<int32_t>(direction); }

// "Input" or "Output": also the default label of a bus.
const char* PortDirectionLabel(IPortDirection direction);

} // namespace plugkit
