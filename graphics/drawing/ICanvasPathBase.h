#pragma once
// ICanvasPathBase: the drawing half every path-based back-end shares. It turns
// each drawing primitive of ICanvas (lines, boxes, rounded boxes, arcs,
// circles, ovals, pies, polygons, grids, plots, images in a transformed frame
// and vector images) into a few path operations (move, line, arc, cubic,
// close, stroke, fill), and keeps the shape transform, its save stack and the
// box of the region being painted. It draws nothing itself: the path
// operations, the clip and the transform are the back-end's (ShapeMoveTo ...
// ShapeFill, SetBackendClip, SetBackendTransform).
//
// Coordinates are logical pixels; angles are degrees, 0 pointing up and
// growing clockwise on screen.
//
// Input that describes no shape draws nothing and never divides by zero or
// reads out of range: fewer than one point, null point arrays, dash lengths
// of 0 or less, negative circle radii, an image of size 0, a vector image of
// size 0. A negative corner radius counts as 0 (a sharp corner).
//
// Lifetime of the transform: every StartPaint and StartRegionPaint empties
// the save stack and resets the transform, so a save without a restore never
// outlives the region it was made in.
//
// The drawing state (the clip and the transform) is kept here and handed to
// the back-end by one path, ApplyDrawState: the clip first, under the
// identity transform, so it is taken in logical coordinates, then the shape
// transform. Whatever makes the back-end forget its state (a new frame, a
// switch to or from a layer, a read-back that flushes, an image redrawn at
// another scale) applies it again through that path.
//
// Threads: user-interface thread, inside a paint (the back-end's drawing
// context current).

#include <cstdint>
#include <deque>

#include "graphics/ICanvas.h"
#include "graphics/records/IAffine.h"
#include "graphics/records/IBox.h"

struct NSVGimage;

namespace plugkit::canvas {

class ICanvasPathBase : public ICanvas {
public:
  using ICanvas::ICanvas;
  ~ICanvasPathBase() override;

  // Images: in a frame translated, scaled or rotated around the image, then
  // the back-end's PaintImage.
  void PaintVectorImage(const IVectorImage& image, const IBox& box, const IComposite* blend = nullptr) override;
  void PaintVectorImageTurned(const IVectorImage& image, float cx, float cy, float width, float height,
                              double angleDegrees, const IComposite* blend = nullptr) override;
  void PaintImageStretched(const IImageHandle& image, const IBox& box, const IComposite* blend = nullptr) override;
  void PaintImageTurned(const IImageHandle& image, float cx, float cy, double angleDegrees,
                        const IComposite* blend = nullptr) override;

  // Primitives: ShapeReset, the shape, one ShapeStroke (Outline...) or one
  // ShapeFill (Flood...) with a flat fill of the colour and default options.
  void PlotPixel(IArgb colour, float x, float y, const IComposite* blend = nullptr) override;
  void OutlineSegment(IArgb colour, float x1, float y1, float x2, float y2, const IComposite* blend = nullptr,
                      float thickness = 1.0f) override;
  // Stroked with a one-entry dash pattern; a back-end whose stroker has no
  // dashes builds them as geometry instead.
  void OutlineDashedSegment(IArgb colour, float x1, float y1, float x2, float y2, const IComposite* blend,
                            float thickness, float dashLength) override;
  void OutlineTriangle(IArgb colour, float x1, float y1, float x2, float y2, float x3, float y3,
                       const IComposite* blend = nullptr, float thickness = 1.0f) override;
  void OutlineBox(IArgb colour, const IBox& box, const IComposite* blend = nullptr, float thickness = 1.0f) override;
  void OutlineRoundedBoxCorners(IArgb colour, const IBox& box, float topLeft, float topRight, float bottomLeft,
                                float bottomRight, const IComposite* blend = nullptr,
                                float thickness = 1.0f) override;
  void OutlineRoundedBox(IArgb colour, const IBox& box, float radius, const IComposite* blend = nullptr,
                         float thickness = 1.0f) override;
  void OutlineArc(IArgb colour, float cx, float cy, float r, float a1, float a2, const IComposite* blend = nullptr,
                  float thickness = 1.0f) override;
  void OutlineCircle(IArgb colour, float cx, float cy, float r, const IComposite* blend = nullptr,
                     float thickness = 1.0f) override;
  void OutlineOval(IArgb colour, float cx, float cy, float rx, float ry, float angle,
                   const IComposite* blend = nullptr, float thickness = 1.0f) override;
  void OutlineOvalInBox(IArgb colour, const IBox& box, const IComposite* blend = nullptr,
                        float thickness = 1.0f) override;
  void OutlinePolygon(IArgb colour, const float* x, const float* y, int32_t count, const IComposite* blend = nullptr,
                      float thickness = 1.0f) override;
  void OutlineDashedBox(IArgb colour, const IBox& box, const IComposite* blend, float thickness,
                        float dashLength) override;
  void FloodTriangle(IArgb colour, float x1, float y1, float x2, float y2, float x3, float y3,
                     const IComposite* blend = nullptr) override;
  void FloodBox(IArgb colour, const IBox& box, const IComposite* blend = nullptr) override;
  void FloodRoundedBoxCorners(IArgb colour, const IBox& box, float topLeft, float topRight, float bottomLeft,
                              float bottomRight, const IComposite* blend = nullptr) override;
  void FloodRoundedBox(IArgb colour, const IBox& box, float radius, const IComposite* blend = nullptr) override;
  void FloodCircle(IArgb colour, float cx, float cy, float r, const IComposite* blend = nullptr) override;
  void FloodOval(IArgb colour, float cx, float cy, float rx, float ry, float angle,
                 const IComposite* blend = nullptr) override;
  void FloodOvalInBox(IArgb colour, const IBox& box, const IComposite* blend = nullptr) override;
  void FloodPie(IArgb colour, float cx, float cy, float r, float a1, float a2,
                const IComposite* blend = nullptr) override;
  void FloodPolygon(IArgb colour, const float* x, const float* y, int32_t count,
                    const IComposite* blend = nullptr) override;
  // The whole grid is one stroke (an empty one when neither step exceeds 1).
  void OutlineGrid(IArgb colour, const IBox& box, float xStep, float yStep, const IComposite* blend = nullptr,
                   float thickness = 1.0f) override;
  // One open polyline; y 0 lies on the box's bottom edge, 1 on its top edge.
  void OutlinePlot(IArgb colour, const IBox& box, const float* y, int32_t count, const float* x,
                   const IComposite* blend = nullptr, float thickness = 1.0f) override;

