// The product's editor in a real window, worked by posted mouse messages as a
// user works it: a second button pressed inside a knob drag, the mouse taken
// in the middle of one, the about box's "OK" button up to its corner (where
// the corner handle lies too), and the preset strip's pressed look while its
// menu is open.
#if defined(TESSIVO_EDITOR_WINDOW)

#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "graphics/controls/IPopupMenuControl.h"
#include "graphics/platform/ICanvasWin.h"
#include "plugin/editor/TAboutBox.h"
#include "plugin/editor/TPresetControl.h"
#include "tests/graphics/platform/editor_harness.h"
#include "tests/plugin/editor/editor_fixture.h"
#include "tests/support/message_pump.h"

namespace {

using namespace tessivo_editor_test;
using plugkit::canvas::EPopupMenuState;
using plugkit::canvas::ICanvasWin;
using plugkit::canvas::IPopupMenuControl;
using plugkit::canvas::test::CountOf;
using plugkit::canvas::test::CursorCount;
using plugkit::canvas::test::ReadMainFramebuffer;
using plugkit::canvas::test::SharedParent;


// The editor of a Tessivo object opened through its effect record in the
// tests' visible host window.
struct OpenEditor {
  OpenEditor() {
    HostCalls().clear();
    opened = Dispatch(effEditOpen, 0, 0, SharedParent().Handle()) == 1 && Window() &&
             Until("the first frame", [&] { return Editor()->PaintedFrames() > 0; });
  }
  ~OpenEditor() { Dispatch(effEditClose); }

  intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr) {
    return Tessivo::VSTDispatcher(plugin.EffectRecord(), opcode, index, value, ptr, 0.0f);
  }
  ICanvasWin* Editor() const { return dynamic_cast<ICanvasWin*>(plugin.EditorGraphics()); }
  HWND Window() const { return Editor() ? static_cast<HWND>(Editor()->NativeWindowHandle()) : nullptr; }

  // Pumps messages until done answers true; the failure names what.
  ::testing::AssertionResult Until(const std::string& what, const std::function<bool()>& done) {
    return plugkit::test::PumpUntil(what, done);
  }
  // Posts a mouse message at client pixel (x, y) and pumps until it and
  // everything posted before it went through.
  void Mouse(UINT message, int x, int y, WPARAM keys) {
    PostMessageA(Window(), message, keys, MAKELPARAM(x, y));
    EXPECT_TRUE(plugkit::test::PumpPostedMessages());
  }
  // Pumps until the editor painted frames more frames than now.
  ::testing::AssertionResult PaintMore(uint32_t frames) {
    const uint32_t start = Editor()->PaintedFrames();
    return Until("more frames", [&] { return Editor()->PaintedFrames() >= start + frames; });
  }
  plugkit::canvas::test::Rgba8 Pixel(int x, int y) {
    const auto frame = ReadMainFramebuffer(*Editor());
    return frame.size() == 250u * 160u ? frame[static_cast<size_t>(y) * 250 + x] : plugkit::canvas::test::Rgba8{};
  }

  Tessivo plugin{&RecordingHost};
  bool opened = false;
};

bool Near(const plugkit::canvas::test::Rgba8& p, int r, int g, int b) {
  return std::abs(p.R - r) <= 3 && std::abs(p.G - g) <= 3 && std::abs(p.B - b) <= 3;
}

// A right press and release inside a left drag on the Mix knob: the drag goes
// on through both (the pointer stays hidden, the host keeps hearing values)
// and the host sees one gesture from the left press to the left release.
TEST(EditorWindowInput, ARightPressInsideAKnobDragLeavesTheDragGoing) {
  OpenEditor e;
  ASSERT_TRUE(e.opened);
  ASSERT_TRUE(e.plugin.ApplyPreset(1));  // "Light Detune": Mix 50, room to rise
  const int shown = CursorCount();
  const float before = Tessivo::EffectGetParameter(e.plugin.EffectRecord(), Mix);
  e.Mouse(WM_LBUTTONDOWN, 200, 95, MK_LBUTTON);
  e.Mouse(WM_MOUSEMOVE, 200, 91, MK_LBUTTON);
  e.Mouse(WM_RBUTTONDOWN, 200, 91, MK_LBUTTON | MK_RBUTTON);
  const size_t atRightPress = HostTrail().size();
  EXPECT_EQ(GetCapture(), e.Window()) << "the window keeps the mouse";
  EXPECT_EQ(CursorCount(), shown - 1) << "the pointer stays hidden";
  e.Mouse(WM_MOUSEMOVE, 200, 85, MK_LBUTTON | MK_RBUTTON);
  e.Mouse(WM_RBUTTONUP, 200, 85, MK_LBUTTON);
  e.Mouse(WM_MOUSEMOVE, 200, 79, MK_LBUTTON);
  EXPECT_EQ(CountOf(HostTrail(), "end 2"), 0) << "the right button ended nothing";
  e.Mouse(WM_LBUTTONUP, 200, 79, 0);

  const std::vector<std::string> trail = HostTrail();
  ASSERT_GE(trail.size(), 3u);
  EXPECT_EQ(trail.front(), "begin 2");
  EXPECT_EQ(trail.back(), "end 2");
  EXPECT_EQ(CountOf(trail, "begin 2"), 1);
  EXPECT_EQ(CountOf(trail, "end 2"), 1);
  EXPECT_EQ(CountOf(trail, "automate 2"), static_cast<int>(trail.size()) - 2) << "nothing else reached the host";
  EXPECT_GT(trail.size() - 1, atRightPress) << "values kept coming after the right press";
  EXPECT_GT(Tessivo::EffectGetParameter(e.plugin.EffectRecord(), Mix), before);
  EXPECT_EQ(CursorCount(), shown) << "the left release shows the pointer again";
  EXPECT_NE(GetCapture(), e.Window());
}

