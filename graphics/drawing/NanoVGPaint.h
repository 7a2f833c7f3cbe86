#pragma once
// Composite modes and paints in NanoVG terms, shared by the back-end's path,
// image, text and layer code. Private to graphics/drawing.

#include "graphics/records/IComposite.h"
#include "graphics/records/IFill.h"
#include "nanovg.h"

namespace plugkit::canvas {

// Sets the composite state of context for blend: source-over without one,
// blend factors for AlphaAdd, nothing for an unknown mode. Null context:
// nothing.
void SelectNanoVGComposite(NVGcontext* context, const IComposite* blend);

// A linear or radial NanoVG gradient for fill, its alphas multiplied by the
// composite's opacity (see GradientSpan.h); a gradient without a direction
// paints the colour of its stop 0. context must not be null.
NVGpaint PaintFromFill(NVGcontext* context, const IFill& fill, const IComposite* blend);

} // namespace plugkit::canvas
