#pragma once
// ICanvasEditorDelegate: the layer of the plug-in object that gives the
// editor-delegate interface a graphical editor. Every plug-in object is one:
// IEditorDelegate -> ICanvasEditorDelegate -> IPluginBase -> ...
//
// The product installs two function objects in its constructor: a graphics
// factory, which creates the editor's ICanvas (ownership passes to the
// caller), and an editor layout, which attaches the controls to an ICanvas.
//
// Lifecycle of the editor:
//   closed (no graphics) --AttachEditor--> open --DetachEditor--> closed.
// AttachEditor builds the graphics through the factory, re-applies the size
// and draw scale remembered at the last close, and asks the graphics to open
// its window; the platform layer's OpenEditorWindow runs RunEditorLayout
// (and OnEditorShown) once its drawing context exists. DetachEditor calls
// OnEditorHidden, remembers the size and draw scale, closes the window and
// deletes the graphics with its controls (ICanvas::Dispose: when the close
// comes from inside the editor's own call, the window goes at once and the
// delete waits until that call has returned). Without a platform layer the
// window cannot open: AttachEditor answers null (the graphics is kept until
// DetachEditor or destruction).
//
// A host may close the editor, or delete the plug-in, from inside a call
// the editor makes to it (ICanvas::ICallScope says what is guaranteed).
// Every operation below that reaches the graphics holds a scope of it while
// it runs. A delegate that a host can delete meanwhile keeps itself alive
// for as long as a scope holds it (HoldForEditorCall, ReleaseEditorHold):
// the bindings do.
//
// Ownership: the graphics object is owned here from AttachEditor until
// DetachEditor or this object's destruction; EditorGraphics() lends it.
//
// Values: PushParamValue and PushControlValue hand values to the controls
// through IControl::TakeValueFromDelegate, which never calls the host back
// and is ignored by a control being dragged.
//
// Threads: user-interface thread only. Values produced on the audio thread
// arrive here through the queues the editor timer drains.

#include <cstdint>
#include <functional>
#include <utility>

#include "core/IEditorDelegate.h"

namespace plugkit::canvas {

class ICanvas;
class IControl;
class IPopupMenu;

class ICanvasEditorDelegate : public IEditorDelegate {
public:
  // Creates a new graphics object; the caller owns the result (null: none).
  using GraphicsFactory = std::function<ICanvas*()>;
  // Attaches the editor's controls to the graphics object it is given.
  using EditorLayout = std::function<void(ICanvas*)>;

  // Bytes SerializeEditorSize appends: int32 width, int32 height, float32
  // draw scale, little-endian.
  static constexpr int32_t kEditorSizeBytes = 12;

  explicit ICanvasEditorDelegate(int32_t paramCount);
  // Deletes an open editor's graphics (and so its controls).
  ~ICanvasEditorDelegate() override;

  // Builds the graphics when none exists, re-applies the remembered size and
  // scale, and answers the graphics' OpenEditorWindow (the native view), or
  // null when there is no graphics or no window could be opened, or the
  // host closed the editor again while it opened.
  void* AttachEditor(void* parentWindow) override;
  // OnEditorHidden, then (with a graphics) remember its size and scale,
  // close its window and delete it. A call made while one runs returns at once.
  void DetachEditor() override;
  // Keys from the host go to the graphics' key routing at the pointer's
  // position (nowhere when that is unknown). False without a graphics.
  bool OnHostKeyDown(const IKeyStroke& key) override;
  bool OnHostKeyUp(const IKeyStroke& key) override;
  // Every listed control whose ControlId is controlTag gets the value in its
  // slot 0 (a negative tag addresses nothing).
  void PushControlValue(int32_t controlTag, double normalisedValue) override;
  // The same selection; each gets OnDelegateMessage.
  void PushControlMessage(int32_t controlTag, int32_t messageTag, int32_t size, const void* data) override;
  // Controls that take MIDI get it in list order; then OnMidiForEditor.
  void PushMidiToEditor(const IMidiShortMessage& message) override;
  // Every slot of every listed control bound to index gets the value
  // (normalised first with the parameter's rule when isNormalised is false);
  // then, always, OnParamChangeForEditor(index, EditorDelegate). A real value
  // for an unknown parameter, and NaN, reach no control.
  void PushParamValue(int32_t index, double value, bool isNormalised) override;
  // Appends kEditorSizeBytes: the open graphics' width, height and draw
  // scale, else the remembered ones. False (chunk unchanged) when the chunk
  // cannot grow.
  bool SerializeEditorSize(IStateBuffer& chunk) const override;
  // Reads what SerializeEditorSize wrote at position; answers the position
  // after it, or -1 when the chunk is too short or the record is not valid
  // (a negative size or scale, a scale that is not finite); then nothing
  // changes. Closed: the values become the remembered ones. Open: they are
  // applied when all three are positive.
  int32_t UnserializeEditorSize(const IStateBuffer& chunk, int32_t position) override;
  // The host's screen scale, rounded, for an open graphics. A scale that is
  // not a positive number is ignored.
  void ApplyHostScale(float scale) override;

  // Taken by every ICanvas::ICallScope of this delegate's graphics, and let
  // go when the scope ends: while held, a plug-in the host deletes (VST 2.4
  // effClose, VST 3 last release) waits, and is deleted by the last
  // ReleaseEditorHold. User-interface thread. Base: nothing (a delegate
  // that nothing but its owner deletes).
  virtual void HoldForEditorCall();
  virtual void ReleaseEditorHold();

  // Runs the graphics factory and returns its result (owned by the caller),
  // or null when no factory is installed.
  virtual ICanvas* BuildEditorGraphics();
  // Runs the editor layout on graphics when a layout is installed and
  // graphics is not null.
  virtual void RunEditorLayout(ICanvas* graphics);
  // A binding whose host shows context menus of its own shows the one for
  // control at (x, y, logical pixels) with menu's items, which control has
  // just filled; the choice returns as control's OnContextMenuChoice. True
  // when the host showed it (the canvas then shows nothing itself). Base:
  // false.
  virtual bool OpenHostContextMenu(IControl& control, IPopupMenu& menu, float x, float y);

  // Installed by the product's constructor; an empty function removes one.
  void SetGraphicsFactory(GraphicsFactory factory) { mGraphicsFactory = std::move(factory); }
  void SetEditorLayout(EditorLayout layout) { mEditorLayout = std::move(layout); }
  bool HasGraphicsFactory() const { return static_cast<bool>(mGraphicsFactory); }
  bool HasEditorLayout() const { return static_cast<bool>(mEditorLayout); }

  // The open editor's graphics object (owned here), or null while closed.
  ICanvas* EditorGraphics() const { return mGraphics; }

  // The size and draw scale remembered while closed; all 0: nothing stored.
  int32_t StoredEditorWidth() const { return mStoredWidth; }
  int32_t StoredEditorHeight() const { return mStoredHeight; }
  float StoredEditorScale() const { return mStoredScale; }

private:
  GraphicsFactory mGraphicsFactory;
  EditorLayout mEditorLayout;
  ICanvas* mGraphics = nullptr;
  int32_t mStoredWidth = 0;
  int32_t mStoredHeight = 0;
  float mStoredScale = 0.0f;
  bool mClosing = false;
};

} // namespace plugkit::canvas
