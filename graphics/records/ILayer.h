#pragma once
// ILayer: an off-screen image that a control draws into once and then
// paints, possibly many times, as a whole (the knob keeps its body in one
// and gives it a drop shadow). ICanvas keeps a stack of layers; drawing goes
// to the image of the top layer, or to the main surface when the stack is
// empty (ICanvas::BeginLayer, StackLayer, UnstackLayer).
//
// Geometry: Box is the covered area in logical coordinates, snapped outwards
// to device pixels when the layer was made; Image holds exactly the device
// pixels of Box (ICanvas::SnapLayerBox). A back-end sizes its viewport and
// frame for a layer from Image's PixelWidth and PixelHeight, never by
// recomputing them from Box: at fractional draw scales the two could differ
// by a pixel and shift the layer and its shadow.
//
// Ownership: a layer owns its Image. Whoever holds the layer owns it: the
// canvas while it is on the stack after BeginLayer, the control that took it
// from UnstackLayer afterwards. The image is a back-end image of the
// canvas's drawing context, so a layer must be deleted before that context
// goes. A layer without an Image (its creation failed, or the image was
// taken away) is never stacked, painted or shadowed.
//
// Threads: user-interface thread, inside a paint.

#include <memory>

#include "graphics/resources/APIBitmap.h"
#include "graphics/records/IBox.h"

namespace plugkit {
namespace canvas {

class IControl;

class ILayer {
public:
  ILayer() = default;
  ILayer(std::unique_ptr<APIBitmap> image, IControl* control, const IBox& controlBounds, const IBox& box)
      : Image(std::move(image)), Control(control), ControlBounds(controlBounds), Box(box) {}
  ILayer(const ILayer&) = delete;
  ILayer& operator=(const ILayer&) = delete;

  bool HasImage() const { return Image != nullptr; }

  std::unique_ptr<APIBitmap> Image;  // made by the back-end's CreateLayerImage
  IControl* Control = nullptr;       // not owned; null for a layer without control
  IBox ControlBounds;                // the control's Bounds when made or last validated
  IBox Box;                          // logical area covered, snapped to device pixels
  bool Invalid = false;              // the control's bounds changed since
};

} // namespace canvas
} // namespace plugkit
