#pragma once
// An editor opened for real: a visible parent window standing in for the
// host's, a delegate whose layout the test gives, and the Windows editor
// (with the display scale the test asks for). The test pumps messages
// itself; pixels are read from the editor's main framebuffer inside the
// process (screen captures cannot see a child window's OpenGL content under
// Wine).

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "graphics/IControl.h"
#include "graphics/platform/ICanvasWin.h"
#include "tests/graphics/canvas_fixture.h"
#include "tests/graphics/platform/message_window.h"
#include "tests/support/process_objects.h"

namespace plugkit::canvas::test {

// The Windows editor with a display scale chosen by the test (0: the real
// one) and, when asked, a NanoVG context that cannot be made.
class TestEditor : public ICanvasWin {
public:
  TestEditor(ICanvasEditorDelegate* delegate, float drawScale) : ICanvasWin(delegate, 250, 160, 60, drawScale) {}
  int32_t displayScale = 0;
  bool failSurface = false;
  void* OnSurfaceCreated() override { return failSurface ? nullptr : ICanvasWin::OnSurfaceCreated(); }

protected:
  int32_t DisplayScaleOf(void* hwnd) const override {
    return displayScale > 0 ? displayScale : ICanvasWin::DisplayScaleOf(hwnd);
  }
};

// The recording delegate of the canvas tests, running the layout it is given
// and logging "hidden" when the editor is about to go.
class LayoutDelegate : public RecordingDelegate {
public:
  using RecordingDelegate::RecordingDelegate;
  void RunEditorLayout(ICanvas* graphics) override { ICanvasEditorDelegate::RunEditorLayout(graphics); }
  void OnEditorHidden() override {
    log().push_back("hidden");
    RecordingDelegate::OnEditorHidden();
  }
  Log& log() { return *logRef; }
  Log* logRef = nullptr;
};

// Fills its bounds with a colour; logs its deletion.
class SwatchControl : public IControl {
public:
  SwatchControl(const IBox& bounds, IArgb colour, int32_t param = -1, Log* log = nullptr)
      : IControl(bounds, param), colour(colour), mLog(log) {}
  ~SwatchControl() override {
    if (mLog) mLog->push_back("swatch deleted");
  }
  void Render(ICanvas& canvas) override {
    ++renders;
    canvas.FloodBox(colour, Bounds());
  }
  IArgb colour;
  int renders = 0;

private:
  Log* mLog;
};

struct Rgba8 {
  int R = -1, G = -1, B = -1, A = -1;
};

class EditorHarness {
public:
  // layout runs when the editor opens; screenScale 0: the real display's.
  explicit EditorHarness(float drawScale = 1.0f, int32_t screenScale = 0,
                         std::function<void(ICanvas&)> layout = nullptr);
  ~EditorHarness();

  // Opens through the delegate, as a host does; the window or null.
  HWND Open();
  void Close() { delegate.DetachEditor(); }
  TestEditor* Editor() const { return static_cast<TestEditor*>(delegate.EditorGraphics()); }
  HWND Window() const { return Editor() ? static_cast<HWND>(Editor()->NativeWindowHandle()) : nullptr; }

  // Pumps until the editor has painted at least frames frames in all.
  ::testing::AssertionResult PumpUntilPainted(uint32_t frames = 1);
  // Pumps until the editor's ticks have gone idle: a tick found nothing to
  // draw, so every change made before is on screen.
  ::testing::AssertionResult PumpUntilIdle();
  // The main framebuffer's pixel at device position (x, y) from the top left.
  Rgba8 Pixel(int x, int y);
  // Posts a mouse message at client pixel (x, y) and pumps it through.
  void Mouse(UINT message, int x, int y, WPARAM keys);
  void Wheel(int x, int y, int amount);
  // Pumps until every message posted so far has been delivered (a failure
  // of the test when that takes longer than the shared limit).
  void Drain();

  Log log;
  LayoutDelegate delegate{log};
  // One visible host window for the whole program: closing a top-level
  // window costs Wine a wait for the X server each time.
  MessageWindow& parent;
  float drawScale;
  int32_t screenScale;
  bool failSurface = false;
};

MessageWindow& SharedParent();

// The whole main framebuffer of an open editor, top row first (empty
// without one).
std::vector<Rgba8> ReadMainFramebuffer(ICanvasWin& editor);

// The number of windows of class "TPlugWndClass" in this process.
int EditorWindowCount();
// Threads of this process (the leak checks' count).
using plugkit::test::ThreadCount;
// ShowCursor's display counter.
int CursorCount();

} // namespace plugkit::canvas::test
