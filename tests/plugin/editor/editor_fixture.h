#pragma once
// Test doubles for the product's editor: a canvas without a platform (see
// tests/graphics/null_canvas.h) that records every drawing call the editor's
// controls make, answers text measurements from a simple rule, and stands in
// for the platform's menus, text field, file dialog and browser; and a
// fixture that opens the editor's layout for a real Tessivo object on it.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "api/vst2/VST2Interface.h"
#include "core/IHeapBlock.h"
#include "graphics/ICanvas.h"
#include "graphics/resources/APIBitmap.h"
#include "graphics/records/IDropShadow.h"
#include "graphics/records/IFill.h"
#include "graphics/records/ILayer.h"
#include "plugin/Tessivo.h"
#include "tests/graphics/canvas_fixture.h"
#include "tests/graphics/null_canvas.h"
#include "tests/graphics/pointer_events.h"

namespace tessivo_editor_test {

using namespace plugkit::canvas;
using plugkit::IStringBuffer;
using plugkit::canvas::test::Pointer;

// One drawing call. Numbers hold the call's scalars in argument order
// (centre, radius, angles, end points, thickness ...).
struct DrawCall {
  std::string op;
  IArgb colour;
  IBox box;
  std::vector<float> n;
  std::string text;
  float opacity = -1.0f;  // the blend's opacity; -1 without a blend record
  float fontSize = 0.0f;
  IFill fill;
};

class EditorCanvas : public test::NullCanvas {
public:
  explicit EditorCanvas(ICanvasEditorDelegate* delegate, int32_t width = 250, int32_t height = 160)
      : NullCanvas(delegate, width, height, 60, 1.0f) {}

  // Text is 0.5 x size wide per byte and size high.
  static float TextWidth(const ITextStyle& style, const char* text) {
    return 0.5f * style.FontSize * static_cast<float>(std::string(text).size());
  }

  float MeasureTextRun(const ITextStyle& style, const char* text, IBox& box) override {
    const float w = TextWidth(style, text);
    box = IBox(box.Left, box.Top, box.Left + w, box.Top + style.FontSize);
    return w;
  }
  void RenderTextRun(const ITextStyle& style, const char* text, const IBox& box, const IComposite* blend) override {
    DrawCall c = Call("text", style.TextColour, blend);
    c.box = box;
    c.text = text;
    c.fontSize = style.FontSize;
    calls.push_back(c);
  }
  void FloodBox(IArgb colour, const IBox& box, const IComposite* blend) override { Boxed("flood box", colour, box, blend); }
  void FloodOvalInBox(IArgb colour, const IBox& box, const IComposite* blend) override {
    Boxed("flood oval", colour, box, blend);
  }
  void FloodRoundedBox(IArgb colour, const IBox& box, float r, const IComposite* blend) override {
    Boxed("flood rounded", colour, box, blend, {r});
  }
  void OutlineRoundedBox(IArgb colour, const IBox& box, float r, const IComposite* blend, float t) override {
    Boxed("outline rounded", colour, box, blend, {r, t});
  }
  void OutlineArc(IArgb colour, float cx, float cy, float r, float a1, float a2, const IComposite* blend,
                  float t) override {
    DrawCall c = Call("arc", colour, blend);
    c.n = {cx, cy, r, a1, a2, t};
    calls.push_back(c);
  }
  void OutlineSegment(IArgb colour, float x1, float y1, float x2, float y2, const IComposite* blend,
                      float t) override {
    DrawCall c = Call("segment", colour, blend);
    c.n = {x1, y1, x2, y2, t};
    calls.push_back(c);
  }
  void PaintVectorImage(const IVectorImage&, const IBox& box, const IComposite* blend) override {
    Boxed("vector image", IArgb(), box, blend);
  }
  bool CanDrawShapes() override { return true; }
  void ShapeReset() override { calls.push_back(Call("shape reset", IArgb(), nullptr)); }
  void ShapeAddOvalInBox(const IBox& box) override { Boxed("shape oval", IArgb(), box, nullptr); }
  void ShapeFill(const IFill& fill, const IFillOptions&, const IComposite* blend) override {
    DrawCall c = Call("shape fill", IArgb(), blend);
    c.fill = fill;
    calls.push_back(c);
  }
  void ShapeClipBox(const IBox& box) override { Boxed("clip", IArgb(), box, nullptr); }
  void StartRegionPaint(const IBox& clip) override { Boxed("region", IArgb(), clip, nullptr); }

