// Posted mouse, wheel and key messages reach the right control with the
// right coordinates at every screen and draw scale; the pointer's shape,
// hiding and capture; the native text field and menu of an open editor.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/IParam.h"
#include "graphics/platform/ICanvasWin.h"
#include "graphics/records/DefaultConstants.h"
#include "tests/graphics/platform/editor_harness.h"

namespace plugkit::canvas::test {
namespace {

// Pumps until the moves the system makes up for the real pointer have
// arrived: everything posted so far has come through and no mouse input
// waits for this thread.
void LetPointerMovesArrive(EditorHarness& h) {
  h.Drain();
  EXPECT_TRUE(PumpUntil("the pointer's own moves to arrive", [] { return !(HIWORD(GetQueueStatus(QS_MOUSE))); }));
}

// Moves the real pointer off every test window, so that the moves the
// system makes up for it do not mix with the posted ones.
void ParkPointer(EditorHarness& h) {
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
  LetPointerMovesArrive(h);
}

bool Logged(const Log& log, const std::string& line) { return std::find(log.begin(), log.end(), line) != log.end(); }

std::string Joined(const Log& log) {
  std::string all;
  for (const auto& l : log) all += l + "; ";
  return all;
}

// Logs drag deltas; hides the pointer (kept in place) while pressed when asked.
class DragControl : public IControl {
public:
  DragControl(const IBox& bounds, Log& log, bool hides) : IControl(bounds, -1), mLog(log), mHides(hides) {}
  void Render(ICanvas&) override {}
  void OnPointerPress(float, float, const IPointerMods&) override {
    mLog.push_back("drag press");
    if (mHides) GraphicsRef()->SetPointerHidden(true, true);
  }
  void OnPointerDrag(float, float, float dX, float dY, const IPointerMods&) override {
    mLog.push_back(Fmt("delta %g,%g", dX, dY));
  }
  void OnPointerRelease(float, float, const IPointerMods&) override {
    mLog.push_back("drag release");
    if (mHides) GraphicsRef()->SetPointerHidden(false, true);
  }

private:
  Log& mLog;
  bool mHides;
};

struct ProbeEditor {
  ProbeEditor(float drawScale, int32_t screenScale)
      : h(drawScale, screenScale, [this](ICanvas& g) {
          g.AttachBackground(new SwatchControl(IBox(0, 0, 250, 160), IArgb(255, 0, 0, 0)));
          a = new ProbeControl(h.log, "a", IBox(10, 45, 90, 139));
          b = new ProbeControl(h.log, "b", IBox(150, 20, 240, 100));
          a->handlesKeys = true;
          g.AdoptControl(a);
          g.AdoptControl(b);
        }) {}
  EditorHarness h;
  ProbeControl* a = nullptr;
  ProbeControl* b = nullptr;
};

TEST(EditorInput, MouseWheelAndKeysReachTheRightControlAtEveryScale) {
  for (int32_t screen : {1, 2}) {
    for (float draw : {0.5f, 1.0f, 2.0f}) {
      SCOPED_TRACE(testing::Message() << "screen " << screen << " draw " << draw);
      ProbeEditor e(draw, screen);
      ASSERT_TRUE(e.h.Open());
      ParkPointer(e.h);
      const float s = screen * draw;
      auto px = [s](float logical) { return static_cast<int>(logical * s); };
      e.h.log.clear();
      e.h.Mouse(WM_LBUTTONDOWN, px(200), px(60), MK_LBUTTON);
      e.h.Mouse(WM_MOUSEMOVE, px(210), px(70), MK_LBUTTON);
      e.h.Mouse(WM_LBUTTONUP, px(210), px(70), 0);
      EXPECT_TRUE(Logged(e.h.log, "press 200,60 b")) << Joined(e.h.log);
      EXPECT_TRUE(Logged(e.h.log, "drag 210,70 b")) << Joined(e.h.log);
      EXPECT_TRUE(Logged(e.h.log, "release 210,70 b")) << Joined(e.h.log);

      e.h.Mouse(WM_RBUTTONDOWN, px(50), px(90), MK_RBUTTON);
      e.h.Mouse(WM_RBUTTONUP, px(50), px(90), 0);
      EXPECT_TRUE(Logged(e.h.log, "right press 50,90 a")) << Joined(e.h.log);

      e.h.Wheel(px(50), px(90), 240);
      e.h.Wheel(px(200), px(60), -120);
      e.h.Wheel(px(200), px(60), 60);
      EXPECT_TRUE(Logged(e.h.log, "wheel 2 a")) << Joined(e.h.log);
      EXPECT_TRUE(Logged(e.h.log, "wheel -1 b")) << Joined(e.h.log);
      EXPECT_TRUE(Logged(e.h.log, "wheel 0 b")) << Joined(e.h.log);

      // Keys go to the control under the pointer.
      POINT p = {px(50), px(90)};
      ClientToScreen(e.h.Window(), &p);
      SetCursorPos(p.x, p.y);
      LetPointerMovesArrive(e.h);
      float qx = -1, qy = -1;
      e.h.Editor()->QueryPointerPosition(qx, qy);
      EXPECT_NEAR(qx, 50, 1);
      EXPECT_NEAR(qy, 90, 1);
      PostMessageA(e.h.Window(), WM_KEYDOWN, 'A', 1 | (MapVirtualKeyA('A', MAPVK_VK_TO_VSC) << 16));
      e.h.Drain();
      EXPECT_TRUE(Logged(e.h.log, "key a a")) << Joined(e.h.log);
      e.h.Close();
    }
  }
}

TEST(EditorInput, DragDeltasSkipStillMovesAndIgnoreTheWheel) {
  EditorHarness h(1.0f, 2, [&h](ICanvas& g) {
    g.AdoptControl(new DragControl(IBox(0, 0, 100, 100), h.log, false));
    g.AdoptControl(new ProbeControl(h.log, "wheel", IBox(150, 0, 250, 100)));
  });
  ASSERT_TRUE(h.Open());
  ParkPointer(h);
  ASSERT_TRUE(h.PumpUntilIdle()) << "the first picture is drawn, so no drawing mixes with the drag";
  h.log.clear();
  h.Mouse(WM_LBUTTONDOWN, 40, 40, MK_LBUTTON);   // logical (20, 20)
  h.Mouse(WM_MOUSEMOVE, 40, 40, MK_LBUTTON);     // no movement: no drag
  h.Wheel(400, 100, 120);                        // the wheel mid-drag (it goes to the dragged control)
  h.Mouse(WM_MOUSEMOVE, 60, 50, MK_LBUTTON);     // logical (30, 25)
  h.Mouse(WM_LBUTTONUP, 60, 50, 0);
  const Log expected = {"drag press", "delta 10,5", "drag release"};
  EXPECT_EQ(h.log, expected) << Joined(h.log);
}

TEST(EditorInput, PointerShapesShowTheSystemCursors) {
  EditorHarness h;
  ASSERT_TRUE(h.Open());
  ICanvasWin* editor = h.Editor();
  editor->ChangePointerShape(EPointerShape::Hand);
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));
  EXPECT_EQ(editor->ChangePointerShape(static_cast<EPointerShape>(42)), EPointerShape::Hand);
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, MAKEINTRESOURCEA(32512))) << "unknown shapes show the arrow";
  EXPECT_EQ(static_cast<int32_t>(editor->PointerShape()), 42) << "and are remembered";
  editor->ChangePointerShape(EPointerShape::SizeWE);
  SendMessageA(h.Window(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, MAKEINTRESOURCEA(32512))) << "leaving shows the arrow";
  EXPECT_EQ(editor->PointerShape(), EPointerShape::SizeWE) << "the shape in force is kept for the return";
}

