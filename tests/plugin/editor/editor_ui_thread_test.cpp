// Hosts that build plug-in instances on a loader thread (a project loading in
// the background, a plug-in scan) and then open the editor, change programs
// and automate from their user-interface thread. The thread that shows the
// editor is the user-interface thread from then on: the editor's tick, its
// title and the host's values reach the editor there, whether the loader has
// ended or goes on pumping messages of its own; and a host thread that sends
// more updates than the editor's queue holds still leaves the knob showing
// the parameter's value.

#if defined(TESSIVO_EDITOR_WINDOW)

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "api/vst2/VST2Entry.h"
#include "graphics/platform/ICanvasWin.h"
#include "plugin/editor/TAboutBox.h"
#include "plugin/editor/TKnobControl.h"
#include "plugin/editor/TPresetControl.h"
#include "tests/graphics/platform/editor_harness.h"
#include "tests/plugin/editor/editor_fixture.h"
#include "tests/plugin/editor/title_recording_editor.h"
#include "tests/support/host_thread.h"
#include "tests/support/message_pump.h"
#include "tests/support/wait.h"

namespace {

using namespace tessivo_editor_test;
using plugkit::canvas::ICanvasWin;
using plugkit::canvas::test::SharedParent;

// The knob bound to index among the canvas' controls, or null.
TKnobControl* KnobOf(ICanvas& canvas, int32_t index) {
  for (int32_t i = 0; i < canvas.ControlCount(); ++i)
    if (auto* knob = dynamic_cast<TKnobControl*>(canvas.ControlAt(i)))
      if (knob->ParamIndexAt(0) == index) return knob;
  return nullptr;
}

// Tessivo noting every thread that hands the open editor a value or runs its
// tick.
class ThreadNotingTessivo : public Tessivo {
public:
  using Tessivo::Tessivo;
  void PushParamValue(int32_t index, double value, bool isNormalised) override {
    Note();
    Tessivo::PushParamValue(index, value, isNormalised);
  }
  void OnEditorTick() override {
    Note();
    Tessivo::OnEditorTick();
  }
  std::set<DWORD> EditorThreads() {
    std::lock_guard<std::mutex> guard(mLock);
    return mEditorThreads;
  }

private:
  void Note() {
    if (!EditorGraphics()) return;
    std::lock_guard<std::mutex> guard(mLock);
    mEditorThreads.insert(GetCurrentThreadId());
  }
  std::mutex mLock;
  std::set<DWORD> mEditorThreads;
};

// 601 updates of Mix from a host thread with no editor tick between them, more
// than the editor's queue holds: after the next ticks the knob shows the value
// the parameter has, not the last one the queue took.
TEST(EditorUserInterfaceThread, AKnobShowsItsParameterAfterMoreUpdatesThanTheQueueHolds) {
  Tessivo plugin(&QuietHost);
  AEffect* effect = plugin.EffectRecord();
  ASSERT_EQ(effect->dispatcher(effect, effEditOpen, 0, 0, SharedParent().Handle(), 0.0f), 1);
  ASSERT_NE(plugin.EditorGraphics(), nullptr);
  TKnobControl* mix = KnobOf(*plugin.EditorGraphics(), Mix);
  ASSERT_NE(mix, nullptr);
  std::thread host([effect] {
    for (int i = 0; i <= 600; ++i) effect->setParameter(effect, Mix, static_cast<float>(i) / 1000.0f);
  });
  host.join();
  const double value = plugin.GetParam(Mix)->ReadNormalised();
  EXPECT_NEAR(value, 0.6, 1e-6);
  EXPECT_TRUE(plugkit::test::PumpUntil("the knob to show the parameter's value",
                                       [&] { return mix->ValueAt(0) == value; }))
      << "the knob shows " << mix->ValueAt(0);
  effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
}

// Built on a loader thread; everything else from this thread, which pumps
// messages as a host's user-interface thread does: the editor opens in a real
// window through the effect record, the strip shows "Default", and a strip
// click, a rename and a program change show at the next ticks, the about box
// opens, and automation from a third thread moves the Mix knob. When the
// loader keeps a message loop of its own, nothing reaches the editor from it.
TEST(EditorUserInterfaceThread, AnInstanceBuiltOnALoaderShowsItsEditorWhereTheHostOpensIt) {
  for (bool loaderPumps : {false, true}) {
    SCOPED_TRACE(loaderPumps ? "the loader keeps pumping" : "the loader ended");
    AEffect* effect = nullptr;
    plugkit::test::HostThread loader(
        [&effect] {
          effect = plugkit::CreateVST2Effect(&QuietHost, [](audioMasterCallback host) -> plugkit::IVST2Binding* {
            return new ThreadNotingTessivo(host);
          });
        },
        loaderPumps);
    ASSERT_TRUE(loader.WaitJobDone());
    ASSERT_NE(effect, nullptr);
    const DWORD loaderThread = loader.Id();
    if (!loaderPumps) loader.Stop();
    auto& plugin = *static_cast<ThreadNotingTessivo*>(plugkit::IVST2Binding::FromEffect(effect));
    auto dispatch = [effect](int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr) {
      return effect->dispatcher(effect, opcode, index, value, ptr, 0.0f);
    };
    std::vector<std::string> titles;
    TitleRecordingEditor::Install(plugin, titles);
    auto shows = [&](const std::string& title) {
      return plugkit::test::PumpUntil("the strip to show \"" + title + "\"",
                                      [&] { return !titles.empty() && titles.back() == title; });
    };

    dispatch(effOpen);
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, SharedParent().Handle()), 1);
    auto* editor = dynamic_cast<ICanvasWin*>(plugin.EditorGraphics());
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(plugkit::test::PumpUntil("the first paint", [&] { return editor->PaintedFrames() >= 1; }));
    TPresetControl* strip = plugin.PresetStrip();
    ASSERT_NE(strip, nullptr) << "the layout's strip was refused on the thread that opened the editor";
    EXPECT_TRUE(shows("Default"));

