#pragma once
// Test doubles for the canvas: a recording canvas (a null canvas, see
// null_canvas.h) that logs paint brackets, region clips and host-facing
// requests; a recording delegate that logs gestures, parameter sets and resize
// requests; a probe control that logs every event it receives and draws
// itself as a log line; and simple in-window menu and text-entry overlays.
// Everything writes to one shared log so tests can check the order.

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/IParam.h"
#include "graphics/ICanvas.h"
#include "graphics/ICanvasEditorDelegate.h"
#include "graphics/IControl.h"
#include "graphics/IEntryOverlay.h"
#include "graphics/IMenuOverlay.h"
#include "tests/graphics/null_canvas.h"
#include "tests/graphics/pointer_events.h"

namespace plugkit::canvas::test {

using Log = std::vector<std::string>;

inline std::string Fmt(const char* format, double a = 0, double b = 0, double c = 0, double d = 0) {
  char text[160];
  std::snprintf(text, sizeof text, format, a, b, c, d);
  return text;
}

inline std::string BoxText(const IBox& b) { return Fmt("%g,%g,%g,%g", b.Left, b.Top, b.Right, b.Bottom); }

// How many lines of log are exactly line.
inline int CountOf(const Log& log, const std::string& line) {
  return static_cast<int>(std::count(log.begin(), log.end(), line));
}

// Parameters: 0 "Gain" decimal 0..100 (label "%"), 1 "Mode" list of three
// with display texts "A", "B", "C", 2 "Steps" quantised integer 0..5.
class RecordingDelegate : public ICanvasEditorDelegate {
public:
  static constexpr int32_t kGain = 0, kMode = 1, kSteps = 2;

  explicit RecordingDelegate(Log& log) : ICanvasEditorDelegate(3), mLog(log) {
    GetParam(kGain)->Configure("Gain", 50.0, 0.0, 100.0, 1.0, "%");
    GetParam(kMode)->SetKind(IParamKind::ListChoice);
    GetParam(kMode)->Configure("Mode", 1.0, 0.0, 2.0, 1.0, "", IParamFlag::Quantised);
    GetParam(kMode)->AddCaption(0.0, "A");
    GetParam(kMode)->AddCaption(1.0, "B");
    GetParam(kMode)->AddCaption(2.0, "C");
    GetParam(kSteps)->SetKind(IParamKind::Integer);
    GetParam(kSteps)->Configure("Steps", 0.0, 0.0, 5.0, 1.0, "", IParamFlag::Quantised);
  }

  void BeginEditorGesture(int32_t index) override {
    mLog.push_back(Fmt("begin %g", index));
    ++open[index];
    if (onBegin) onBegin(index);
  }
  void EndEditorGesture(int32_t index) override {
    mLog.push_back(Fmt("end %g", index));
    --open[index];
    if (onEnd) onEnd(index);
  }
  void SetParamFromEditor(int32_t index, double value) override {
    mLog.push_back(Fmt("set %g %g", index, value));
    ICanvasEditorDelegate::SetParamFromEditor(index, value);
  }
  bool RequestEditorResize(int32_t width, int32_t height) override {
    mLog.push_back(Fmt("host resize %gx%g", width, height));
    return acceptResize;
  }
  void RunEditorLayout(ICanvas*) override { mLog.push_back("layout"); }

  // Every begun gesture has been ended.
  bool GesturesBalanced() const {
    for (const auto& entry : open)
      if (entry.second != 0) return false;
    return true;
  }

  bool acceptResize = true;
  std::map<int32_t, int> open;
  // What the host does while a gesture begins or ends (it may call the
  // editor back).
  std::function<void(int32_t)> onBegin;
  std::function<void(int32_t)> onEnd;

private:
  Log& mLog;
};

class RecordingCanvas : public NullCanvas {
public:
  RecordingCanvas(ICanvasEditorDelegate* delegate, Log& log, float drawScale = 1.0f)
      : NullCanvas(delegate, 250, 160, 60, drawScale), mLog(log) {}
  ~RecordingCanvas() override = default;