  // Shape builders; each closes its sub-path.
  bool CanDrawShapes() override;
  void ShapeAddTriangle(float x1, float y1, float x2, float y2, float x3, float y3) override;
  void ShapeAddBox(const IBox& box) override;
  void ShapeAddRoundedBox(const IBox& box, float radius) override;
  void ShapeAddRoundedBoxCorners(const IBox& box, float topLeft, float topRight, float bottomLeft,
                                 float bottomRight) override;
  void ShapeAddCircle(float cx, float cy, float r) override;
  void ShapeAddOvalInBox(const IBox& box) override;
  // An oval of radii rx, ry turned by angle degrees: the unit circle under a
  // temporary transform. Radii of 0 or less add nothing.
  void ShapeAddOval(float cx, float cy, float rx, float ry, float angle) override;
  void ShapeAddPolygon(const float* x, const float* y, int32_t count) override;

  // The shape transform. Each change hands the new transform to the
  // back-end. Translations, scales, rotations and skews apply in shape
  // coordinates, before the existing transform.
  void ShapeSaveTransform() override;
  // With an empty save stack nothing happens.
  void ShapeRestoreTransform() override;
  void ShapeResetTransform(bool clearSaved) override;
  void ShapeTranslate(float dx, float dy) override;
  void ShapeScale(float s) override;
  void ShapeScaleXY(float sx, float sy) override;
  void ShapeRotate(float degrees) override;
  void ShapeSkew(float xDegrees, float yDegrees) override;
  // transform applies first, then the current one.
  void ShapeApplyTransform(const IAffine& transform) override;
  // Clips to box within the area being drawn (the top layer's box while a
  // layer is open, else the region); the all-zero box clips to the whole area.
  // Taken in logical coordinates, untouched by the shape transform.
  void ShapeClipBox(const IBox& box) override;

  // A paint starts with the identity transform, no saved transforms and
  // the whole editor as its region and clip.
  void StartPaint() override;
  void StartRegionPaint(const IBox& clip) override;
  float PixelDensity() override;
  // Redraws through a layer of its own (ICanvas::RescaleImage), which resets
  // the transform and the clip; the caller's transform, saved transforms and
  // clip are in force again afterwards, so a fetch in the middle of a paint
  // leaves the paint as it was.
  IImageHandle RescaleImage(const IImageHandle& image, const char* name, int32_t scale) override;

  // Draws every visible shape of a parsed vector image in the current
  // transform (image units = shape units). A null image draws nothing.
  void DrawSvgShapes(const NSVGimage* image, const IComposite* blend);

  const IBox& Region() const { return mRegion; }
  // The clip in force, in logical coordinates.
  const IBox& Clip() const { return mClip; }
  const IAffine& Transform() const { return mTransform; }
  int32_t SavedTransformCount() const { return static_cast<int32_t>(mSavedTransforms.size()); }

protected:
  // The back-end's clip box and transform (logical coordinates, before the
  // draw scale and any layer offset, which the back-end applies).
  virtual void SetBackendClip(const IBox& box) = 0;
  virtual void SetBackendTransform(const IAffine& transform) = 0;

  // The area clipping refers to: the top layer's box, else the region.
  IBox ClipArea() const;
  // Hands Clip() and Transform() to the back-end, clip first (see above).
  // A back-end calls it whenever it begins a frame.
  void ApplyDrawState();

  // Dashes as geometry, for back-ends whose stroker has none: sub-paths of
  // equal dashes and gaps, to be stroked plainly. A dash length of 0 or less
  // (or not finite) adds nothing.
  // Along the segment: round(length / dash) equal pieces, every other one
  // drawn, starting with a dash at (x1, y1).
  void ShapeAddDashedSegment(float x1, float y1, float x2, float y2, float dashLength);
  // Around the box: the top edge rightwards and the right edge downwards,
  // then the bottom edge leftwards and the left edge upwards.
  void ShapeAddDashedBox(const IBox& box, float dashLength);

private:
  void StrokePath(IArgb colour, float thickness, const IComposite* blend);
  void FillPath(IArgb colour, const IComposite* blend);
  void TransformChanged();

  IBox mRegion;
  IBox mClip;
  IAffine mTransform;
  std::deque<IAffine> mSavedTransforms;
};

} // namespace plugkit::canvas
