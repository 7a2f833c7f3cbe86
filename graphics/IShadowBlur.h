#pragma once
// The blur of a drop shadow: a one-dimensional integer Gaussian kernel and
// the pass that applies it to the alpha bytes of 4-byte pixels, writing the
// result transposed, so that two passes blur along rows and then along
// columns while both walk their source in memory order. Used by
// ICanvas::CastLayerShadow; no state, any thread.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace plugkit {
namespace canvas {

struct IShadowKernel {
  // Longest kernel made: a blur this wide would already take the shadow
  // far outside any layer; wider requests are cut to it.
  static constexpr int32_t kMaxTaps = 1024;

  // Taps[i] = round(255 x exp(-i^2 x 4.5 / spread^2)) for i = 0 .. ceil(spread) - 1;
  // Total = Taps[0] + 2 x (Taps[1] + ... ). spread below 1 (or not finite)
  // counts as 1, giving the single tap 255.
  explicit IShadowKernel(float spread);

  std::vector<uint8_t> Taps;
  int64_t Total = 0;
};

// Blurs the alpha byte (alphaIndex, 0..3) of rows source rows of width
// pixels each into the alpha bytes of destination, transposed: source row r,
// position j goes to destination row j, column r. Rows of the source start
// sourceStride bytes apart (negative to walk rows bottom up), rows of the
// destination destinationStride bytes apart. A neighbour outside the row
// contributes nothing (the mask fades towards the borders); the result is
// min(sum / Total, 255). Only alpha bytes are read and written.
void BlurAndTranspose(const uint8_t* source, ptrdiff_t sourceStride, uint8_t* destination,
                      ptrdiff_t destinationStride, int32_t width, int32_t rows, int32_t alphaIndex,
                      const IShadowKernel& kernel);

} // namespace canvas
} // namespace plugkit
