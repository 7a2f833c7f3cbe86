#pragma once
// Limits the path builders share, so that no input can make them loop for
// ages or divide by zero.

#include <cmath>
#include <cstdint>

namespace plugkit::canvas {

// The most lines, dashes or grid lines one primitive adds in one direction;
// more than this many are finer than any display shows.
constexpr int32_t kMaxPathPieces = 65536;

// A dash length that can lay out dashes: finite and above 0.
inline bool DashLengthUsable(float dash) { return std::isfinite(dash) && dash > 0.0f; }

} // namespace plugkit::canvas