  // Layers, when layers is set: images without pixels behind them, read
  // back as transparent, shadows recorded.
  bool layers = false;
  std::vector<IDropShadow> shadows;
  APIBitmap* CreateLayerImage(int32_t w, int32_t h, int32_t screenScale, float drawScale) override {
    if (!layers) return nullptr;
    calls.push_back(Call("new layer", IArgb(), nullptr));
    return new APIBitmap(1, w, h, screenScale, drawScale);
  }
  void ReadLayerPixels(ILayer& layer, plugkit::IHeapBlock& pixels) override {
    const int32_t bytes = 4 * layer.Image->PixelWidth * layer.Image->PixelHeight;
    if (pixels.SetSize(bytes) && pixels.Size() == bytes) std::memset(pixels.Data(), 0, static_cast<size_t>(bytes));
  }
  void ApplyLayerShadow(ILayer&, const plugkit::IHeapBlock&, const IDropShadow& shadow) override {
    shadows.push_back(shadow);
  }
  void PaintImage(const IImageHandle&, const IBox& box, int32_t, int32_t, const IComposite* blend) override {
    Boxed("image", IArgb(), box, blend);
  }

  // Fonts and the logo.
  bool InstallFont(const char* fontId, const char* file) override {
    fonts.push_back(std::string(fontId) + " " + file);
    return true;
  }
  IVectorImage FetchVectorImage(const char* name, const char* units, float dpi) override {
    vectorRequests.push_back(std::string(name) + " " + units + " " + std::to_string(static_cast<int>(dpi)));
    IVectorImage image;
    image.Image = reinterpret_cast<NSVGimage*>(&mLogoStandIn);
    return image;
  }

  // Pointer, platform text field, native menus, dialogs, browser.
  void SetPointerHidden(bool hide, bool keepInPlace) override {
    pointerCalls.push_back(std::string(hide ? "hide" : "show") + (keepInPlace ? " kept" : ""));
  }
  bool OpenTextField(int32_t param, const ITextStyle& style, const IBox& box, int32_t, const char* text) override {
    textFields.push_back({param, box, text ? text : "", style.FontSize});
    return true;
  }
  IPopupMenu* RunPopupMenu(IPopupMenu& menu, const IBox& anchor, bool& answersLater) override {
    menus.push_back({&menu, anchor});
    answersLater = true;  // the test answers through DeliverMenuResult
    return nullptr;
  }
  void ChooseFileDialog(IStringBuffer& file, IStringBuffer& folder, int32_t action, const char* filter) override {
    dialogs.push_back({file.Get(), folder.Get(), action, filter ? filter : ""});
    file.Assign(dialogAnswer.c_str());
  }
  bool OpenInBrowser(const char* url) override {
    urls.push_back(url);
    return true;
  }

  // The calls of one operation.
  std::vector<DrawCall> Of(const std::string& op) const {
    std::vector<DrawCall> out;
    for (const DrawCall& c : calls)
      if (c.op == op) out.push_back(c);
    return out;
  }
  // Draws every control into one region covering the editor.
  void PaintAll() {
    IBoxList boxes;
    boxes.Add(IBox(0, 0, static_cast<float>(Width()), static_cast<float>(Height())));
    PaintRegions(boxes);
  }
  // Draws one control clipped to its own bounds, as a region paint does.
  void PaintOne(IControl& control) { PaintControl(&control, control.Bounds().Grown(1.0f), 1.0f); }

  // The left button pressed, dragged by (dx, dy), released, or clicked at
  // (x, y), by one pointer, as the platform layer hands it on.
  void Press(float x, float y, bool shift = false) {
    const IPointerEvent e = Pointer(x, y, 0, 0, shift);
    HandlePointerDown(&e, 1);
  }
  void Drag(float x, float y, float dx, float dy, bool shift = false) {
    const IPointerEvent e = Pointer(x, y, dx, dy, shift);
    HandlePointerDrag(&e, 1);
  }
  void Release(float x, float y) {
    const IPointerEvent e = Pointer(x, y);
    HandlePointerUp(&e, 1);
  }
  void Click(float x, float y) {
    Press(x, y);
    Release(x, y);
  }

