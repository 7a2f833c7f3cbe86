#pragma once
// Shared pieces of the control and editor-delegate tests: a delegate that logs
// what controls send to the host side, a control that logs what the delegate
// pushes into it, and a canvas without a platform that logs the window,
// pointer and drawing calls the delegate and controls make.

#include <cstdint>
#include <string>
#include <vector>

#include "core/IMidiShortMessage.h"
#include "core/IParam.h"
#include "graphics/ICanvas.h"
#include "graphics/ICanvasEditorDelegate.h"
#include "graphics/IControl.h"
#include "tests/graphics/null_canvas.h"

namespace plugkit::canvas::control_test {

// One call that reached the host side of the delegate.
struct HostCall {
  std::string what;  // "begin", "set" or "end"
  int32_t index;
  double value;      // the normalised value for "set", else 0
  bool operator==(const HostCall& o) const { return what == o.what && index == o.index && value == o.value; }
};

// Four parameters: 0 "Gain" 0..100 (default 50), 1 "Mode" a three-way list
// (0..2, quantised, default 1), 2 "Level" 0..100 (default 0), 3 "Spare" 0..1.
class RecordingDelegate : public ICanvasEditorDelegate {
public:
  static constexpr int32_t kGain = 0, kMode = 1, kLevel = 2, kSpare = 3;

  RecordingDelegate() : ICanvasEditorDelegate(4) {
    GetParam(kGain)->Configure("Gain", 50.0, 0.0, 100.0, 1.0, "%");
    GetParam(kMode)->SetKind(IParamKind::ListChoice);
    GetParam(kMode)->Configure("Mode", 1.0, 0.0, 2.0, 1.0, "", IParamFlag::Quantised);
    GetParam(kLevel)->Configure("Level", 0.0, 0.0, 100.0, 0.5, "dB");
    GetParam(kSpare)->Configure("Spare", 0.0, 0.0, 1.0, 0.01);
  }

  void BeginEditorGesture(int32_t index) override { calls.push_back({"begin", index, 0.0}); }
  void EndEditorGesture(int32_t index) override { calls.push_back({"end", index, 0.0}); }
  void SetParamFromEditor(int32_t index, double value) override {
    calls.push_back({"set", index, value});
    ICanvasEditorDelegate::SetParamFromEditor(index, value);
  }
  void OnParamChangeForEditor(int32_t index, IChangeSource source) override {
    editorChanges.push_back({index, source});
  }
  void OnEditorHidden() override {
    ++hidden;
    journal.push_back("hidden");
  }
  void OnMidiForEditor(const IMidiShortMessage& message) override { midi.push_back(message.status); }

  struct EditorChange {
    int32_t index;
    IChangeSource source;
  };
  std::vector<HostCall> calls;
  std::vector<EditorChange> editorChanges;
  std::vector<uint8_t> midi;
  int hidden = 0;
  std::vector<std::string> journal;  // "hidden", and a canvas' "close" / "destroy" when given it
};

// A control that draws nothing and logs pushes, messages and actions.
class ProbeControl : public IControl {
public:
  using IControl::IControl;

  void Render(ICanvas&) override { ++renders; }
  void TakeValueFromDelegate(double value, int32_t idx) override {
    pushes.push_back({idx, value});
    IControl::TakeValueFromDelegate(value, idx);
  }
  void OnDelegateMessage(int32_t msgTag, int32_t size, const void*) override {
    messages.push_back({msgTag, static_cast<double>(size)});
  }
  void OnMidiFromDelegate(const IMidiShortMessage& message) override { midi.push_back(message.status); }

  std::vector<IBoundValue> pushes;    // {slot, value} as pushed
  std::vector<IBoundValue> messages;  // {msgTag, size}
  std::vector<uint8_t> midi;
  int renders = 0;
};

// A null canvas (see null_canvas.h): windows cannot open (OpenEditorWindow
// answers openAnswer, null by default) and nothing is drawn. It logs the
// calls the editor delegate and controls make; closing and destruction are
// written to the journal it is given.
class RecordingCanvas : public test::NullCanvas {
public:
  explicit RecordingCanvas(ICanvasEditorDelegate* delegate, std::vector<std::string>* journal = nullptr)
      : NullCanvas(delegate, 250, 160, 60, 1.0f), mJournal(journal) {}
  ~RecordingCanvas() override {
    if (mJournal) mJournal->push_back("destroy");
  }

  void* OpenEditorWindow(void* parent) override {
    opened.push_back(parent);
    sizeAtOpen = {Width(), Height(), DrawScale()};
    return openAnswer;
  }
  void CloseEditorWindow() override {
    if (mJournal) mJournal->push_back("close");
    RemoveEveryControl();
  }
  bool QueryPointerPosition(float& x, float& y) override {
    if (!pointerKnown) return false;
    x = pointerX;
    y = pointerY;
    return true;
  }
  void FloodCircle(IArgb colour, float cx, float cy, float r, const IComposite* blend) override {
    circles.push_back({colour, cx, cy, r, blend ? blend->Opacity : -1.0f});
  }
  bool OpenTextField(int32_t paramIndex, const ITextStyle&, const IBox& box, int32_t, const char* text) override {
    textFields.push_back({paramIndex, box, text ? text : ""});
    return true;
  }
  IPopupMenu* RunPopupMenu(IPopupMenu& menu, const IBox& anchor, bool& answersLater) override {
    menus.push_back({&menu, anchor});
    answersLater = true;  // answered by the test through DeliverMenuResult
    return nullptr;
  }

  struct Size {
    int32_t width;
    int32_t height;
    float scale;
  };
  struct Circle {
    IArgb colour;
    float cx, cy, r, opacity;
  };
  struct TextField {
    int32_t paramIndex;
    IBox box;
    std::string text;
  };
  struct Menu {
    IPopupMenu* menu;
    IBox anchor;
  };
  void* openAnswer = nullptr;
  std::vector<void*> opened;
  Size sizeAtOpen{0, 0, 0.0f};
  bool pointerKnown = false;
  float pointerX = 0.0f, pointerY = 0.0f;
  std::vector<Circle> circles;
  std::vector<TextField> textFields;
  std::vector<Menu> menus;

private:
  std::vector<std::string>* mJournal;
};

} // namespace plugkit::canvas::control_test