// A pointer hidden for a drag is shown again at the release, when capture
// is taken away, and when the editor closes mid-drag.
TEST(EditorInput, HiddenPointerIsShownAgainWhateverEndsTheDrag) {
  const int shown = CursorCount();
  EditorHarness h(1.0f, 1, [&h](ICanvas& g) { g.AdoptControl(new DragControl(IBox(0, 0, 100, 100), h.log, true)); });
  ASSERT_TRUE(h.Open());
  h.Mouse(WM_LBUTTONDOWN, 40, 40, MK_LBUTTON);
  EXPECT_EQ(CursorCount(), shown - 1) << Joined(h.log);
  EXPECT_TRUE(h.Editor()->PointerHidden());
  h.Mouse(WM_LBUTTONUP, 40, 40, 0);
  EXPECT_EQ(CursorCount(), shown);

  h.Mouse(WM_LBUTTONDOWN, 40, 40, MK_LBUTTON);
  EXPECT_EQ(CursorCount(), shown - 1);
  h.log.clear();
  SetCapture(h.parent.Handle());  // another window takes the mouse
  h.Drain();
  EXPECT_EQ(CursorCount(), shown);
  EXPECT_TRUE(Logged(h.log, "drag release")) << Joined(h.log);
  ReleaseCapture();

  h.Mouse(WM_LBUTTONDOWN, 40, 40, MK_LBUTTON);
  EXPECT_EQ(CursorCount(), shown - 1);
  h.Close();
  EXPECT_EQ(CursorCount(), shown);
}

