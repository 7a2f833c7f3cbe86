// The editor window for real: opening in a host window, repainting dirty
// controls from display ticks, idling without frames, closing without leaks,
// and the failure paths of opening.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "core/IParam.h"
#include "graphics/platform/ICanvasWin.h"
#include "graphics/records/DefaultConstants.h"
#include "tests/graphics/platform/editor_harness.h"

namespace plugkit::canvas::test {
namespace {

const IArgb kRed(255, 255, 0, 0);
const IArgb kBlue(255, 0, 0, 255);
const IArgb kGrey(255, 40, 40, 40);

bool IsColour(const Rgba8& p, const IArgb& c) {
  return std::abs(p.R - c.Red) <= 3 && std::abs(p.G - c.Green) <= 3 && std::abs(p.B - c.Blue) <= 3 && p.A == 255;
}

// A background and one swatch at (10, 45)-(90, 139) bound to "Gain".
struct SwatchEditor {
  explicit SwatchEditor(float drawScale = 1.0f, int32_t screenScale = 1)
      : h(drawScale, screenScale, [this](ICanvas& g) {
          g.AttachBackground(new SwatchControl(IBox(0, 0, 250, 160), kGrey));
          swatch = static_cast<SwatchControl*>(
              g.AdoptControl(new SwatchControl(IBox(10, 45, 90, 139), kRed, RecordingDelegate::kGain, &h.log)));
        }) {}
  EditorHarness h;
  SwatchControl* swatch = nullptr;
};

TEST(EditorWindow, OpensAsChildOfTheHostWindowAndPaintsEveryControl) {
  SwatchEditor e;
  HWND window = e.h.Open();
  ASSERT_TRUE(window);
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  EXPECT_STREQ(name, "TPlugWndClass");
  EXPECT_EQ(GetParent(window), e.h.parent.Handle());
  EXPECT_TRUE(GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD);
  RECT r = {};
  GetClientRect(window, &r);
  EXPECT_EQ(r.right, 250);
  EXPECT_EQ(r.bottom, 160);
  EXPECT_EQ(wglGetCurrentContext(), nullptr) << "the thread's context is restored after opening";
  EXPECT_STREQ(e.h.Editor()->PlatformLabel(), "win32");

  ASSERT_TRUE(e.h.PumpUntilPainted()) << "the first ticks paint the editor";
  EXPECT_GE(e.swatch->renders, 1);
  EXPECT_TRUE(IsColour(e.h.Pixel(50, 90), kRed));
  EXPECT_TRUE(IsColour(e.h.Pixel(5, 5), kGrey));
  EXPECT_TRUE(IsColour(e.h.Pixel(240, 150), kGrey));
}

// A dirty control is repainted by the next tick; the rest of the picture
// stays as it was.
TEST(EditorWindow, TicksRepaintDirtyControlsOnly) {
  SwatchEditor e;
  ASSERT_TRUE(e.h.Open());
  ASSERT_TRUE(e.h.PumpUntilIdle()) << "the first picture is complete";
  const uint32_t frames = e.h.Editor()->PaintedFrames();
  e.swatch->colour = kBlue;
  e.swatch->MarkChanged(false, -1);
  ASSERT_TRUE(e.h.PumpUntilPainted(frames + 1));
  EXPECT_TRUE(IsColour(e.h.Pixel(50, 90), kBlue));
  EXPECT_TRUE(IsColour(e.h.Pixel(200, 20), kGrey));
}

// Idle: no frame is painted and the ticks slow to a heartbeat. One host
// change wakes them: at least one frame, never more than there were ticks.
TEST(EditorWindow, IdleEditorPaintsNothingAndOneHostChangeAFewFrames) {
  // The yardstick for the heartbeat: a second editor that a tick handler
  // keeps at work ticks at the full rate, beside the idle one and on
  // however busy a machine. It lies apart, so that neither uncovers the
  // other and causes a paint.
  SwatchEditor busy;
  ASSERT_TRUE(busy.h.Open());
  SetWindowPos(busy.h.Window(), nullptr, 400, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  busy.h.Editor()->SetTickHandler([] {});
  SwatchEditor e;
  ASSERT_TRUE(e.h.Open());
  ASSERT_TRUE(e.h.PumpUntilIdle());
  TestEditor* editor = e.h.Editor();
  const uint32_t frames = editor->PaintedFrames(), ticks = editor->TicksRun();
  // The numbers of the ticks each display-sync thread posted meanwhile.
  struct Posted {
    HWND window;
    uint32_t first = 0, last = 0;
    uint32_t Count() const { return first ? last - first + 1 : 0; }
  } idle{e.h.Window()}, working{busy.h.Window()};
  ASSERT_TRUE(PumpUntil(
      "60 ticks of the editor at work and a heartbeat of the idle one",
      [&] { return working.Count() >= 60 && editor->TicksRun() - ticks >= 1; }, kWaitLimitMs,
      [&](const MSG& m) {
        for (Posted* p : {&idle, &working})
          if (m.message == kDisplaySyncMessage && m.hwnd == p->window) {
            if (!p->first) p->first = static_cast<uint32_t>(m.wParam);
            p->last = static_cast<uint32_t>(m.wParam);
          }
      }));
  EXPECT_EQ(editor->PaintedFrames() - frames, 0u) << "nothing changed, nothing painted";
  EXPECT_GE(editor->TicksRun() - ticks, 1u) << "the heartbeat still checks the display";
  EXPECT_LT(idle.Count() * 2, working.Count()) << "not the full tick rate while idle";
  EXPECT_TRUE(editor->TicksIdle());

  const uint32_t before = editor->PaintedFrames(), ticksBefore = editor->TicksRun();
  e.h.delegate.PushParamValue(RecordingDelegate::kGain, 0.25, true);
  EXPECT_FALSE(editor->TicksIdle()) << "the change woke the ticks";
  ASSERT_TRUE(PumpUntil("the change to be painted and the ticks to idle again",
                        [&] { return editor->PaintedFrames() > before && editor->TicksIdle(); }));
  const uint32_t painted = editor->PaintedFrames() - before;
  EXPECT_GE(painted, 1u);
  EXPECT_LE(painted, editor->TicksRun() - ticksBefore);
}

TEST(EditorWindow, DrawAndScreenScalesSizeTheWindowAndThePicture) {
  const struct {
    float draw;
    int32_t screen;
  } cases[] = {{0.5f, 1}, {1.0f, 2}, {2.0f, 1}, {2.0f, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "draw " << c.draw << " screen " << c.screen);
    SwatchEditor e(c.draw, c.screen);
    HWND window = e.h.Open();
    ASSERT_TRUE(window);
    RECT r = {};
    GetClientRect(window, &r);
    const float s = c.draw * c.screen;
    EXPECT_EQ(r.right, static_cast<int>(250 * c.draw) * c.screen);
    EXPECT_EQ(r.bottom, static_cast<int>(160 * c.draw) * c.screen);
    ASSERT_TRUE(e.h.PumpUntilPainted());
    EXPECT_TRUE(IsColour(e.h.Pixel(static_cast<int>(50 * s), static_cast<int>(90 * s)), kRed));
    EXPECT_TRUE(IsColour(e.h.Pixel(static_cast<int>(120 * s), static_cast<int>(90 * s)), kGrey));
  }
}

// Windows, GDI objects, threads and handles: each open makes some of each
// (the window, its DC and context, the display-sync thread and its event),
// and each close gives them all back.
TEST(EditorWindow, OpenCloseCyclesLeakNoWindowsThreadsOrContexts) {
  SwatchEditor e;
  ASSERT_TRUE(e.h.Open());
  ASSERT_TRUE(e.h.PumpUntilPainted());
  e.h.Close();
  const plugkit::test::ProcessObjects before = plugkit::test::BaselineCounts();
  ASSERT_TRUE(plugkit::test::AllCounted(before));
  const int cursor = CursorCount();
  for (int i = 0; i < 100; ++i) {
    ASSERT_TRUE(e.h.Open()) << i;
    if (i % 10 == 0) {
      EXPECT_TRUE(e.h.PumpUntilPainted()) << i;
    }
    EXPECT_EQ(EditorWindowCount(), 1);
    e.h.Close();
    EXPECT_EQ(EditorWindowCount(), 0);
  }
  EXPECT_TRUE(plugkit::test::CountsFallBackTo(before)) << "every display-sync thread ended, and nothing was left";
  EXPECT_EQ(CursorCount(), cursor);
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  WNDCLASSA wc;
  HINSTANCE module = GetModuleHandleA(nullptr);
  EXPECT_FALSE(GetClassInfoA(module, "TPlugWndClass", &wc)) << "the class went with the last window";
}

TEST(EditorWindow, TwoEditorsShareOneClassRegistration) {
  SwatchEditor a, b;
  ASSERT_TRUE(a.h.Open());
  ASSERT_TRUE(b.h.Open());
  EXPECT_EQ(EditorWindowCount(), 2);
  a.h.Close();
  WNDCLASSA wc;
  HINSTANCE module = GetModuleHandleA(nullptr);
  EXPECT_TRUE(GetClassInfoA(module, "TPlugWndClass", &wc)) << "the other editor still uses it";
  ASSERT_TRUE(b.h.PumpUntilPainted()) << "and still paints";
  b.h.Close();
  EXPECT_FALSE(GetClassInfoA(module, "TPlugWndClass", &wc));
}

TEST(EditorWindow, ReopeningKeepsPlaceAndSize) {
  SwatchEditor e;
  HWND first = e.h.Open();
  ASSERT_TRUE(first);
  SetWindowPos(first, nullptr, 30, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  HWND second = static_cast<HWND>(e.h.Editor()->OpenEditorWindow(e.h.parent.Handle()));
  ASSERT_TRUE(second);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(EditorWindowCount(), 1);
  RECT r = {}, p = {};
  GetWindowRect(second, &r);
  GetWindowRect(e.h.parent.Handle(), &p);
  EXPECT_EQ(r.right - r.left, 250);
  POINT origin = {r.left, r.top};
  ScreenToClient(e.h.parent.Handle(), &origin);
  EXPECT_EQ(origin.x, 30);
  EXPECT_EQ(origin.y, 20);
  EXPECT_TRUE(e.h.PumpUntilPainted());
}

// Failures end the open cleanly: nothing left open, the class gone, null.
TEST(EditorWindow, FailedOpeningsLeaveNothingBehind) {
  const int threads = ThreadCount();
  WNDCLASSA wc;
  HINSTANCE module = GetModuleHandleA(nullptr);
  {
    SwatchEditor e;
    e.h.failSurface = true;  // the NanoVG context cannot be made
    EXPECT_EQ(e.h.Open(), nullptr);
    EXPECT_EQ(EditorWindowCount(), 0);
    EXPECT_FALSE(GetClassInfoA(module, "TPlugWndClass", &wc));
    EXPECT_EQ(e.swatch, nullptr) << "no layout ran";
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
  }
  {
    // A parent that does not exist: the window cannot be created.
    Log log;
    LayoutDelegate delegate(log);
    TestEditor editor(&delegate, 1.0f);
    EXPECT_EQ(editor.OpenEditorWindow(reinterpret_cast<void*>(static_cast<uintptr_t>(0x7FFF1234))), nullptr);
    EXPECT_FALSE(editor.HasNativeWindow());
    EXPECT_FALSE(GetClassInfoA(module, "TPlugWndClass", &wc));
    // With no window, binding the context does nothing.
    editor.BindGlContext();
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    editor.UnbindGlContext();
    editor.CloseEditorWindow();  // nothing to close
  }
  EXPECT_TRUE(WaitUntil("the thread count to fall back", [&] { return ThreadCount() <= threads; }));
  EXPECT_LE(ThreadCount(), threads);
}

// WM_CLOSE tells the delegate before the controls go. The window goes at
// once; the controls, whose own code a message of the window may be
// running, go with the rest when the editor closes.
TEST(EditorWindow, CloseMessageTellsTheDelegateFirst) {
  SwatchEditor e;
  HWND window = e.h.Open();
  ASSERT_TRUE(window);
  e.h.log.clear();
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(e.h.Editor()->HasNativeWindow());
  EXPECT_EQ(e.h.log, (Log{"hidden"}));
  e.h.Close();
  EXPECT_EQ(e.h.log.back(), "swatch deleted");
}

TEST(EditorWindow, ResizingFollowsTheDrawScaleAndGrowsTheParent) {
  SwatchEditor e;
  e.h.delegate.acceptResize = false;  // a host that does not resize its window itself
  HWND window = e.h.Open();
  ASSERT_TRUE(window);
  ASSERT_TRUE(e.h.PumpUntilPainted());
  RECT before = {};
  GetWindowRect(e.h.parent.Handle(), &before);
  ASSERT_TRUE(e.h.Editor()->ApplySize(250, 160, 1.5f));
  RECT r = {}, after = {};
  GetClientRect(window, &r);
  EXPECT_EQ(r.right, 375);
  EXPECT_EQ(r.bottom, 240);
  GetWindowRect(e.h.parent.Handle(), &after);
  EXPECT_EQ((after.right - after.left) - (before.right - before.left), 125);
  const uint32_t frames = e.h.Editor()->PaintedFrames();
  ASSERT_TRUE(e.h.PumpUntilPainted(frames + 1));
  EXPECT_EQ(e.h.Editor()->SurfaceWidth(), 375);
  EXPECT_TRUE(IsColour(e.h.Pixel(75, 135), kRed));
  e.h.Close();
  SetWindowPos(e.h.parent.Handle(), nullptr, 0, 0, before.right - before.left, before.bottom - before.top,
               SWP_NOMOVE | SWP_NOZORDER);
}

// Moving to a display of another scale takes effect on the next tick.
TEST(EditorWindow, NewDisplayScaleAppliesOnTheNextTick) {
  SwatchEditor e(1.0f, 1);
  HWND window = e.h.Open();
  ASSERT_TRUE(window);
  ASSERT_TRUE(e.h.PumpUntilPainted());
  const uint32_t frames = e.h.Editor()->PaintedFrames();
  e.h.Editor()->displayScale = 2;
  EXPECT_TRUE(PumpUntil("the display's scale 2 to apply", [&] { return e.h.Editor()->ScreenScale() == 2; }));
  EXPECT_EQ(e.h.Editor()->ScreenScale(), 2);
  RECT r = {};
  GetClientRect(window, &r);
  EXPECT_EQ(r.right, 500);
  EXPECT_EQ(r.bottom, 320);
  ASSERT_TRUE(e.h.PumpUntilPainted(frames + 1));
  EXPECT_TRUE(IsColour(e.h.Pixel(100, 180), kRed)) << "repainted at the new scale";
}

// The clipboard is owned by the host's top window when there is one.
TEST(EditorWindow, ClipboardThroughTheEditor) {
  SwatchEditor e;
  ASSERT_TRUE(e.h.Open());
  ICanvasWin* editor = e.h.Editor();
  ASSERT_TRUE(editor->WriteClipboardText("12.5 %"));
  EXPECT_EQ(GetClipboardOwner(), e.h.parent.Handle());
  IStringBuffer text;
  EXPECT_TRUE(editor->ReadClipboardText(text));
  EXPECT_STREQ(text.Get(), "12.5 %");
  EXPECT_FALSE(editor->WriteClipboardText(""));
  EXPECT_FALSE(editor->ReadClipboardText(text));
}

// While the text field has the focus, ticks do not paint and a click on the
// editor cancels the entry.
TEST(EditorWindow, FocusedTextFieldHoldsTicksAndAClickCancels) {
  SwatchEditor e;
  HWND window = e.h.Open();
  ASSERT_TRUE(window);
  ASSERT_TRUE(e.h.PumpUntilPainted());
  ICanvasWin* editor = e.h.Editor();
  editor->OpenTextField(-1, kStandardText, IBox(100, 10, 200, 40), 20, "abc");
  ASSERT_TRUE(editor->TextFieldIsOpen());
  ASSERT_EQ(editor->TextFieldState(), ETextFieldState::Focused);
  const uint32_t frames = editor->PaintedFrames();
  e.swatch->MarkChanged(false, -1);
  // A timer's ticks come only when no posted message waits, so display
  // ticks have been handled before each of them.
  ASSERT_TRUE(PumpTimerTicks(50, 4)) << "a stretch of display ticks";
  EXPECT_EQ(editor->PaintedFrames(), frames) << "no paint under the focused field";
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_TRUE(PumpUntil("the field to close", [&] { return !editor->TextFieldIsOpen(); }));
  EXPECT_FALSE(editor->TextFieldIsOpen()) << "cancelled, then removed by a tick";
  ASSERT_TRUE(e.h.PumpUntilPainted(frames + 1)) << "painting resumes";
}

// Whatever wants drawing wakes idle ticks: a marked control, an animation,
// a new control, a tick handler, input, a text field.
TEST(EditorWindow, EverySourceOfWorkWakesIdleTicks) {
  SwatchEditor e;
  HWND window = e.h.Open();
  ASSERT_TRUE(window);
  ASSERT_TRUE(e.h.PumpUntilPainted());
  TestEditor* editor = e.h.Editor();
  const std::pair<const char*, std::function<void()>> sources[] = {
      {"marked", [&] { e.swatch->MarkChanged(false, -1); }},
      {"animation", [&] { e.swatch->LaunchAnimation([](IControl* c) { c->OnAnimationDone(); }, 10); }},
      {"new control", [&] { editor->AdoptControl(new SwatchControl(IBox(0, 0, 10, 10), kBlue)); }},
      {"tick handler", [&] { editor->SetTickHandler([editor] { editor->SetTickHandler(nullptr); }); }},
      {"input", [&] { SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3)); }},
  };
  for (const auto& [name, wake] : sources) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(e.h.PumpUntilIdle());
    wake();
    EXPECT_FALSE(editor->TicksIdle());
  }
  ASSERT_TRUE(e.h.PumpUntilIdle());
  editor->OpenTextField(-1, kStandardText, IBox(100, 10, 200, 40), 20, "abc");
  EXPECT_FALSE(editor->TicksIdle());
  ASSERT_TRUE(PumpTimerTicks(50, 6)) << "a stretch of display ticks";
  EXPECT_FALSE(editor->TicksIdle()) << "no idling while the field is open";
  editor->AbortTextField();
  EXPECT_TRUE(PumpUntil("the field to close", [&] { return !editor->TextFieldIsOpen(); }));
  EXPECT_FALSE(editor->TextFieldIsOpen());
}

// A tick whose number is older than the last one posted does nothing; the
// next real tick paints.
TEST(EditorWindow, StaleTicksAreDropped) {
  SwatchEditor e;
  HWND window = e.h.Open();
  ASSERT_TRUE(window);
  ASSERT_TRUE(e.h.PumpUntilPainted());
  bool later = false;
  ASSERT_TRUE(PumpUntil("the thread's third tick", [&] { return later; }, kWaitLimitMs, [&](const MSG& m) {
    later = later || (m.message == kDisplaySyncMessage && m.hwnd == window && m.wParam >= 3);
  }));
  TestEditor* editor = e.h.Editor();
  const uint32_t frames = editor->PaintedFrames(), ticks = editor->TicksRun();
  e.swatch->MarkChanged(false, -1);
  SendMessageA(window, kDisplaySyncMessage, 1, 0);
  EXPECT_EQ(editor->TicksRun(), ticks);
  EXPECT_EQ(editor->PaintedFrames(), frames);
  ASSERT_TRUE(e.h.PumpUntilPainted(frames + 1));
}

} // namespace
} // namespace plugkit::canvas::test
