// The real editor in a real window, opened through the effect record, with a
// host that answers the editor's calls the hard way: it closes the editor
// (effEditClose) from inside the call named, or destroys the window during a
// drag. Nothing of the closed editor may be touched afterwards (the test
// program runs with Wine's heap filling freed blocks, so a read of freed
// memory faults), the host sees one end for each begin, and the editor opens
// again. A host that deletes the plug-in (effClose) while the strip's Save
// dialog is open. Also the pointer's side of a drag: a change of screen
// scale, and the button that began the press let go of while another is
// held.
#if defined(TESSIVO_EDITOR_WINDOW)

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "graphics/platform/ICanvasWin.h"
#include "plugin/editor/TPresetControl.h"
#include "tests/graphics/platform/dialog_closer.h"
#include "tests/graphics/platform/editor_harness.h"
#include "tests/plugin/editor/editor_fixture.h"
#include "tests/plugin/editor/strip_action.h"
#include "tests/support/message_pump.h"

namespace {

using namespace tessivo_editor_test;
using plugkit::canvas::ICanvasWin;
using plugkit::canvas::test::CountOf;
using plugkit::canvas::test::CursorCount;
using plugkit::canvas::test::EditorWindowCount;
using plugkit::canvas::test::SharedParent;

// Records like RecordingHost and closes the editor, through the record it is
// called with, from inside the first call with closeOn as its opcode.
struct ClosingHost {
  static inline int32_t closeOn = -1;
  static inline bool closed = false;
  static intptr_t VST2_CALL Callback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                     float opt) {
    const intptr_t answer = RecordingHost(effect, opcode, index, value, ptr, opt);
    if (opcode == closeOn && !closed) {
      closed = true;
      effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
    }
    return answer;
  }
};

struct Step {
  UINT message;
  int x, y;
  WPARAM keys;
};

// Every parameter's gestures in the trail are balanced.
::testing::AssertionResult Balanced(const std::vector<std::string>& trail) {
  for (int p = 0; p < 3; ++p) {
    const std::string n = std::to_string(p);
    if (CountOf(trail, "begin " + n) != CountOf(trail, "end " + n))
      return ::testing::AssertionFailure() << "parameter " << p << " begins " << CountOf(trail, "begin " + n)
                                           << " times and ends " << CountOf(trail, "end " + n) << " times";
  }
  return ::testing::AssertionSuccess();
}

// The editor of a Tessivo object opened through its effect record.
struct Editor {
  explicit Editor(HWND parent = SharedParent().Handle()) {
    HostCalls().clear();
    ClosingHost::closeOn = -1;
    ClosingHost::closed = false;
    window = Open(parent);
  }
  ~Editor() {
    Dispatch(effEditClose);
    ClosingHost::closeOn = -1;
  }

  HWND Open(HWND parent) {
    if (Dispatch(effEditOpen, 0, 0, parent) != 1 || !Canvas()) return nullptr;
    if (!plugkit::test::PumpUntil("the first frame", [&] { return Canvas() && Canvas()->PaintedFrames() > 0; }))
      return nullptr;
    return static_cast<HWND>(Canvas()->NativeWindowHandle());
  }
  intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr) {
    return plugin.EffectRecord()->dispatcher(plugin.EffectRecord(), opcode, index, value, ptr, 0.0f);
  }
  ICanvasWin* Canvas() const { return dynamic_cast<ICanvasWin*>(plugin.EditorGraphics()); }
  // Posts to the window the editor opened with (a window gone takes none)
  // and pumps until it went through.
  void Mouse(const Step& s) {
    PostMessageA(window, s.message, s.keys, MAKELPARAM(s.x, s.y));
    EXPECT_TRUE(plugkit::test::PumpPostedMessages());
  }
  float Mix() { return Tessivo::EffectGetParameter(plugin.EffectRecord(), 2); }

  Tessivo plugin{&ClosingHost::Callback};
  HWND window = nullptr;
};

// The Mix knob's body, the corner handle, the strip's "next" arrow.
constexpr int kKnobX = 200, kKnobY = 95;
constexpr int kCornerX = 245, kCornerY = 155;
constexpr int kNextX = 212, kNextY = 15;

