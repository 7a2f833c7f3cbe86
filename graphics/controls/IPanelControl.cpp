#include "graphics/controls/IPanelControl.h"

#include "graphics/ICanvas.h"
#include "graphics/records/IPathOptions.h"

namespace plugkit::canvas {

IPanelControl::IPanelControl(const IBox& bounds, const IFill& pattern, bool drawFrame)
    : IControl(bounds), mPattern(pattern), mDrawFrame(drawFrame) {
  SetIgnorePointer(true);
}

IPanelControl::~IPanelControl() = default;

// The panel's own Composite is deliberately not passed: a background drawn
// half transparent would show whatever the previous frame left behind.
void IPanelControl::Render(ICanvas& canvas) {
  if (canvas.CanDrawShapes()) {
    canvas.ShapeAddBox(Bounds());
    canvas.ShapeFill(mPattern, IFillOptions());
  } else {
    canvas.FloodBox(mPattern.Stops[0].Colour, Bounds());
  }
  if (mDrawFrame) canvas.OutlineBox(kFrameColour, Bounds(), nullptr, 1.0f);
}

} // namespace plugkit::canvas
