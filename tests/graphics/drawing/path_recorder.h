#pragma once
// A path-drawing canvas without a back-end: every path operation, stroke,
// fill, clip and transform that ICanvasPathBase hands on is logged as a line
// of text, with points already mapped through the current shape transform,
// so tests see the geometry a back-end would draw.

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "graphics/drawing/ICanvasPathBase.h"
#include "tests/graphics/null_canvas.h"

namespace plugkit::canvas::test {

// Rounded to 1e-3, so float rounding of rotations does not show.
inline std::string Num(double v) {
  v = std::round(v * 1000.0) / 1000.0;
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", v == 0.0 ? 0.0 : v);  // no "-0"
  return text;
}

class PathRecorder : public NullBackend<NullPlatform<ICanvasPathBase>> {
public:
  explicit PathRecorder(float drawScale = 1.0f) : NullBackend(nullptr, 250, 160, 60, drawScale) {}

  std::vector<std::string> log;
  bool logTransforms = false;  // also log every transform handed on

  std::string Point(float x, float y) const {
    double px = x, py = y;
    Transform().Map(px, py);
    return Num(px) + "," + Num(py);
  }

  void ShapeReset() override { log.push_back("reset"); }
  void ShapeClose() override { log.push_back("close"); }
  void ShapeMoveTo(float x, float y) override { log.push_back("move " + Point(x, y)); }
  void ShapeLineTo(float x, float y) override { log.push_back("line " + Point(x, y)); }
  void ShapeAddArc(float cx, float cy, float r, float a1, float a2, int32_t direction) override {
    log.push_back("arc " + Point(cx, cy) + " r" + Num(r) + " " + Num(a1) + ".." + Num(a2) + " d" + Num(direction));
  }
  void ShapeSetDirection(int32_t direction) override { log.push_back("direction " + Num(direction)); }
  void ShapeCubicTo(float c1x, float c1y, float c2x, float c2y, float x, float y) override {
    log.push_back("cubic " + Point(c1x, c1y) + " " + Point(c2x, c2y) + " " + Point(x, y));
  }
  void ShapeQuadTo(float cx, float cy, float x, float y) override {
    log.push_back("quad " + Point(cx, cy) + " " + Point(x, y));
  }
  void ShapeStroke(const IFill& fill, float thickness, const IStrokeOptions& options, const IComposite*) override {
    std::string line = "stroke " + Num(thickness) + " " + FillText(fill);
    if (options.Dash.Count > 0) line += " dash " + Num(options.Dash.Lengths[0]) + "x" + Num(options.Dash.Count);
    log.push_back(line);
    lastStroke = options;
  }
  void ShapeFill(const IFill& fill, const IFillOptions& options, const IComposite*) override {
    log.push_back("fill " + FillText(fill) + " rule" + Num(static_cast<int>(options.Rule)) +
                  (options.PreserveShape ? " keep" : ""));
  }
  void PaintImage(const IImageHandle&, const IBox& box, int32_t, int32_t, const IComposite*) override {
    log.push_back("image " + Point(box.Left, box.Top) + " " + Point(box.Right, box.Bottom));
  }

  // The dashed geometry helpers are protected; tests reach them here.
  using ICanvasPathBase::ShapeAddDashedBox;
  using ICanvasPathBase::ShapeAddDashedSegment;

  IStrokeOptions lastStroke;

  // Back-end answers that differ from a canvas that draws nothing.
  const char* GetBackendName() override { return "recorder"; }
  int32_t PixelAlphaIndex() override { return 3; }

protected:
  void SetBackendClip(const IBox& b) override {
    log.push_back("clip " + Num(b.Left) + "," + Num(b.Top) + "," + Num(b.Right) + "," + Num(b.Bottom));
  }
  void SetBackendTransform(const IAffine& m) override {
    if (!logTransforms) return;
    log.push_back(m.IsIdentity() ? std::string("transform identity")
                                 : "transform " + Num(m.XX) + "," + Num(m.YX) + "," + Num(m.XY) + "," + Num(m.YY) +
                                       "," + Num(m.TX) + "," + Num(m.TY));
  }

private:
  static std::string FillText(const IFill& fill) {
    const IArgb& c = fill.Stops[0].Colour;
    return "#" + Num(c.Alpha) + "/" + Num(c.Red) + "/" + Num(c.Green) + "/" + Num(c.Blue);
  }
};

} // namespace plugkit::canvas::test
