#pragma once
// IDropShadow: how ICanvas::CastLayerShadow shadows a layer: the blurred
// alpha of the layer's pixels, filled with Fill, moved by the offset and
// put beneath the layer's own content. A plain value record.

#include "graphics/records/IArgb.h"
#include "graphics/records/IFill.h"

namespace plugkit {
namespace canvas {

struct IDropShadow {
  IFill Fill{IArgb(255, 0, 0, 0)};  // colour or gradient of the shadow
  float BlurSize = 0.0f;            // blur radius in logical pixels (negative counts as 0)
  float OffsetX = 0.0f;             // displacement of the shadow, logical pixels
  float OffsetY = 0.0f;
  float Opacity = 1.0f;             // the back-end clamps it to 0..1
  bool KeepContent = true;          // false leaves only the shadow in the layer

  IDropShadow() = default;
  IDropShadow(const IFill& fill, float blurSize, float offsetX, float offsetY, float opacity, bool keepContent)
      : Fill(fill), BlurSize(blurSize), OffsetX(offsetX), OffsetY(offsetY), Opacity(opacity),
        KeepContent(keepContent) {}
};

} // namespace canvas
} // namespace plugkit
