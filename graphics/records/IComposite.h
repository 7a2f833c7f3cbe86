#pragma once
// IComposite: how a drawing call blends with what is already drawn. Every
// control owns one and passes it to its drawing calls; a call given none uses
// SourceOver at full opacity. How each mode maps onto the back-end's blend
// state is the drawing back-end's business.

#include <cstdint>

namespace plugkit {
namespace canvas {

// Porter-Duff operators plus AlphaAdd and Xor; the values are stable.
enum class ECompositeMode : int32_t {
  SourceOver = 0,
  SourceIn = 1,
  SourceOut = 2,
  SourceAtop = 3,
  DestinationOver = 4,
  DestinationIn = 5,
  DestinationOut = 6,
  DestinationAtop = 7,
  AlphaAdd = 8,
  Xor = 9,
};

struct IComposite {
  ECompositeMode Mode = ECompositeMode::SourceOver;
  float Opacity = 1.0f;  // 0..1

  constexpr IComposite() = default;
  constexpr IComposite(ECompositeMode mode, float opacity) : Mode(mode), Opacity(opacity) {}
};

} // namespace canvas
} // namespace plugkit