  struct TextField {
    int32_t param;
    IBox box;
    std::string text;
    float fontSize;
  };
  struct Menu {
    IPopupMenu* menu;
    IBox anchor;
  };
  struct Dialog {
    std::string file, folder;
    int32_t action;
    std::string filter;
  };
  std::vector<DrawCall> calls;
  std::vector<std::string> fonts;
  std::vector<std::string> vectorRequests;
  std::vector<std::string> pointerCalls;
  std::vector<TextField> textFields;
  std::vector<Menu> menus;
  std::vector<Dialog> dialogs;
  std::string dialogAnswer;  // the file name the dialog gives back ("" = cancelled)
  std::vector<std::string> urls;

private:
  static DrawCall Call(const char* op, IArgb colour, const IComposite* blend) {
    DrawCall c;
    c.op = op;
    c.colour = colour;
    c.opacity = blend ? blend->Opacity : -1.0f;
    return c;
  }
  void Boxed(const char* op, IArgb colour, const IBox& box, const IComposite* blend, std::vector<float> n = {}) {
    DrawCall c = Call(op, colour, blend);
    c.box = box;
    c.n = std::move(n);
    calls.push_back(c);
  }
  int mLogoStandIn = 0;
};

// What the plug-in sent to its host, in order.
struct HostCall {
  int32_t opcode;
  int32_t index;
  intptr_t value;
  float opt;
};
inline std::vector<HostCall>& HostCalls() {
  static std::vector<HostCall> calls;
  return calls;
}
// Agrees to every window size asked for.
inline intptr_t VST2_CALL RecordingHost(AEffect*, int32_t opcode, int32_t index, intptr_t value, void*, float opt) {
  HostCalls().push_back({opcode, index, value, opt});
  return opcode == audioMasterSizeWindow ? 1 : 0;
}
// Agrees to every window size and records nothing, for tests whose host
// threads (audio, worker, loader) call it too.
inline intptr_t VST2_CALL QuietHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  return opcode == audioMasterSizeWindow ? 1 : 0;
}
// The opcodes among them, with the parameter for edits ("begin 0",
// "automate 0", "end 0", "update display", "size 250x160").
inline std::vector<std::string> HostTrail() {
  std::vector<std::string> out;
  for (const HostCall& c : HostCalls()) {
    const std::string i = std::to_string(c.index);
    if (c.opcode == audioMasterBeginEdit) out.push_back("begin " + i);
    else if (c.opcode == audioMasterEndEdit) out.push_back("end " + i);
    else if (c.opcode == audioMasterAutomate) out.push_back("automate " + i);
    else if (c.opcode == audioMasterUpdateDisplay) out.push_back("update display");
    else if (c.opcode == audioMasterSizeWindow) out.push_back("size " + i + "x" + std::to_string(c.value));
  }
  return out;
}

// A Tessivo object with the editor's layout run on a recording canvas, as the
// platform layer does once its window is open. With probes, the canvas gets
// logging stand-ins for the in-window menu and text entry first, which the
// layout then keeps (see tests/graphics/canvas_fixture.h).
struct EditorFixture {
  explicit EditorFixture(bool withProbes = false) {
    HostCalls().clear();
    if (withProbes) {
      menuProbe = new test::MenuOverlay(log);
      entryProbe = new test::EntryOverlay(log);
      canvas.InstallPopupMenuControl(menuProbe);
      canvas.InstallTextEntryControl(entryProbe);
    }
    plugin.RunEditorLayout(&canvas);
    SyncControls();
  }
  ~EditorFixture() { plugin.OnEditorHidden(); }

  // What the delegate does for the graphics it owns once the editor shows
  // (this canvas is only lent to the plug-in): every value to the controls.
  void SyncControls() {
    for (int32_t i = 0; i < plugin.ParamCount(); ++i)
      canvas.UpdateControlsBoundTo(i, plugin.GetParam(i)->ReadNormalised(), nullptr);
  }
  // The log lines of the probes that start with prefix.
  std::vector<std::string> Logged(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& line : log)
      if (line.compare(0, prefix.size(), prefix) == 0) out.push_back(line);
    return out;
  }

  test::Log log;
  Tessivo plugin{&RecordingHost};
  EditorCanvas canvas{&plugin};
  test::MenuOverlay* menuProbe = nullptr;   // owned by the canvas
  test::EntryOverlay* entryProbe = nullptr; // owned by the canvas
};

} // namespace tessivo_editor_test
