#pragma once
// IVST3ControllerBase: the edit-controller half of the VST 3 binding. It
// publishes the plug-in's IParam list to the host as VST 3 parameters and
// units and keeps the pointer to the "Bypass" parameter. IVST3Binding derives
// from it; the edit-controller calls themselves (setParamNormalized,
// getParamNormalized, the MIDI mapping) are IVST3Binding's.
//
// Host parameter ids:
//   0 .. N-1                    the IParam with that index
//   kBypassParamId (0x10000)    "Bypass" (effects only)
//   kPresetParamId (0x10001)    preset change, taken by setParamNormalized;
//                               no parameter object has this id
//   kMidiParamBase (0x10002) + channel * 130 + controller
//                               MIDI controllers (plug-ins with MIDI input;
//                               controller 0-127 control change, 128 channel
//                               aftertouch, 129 pitch bend; channel 1 only)
//
// Units: "Root" (id 0); one unit per distinct non-empty IParam group name in
// order of first appearance (id = its 1-based position, parent 0); with MIDI
// input "MIDI CCs" and under it "CH1" (each with the id unit count + 1 at the
// moment it is added).
//
// Threads and ownership: built once by initialize and dropped by terminate,
// both on the host's user-interface thread. The SDK's parameter container
// owns every parameter object; BypassParameter only borrows the bypass one
// and is null whenever the container does not hold it. The controller owns
// its view pointer (EditorView); the views only report to it.

#include <cstdint>

#include "api/vst3/IVST3Parameter.h"
#include "public.sdk/source/vst/vsteditcontroller.h"

namespace plugkit {

class IPluginBase;
class IVST3View;

class IVST3ControllerBase {
public:
  static constexpr Steinberg::Vst::ParamID kBypassParamId = IVST3BypassParameter::kId;
  static constexpr Steinberg::Vst::ParamID kPresetParamId = 0x10001;
  static constexpr Steinberg::Vst::ParamID kMidiParamBase = 0x10002;
  static constexpr int32_t kMidiParamsPerChannel = 130;
  static constexpr int32_t kMidiChannels = 16;

  // The controller number (0-129) and channel (0-15) of a MIDI-controller id;
  // false for any other id.
  static bool DecodeMidiParamId(Steinberg::Vst::ParamID id, int32_t& channel, int32_t& controller);

  // The controller name of the MIDI-controller table, "" outside 0-129.
  static const char* MidiControllerName(int32_t controller);

protected:
  IVST3ControllerBase() = default;
  ~IVST3ControllerBase() = default;

  // Adds the units and parameters described above to the controller's
  // containers, in this order: "Root", the bypass parameter unless
  // isInstrument, each IParam's group unit (when new) and its IVST3Parameter,
  // then with takesMidiInput the MIDI units and parameters.
  void BuildHostParameters(IPluginBase& plugin, Steinberg::Vst::EditControllerEx1& controller,
                           Steinberg::Vst::ParameterContainer& container, bool isInstrument, bool takesMidiInput);

  // Null before initialize, after terminate and for instruments.
  IVST3BypassParameter* BypassParameter = nullptr;

public:
  // The view the controller asks for resizes and context menus (not owned):
  // the view that shows the editor; while none does, the view made or
  // attached last; null when there is none. User-interface thread only:
  // hosts make every createView and view call there, and the editor asks
  // from there.
  IVST3View* EditorView() const { return mEditorView; }

  // Counts every opening and closing of the editor, so that what a host
  // holds from an earlier opening (a context-menu target) can tell: a value
  // taken while the editor is open differs from every later one once the
  // editor has closed. User-interface thread only, like the views' reports
  // that move it on.
  uint32_t EditorGeneration() const { return mEditorGeneration; }

  // What the views report (IVST3View calls these; user-interface thread).
  // A new view becomes EditorView unless another view shows the editor.
  void OnViewCreated(IVST3View& view);
  // view opens the editor: it becomes EditorView; a new generation begins.
  void OnViewShowsEditor(IVST3View& view);
  // view closes the editor it showed (or failed to open it); a new
  // generation begins.
  void OnViewHidesEditor(IVST3View& view);
  // view is being destroyed: EditorView falls to the view that still shows
  // the editor, or to none.
  void OnViewGone(IVST3View& view);

private:
  IVST3View* mEditorView = nullptr;
  IVST3View* mEditorShownIn = nullptr; // the view whose editor is open
  uint32_t mEditorGeneration = 0;
};

} // namespace plugkit
