#pragma once
// IPanelControl: a box painted with a fill, typically the editor's
// background (attached with ICanvas::AttachBackground). It never takes the
// pointer, so presses and hovers pass through it to the controls behind.
// UI thread only; owned by the canvas once attached.

#include "graphics/IControl.h"
#include "graphics/records/IBox.h"
#include "graphics/records/IFill.h"

namespace plugkit {
namespace canvas {

class IPanelControl : public IControl {
public:
  // A colour passed as pattern becomes a one-stop flat fill.
  IPanelControl(const IBox& bounds, const IFill& pattern, bool drawFrame = false);
  ~IPanelControl() override;

  // Fills Bounds with the pattern (on a back-end without shapes: floods it
  // with the first stop's colour), then outlines it when DrawFrame is set.
  void Render(ICanvas& canvas) override;

  const IFill& Pattern() const { return mPattern; }
  void SetPattern(const IFill& pattern) { mPattern = pattern; }
  bool DrawFrame() const { return mDrawFrame; }
  void SetDrawFrame(bool on) { mDrawFrame = on; }

  static constexpr IArgb kFrameColour{255, 240, 240, 240};

private:
  IFill mPattern;
  bool mDrawFrame;
};

} // namespace canvas
} // namespace plugkit
