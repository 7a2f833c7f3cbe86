#include "tests/graphics/platform/editor_harness.h"

#include <vector>

#include "graphics/drawing/NanoVGApi.h"

namespace plugkit::canvas::test {

EditorHarness::EditorHarness(float drawScale, int32_t screenScale, std::function<void(ICanvas&)> layout)
    : parent(SharedParent()), drawScale(drawScale), screenScale(screenScale) {
  delegate.logRef = &log;
  delegate.SetGraphicsFactory([this]() -> ICanvas* {
    auto* editor = new TestEditor(&delegate, this->drawScale);
    editor->displayScale = this->screenScale;
    editor->failSurface = failSurface;
    return editor;
  });
  if (layout) delegate.SetEditorLayout([layout](ICanvas* g) { layout(*g); });
}

EditorHarness::~EditorHarness() { Close(); }

MessageWindow& SharedParent() {
  static MessageWindow* window = new MessageWindow(1100, 700, true);  // kept to the end
  return *window;
}

HWND EditorHarness::Open() { return static_cast<HWND>(delegate.AttachEditor(parent.Handle())); }

::testing::AssertionResult EditorHarness::PumpUntilPainted(uint32_t frames) {
  return PumpUntil("the editor's frame " + std::to_string(frames),
                   [&] { return Editor() && Editor()->PaintedFrames() >= frames; });
}

::testing::AssertionResult EditorHarness::PumpUntilIdle() {
  return PumpUntil("the editor's ticks to go idle", [&] { return Editor() && Editor()->TicksIdle(); });
}

Rgba8 EditorHarness::Pixel(int x, int y) {
  TestEditor* editor = Editor();
  if (!editor || !editor->MainFramebuffer()) return {};
  const int w = editor->SurfaceWidth(), h = editor->SurfaceHeight();
  if (x < 0 || y < 0 || x >= w || y >= h) return {};
  editor->BindGlContext();
  unsigned char p[4] = {};
  nvgluBindFramebuffer(editor->MainFramebuffer());
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, h - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
  nvgluBindFramebuffer(nullptr);
  editor->UnbindGlContext();
  return Rgba8{p[0], p[1], p[2], p[3]};
}

std::vector<Rgba8> ReadMainFramebuffer(ICanvasWin& editor) {
  std::vector<Rgba8> out;
  if (!editor.MainFramebuffer()) return out;
  const int w = editor.SurfaceWidth(), h = editor.SurfaceHeight();
  std::vector<unsigned char> bytes(static_cast<size_t>(w) * h * 4);
  editor.BindGlContext();
  nvgluBindFramebuffer(editor.MainFramebuffer());
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
  nvgluBindFramebuffer(nullptr);
  editor.UnbindGlContext();
  out.reserve(static_cast<size_t>(w) * h);
  // OpenGL rows run bottom up.
  for (int y = h - 1; y >= 0; --y)
    for (int x = 0; x < w; ++x) {
      const unsigned char* p = bytes.data() + (static_cast<size_t>(y) * w + x) * 4;
      out.push_back(Rgba8{p[0], p[1], p[2], p[3]});
    }
  return out;
}

void EditorHarness::Mouse(UINT message, int x, int y, WPARAM keys) {
  PostMessageA(Window(), message, keys, MAKELPARAM(x, y));
  Drain();
}

void EditorHarness::Wheel(int x, int y, int amount) {
  POINT p = {x, y};
  ClientToScreen(Window(), &p);
  PostMessageA(Window(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(amount)), MAKELPARAM(p.x, p.y));
  Drain();
}

void EditorHarness::Drain() { EXPECT_TRUE(PumpPostedMessages()); }

int EditorWindowCount() {
  int count = 0;
  for (HWND window : plugkit::test::ProcessWindows()) {
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    count += std::string(name) == "TPlugWndClass";
  }
  return count;
}

int CursorCount() {
  const int shown = ShowCursor(TRUE);
  ShowCursor(FALSE);
  return shown - 1;
}

} // namespace plugkit::canvas::test