// Counts the capture changes the system reports to one window (it reports
// every one, including a window taking its own capture again) while alive.
class CaptureChangeCounter {
 public:
  explicit CaptureChangeCounter(HWND window) {
    sWindow = window;
    sChanges = 0;
    mHook = SetWindowsHookExA(WH_CALLWNDPROC, &Seen, nullptr, GetCurrentThreadId());
  }
  ~CaptureChangeCounter() {
    if (mHook) UnhookWindowsHookEx(mHook);
    sWindow = nullptr;
  }
  bool Hooked() const { return mHook != nullptr; }
  int Changes() const { return sChanges; }

 private:
  static LRESULT CALLBACK Seen(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->hwnd == sWindow && sent->message == WM_CAPTURECHANGED) ++sChanges;
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static inline HWND sWindow = nullptr;
  static inline int sChanges = 0;
  HHOOK mHook = nullptr;
};

// What happens to the mouse in the middle of a Mix drag, and whether the drag
// lives on. A second button's press leaves the capture alone (taking it again
// is reported as a change, which some systems report as a loss); the window's
// own capture taken again is no loss; only another window taking the mouse
// ends the drag at once, with its gesture and the hidden pointer.
TEST(EditorWindowInput, OnlyAnotherWindowTakingTheMouseEndsAKnobDrag) {
  const struct {
    const char* what;
    std::function<void(OpenEditor&)> act;
    int reportedChanges;
    bool ends;
  } cases[] = {
      {"a second button pressed",
       [](OpenEditor& e) { e.Mouse(WM_RBUTTONDOWN, 200, 91, MK_LBUTTON | MK_RBUTTON); }, 0, false},
      {"the window's own capture taken again", [](OpenEditor& e) { SetCapture(e.Window()); }, 1, false},
      {"another window taking the mouse", [](OpenEditor&) { SetCapture(SharedParent().Handle()); }, 1, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    OpenEditor e;
    ASSERT_TRUE(e.opened);
    ASSERT_TRUE(e.plugin.ApplyPreset(1));  // "Light Detune": Mix 50, room to rise
    const int shown = CursorCount();
    e.Mouse(WM_LBUTTONDOWN, 200, 95, MK_LBUTTON);
    e.Mouse(WM_MOUSEMOVE, 200, 91, MK_LBUTTON);
    ASSERT_EQ(GetCapture(), e.Window());
    ASSERT_EQ(CursorCount(), shown - 1);
    {
      CaptureChangeCounter counter(e.Window());
      ASSERT_TRUE(counter.Hooked());
      c.act(e);
      EXPECT_EQ(counter.Changes(), c.reportedChanges) << "capture changes reported to the editor window";
    }
    EXPECT_EQ(CountOf(HostTrail(), "end 2"), c.ends ? 1 : 0) << "the gesture's end";
    EXPECT_EQ(CursorCount(), c.ends ? shown : shown - 1) << "the pointer shown again only at the end";
    const size_t beforeMove = HostTrail().size();
    e.Mouse(WM_MOUSEMOVE, 200, 85, MK_LBUTTON);
    EXPECT_EQ(HostTrail().size() > beforeMove, !c.ends) << "the move still drives Mix";
    e.Mouse(WM_LBUTTONUP, 200, 85, 0);
    EXPECT_EQ(CountOf(HostTrail(), "begin 2"), 1);
    EXPECT_EQ(CountOf(HostTrail(), "end 2"), 1) << "one gesture, ended once";
    EXPECT_EQ(CursorCount(), shown);
    if (GetCapture()) ReleaseCapture();
  }
}

// Every corner of the "OK" button hides the box, including the lower right
// one, which the corner handle overlaps; neither a press nor hovering there
// reaches the handle while the box is shown.
TEST(EditorWindowInput, TheWholeOkButtonHidesTheAboutBox) {
  OpenEditor e;
  ASSERT_TRUE(e.opened);
  TAboutBox* about = e.plugin.AboutBox();
  ASSERT_NE(about, nullptr);
  const IBox ok = TAboutBox::kOkBox;
  const struct {
    int x, y;
  } points[] = {{193, 125}, {238, 125}, {193, 148}, {238, 148}, {235, 145}};
  for (const auto& p : points) {
    SCOPED_TRACE(testing::Message() << "press at " << p.x << "," << p.y);
    ASSERT_TRUE(ok.Contains(static_cast<float>(p.x), static_cast<float>(p.y)));
    ASSERT_TRUE(e.plugin.OnAboutRequest());
    ASSERT_TRUE(e.Until("the box faded in", [&] { return !about->Fading && about->Opacity == 1.0f; }));
    e.Mouse(WM_MOUSEMOVE, p.x, p.y, 0);
    EXPECT_TRUE(about->OkHovered) << "the button, not the corner handle, is under the pointer";
    HostCalls().clear();
    e.Mouse(WM_LBUTTONDOWN, p.x, p.y, MK_LBUTTON);
    e.Mouse(WM_MOUSEMOVE, p.x + 5, p.y + 5, MK_LBUTTON);
    e.Mouse(WM_LBUTTONUP, p.x + 5, p.y + 5, 0);
    EXPECT_TRUE(e.Until("the box faded out", [&] { return about->Concealed(); }));
    EXPECT_EQ(e.Editor()->DrawScale(), 1.0f) << "no corner drag";
    EXPECT_TRUE(HostTrail().empty());
  }
  // Hidden again, the box leaves the corner to the handle.
  e.Mouse(WM_LBUTTONDOWN, 245, 155, MK_LBUTTON);
  e.Mouse(WM_MOUSEMOVE, 300, 190, MK_LBUTTON);
  e.Mouse(WM_LBUTTONUP, 300, 190, 0);
  EXPECT_GT(e.Editor()->DrawScale(), 1.0f);
}

// Pressing the strip's menu button opens the action menu in the editor; the
// button keeps its highlight while the menu is open, even once the pointer
// moved onto the menu, and loses it when the menu goes.
TEST(EditorWindowInput, TheStripStaysPressedWhileItsMenuIsOpen) {
  OpenEditor e;
  ASSERT_TRUE(e.opened);
  TPresetControl* strip = e.plugin.PresetStrip();
  ASSERT_NE(strip, nullptr);
  auto* menu = dynamic_cast<IPopupMenuControl*>(e.Editor()->PopupMenuControl());
  ASSERT_NE(menu, nullptr);
  const int x = 247, y = 3;  // inside the menu button, clear of its glyph and of the menu below
  ASSERT_TRUE(strip->MenuBox.Contains(static_cast<float>(x), static_cast<float>(y)));
  EXPECT_TRUE(Near(e.Pixel(x, y), 27, 31, 33)) << "the strip's own colour at first";

  e.Mouse(WM_LBUTTONDOWN, 237, 12, MK_LBUTTON);
  e.Mouse(WM_LBUTTONUP, 237, 12, 0);
  ASSERT_TRUE(e.Until("the menu opened", [&] { return menu->State() == EPopupMenuState::Open; }));
  e.Mouse(WM_MOUSEMOVE, 180, 60, 0);  // onto the menu
  EXPECT_TRUE(strip->Pressed);
  EXPECT_EQ(strip->PressedZone, TPresetControl::kMenuZone);
  strip->MarkChanged(false, -1);  // drawn again as it is now
  ASSERT_TRUE(e.PaintMore(1));
  EXPECT_TRUE(Near(e.Pixel(x, y), 46, 49, 49)) << "highlighted under the open menu";

  // A press away from the menu dismisses it.
  e.Mouse(WM_LBUTTONDOWN, 20, 150, MK_LBUTTON);
  e.Mouse(WM_LBUTTONUP, 20, 150, 0);
  ASSERT_TRUE(e.Until("the menu closed", [&] { return menu->IsClosed(); }));
  EXPECT_FALSE(strip->Pressed);
  EXPECT_EQ(strip->PressedZone, TPresetControl::kNoZone);
  ASSERT_TRUE(e.Until("the highlight went with the menu", [&] { return Near(e.Pixel(x, y), 27, 31, 33); }));
}

} // namespace

#endif