  void* window = nullptr;  // set non-null to pretend the window is open
  int32_t displayFactor = 1;
  // Native menus: the index to pick (-1: none), or answer later. With
  // nativeSubmenuOf >= 0 the pick is made in that item's submenu, which is
  // then the menu answered.
  int32_t nativePick = -1;
  int32_t nativeSubmenuOf = -1;
  bool nativeAnswersLater = false;
  IPopupMenu* shownMenu = nullptr;

  // Drawing: only the brackets are recorded.
  void StartPaint() override { mLog.push_back("start paint"); }
  void FinishPaint() override { mLog.push_back("finish paint"); }
  void StartRegionPaint(const IBox& clip) override { mLog.push_back("clip " + BoxText(clip)); }
  void OutlineSegment(IArgb, float x1, float y1, float x2, float y2, const IComposite*, float) override {
    mLog.push_back(Fmt("segment %g,%g %g,%g", x1, y1, x2, y2));
  }

  // Window and host side.
  void* NativeWindowHandle() override { return window; }
  int32_t DisplayScaleFactor() override { return displayFactor; }
  void ResizeNativeWindow(bool onlySelf) override { mLog.push_back(Fmt("resize window %g", onlySelf)); }
  void RebuildBackBuffer() override { mLog.push_back("rebuild"); }
  bool OpenTextField(int32_t param, const ITextStyle&, const IBox& box, int32_t limit, const char* text) override {
    mLog.push_back(Fmt("text field %g %g ", param, limit) + BoxText(box) + " '" + text + "'");
    return true;
  }
  IPopupMenu* RunPopupMenu(IPopupMenu& menu, const IBox& anchor, bool& answersLater) override {
    mLog.push_back(Fmt("native menu %g items at ", menu.ItemCount()) + BoxText(anchor));
    shownMenu = &menu;
    answersLater = nativeAnswersLater;
    if (answersLater) return nullptr;
    if (nativePick < 0) return nullptr;
    const IPopupMenuItem* parent = menu.ItemAt(nativeSubmenuOf);
    IPopupMenu& answered = parent && parent->Child ? *parent->Child : menu;
    answered.ReportChoice(nativePick);
    return &answered;
  }

private:
  Log& mLog;
};

// A control that logs what reaches it. Its value index answer, key answer
// and context-menu items are set by the test.
class ProbeControl : public IControl {
public:
  static inline int alive = 0;

  ProbeControl(Log& log, std::string name, const IBox& bounds, int32_t param = -1)
      : IControl(bounds, param), mLog(log), mName(std::move(name)) {
    ++alive;
  }
  ~ProbeControl() override { --alive; }

  int32_t valueIndex = -2;  // -2: the base answer
  bool handlesKeys = false;
  std::vector<std::string> contextItems;
  std::function<void()> onRelease;  // run after the release is logged

  void Say(const std::string& what) { mLog.push_back(what + " " + mName); }
  void SayAt(const char* what, float x, float y) { mLog.push_back(Fmt(what, x, y) + " " + mName); }

