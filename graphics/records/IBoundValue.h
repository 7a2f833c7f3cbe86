#pragma once
// IBoundValue: one value slot of a control. A control holds one or more; each
// may be bound to a plug-in parameter. The value is always normalised (0..1);
// the bound parameter converts between it and the parameter's real range.
// A plain value record, copied freely on the UI thread.

#include <cstdint>

namespace plugkit {
namespace canvas {

struct IBoundValue {
  int32_t ParamIndex = -1;  // index of the bound parameter; -1 = not bound
  double Value = 0.0;       // normalised 0..1

  constexpr IBoundValue() = default;
  constexpr IBoundValue(int32_t paramIndex, double value) : ParamIndex(paramIndex), Value(value) {}
};

} // namespace canvas
} // namespace plugkit
