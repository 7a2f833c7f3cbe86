#include "graphics/IShadowBlur.h"

#include <algorithm>
#include <cmath>

namespace plugkit::canvas {

IShadowKernel::IShadowKernel(float spread) {
  double c = std::isfinite(spread) ? static_cast<double>(spread) : 1.0;
  c = std::clamp(c, 1.0, static_cast<double>(kMaxTaps));
  const double k = 4.5 / (c * c);
  const int32_t length = static_cast<int32_t>(std::ceil(c));
  Taps.resize(static_cast<size_t>(length));
  for (int32_t i = 0; i < length; ++i)
    Taps[static_cast<size_t>(i)] = static_cast<uint8_t>(std::lround(255.0 * std::exp(-static_cast<double>(i) * i * k)));
  Total = Taps[0];
  for (int32_t i = 1; i < length; ++i) Total += 2 * static_cast<int64_t>(Taps[static_cast<size_t>(i)]);
}

void BlurAndTranspose(const uint8_t* source, ptrdiff_t sourceStride, uint8_t* destination,
                      ptrdiff_t destinationStride, int32_t width, int32_t rows, int32_t alphaIndex,
                      const IShadowKernel& kernel) {
  if (!source || !destination || width <= 0 || rows <= 0 || kernel.Total <= 0) return;
  const uint8_t* taps = kernel.Taps.data();
  const int32_t length = static_cast<int32_t>(kernel.Taps.size());
  const int32_t a = alphaIndex & 3;
  for (int32_t r = 0; r < rows; ++r) {
    const uint8_t* row = source + sourceStride * r + a;
    uint8_t* column = destination + 4 * static_cast<ptrdiff_t>(r) + a;
    for (int32_t j = 0; j < width; ++j) {
      int64_t sum = static_cast<int64_t>(taps[0]) * row[4 * static_cast<ptrdiff_t>(j)];
      // Only neighbours inside the row: i runs up to the nearer edge.
      const int32_t left = std::min(length - 1, j);
      const int32_t right = std::min(length - 1, width - 1 - j);
      for (int32_t i = 1; i <= left; ++i) sum += static_cast<int64_t>(taps[i]) * row[4 * static_cast<ptrdiff_t>(j - i)];
      for (int32_t i = 1; i <= right; ++i) sum += static_cast<int64_t>(taps[i]) * row[4 * static_cast<ptrdiff_t>(j + i)];
      column[destinationStride * j] = static_cast<uint8_t>(std::min<int64_t>(sum / kernel.Total, 255));
    }
  }
}

} // namespace plugkit::canvas
