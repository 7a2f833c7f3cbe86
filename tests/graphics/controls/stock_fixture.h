#pragma once
// Test set-up for the stock controls (panel, corner resizer, in-window menu
// and text entry): a recording canvas (canvas_fixture.h) that also measures
// text (10 pixels per character, as tall as the font), keeps a clipboard,
// counts menu toggles and writes each drawing call it receives to `draws`;
// and helpers that drive the canvas with pointer and key events.

#include <cstring>
#include <string>
#include <vector>

#include "graphics/records/IKeyStroke.h"
#include "tests/graphics/canvas_fixture.h"

namespace plugkit::canvas::test {

inline std::string ArgbText(IArgb c) { return Fmt("(%g,%g,%g,%g)", c.Alpha, c.Red, c.Green, c.Blue); }

class StockCanvas : public RecordingCanvas {
public:
  StockCanvas(ICanvasEditorDelegate* delegate, Log& log, float drawScale = 1.0f)
      : RecordingCanvas(delegate, log, drawScale) {}

  bool shapes = false;                // CanDrawShapes' answer
  std::vector<std::string> draws;     // one line per drawing call
  bool clipboardFull = false;         // ReadClipboardText answers clipboard
  std::string clipboard;
  int clipboardWrites = 0;
  int menuToggles = 0;

  static int Characters(const char* text) {
    int n = 0;
    for (const char* p = text; *p; ++p)
      if ((*p & 0xC0) != 0x80) ++n;
    return n;
  }

  float MeasureTextRun(const ITextStyle& style, const char* text, IBox& box) override {
    const float w = 10.0f * static_cast<float>(Characters(text));
    box = IBox(box.Left, box.Top, box.Left + w, box.Top + style.FontSize);
    return w;
  }
  void RenderTextRun(const ITextStyle& style, const char* text, const IBox& box, const IComposite*) override {
    draws.push_back(std::string("text '") + text + "' " + BoxText(box) + " " + ArgbText(style.TextColour));
  }
  void FloodBox(IArgb c, const IBox& box, const IComposite* blend) override {
    draws.push_back("flood " + BoxText(box) + " " + ArgbText(c) + Opacity(blend));
  }
  void FloodRoundedBox(IArgb c, const IBox& box, float r, const IComposite* blend) override {
    draws.push_back("rounded " + BoxText(box) + Fmt(" r%g ", r) + ArgbText(c) + Opacity(blend));
  }
  void OutlineRoundedBox(IArgb c, const IBox& box, float r, const IComposite* blend, float) override {
    draws.push_back("outline rounded " + BoxText(box) + Fmt(" r%g ", r) + ArgbText(c) + Opacity(blend));
  }
  void OutlineBox(IArgb c, const IBox& box, const IComposite* blend, float thickness) override {
    draws.push_back("outline " + BoxText(box) + " " + ArgbText(c) + Fmt(" w%g", thickness) + Opacity(blend));
  }
  void FloodTriangle(IArgb c, float x1, float y1, float x2, float y2, float x3, float y3,
                     const IComposite* blend) override {
    draws.push_back(Fmt("triangle %g,%g ", x1, y1) + Fmt("%g,%g ", x2, y2) + Fmt("%g,%g ", x3, y3) + ArgbText(c) +
                    Opacity(blend));
  }
  void OutlineSegment(IArgb c, float x1, float y1, float x2, float y2, const IComposite*, float thickness) override {
    draws.push_back(Fmt("segment %g,%g %g,%g ", x1, y1, x2, y2) + ArgbText(c) + Fmt(" w%g", thickness));
  }
  bool CanDrawShapes() override { return shapes; }
  void ShapeAddBox(const IBox& box) override { draws.push_back("shape box " + BoxText(box)); }
  void ShapeFill(const IFill& fill, const IFillOptions&, const IComposite*) override {
    draws.push_back(Fmt("shape fill kind %g stops %g ", static_cast<int>(fill.Kind), fill.StopCount) +
                    ArgbText(fill.Stops[0].Colour));
  }
  bool ReadClipboardText(IStringBuffer& text) override {
    if (!clipboardFull) return false;
    return text.Assign(clipboard.c_str());
  }
  bool WriteClipboardText(const char* text) override {
    ++clipboardWrites;
    clipboard = text;
    clipboardFull = true;
    return true;
  }
  void NotifyPopupMenuToggled() override { ++menuToggles; }

  // The draws that start with prefix.
  std::vector<std::string> DrawsStarting(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& d : draws)
      if (d.rfind(prefix, 0) == 0) found.push_back(d);
    return found;
  }

private:
  static std::string Opacity(const IComposite* blend) { return blend ? Fmt(" o%g", blend->Opacity) : ""; }
};

// A key as the platform layer hands it over.
inline IKeyStroke Key(int32_t virtualKey, const char* text = "", bool shift = false, bool ctrl = false,
                      bool alt = false) {
  IKeyStroke key;
  key.VirtualKey = virtualKey;
  key.SetText(text);
  key.Shift = shift;
  key.Ctrl = ctrl;
  key.Alt = alt;
  return key;
}

inline IPointerMods NoButtons() {
  IPointerMods mods;
  mods.Left = false;
  return mods;
}

struct StockFixture : BasicCanvasFixture<StockCanvas> {
  using BasicCanvasFixture::Drag;
  using BasicCanvasFixture::Press;
  using BasicCanvasFixture::Release;

  void Press(float x, float y, bool right = false) { Press(Event(x, y, 0, right)); }
  void Release(float x, float y) { Release(Event(x, y)); }
  void Click(float x, float y, bool right = false) {
    Press(x, y, right);
    Release(x, y);
  }
  void Drag(float x, float y, float dx = 1.0f) { Drag(Event(x, y, 0, false, dx, 0.0f)); }
  void Hover(float x, float y) { canvas.HandlePointerHover(x, y, NoButtons()); }
  bool Stroke(const IKeyStroke& key) { return canvas.OnKeyDown(0.0f, 0.0f, key); }
  bool Has(const std::string& line) const {
    for (const std::string& l : log)
      if (l == line) return true;
    return false;
  }
};

} // namespace plugkit::canvas::test