TEST(EditorClosedInside, AHostCallThatClosesTheEditorLeavesNothingBehind) {
  const struct Case {
    const char* name;
    int32_t opcode;
    std::vector<Step> steps;
  } cases[] = {
      {"begin edit", audioMasterBeginEdit, {{WM_LBUTTONDOWN, kKnobX, kKnobY, MK_LBUTTON}}},
      {"automate",
       audioMasterAutomate,
       {{WM_LBUTTONDOWN, kKnobX, kKnobY, MK_LBUTTON}, {WM_MOUSEMOVE, kKnobX, kKnobY - 5, MK_LBUTTON}}},
      {"end edit",
       audioMasterEndEdit,
       {{WM_LBUTTONDOWN, kKnobX, kKnobY, MK_LBUTTON},
        {WM_MOUSEMOVE, kKnobX, kKnobY - 5, MK_LBUTTON},
        {WM_LBUTTONUP, kKnobX, kKnobY - 5, 0}}},
      {"size window",
       audioMasterSizeWindow,
       {{WM_LBUTTONDOWN, kCornerX, kCornerY, MK_LBUTTON}, {WM_MOUSEMOVE, kCornerX + 15, kCornerY + 15, MK_LBUTTON}}},
      {"update display",
       audioMasterUpdateDisplay,
       {{WM_LBUTTONDOWN, kNextX, kNextY, MK_LBUTTON}, {WM_LBUTTONUP, kNextX, kNextY, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Editor e;
    ASSERT_TRUE(e.window);
    HostCalls().clear();
    ClosingHost::closeOn = c.opcode;
    for (const Step& s : c.steps) e.Mouse(s);
    ASSERT_TRUE(ClosingHost::closed) << "the host call came";

    EXPECT_EQ(e.plugin.EditorGraphics(), nullptr);
    EXPECT_FALSE(IsWindow(e.window));
    EXPECT_TRUE(plugkit::test::PumpUntil("the editor's window to go", [] { return EditorWindowCount() == 0; }));
    // A few display periods' worth of messages: nothing of the closed editor
    // wakes up in them.
    EXPECT_TRUE(plugkit::test::PumpTimerTicks(20, 3));
    const std::vector<std::string> trail = HostTrail();
    EXPECT_TRUE(Balanced(trail));
    if (c.opcode == audioMasterBeginEdit || c.opcode == audioMasterAutomate || c.opcode == audioMasterEndEdit) {
      EXPECT_EQ(CountOf(trail, "begin 2"), 1);
      EXPECT_EQ(trail.back(), "end 2");
    }

    ClosingHost::closeOn = -1;
    e.window = e.Open(SharedParent().Handle());
    EXPECT_TRUE(e.window) << "the editor opens again";
    EXPECT_EQ(EditorWindowCount(), 1);
  }
}

// The host destroys its own window (and so the editor's) in the middle of a
// knob drag: the host's gesture ends then, not when it closes the editor.
TEST(EditorClosedInside, AWindowDestroyedDuringADragEndsTheGestureAtOnce) {
  HWND frame = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, SharedParent().Handle(),
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(frame);
  Editor e(frame);
  ASSERT_TRUE(e.window);
  const int shown = CursorCount();
  HostCalls().clear();
  e.Mouse({WM_LBUTTONDOWN, kKnobX, kKnobY, MK_LBUTTON});
  e.Mouse({WM_MOUSEMOVE, kKnobX, kKnobY - 5, MK_LBUTTON});
  ASSERT_EQ(CountOf(HostTrail(), "begin 2"), 1);
  ASSERT_EQ(CountOf(HostTrail(), "end 2"), 0);

  DestroyWindow(frame);
  EXPECT_FALSE(IsWindow(e.window));
  EXPECT_EQ(CountOf(HostTrail(), "end 2"), 1) << "ended with the window";
  EXPECT_EQ(HostTrail().back(), "end 2");
  EXPECT_EQ(CursorCount(), shown) << "the drag's hidden pointer shows again";
  e.Dispatch(effEditClose);
  EXPECT_EQ(CountOf(HostTrail(), "end 2"), 1) << "and not again at the close";
}

// The display's scale goes from 1 to 2 while the knob is held: the drag ends
// there, and a move after it (one device pixel, in units that changed under
// it) does not move the value.
TEST(EditorClosedInside, AScreenScaleChangeDuringADragMovesTheValueByThePointersMovementOnly) {
  Editor e;
  ASSERT_TRUE(e.window);
  ASSERT_TRUE(e.plugin.ApplyPreset(1));  // "Light Detune": Mix 50, room either way
  const float start = e.Mix();
  const int shown = CursorCount();
  e.Mouse({WM_LBUTTONDOWN, kKnobX, kKnobY, MK_LBUTTON});
  e.Mouse({WM_MOUSEMOVE, kKnobX, kKnobY - 2, MK_LBUTTON});
  const float moved = e.Mix();
  ASSERT_GT(moved, start);
  HostCalls().clear();

  e.Canvas()->SetHostScreenScale(2);
  ASSERT_TRUE(plugkit::test::PumpUntil("the tick to take scale 2", [&] { return e.Canvas()->ScreenScale() == 2; }));
  EXPECT_EQ(CountOf(HostTrail(), "end 2"), 1) << "the drag ended at the change";
  EXPECT_EQ(CursorCount(), shown);
  EXPECT_EQ(e.Mix(), moved);
  HostCalls().clear();
  e.Mouse({WM_MOUSEMOVE, kKnobX, kKnobY - 3, MK_LBUTTON});
  EXPECT_EQ(e.Mix(), moved);
  e.Mouse({WM_LBUTTONUP, kKnobX, kKnobY - 3, 0});
  EXPECT_EQ(e.Mix(), moved);
  EXPECT_TRUE(HostTrail().empty()) << "nothing more reached the host";
}

// A left press on the knob, the right button pressed too, then the left one
// let go of: the drag ends there; the right button still held moves nothing,
// and its release ends nothing more.
TEST(EditorClosedInside, ThePressEndsWithTheButtonThatBeganIt) {
  Editor e;
  ASSERT_TRUE(e.window);
  ASSERT_TRUE(e.plugin.ApplyPreset(1));
  const int shown = CursorCount();
  HostCalls().clear();
  e.Mouse({WM_LBUTTONDOWN, kKnobX, kKnobY, MK_LBUTTON});
  e.Mouse({WM_MOUSEMOVE, kKnobX, kKnobY - 2, MK_LBUTTON});
  e.Mouse({WM_RBUTTONDOWN, kKnobX, kKnobY - 2, MK_LBUTTON | MK_RBUTTON});
  e.Mouse({WM_LBUTTONUP, kKnobX, kKnobY - 2, MK_RBUTTON});
  EXPECT_EQ(CountOf(HostTrail(), "end 2"), 1) << "the left release ended the drag";
  EXPECT_EQ(CursorCount(), shown);
  const float released = e.Mix();
  const size_t calls = HostTrail().size();
  e.Mouse({WM_MOUSEMOVE, kKnobX, kKnobY - 3, MK_RBUTTON});
  e.Mouse({WM_MOUSEMOVE, kKnobX, kKnobY - 5, MK_RBUTTON});
  e.Mouse({WM_RBUTTONUP, kKnobX, kKnobY - 5, 0});
  EXPECT_EQ(e.Mix(), released);
  EXPECT_EQ(HostTrail().size(), calls) << "nothing more reached the host";
  EXPECT_TRUE(Balanced(HostTrail()));
  EXPECT_NE(GetCapture(), e.window);
}

// A Tessivo object that notes its deletion.
class NotedTessivo : public Tessivo {
public:
  explicit NotedTessivo(bool& deleted) : Tessivo(&RecordingHost), mDeleted(deleted) {}
  ~NotedTessivo() override { mDeleted = true; }

private:
  bool& mDeleted;
};

// The strip's Save dialog, answered with a file name: with the plug-in alive
// the file is written; when the host sent effClose from inside the dialog's
// loop first, the plug-in goes once the dialog's call has returned, and no
// file is written for it.
TEST(EditorClosedInside, EffCloseInsideTheSaveDialogWritesNoFile) {
  const std::string path = (std::filesystem::temp_directory_path() / "tessivo_save_inside.fxp").string();
  for (const bool closeInside : {false, true}) {
    SCOPED_TRACE(closeInside ? "effClose inside the dialog" : "the plug-in stays");
    std::filesystem::remove(path);
    HostCalls().clear();
    bool deleted = false;
    auto* plugin = new NotedTessivo(deleted);
    AEffect* effect = plugin->EffectRecord();
    ASSERT_EQ(effect->dispatcher(effect, effEditOpen, 0, 0, SharedParent().Handle(), 0.0f), 1);
    TPresetControl* strip = plugin->PresetStrip();
    ASSERT_NE(strip, nullptr);
    plugkit::canvas::test::DialogCloser closer([&](HWND dialog) {
      if (closeInside) effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
      plugkit::canvas::test::TypeFileName(dialog, path.c_str());
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    ChooseStripAction(*strip, TPresetControl::kSave);
    if (!closeInside) {
      EXPECT_TRUE(plugkit::test::PumpUntil("the file", [&] { return std::filesystem::exists(path); }));
      effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
      EXPECT_TRUE(deleted);
      continue;
    }
    // Evaluated only between messages of this loop: once the plug-in is
    // gone, the dialog's loop and everything that ran it have returned.
    EXPECT_TRUE(plugkit::test::PumpUntil("the plug-in to go", [&] { return deleted; }));
    EXPECT_TRUE(closer.Acted());
    EXPECT_FALSE(std::filesystem::exists(path)) << "a file written for a plug-in the host let go of";
    EXPECT_EQ(EditorWindowCount(), 0);
    EXPECT_TRUE(plugkit::test::PumpTimerTicks(20, 3));
  }
  std::filesystem::remove(path);
}

} // namespace

#endif
