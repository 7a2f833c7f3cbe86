#include "graphics/ICanvasEditorDelegate.h"

namespace plugkit::canvas {

ICanvasEditorDelegate::ICanvasEditorDelegate(int32_t paramCount) : IEditorDelegate(paramCount) {}

// No graphics object can be open yet, so there is none to delete here.
ICanvasEditorDelegate::~ICanvasEditorDelegate() = default;

ICanvas* ICanvasEditorDelegate::BuildEditorGraphics() {
  return mGraphicsFactory ? mGraphicsFactory() : nullptr;
}

void ICanvasEditorDelegate::RunEditorLayout(ICanvas* graphics) {
  if (graphics && mEditorLayout) mEditorLayout(graphics);
}

} // namespace plugkit::canvas
