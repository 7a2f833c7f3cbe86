// The canvas's layer stack: making, stacking and unstacking layers, checking
// kept layers, painting them and casting their shadows. The back-end makes
// the images, switches its draw target and composites (see ICanvas.h).

#include <cmath>
#include <memory>
#include <new>

#include "core/IHeapBlock.h"
#include "graphics/ICanvas.h"
#include "graphics/IControl.h"
#include "graphics/IShadowBlur.h"

namespace plugkit::canvas {

namespace {

// Products like 10.5 x 1.5 come out a hair above or below a whole number;
// without this slack a box already on the pixel grid would grow a pixel.
constexpr double kGridSlack = 1.0e-3;

} // namespace

bool ICanvas::SnapLayerBox(const IBox& box, float density, IBox& snapped, int32_t& pixelWidth,
                           int32_t& pixelHeight) {
  const double d = density;
  if (!std::isfinite(d) || !(d > 0.0)) return false;
  // Snapped outwards, a box without area would still cover a pixel.
  if (!(box.Right > box.Left) || !(box.Bottom > box.Top)) return false;
  const double edges[4] = {box.Left * d, box.Top * d, box.Right * d, box.Bottom * d};
  for (double e : edges)
    if (!std::isfinite(e) || std::fabs(e) > 1.0e9) return false;
  const double left = std::floor(edges[0] + kGridSlack);
  const double top = std::floor(edges[1] + kGridSlack);
  const double right = std::ceil(edges[2] - kGridSlack);
  const double bottom = std::ceil(edges[3] - kGridSlack);
  // Both sizes come from the same whole pixel edges the box is made of, so
  // image, viewport and box agree at any density.
  const double w = right - left;
  const double h = bottom - top;
  if (w < 1.0 || h < 1.0 || w > kMaxLayerPixels || h > kMaxLayerPixels) return false;
  snapped = IBox(static_cast<float>(left / d), static_cast<float>(top / d), static_cast<float>(right / d),
                 static_cast<float>(bottom / d));
  pixelWidth = static_cast<int32_t>(w);
  pixelHeight = static_cast<int32_t>(h);
  return true;
}

bool ICanvas::BeginLayer(IControl* control, const IBox& box) {
  IBox snapped;
  int32_t pixelWidth = 0;
  int32_t pixelHeight = 0;
  if (!SnapLayerBox(box, PixelDensity(), snapped, pixelWidth, pixelHeight)) return false;
  std::unique_ptr<APIBitmap> image(CreateLayerImage(pixelWidth, pixelHeight, ScreenScale(), DrawScale()));
  // A back-end that could not make the pixels answers null or an image
  // without them: either way there is no layer to draw into.
  if (!image || !image->HasPixels()) return false;
  ILayer* layer =
      new (std::nothrow) ILayer(std::move(image), control, control ? control->Bounds() : IBox(), snapped);
  if (!layer) return false;
  mLayerStack.push_back(IStackedLayer{layer, true});
  SwitchDrawTarget();
  ShapeResetTransform(false);
  ShapeClipBox(layer->Box);
  ShapeReset();
  return true;
}

bool ICanvas::StackLayer(ILayer* layer) {
  if (!layer || !layer->HasImage()) return false;
  mLayerStack.push_back(IStackedLayer{layer, false});
  SwitchDrawTarget();
  ShapeResetTransform(false);
  ShapeClipBox(layer->Box);
  ShapeReset();
  return true;
}

ILayer* ICanvas::UnstackLayer() {
  ILayer* layer = nullptr;
  if (!mLayerStack.empty()) {
    layer = mLayerStack.back().Layer;
    mLayerStack.pop_back();
  }
  SwitchDrawTarget();
  ShapeResetTransform(false);
  ShapeClipBox(IBox());
  ShapeReset();
  return layer;
}

ILayer* ICanvas::TopLayer() const { return mLayerStack.empty() ? nullptr : mLayerStack.back().Layer; }

void ICanvas::FreeStackedLayers() { PopLayersTo(0); }

void ICanvas::PopLayersTo(int32_t depth) {
  while (LayerDepth() > depth && !mLayerStack.empty()) {
    const IStackedLayer top = mLayerStack.back();
    mLayerStack.pop_back();
    if (top.Owned) delete top.Layer;
  }
}

int32_t ICanvas::DropLayersAbove(int32_t depth) {
  const int32_t dropped = LayerDepth() - (depth > 0 ? depth : 0);
  if (dropped <= 0) return 0;
  PopLayersTo(depth);
  SwitchDrawTarget();
  ShapeResetTransform(false);
  ShapeClipBox(IBox());
  ShapeReset();
  return dropped;
}

bool ICanvas::ValidateLayer(ILayer* layer) {
  if (!layer || !layer->HasImage()) return false;
  if (layer->Control) {
    const IBox& now = layer->Control->Bounds();
    if (now != layer->ControlBounds) {
      layer->ControlBounds = now;
      layer->Invalid = true;
    }
  }
  return !layer->Invalid && layer->Image->DrawScale == DrawScale() && layer->Image->ScreenScale == ScreenScale();
}

void ICanvas::PaintLayer(ILayer* layer, const IComposite* blend) {
  if (!layer || !layer->HasImage()) return;
  const IImageHandle image = IImageHandle::Of(layer->Image.get(), 1, false, "");
  ShapeSaveTransform();
  ShapeResetTransform(false);
  PaintImage(image, layer->Box, 0, 0, blend);
  ShapeRestoreTransform();
}

void ICanvas::CastLayerShadow(ILayer* layer, const IDropShadow& shadow) {
  if (!layer || !layer->HasImage()) return;
  const APIBitmap& image = *layer->Image;
  const int32_t w = image.PixelWidth;
  const int32_t h = image.PixelHeight;
  const int64_t bytes = static_cast<int64_t>(w) * h * 4;
  if (w <= 0 || h <= 0 || bytes > INT32_MAX) return;
  const int32_t alpha = PixelAlphaIndex();
  if (alpha < 0 || alpha > 3) return;

  IHeapBlock pixels;
  ReadLayerPixels(*layer, pixels);
  // A back-end that read nothing, or less than the image, gives no mask.
  if (pixels.Size() < bytes || !pixels.Data()) return;
  IHeapBlock transposed;
  transposed.SetSize(static_cast<int32_t>(bytes));
  if (transposed.Size() != bytes) return;

  const float blur = std::isfinite(shadow.BlurSize) && shadow.BlurSize > 0.0f ? shadow.BlurSize : 0.0f;
  const IShadowKernel kernel(static_cast<float>(image.ScreenScale) * image.DrawScale * blur + 1.0f);

  uint8_t* base = pixels.As<uint8_t>();
  const ptrdiff_t rowBytes = 4 * static_cast<ptrdiff_t>(w);
  const bool bottomUp = LayerRowsBottomUp();
  const uint8_t* firstRow = bottomUp ? base + rowBytes * (h - 1) : base;
  // Along the rows into the transposed buffer (w rows of h pixels), then
  // along what were the columns back into the pixels, top row first.
  BlurAndTranspose(firstRow, bottomUp ? -rowBytes : rowBytes, transposed.As<uint8_t>(), 4 * static_cast<ptrdiff_t>(h),
                   w, h, alpha, kernel);
  BlurAndTranspose(transposed.As<uint8_t>(), 4 * static_cast<ptrdiff_t>(h), base, rowBytes, h, w, alpha, kernel);
  ApplyLayerShadow(*layer, pixels, shadow);
}

} // namespace plugkit::canvas
