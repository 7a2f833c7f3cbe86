// The shape transform, clipping and the shape builders of the path base.

#include "graphics/drawing/ICanvasPathBase.h"

#include <algorithm>
#include <cmath>

#include "graphics/drawing/PathLimits.h"

namespace plugkit::canvas {

namespace {

// A corner radius that is negative or not a number would mirror its arc
// outside the box; it counts as a sharp corner.
float CornerRadius(float r) { return r > 0.0f ? r : 0.0f; }

} // namespace

ICanvasPathBase::~ICanvasPathBase() = default;

bool ICanvasPathBase::CanDrawShapes() { return true; }

float ICanvasPathBase::PixelDensity() { return static_cast<float>(ScreenScale()) * DrawScale(); }

// ---- Transform ----

void ICanvasPathBase::TransformChanged() { SetBackendTransform(mTransform); }

void ICanvasPathBase::ShapeSaveTransform() {
  mSavedTransforms.push_back(mTransform);
  TransformChanged();
}

void ICanvasPathBase::ShapeRestoreTransform() {
  if (!mSavedTransforms.empty()) {
    mTransform = mSavedTransforms.back();
    mSavedTransforms.pop_back();
  }
  TransformChanged();
}

void ICanvasPathBase::ShapeResetTransform(bool clearSaved) {
  if (clearSaved) mSavedTransforms.clear();
  mTransform = IAffine();
  TransformChanged();
}

void ICanvasPathBase::ShapeTranslate(float dx, float dy) {
  mTransform.TX += mTransform.XX * dx + mTransform.XY * dy;
  mTransform.TY += mTransform.YX * dx + mTransform.YY * dy;
  TransformChanged();
}

void ICanvasPathBase::ShapeScale(float s) { ShapeScaleXY(s, s); }

void ICanvasPathBase::ShapeScaleXY(float sx, float sy) {
  mTransform.XX *= sx;
  mTransform.YX *= sx;
  mTransform.XY *= sy;
  mTransform.YY *= sy;
  TransformChanged();
}

void ICanvasPathBase::ShapeRotate(float degrees) {
  mTransform.ApplyRotation(degrees);
  TransformChanged();
}

void ICanvasPathBase::ShapeSkew(float xDegrees, float yDegrees) {
  const double tx = std::tan(xDegrees * 3.14159265358979323846 / 180.0);
  const double ty = std::tan(yDegrees * 3.14159265358979323846 / 180.0);
  const IAffine m = mTransform;
  mTransform.XX = m.XX + ty * m.XY;
  mTransform.YX = m.YX + ty * m.YY;
  mTransform.XY = m.XY + tx * m.XX;
  mTransform.YY = m.YY + tx * m.YX;
  TransformChanged();
}

void ICanvasPathBase::ShapeApplyTransform(const IAffine& transform) {
  mTransform.Compose(transform);
  TransformChanged();
}

// ---- Clipping and regions ----

IBox ICanvasPathBase::ClipArea() const {
  const ILayer* layer = TopLayer();
  return layer ? layer->Box : mRegion;
}

void ICanvasPathBase::ApplyDrawState() {
  // The back-end maps the clip through its current transform: the identity
  // one here, which holds only the draw scale and the layer's offset.
  SetBackendTransform(IAffine());
  SetBackendClip(mClip);
  SetBackendTransform(mTransform);
}

void ICanvasPathBase::ShapeClipBox(const IBox& box) {
  const IBox area = ClipArea();
  IBox clip;
  if (box.IsEmpty()) {
    clip = area;
  } else if (!area.IsEmpty() && box.Right >= area.Left && box.Left < area.Right && box.Bottom >= area.Top &&
             box.Top < area.Bottom) {
    clip = IBox(std::fmax(box.Left, area.Left), std::fmax(box.Top, area.Top), std::fmin(box.Right, area.Right),
                std::fmin(box.Bottom, area.Bottom));
  }
  mClip = clip;
  ApplyDrawState();
}

void ICanvasPathBase::StartPaint() {
  ICanvas::StartPaint();
  mSavedTransforms.clear();
  mTransform = IAffine();
  mRegion = IBox(0.0f, 0.0f, static_cast<float>(Width()), static_cast<float>(Height()));
  mClip = mRegion;
}

void ICanvasPathBase::StartRegionPaint(const IBox& clip) {
  mSavedTransforms.clear();
  mTransform = IAffine();
  ShapeReset();
  mRegion = clip;
  mClip = clip;
  ApplyDrawState();
}

IImageHandle ICanvasPathBase::RescaleImage(const IImageHandle& image, const char* name, int32_t scale) {
  const IAffine transform = mTransform;
  const std::deque<IAffine> saved = mSavedTransforms;
  const IBox clip = mClip;
  const IImageHandle rescaled = ICanvas::RescaleImage(image, name, scale);
  mTransform = transform;
  mSavedTransforms = saved;
  mClip = clip;
  ApplyDrawState();
  return rescaled;
}

// ---- Shape builders ----

void ICanvasPathBase::ShapeAddTriangle(float x1, float y1, float x2, float y2, float x3, float y3) {
  ShapeMoveTo(x1, y1);
  ShapeLineTo(x2, y2);
  ShapeLineTo(x3, y3);
  ShapeClose();
}

void ICanvasPathBase::ShapeAddBox(const IBox& box) {
  ShapeMoveTo(box.Left, box.Top);
  ShapeLineTo(box.Right, box.Top);
  ShapeLineTo(box.Right, box.Bottom);
  ShapeLineTo(box.Left, box.Bottom);
  ShapeClose();
}

void ICanvasPathBase::ShapeAddRoundedBox(const IBox& box, float radius) {
  ShapeAddRoundedBoxCorners(box, radius, radius, radius, radius);
}

void ICanvasPathBase::ShapeAddRoundedBoxCorners(const IBox& box, float topLeft, float topRight, float bottomLeft,
                                                float bottomRight) {
  const float tl = CornerRadius(topLeft);
  const float tr = CornerRadius(topRight);
  const float bl = CornerRadius(bottomLeft);
  const float br = CornerRadius(bottomRight);
  if (tl == 0.0f && tr == 0.0f && bl == 0.0f && br == 0.0f) {
    ShapeAddBox(box);
    return;
  }
  const float l = box.Left, t = box.Top, r = box.Right, b = box.Bottom;
  ShapeMoveTo(l, t + tl);
  ShapeAddArc(l + tl, t + tl, tl, 270.0f, 360.0f, 0);
  ShapeAddArc(r - tr, t + tr, tr, 0.0f, 90.0f, 0);
  ShapeAddArc(r - br, b - br, br, 90.0f, 180.0f, 0);
  ShapeAddArc(l + bl, b - bl, bl, 180.0f, 270.0f, 0);
  ShapeClose();
}

void ICanvasPathBase::ShapeAddCircle(float cx, float cy, float r) {
  // A negative radius would trace the same circle from its far side; there
  // is no such circle, so nothing is added.
  if (!(r >= 0.0f)) return;
  ShapeMoveTo(cx, cy - r);
  ShapeAddArc(cx, cy, r, 0.0f, 360.0f, 0);
  ShapeClose();
}

void ICanvasPathBase::ShapeAddOval(float cx, float cy, float rx, float ry, float angle) {
  if (!(rx > 0.0f) || !(ry > 0.0f)) return;
  ShapeSaveTransform();
  ShapeTranslate(cx, cy);
  ShapeRotate(angle);
  ShapeScaleXY(rx, ry);
  ShapeAddCircle(0.0f, 0.0f, 1.0f);
  ShapeRestoreTransform();
}

void ICanvasPathBase::ShapeAddOvalInBox(const IBox& box) {
  ShapeAddOval(box.MidX(), box.MidY(), box.Width() / 2.0f, box.Height() / 2.0f, 0.0f);
}

void ICanvasPathBase::ShapeAddPolygon(const float* x, const float* y, int32_t count) {
  if (!x || !y || count < 1) return;
  ShapeMoveTo(x[0], y[0]);
  for (int32_t i = 1; i < count; ++i) ShapeLineTo(x[i], y[i]);
  ShapeClose();
}

// ---- Dashes as geometry ----

void ICanvasPathBase::ShapeAddDashedSegment(float x1, float y1, float x2, float y2, float dashLength) {
  if (!DashLengthUsable(dashLength)) return;
  const double dx = static_cast<double>(x2) - x1;
  const double dy = static_cast<double>(y2) - y1;
  const double pieces = std::round(std::sqrt(dx * dx + dy * dy) / dashLength);
  if (!std::isfinite(pieces)) return;
  const int32_t k = static_cast<int32_t>(std::min<double>(pieces, kMaxPathPieces));
  ShapeMoveTo(x1, y1);
  if (k <= 1) return;
  const double step = 1.0 / k;
  for (int32_t i = 1; i < k; i += 2) {
    const double a = i * step;
    const double b = (i + 1) * step;
    ShapeLineTo(static_cast<float>(x1 + dx * a), static_cast<float>(y1 + dy * a));
    ShapeMoveTo(static_cast<float>(x1 + dx * b), static_cast<float>(y1 + dy * b));
  }
}

void ICanvasPathBase::ShapeAddDashedBox(const IBox& box, float dashLength) {
  if (!DashLengthUsable(dashLength)) return;
  const float l = box.Left, t = box.Top, r = box.Right, b = box.Bottom;
  const auto count = [](float span, float dash) {
    const double n = std::ceil(static_cast<double>(span) / (2.0 * dash));
    return n > 0.0 ? static_cast<int32_t>(std::min<double>(n, kMaxPathPieces)) : 0;
  };
  const int32_t nx = count(r - l, dashLength);
  const int32_t ny = count(b - t, dashLength);
  float x = l, y = t;
  ShapeMoveTo(x, y);
  for (int pass = 0; pass < 2; ++pass) {
    const float d = pass == 0 ? dashLength : -dashLength;
    for (int32_t i = 0; i < nx; ++i) {
      const float x1 = std::clamp(x + d, l, r);
      ShapeLineTo(x1, y);
      x = std::clamp(x1 + d, l, r);
      ShapeMoveTo(x, y);
    }
    for (int32_t i = 0; i < ny; ++i) {
      const float y1 = std::clamp(y + d, t, b);
      ShapeLineTo(x, y1);
      y = std::clamp(y1 + d, t, b);
      ShapeMoveTo(x, y);
    }
  }
}

} // namespace plugkit::canvas
