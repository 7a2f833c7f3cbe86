#pragma once
// IEditorDelegate: the interface between the plug-in and its editor. It owns
// the parameter list and routes parameter values, MIDI, SysEx and tagged
// messages between the plug-in side and whatever editor is attached.
//
// Chain: IEditorDelegate -> canvas::ICanvasEditorDelegate (the graphical
// editor) -> IPluginBase -> IApiBase -> binding -> product. The virtual
// operations are numbered in declaration order (0 to 33 here);
// ICanvasEditorDelegate adds 34 and 35, IPluginBase continues from 36 and
// IApiBase from 43. The numbers follow the full list of operations across the
// chain, but operations that nothing calls or overrides are left out, so the
// numbering has gaps (39-40, 45, 47-49, 54-55, 62-63) rather than being
// renumbered.
//
// Threads: everything runs on the host's user-interface thread. Only the
// parameter values are shared with the audio thread, and IParam stores them
// atomically. Values produced on the audio thread reach the editor through
// the hand-off queues drained on the editor tick, never by a direct call.
//
// Ownership: the delegate creates one fresh IParam per index at construction
// and deletes them (last to first) at destruction; the count never changes.
// Callers get borrowed pointers from GetParam.

#include <cstdint>

#include "core/IChangeSource.h"
#include "core/IParam.h"
#include "core/IPointerArray.h"

namespace plugkit {

struct IMidiShortMessage;
struct ISysExView;
class IStateBuffer;

namespace canvas {
struct IKeyStroke;
}

class IEditorDelegate {
public:
  // paramCount fresh parameters (a negative count gives none). A parameter
  // whose creation fails is not added, so ParamCount() may be lower; callers
  // go by ParamCount().
  explicit IEditorDelegate(int32_t paramCount);
  IEditorDelegate(const IEditorDelegate&) = delete;
  IEditorDelegate& operator=(const IEditorDelegate&) = delete;

  // 0. Deletes every parameter, last to first.
  virtual ~IEditorDelegate();

  // 1. Opens the editor in the host's parent window and returns the native
  // view, or null when there is no editor. Base: OnEditorShown, null.
  virtual void* AttachEditor(void* parentWindow);
  // 2. Closes the editor. Base: OnEditorHidden.
  virtual void DetachEditor();
  // 3. Base: PushParamValue of every parameter's normalised value, in order.
  virtual void OnEditorShown();
  // 4. Called before the editor closes. Base: nothing.
  virtual void OnEditorHidden();
  // 5. Per-index hook of OnParamChange. Base: nothing.
  virtual void OnParamIndexChanged(int32_t index);
  // 6. A parameter's value changed (sampleOffset -1 when not tied to a frame).
  // Base: trace, then OnParamIndexChanged.
  virtual void OnParamChange(int32_t index, IChangeSource source, int32_t sampleOffset);
  // 7. The editor side of a change. Base: nothing.
  virtual void OnParamChangeForEditor(int32_t index, IChangeSource source);
  // 8. Every parameter changed at once (preset, state). Base: for every index
  // in order OnParamChange (i, source, -1) then OnParamChangeForEditor.
  virtual void OnEveryParamChange(IChangeSource source);
  // 9., 10. MIDI and SysEx for the editor. Base: nothing. The view's bytes
  // belong to the caller and live only for the call.
  virtual void OnMidiForEditor(const IMidiShortMessage& message);
  virtual void OnSysExForEditor(const ISysExView& view);
  // 11. A tagged message (controlTag -1 when not from a control); data holds
  // size bytes owned by the caller. Returns whether it was handled. Base: false.
  virtual bool OnTaggedMessage(int32_t messageTag, int32_t controlTag, int32_t size, const void* data);
  // 12. The whole state was replaced (preset, chunk). Base: as OnEditorShown.
  virtual void OnStateLoaded();
  // 13., 14. Keys the host passes on. Returns whether handled. Base: false.
  virtual bool OnHostKeyDown(const canvas::IKeyStroke& key);
  virtual bool OnHostKeyUp(const canvas::IKeyStroke& key);
  // 15. A normalised value for the controls tagged controlTag. Base: nothing.
  virtual void PushControlValue(int32_t controlTag, double normalisedValue);
  // 16. Base: OnTaggedMessage (messageTag, controlTag, size, data).
  virtual void PushControlMessage(int32_t controlTag, int32_t messageTag, int32_t size, const void* data);
  // 17. Base: OnTaggedMessage (messageTag, -1, size, data).
  virtual void PushTaggedMessage(int32_t messageTag, int32_t size, const void* data);
  // 18. Base: OnMidiForEditor.
  virtual void PushMidiToEditor(const IMidiShortMessage& message);
  // 19. Base: OnSysExForEditor.
  virtual void PushSysExToEditor(const ISysExView& view);
  // 20. A parameter value for the editor (real or normalised). The parameter
  // itself is not changed. Base: OnParamChangeForEditor (index, EditorDelegate).
  virtual void PushParamValue(int32_t index, double value, bool isNormalised);
  // 21. Base: nothing (the host-facing base sends the values).
  virtual void SendAllParamValuesToHost();
  // 22., 24. The editor starts and ends a gesture on a parameter (host edit
  // begin/end); implemented by the host-facing base.
  virtual void BeginEditorGesture(int32_t index) = 0;
  // 23. The editor sets a normalised value. Base: IParam::ApplyNormalised,
  // then OnParamChangeForEditor (index, UI); an index out of range does
  // nothing.
  virtual void SetParamFromEditor(int32_t index, double normalisedValue);
  virtual void EndEditorGesture(int32_t index) = 0;
  // 25. The editor asks the host for a new size. Base: false.
  virtual bool RequestEditorResize(int32_t width, int32_t height);
  // 26.-28. Editor output for the plug-in side. Base: nothing.
  virtual void RouteEditorMidi(const IMidiShortMessage& message);
  virtual void RouteEditorSysEx(const ISysExView& view);
  virtual void RouteEditorMessage(int32_t messageTag, int32_t controlTag, int32_t size, const void* data);
  // 29., 30. Editor MIDI and SysEx for the audio thread. Base: nothing.
  virtual void QueueMidiForProcessor(const IMidiShortMessage& message);
  virtual void QueueSysExForProcessor(const ISysExView& view);
  // 31. Appends the editor's size to a state chunk. Base: appends nothing, true.
  virtual bool SerializeEditorSize(IStateBuffer& chunk) const;
  // 32. Reads what 31 appended; returns the position after it or -1.
  // Base: the position unchanged.
  virtual int32_t UnserializeEditorSize(const IStateBuffer& chunk, int32_t position);
  // 33. The host's screen scale. Base: nothing.
  virtual void ApplyHostScale(float scale);

  int32_t ParamCount() const { return mParams.Count(); }
  // The parameter at index (owned by the delegate), or null out of range.
  IParam* GetParam(int32_t index) const { return mParams.Get(index); }

  // Editor size in pixels at scale 1, from the configuration record.
  int32_t EditorWidth() const { return mEditorWidth; }
  int32_t EditorHeight() const { return mEditorHeight; }
  void SetEditorSize(int32_t width, int32_t height) { mEditorWidth = width; mEditorHeight = height; }

private:
  IPointerArray<IParam> mParams;
  int32_t mEditorWidth = 0;
  int32_t mEditorHeight = 0;
};

} // namespace plugkit