TEST(EditorInput, TextFieldFiltersCommitsAndCancels) {
  ProbeControl* gain = nullptr;
  EditorHarness h(1.0f, 1, [&](ICanvas& g) {
    gain = new ProbeControl(h.log, "gain", IBox(10, 10, 110, 40), RecordingDelegate::kGain);
    g.AdoptControl(gain);
  });
  ASSERT_TRUE(h.Open());
  ICanvasWin* editor = h.Editor();
  editor->PromptParameterValue(gain, gain->Bounds(), 0);
  ASSERT_TRUE(editor->TextFieldIsOpen());
  HWND field = static_cast<HWND>(editor->TextFieldWindow());
  EXPECT_EQ(editor->TextFieldOwner(), h.delegate.GetParam(RecordingDelegate::kGain));
  EXPECT_EQ(editor->TextFieldState(), ETextFieldState::Focused);
  SetWindowTextW(field, L"");
  for (char c : std::string("4e2.5x")) SendMessageA(field, WM_CHAR, c, 0);
  wchar_t text[32] = {};
  GetWindowTextW(field, text, 32);
  EXPECT_STREQ(text, L"42.5") << "a Decimal parameter takes digits, signs and the point only";
  SendMessageA(field, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(editor->TextFieldState(), ETextFieldState::Commit);
  h.log.clear();
  EXPECT_TRUE(PumpUntil("the field to close", [&] { return !editor->TextFieldIsOpen(); }));
  EXPECT_FALSE(editor->TextFieldIsOpen()) << "the next tick applied it";
  EXPECT_TRUE(Logged(h.log, "set 0 0.425")) << Joined(h.log);

  // Escape cancels; the edited control is free again.
  editor->PromptParameterValue(gain, gain->Bounds(), 0);
  ASSERT_TRUE(editor->TextFieldIsOpen());
  field = static_cast<HWND>(editor->TextFieldWindow());
  SendMessageA(field, WM_KEYDOWN, VK_ESCAPE, 0);
  h.log.clear();
  EXPECT_TRUE(PumpUntil("the field to close", [&] { return !editor->TextFieldIsOpen(); }));
  EXPECT_FALSE(editor->TextFieldIsOpen());
  EXPECT_EQ(editor->EditedControl(), nullptr);
  EXPECT_FALSE(Logged(h.log, "set 0 0.425"));

  // A long initial text opens an empty field.
  editor->OpenTextField(-1, kStandardText, IBox(10, 50, 110, 80), 100, std::string(40, 'x').c_str());
  ASSERT_TRUE(editor->TextFieldIsOpen());
  EXPECT_EQ(GetWindowTextLengthW(static_cast<HWND>(editor->TextFieldWindow())), 0);
  editor->AbortTextField();
  EXPECT_TRUE(PumpUntil("the field to close", [&] { return !editor->TextFieldIsOpen(); }));
  EXPECT_FALSE(editor->TextFieldIsOpen());
}

// The native menu opens at the box and is dismissed without a choice.
TEST(EditorInput, NativeMenuDismissedAnswersNothing) {
  EditorHarness h;
  ASSERT_TRUE(h.Open());
  IPopupMenu menu({"one", "two"});
  static bool dismissed;
  dismissed = false;
  UINT_PTR timer = SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR, DWORD) {
    dismissed = true;
    EndMenu();
  });
  bool later = true;
  EXPECT_EQ(h.Editor()->RunPopupMenu(menu, IBox(10, 10, 50, 30), later), nullptr);
  KillTimer(nullptr, timer);
  EXPECT_FALSE(later);
  EXPECT_TRUE(dismissed) << "the menu was shown until dismissed";
  EXPECT_EQ(menu.PickedIndex, -1);
}

