#pragma once
// IControlPalette: the nine colours a stock control draws with, indexed 0-8
// (the defaults are kStandardPalette in DefaultConstants.h). A plain value
// record.

#include <cstdint>

#include "graphics/records/IArgb.h"

namespace plugkit {
namespace canvas {

struct IControlPalette {
  static constexpr int32_t kCount = 9;

  IArgb Colours[kCount];

  // The colour at index, or transparent (0, 0, 0, 0) outside 0..8.
  constexpr IArgb Get(int32_t index) const {
    return index >= 0 && index < kCount ? Colours[index] : IArgb(0, 0, 0, 0);
  }
};

} // namespace canvas
} // namespace plugkit
