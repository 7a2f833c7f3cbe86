#pragma once
// The paint of a parsed vector-image shape as an IFill, for the vector-image
// drawing of the path base.
//
// A colour paint gives a flat fill of its colour with alpha = the shape's
// opacity (the colour's own alpha byte is not used). A linear or radial
// gradient gives an Axial or Circular fill with the gradient's transform as
// its mapping, its spread as the edge mode (pad 1, reflect 2, repeat 3) and
// its first kMaxStops stops, each opaque; the shape's opacity does not reach
// gradient colours. Any other paint gives transparent-to-opaque black by the
// opacity, as a flat fill.

#include "graphics/records/IFill.h"

struct NSVGpaint;

namespace plugkit::canvas {

IFill FillFromSvgPaint(const NSVGpaint& paint, float opacity);

} // namespace plugkit::canvas
