#pragma once
// ICanvasEditorDelegate: the layer of the plug-in object that gives the
// editor-delegate interface a graphical editor. Every plug-in object is one:
// IEditorDelegate -> ICanvasEditorDelegate -> IPluginBase -> ...
//
// The product installs two function objects in its constructor: a graphics
// factory, which creates the editor's ICanvas (ownership passes to the
// caller), and an editor layout, which attaches the controls to an ICanvas.
// BuildEditorGraphics and RunEditorLayout run them.
//
// Current extent: this class holds the two function objects and runs them;
// it does not open an editor yet. Until the graphics object, its window and
// its controls exist, every editor-side operation keeps the IEditorDelegate
// base behaviour: AttachEditor returns null (no native view), DetachEditor
// only calls OnEditorHidden, pushes reach no control, host keys are not
// handled (false), the editor size appends nothing to a state chunk and
// reading it leaves the position unchanged, and EditorGraphics() is null.
// Nothing here reports an editor as open.
//
// User-interface thread only.

#include <cstdint>
#include <functional>
#include <utility>

#include "core/IEditorDelegate.h"

namespace plugkit::canvas {

class ICanvas;

class ICanvasEditorDelegate : public IEditorDelegate {
public:
  // Creates a new graphics object; the caller owns the result (null: none).
  using GraphicsFactory = std::function<ICanvas*()>;
  // Attaches the editor's controls to the graphics object it is given.
  using EditorLayout = std::function<void(ICanvas*)>;

  explicit ICanvasEditorDelegate(int32_t paramCount);
  ~ICanvasEditorDelegate() override;

  // 34. Runs the graphics factory and returns its result (owned by the
  // caller), or null when no factory is installed.
  virtual ICanvas* BuildEditorGraphics();
  // 35. Runs the editor layout on graphics when a layout is installed and
  // graphics is not null.
  virtual void RunEditorLayout(ICanvas* graphics);

  // Installed by the product's constructor; an empty function removes one.
  void SetGraphicsFactory(GraphicsFactory factory) { mGraphicsFactory = std::move(factory); }
  void SetEditorLayout(EditorLayout layout) { mEditorLayout = std::move(layout); }
  bool HasGraphicsFactory() const { return static_cast<bool>(mGraphicsFactory); }
  bool HasEditorLayout() const { return static_cast<bool>(mEditorLayout); }

  // The open editor's graphics object (owned here), or null while no editor
  // is open; always null until editors can be opened.
  ICanvas* EditorGraphics() const { return mGraphics; }

private:
  GraphicsFactory mGraphicsFactory;
  EditorLayout mEditorLayout;
  ICanvas* mGraphics = nullptr;
};

} // namespace plugkit::canvas