    // The strip's arrow to the next preset, clicked.
    const HWND window = static_cast<HWND>(editor->NativeWindowHandle());
    const LPARAM next = MAKELPARAM(static_cast<int>(strip->NextBox.MidX()), static_cast<int>(strip->NextBox.MidY()));
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, next);
    PostMessageA(window, WM_LBUTTONUP, 0, next);
    EXPECT_TRUE(shows("Light Detune"));
    EXPECT_EQ(plugin.CurrentPreset(), 1);
    dispatch(effSetProgramName, 0, 0, const_cast<char*>("Renamed"));
    EXPECT_TRUE(shows("Renamed"));
    dispatch(effSetProgram, 0, 3);
    EXPECT_TRUE(shows("Down 3 Semitones"));

    // Automation from a third thread moves the knob at the next tick.
    TKnobControl* mix = KnobOf(*editor, Mix);
    ASSERT_NE(mix, nullptr);
    ASSERT_EQ(mix->ValueAt(0), 1.0);
    std::thread([effect] { effect->setParameter(effect, Mix, 0.0f); }).join();
    EXPECT_TRUE(plugkit::test::PumpUntil("the Mix knob to follow the automation", [&] { return mix->ValueAt(0) == 0.0; }));

    // "About..." from the strip's menu, and the host's own request.
    TAboutBox* about = plugin.AboutBox();
    ASSERT_NE(about, nullptr);
    plugkit::canvas::IPopupMenu menu;
    for (int i = 0; i <= TPresetControl::kAbout; ++i) menu.AppendItem("item");
    menu.ReportChoice(TPresetControl::kAbout);
    strip->OnMenuChoice(&menu, TPresetControl::kActionMenuIndex);
    EXPECT_TRUE(plugkit::test::PumpUntil("the about box", [&] { return !about->Concealed(); }));
    about->SetConcealed(true);
    EXPECT_TRUE(plugin.OnAboutRequest());
    EXPECT_FALSE(about->Concealed());

    // Once this thread showed the editor, the loader handed it nothing.
    if (loaderPumps) {
      ASSERT_TRUE(loader.WaitPumped(5));
      ASSERT_TRUE(plugkit::test::PumpTimerTicks(plugkit::IApiBase::kEditorTimerMs, 3));
      const std::set<DWORD> threads = plugin.EditorThreads();
      EXPECT_EQ(threads.count(loaderThread), 0u) << "the loader reached the open editor";
      EXPECT_EQ(threads, std::set<DWORD>{GetCurrentThreadId()});
      loader.Stop();
    }
    EXPECT_EQ(dispatch(effEditClose), 1);
    dispatch(effClose);
  }
  EXPECT_EQ(plugkit::canvas::test::EditorWindowCount(), 0);
}

} // namespace

#endif