  void OnPointerPress(float x, float y, const IPointerMods& mods) override {
    SayAt(mods.Right ? "right press %g,%g" : "press %g,%g", x, y);
  }
  void OnPointerRelease(float x, float y, const IPointerMods&) override {
    SayAt("release %g,%g", x, y);
    if (onRelease) onRelease();
  }
  void OnPointerDrag(float x, float y, float, float, const IPointerMods&) override { SayAt("drag %g,%g", x, y); }
  void OnPointerDoublePress(float x, float y, const IPointerMods&) override { SayAt("double %g,%g", x, y); }
  void OnWheelTurn(float, float, const IPointerMods&, float delta) override { SayAt("wheel %g", delta, 0); }
  bool OnKeyStroke(float, float, const IKeyStroke& key) override {
    Say(std::string("key ") + key.Text);
    return handlesKeys;
  }
  bool OnKeyStrokeEnd(float, float, const IKeyStroke& key) override {
    Say(std::string("keyup ") + key.Text);
    return handlesKeys;
  }
  void OnPointerHover(float x, float y, const IPointerMods& mods) override {
    SayAt("hover %g,%g", x, y);
    IControl::OnPointerHover(x, y, mods);
  }
  void OnPointerGone() override {
    Say("gone");
    IControl::OnPointerGone();
  }
  void OnFileDrop(const char* path) override { Say(std::string("drop ") + path); }
  void OnScaleChange() override { Say("scale"); }
  void OnBoundsChange() override { Say("bounds"); }
  void OnBind() override { Say("bind"); }
  void OnListed() override { Say("listed"); }
  void FillContextMenu(IPopupMenu& menu) override {
    for (const std::string& item : contextItems) menu.AppendItem(item.c_str());
  }
  void OnMenuChoice(IPopupMenu* menu, int32_t idx) override {
    mLog.push_back(Fmt("menu choice %g %g ", menu ? menu->PickedIndex : -9, idx) + mName);
    IControl::OnMenuChoice(menu, idx);
  }
  void OnContextMenuChoice(int32_t item) override { mLog.push_back(Fmt("context choice %g ", item) + mName); }
  void OnTextCommitted(const char* text, int32_t idx) override {
    mLog.push_back(Fmt("text %g '", idx) + text + "' " + mName);
  }
  int32_t ValueIndexAt(float x, float y) const override {
    return valueIndex == -2 ? IControl::ValueIndexAt(x, y) : valueIndex;
  }
  void Render(ICanvas&) override { Say("draw"); }

private:
  Log& mLog;
  std::string mName;
};

class MenuOverlay : public IMenuOverlay {
public:
  explicit MenuOverlay(Log& log) : IMenuOverlay(IBox()), mLog(log) { SetConcealed(true); }
  bool open = false;
  bool closed = true;
  IPopupMenu* menu = nullptr;
  IBox area;

  bool TakesEveryPoint() const override { return open; }
  bool IsClosed() const override { return closed; }
  void SetMenu(IPopupMenu* m) override { menu = m; }
  IBox PlacementArea() const override { return area; }
  void SetPlacementArea(const IBox& a) override { area = a; }
  void OpenMenu(const IBox& anchor) override {
    mLog.push_back("overlay menu at " + BoxText(anchor));
    open = true;
    closed = false;
  }
  void OnPointerPress(float, float, const IPointerMods&) override { mLog.push_back("press overlay menu"); }
  void Render(ICanvas&) override { mLog.push_back("draw overlay menu"); }

private:
  Log& mLog;
};

class EntryOverlay : public IEntryOverlay {
public:
  explicit EntryOverlay(Log& log) : IEntryOverlay(IBox()), mLog(log) {}
  bool editing = false;

  bool IsEditing() const override { return editing; }
  void StartEditing(int32_t param, const char* text) override {
    mLog.push_back(Fmt("entry edits %g '", param) + text + "'");
    editing = true;
  }
  void OnPointerPress(float, float, const IPointerMods&) override { mLog.push_back("press overlay entry"); }
  void OnPointerDrag(float x, float y, float, float, const IPointerMods&) override {
    mLog.push_back(Fmt("drag %g,%g overlay entry", x, y));
  }
  void Render(ICanvas&) override { mLog.push_back("draw overlay entry"); }

private:
  Log& mLog;
};

// A canvas with a delegate and a log; tests add controls. Canvas is
// RecordingCanvas or a test canvas derived from it.
template <class Canvas>
struct BasicCanvasFixture {
  Log log;
  RecordingDelegate delegate{log};
  Canvas canvas{&delegate, log};

  ProbeControl* Add(const std::string& name, const IBox& bounds, int32_t param = -1) {
    auto* control = new ProbeControl(log, name, bounds, param);
    canvas.AdoptControl(control);
    return control;
  }
  void Press(const IPointerEvent& e) { canvas.HandlePointerDown(&e, 1); }
  void Release(const IPointerEvent& e) { canvas.HandlePointerUp(&e, 1); }
  void Drag(const IPointerEvent& e) { canvas.HandlePointerDrag(&e, 1); }
  // The log from now on.
  void Forget() { log.clear(); }
};

using CanvasFixture = BasicCanvasFixture<RecordingCanvas>;

} // namespace plugkit::canvas::test