// Asks for a menu when pressed: its parameter's value prompt (the canvas'
// own menu), or a menu of its own.
class MenuAsker : public ProbeControl {
public:
  MenuAsker(Log& log, const IBox& bounds, bool prompt)
      : ProbeControl(log, prompt ? "prompt" : "own", bounds, RecordingDelegate::kMode), mPrompt(prompt) {
    mOwn.Completion = [&log](IPopupMenu*) { log.push_back("menu choice through the completion"); };
  }
  void OnPointerPress(float x, float y, const IPointerMods& mods) override {
    ProbeControl::OnPointerPress(x, y, mods);
    if (mPrompt)
      GraphicsRef()->PromptParameterValue(this, Bounds(), 0);
    else
      GraphicsRef()->OpenPopupMenu(this, mOwn, Bounds(), 0, false);
  }

private:
  bool mPrompt;
  IPopupMenu mOwn{{"one", "two"}};
};

// The native menu's window while it is shown, else null.
HWND ShownMenuWindow() {
  HWND menu = FindWindowA("#32768", nullptr);
  return menu && IsWindowVisible(menu) ? menu : nullptr;
}

struct MenuEditor {
  explicit MenuEditor(bool prompt)
      : h(1.0f, 1, [this, prompt](ICanvas& g) { g.AdoptControl(new MenuAsker(h.log, IBox(10, 45, 90, 139), prompt)); }) {}
  EditorHarness h;
};

// The host closes the editor while a native menu of its is open (a timer in
// the menu's loop does what the host's close does), and the user picks an
// item: no answer reaches a control of the closed editor, nothing of it is
// touched (the program runs with Wine's heap filling freed blocks), and it
// opens again.
TEST(EditorInput, ANativeMenuWhoseEditorClosesAnswersNothing) {
  for (const bool prompt : {true, false}) {
    SCOPED_TRACE(prompt ? "the value prompt" : "a control's own menu");
    MenuEditor e(prompt);
    ASSERT_TRUE(e.h.Open());
    static EditorHarness* closing;
    static bool closed;
    closing = &e.h;
    closed = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
      HWND menu = ShownMenuWindow();
      if (!menu) return;
      if (closed) {
        EndMenu();  // for a menu still open after the pick
        return;
      }
      closed = true;
      closing->Close();
      PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
      PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    });
    e.h.log.clear();
    e.h.Mouse(WM_LBUTTONDOWN, 50, 90, MK_LBUTTON);
    EXPECT_TRUE(PumpUntil("the menu's loop to end", [] { return !ShownMenuWindow(); }));
    KillTimer(nullptr, timer);
    EXPECT_TRUE(closed) << "the menu was open when the editor closed";
    EXPECT_EQ(e.h.Editor(), nullptr);
    EXPECT_EQ(EditorWindowCount(), 0);
    for (const std::string& line : e.h.log) EXPECT_EQ(line.rfind("menu choice", 0), std::string::npos) << line;
    EXPECT_TRUE(e.h.Open()) << "the editor opens again";
    e.h.Close();
  }
}

} // namespace
} // namespace plugkit::canvas::test
