// Hosts change programs, program names, banks, program files and states from
// threads of their own (a MIDI program change, a project loading, an
// automation lane for programs), with the editor open, opening or closing.
// Such a change reaches the editor only through the editor's tick on its own
// thread: the strip is never touched from a host thread, it never draws a
// title half written, and after the next tick it shows the current one. The
// Save and Load dialogs run outside every framework lock, and the host may
// close the editor while one is open.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "api/vst2/VST2Entry.h"
#include "core/IPresetSlot.h"
#include "plugin/editor/TPresetControl.h"
#include "tests/plugin/editor/editor_fixture.h"
#include "tests/plugin/editor/preset_titles.h"
#include "tests/plugin/editor/strip_action.h"
#include "tests/support/message_pump.h"
#include "tests/support/wait.h"

#if defined(TESSIVO_EDITOR_WINDOW)
#include <windows.h>

#include "tests/graphics/platform/dialog_closer.h"
#include "tests/graphics/platform/editor_harness.h"
#include "tests/plugin/editor/title_recording_editor.h"
#endif

namespace {

using namespace tessivo_editor_test;

// Runs body(n) for n = 0, 1, 2 ... on a thread of its own until destroyed.
class Worker {
public:
  explicit Worker(std::function<void(int64_t)> body)
      : mThread([this, body = std::move(body)] {
          for (int64_t n = 0; !mStop.load(); ++n) {
            body(n);
            mCalls = n + 1;
          }
        }) {}
  ~Worker() { Stop(); }
  void Stop() {
    mStop = true;
    if (mThread.joinable()) mThread.join();
  }
  int64_t Calls() const { return mCalls.load(); }

private:
  std::atomic<bool> mStop{false};
  std::atomic<int64_t> mCalls{0};
  std::thread mThread;
};

intptr_t Dispatch(Tessivo& plugin, int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr) {
  return Tessivo::VSTDispatcher(plugin.EffectRecord(), opcode, index, value, ptr, 0.0f);
}

// A chunk as the host keeps it: bank (true) or program.
std::vector<uint8_t> SavedChunk(Tessivo& plugin, bool bank) {
  void* data = nullptr;
  const intptr_t size = Dispatch(plugin, effGetChunk, bank ? 0 : 1, 0, &data);
  const auto* bytes = static_cast<const uint8_t*>(data);
  return size > 0 ? std::vector<uint8_t>(bytes, bytes + size) : std::vector<uint8_t>();
}

// Each kind of host call that changes the current title, made on a thread of
// its own while the editor is open: the strip is left alone and shows the old
// title until the editor's tick has run, then the new one.
TEST(EditorThreads, TitleChangesFromHostThreadsWaitForTheTick) {
  const std::string file =
      (std::filesystem::temp_directory_path() / "tessivo_threads_program.fxp").string();
  struct Case {
    const char* what;
    std::function<void(Tessivo&)> call;
  };
  std::vector<uint8_t> bank;
  const Case cases[] = {
      {"program", [](Tessivo& p) { Dispatch(p, effSetProgram, 0, 5); }},
      {"program name", [](Tessivo& p) { Dispatch(p, effSetProgramName, 0, 0, const_cast<char*>("Renamed")); }},
      {"bank", [&](Tessivo& p) { Dispatch(p, effSetChunk, 0, static_cast<intptr_t>(bank.size()), bank.data()); }},
      {"program file", [&](Tessivo& p) { p.LoadProgramFile(file.c_str()); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EditorFixture f;
    // The bank and the file carry other titles than the current one.
    ASSERT_TRUE(f.plugin.ApplyPreset(3));
    ASSERT_TRUE(f.plugin.ModifyCurrentPreset("From the bank"));
    bank = SavedChunk(f.plugin, true);
    ASSERT_TRUE(f.plugin.ModifyCurrentPreset("From the file"));
    ASSERT_TRUE(f.plugin.SaveProgramFile(file.c_str()));
    ASSERT_TRUE(f.plugin.ModifyCurrentPreset("Before"));
    ASSERT_TRUE(f.plugin.ApplyPreset(3));
    ASSERT_STREQ(f.plugin.PresetTitle(), "Before");
    TPresetControl& strip = *f.plugin.PresetStrip();
    strip.MarkClean();

    std::thread(c.call, std::ref(f.plugin)).join();
    std::string expected;
    {
      plugkit::ISectionGuard guard(f.plugin.StateLock());
      expected = f.plugin.PresetTitleAt(f.plugin.CurrentPreset());
    }
    ASSERT_NE(expected, "Before");
    EXPECT_FALSE(strip.Changed()) << "a host thread marked the strip";
    EXPECT_STREQ(f.plugin.PresetTitle(), "Before");

    ASSERT_TRUE(plugkit::test::PumpUntil("an editor tick to take the new title", [&] { return strip.Changed(); }));
    EXPECT_EQ(f.plugin.PresetTitle(), expected);
    f.canvas.calls.clear();
    f.canvas.PaintOne(strip);
    EXPECT_EQ(f.canvas.Of("text").back().text, expected);
  }
  std::remove(file.c_str());
}

// Counts the editor's ticks, whichever thread asks.
class TickCountingTessivo : public Tessivo {
public:
  TickCountingTessivo() : Tessivo(&QuietHost) {}
  void OnEditorTick() override {
    Tessivo::OnEditorTick();
    mTicks.fetch_add(1);
  }
  int64_t Ticks() const { return mTicks.load(); }

private:
  std::atomic<int64_t> mTicks{0};
};

// A host thread changes the program and goes on holding the state lock for
// three editor ticks (a long bank load, say) while this thread pumps them.
// Those ticks cannot take the title and must not give it up either. Whether
// the ticks ran while the lock was held.
::testing::AssertionResult ChangeProgramHoldingTheLockAcrossTicks(TickCountingTessivo& plugin, int32_t program) {
  std::atomic<bool> released{false};
  ::testing::AssertionResult ticked = ::testing::AssertionFailure();
  std::thread host([&] {
    plugkit::ISectionGuard guard(plugin.StateLock());
    Dispatch(plugin, effSetProgram, 0, program);
    const int64_t start = plugin.Ticks();
    ticked = plugkit::test::WaitUntil("editor ticks while the lock is held",
                                      [&] { return plugin.Ticks() >= start + 3; });
    released = true;
  });
  const ::testing::AssertionResult let =
      plugkit::test::PumpUntil("the host thread to let go of the lock", [&] { return released.load(); });
  host.join();
  return let ? ticked : let;
}

// Once the lock is free, a later tick shows the title changed under it.
TEST(EditorThreads, ATitleChangedUnderALockHeldAcrossTicksArrivesOnceTheLockIsFree) {
  TickCountingTessivo plugin;
  EditorCanvas canvas(&plugin);
  plugin.RunEditorLayout(&canvas);
  ASSERT_NE(plugin.PresetStrip(), nullptr);
  ASSERT_STREQ(plugin.PresetTitle(), "Default");

  EXPECT_TRUE(ChangeProgramHoldingTheLockAcrossTicks(plugin, 5));
  EXPECT_STREQ(plugin.PresetTitle(), "Default") << "taken without the lock";
  EXPECT_TRUE(plugkit::test::PumpUntil("a tick to show the new title",
                                        [&] { return std::string(plugin.PresetTitle()) == "Octave up"; }))
      << "the strip still shows \"" << plugin.PresetTitle() << "\"";
  plugin.OnEditorHidden();
}

// The editor's controls laid out, drawn and torn down thousands of times in
// the order opening and closing use, far faster than windows could be, while
// a worker changes and renames programs: no host thread reaches a control
// (one that has gone would be written to), and every title drawn is whole.
TEST(EditorThreads, ControlsComeAndGoWhileAWorkerChangesPrograms) {
  Tessivo plugin(&QuietHost);
  std::set<std::string> known = FactoryTitles();
  known.insert("Renamed");
  Worker worker([&](int64_t n) {
    if (n % 4 == 3)
      Dispatch(plugin, effSetProgramName, 0, 0, const_cast<char*>("Renamed"));
    else
      Dispatch(plugin, effSetProgram, 0, n % Tessivo::kNumPresets);
  });
  size_t drawn = 0, broken = 0;
  std::string example;
  for (int i = 0; i < 50000; ++i) {
    EditorCanvas canvas(&plugin);
    plugin.RunEditorLayout(&canvas);
    canvas.PaintAll();
    for (const DrawCall& c : canvas.Of("text")) {
      if (!(c.box == IBox(25, 0, 200, 29))) continue;
      ++drawn;
      if (!known.count(c.text) && broken++ == 0) example = c.text;
    }
    if (i % 100 == 0) plugkit::test::DispatchWaitingMessages();  // lets the editor tick run now and then
    plugin.OnEditorHidden();
    canvas.RemoveEveryControl();
  }
  worker.Stop();
  EXPECT_EQ(broken, 0u) << broken << " of " << drawn << " titles drawn were no title, e.g. \"" << example << "\"";
  EXPECT_GT(drawn, 0u);
}

#if defined(TESSIVO_EDITOR_WINDOW)

using plugkit::canvas::ICanvasWin;
using plugkit::canvas::test::SharedParent;

const char* const kNames[] = {"Renamed", "A much longer name for the same program"};

// Sets the record up for audio and runs blocks on a thread of its own until
// stopped, as a host's audio thread does.
class AudioThread {
public:
  explicit AudioThread(AEffect* effect) : mEffect(effect) {
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    effect->dispatcher(effect, effSetBlockSize, 0, 256, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    mThread = std::thread([this] { Run(); });
  }
  ~AudioThread() {
    mStop = true;
    mThread.join();
  }
  int64_t Blocks() const { return mBlocks.load(); }

private:
  void Run() {
    std::vector<float> l(256), r(256), outL(256), outR(256);
    float* in[2] = {l.data(), r.data()};
    float* out[2] = {outL.data(), outR.data()};
    for (int64_t n = 0; !mStop.load(); ++n) {
      for (int i = 0; i < 256; ++i) l[i] = r[i] = std::sin(0.05f * static_cast<float>(n * 256 + i));
      mEffect->processReplacing(mEffect, in, out, 256);
      mBlocks = n + 1;
    }
  }
  AEffect* mEffect;
  std::atomic<bool> mStop{false};
  std::atomic<int64_t> mBlocks{0};
  std::thread mThread;
};

// The editor is opened and closed through the effect record hundreds of
// times, painting in between, while a worker changes programs, renames them
// and loads banks and programs, and audio runs. Every title the strip draws
// is a whole one; with the worker stopped, a last program change made under
// a lock held across ticks reaches the open editor once the lock is free.
TEST(EditorThreads, EditorOpensAndClosesWhileHostThreadsChangePrograms) {
  TickCountingTessivo plugin;
  std::vector<std::string> titles;
  TitleRecordingEditor::Install(plugin, titles);
  std::set<std::string> known = FactoryTitles();
  known.insert(std::begin(kNames), std::end(kNames));
  const std::vector<uint8_t> bank = SavedChunk(plugin, true);
  const std::vector<uint8_t> program = SavedChunk(plugin, false);
  ASSERT_FALSE(bank.empty());
  ASSERT_FALSE(program.empty());

  AudioThread audio(plugin.EffectRecord());
  Worker worker([&](int64_t n) {
    switch (n % 6) {
      case 0:
      case 1:
        Dispatch(plugin, effSetProgram, 0, (n / 2) % Tessivo::kNumPresets);
        break;
      case 2:
        Dispatch(plugin, effSetProgramName, 0, 0, const_cast<char*>(kNames[(n / 6) % 2]));
        break;
      case 3:
        Dispatch(plugin, effSetChunk, 0, static_cast<intptr_t>(bank.size()), const_cast<uint8_t*>(bank.data()));
        break;
      default:
        Dispatch(plugin, effSetChunk, 1, static_cast<intptr_t>(program.size()), const_cast<uint8_t*>(program.data()));
        break;
    }
  });

  auto editor = [&] { return dynamic_cast<ICanvasWin*>(plugin.EditorGraphics()); };
  constexpr int kCycles = 200;
  int opened = 0;
  for (int i = 0; i < kCycles; ++i) {
    if (Dispatch(plugin, effEditOpen, 0, 0, SharedParent().Handle()) != 1 || !editor()) break;
    ++opened;
    // At least one paint, and every few cycles some ticks on top.
    const uint32_t ticks = static_cast<uint32_t>(i % 4);
    if (!plugkit::test::PumpUntil("a paint and the ticks of a cycle",
                                  [&] { return editor()->PaintedFrames() >= 1 && editor()->TicksRun() >= ticks; }))
      break;
    Dispatch(plugin, effEditClose);
  }
  EXPECT_EQ(opened, kCycles);

  // The last opening sees the worker's changes, then its end.
  ASSERT_EQ(Dispatch(plugin, effEditOpen, 0, 0, SharedParent().Handle()), 1);
  const int64_t before = worker.Calls();
  EXPECT_TRUE(plugkit::test::PumpUntil("more worker calls and another paint", [&] {
    return worker.Calls() > before + 100 && editor() && editor()->PaintedFrames() > 1;
  }));
  worker.Stop();
  EXPECT_TRUE(ChangeProgramHoldingTheLockAcrossTicks(plugin, (plugin.CurrentPreset() + 1) % Tessivo::kNumPresets));
  std::string current;
  {
    plugkit::ISectionGuard guard(plugin.StateLock());
    current = plugin.PresetTitleAt(plugin.CurrentPreset());
  }
  EXPECT_TRUE(plugkit::test::PumpUntil("the strip to show the current title",
                                        [&] { return !titles.empty() && titles.back() == current; }))
      << "the strip still shows \"" << (titles.empty() ? "" : titles.back()) << "\", not \"" << current << "\"";
  Dispatch(plugin, effEditClose);
  EXPECT_GT(audio.Blocks(), 0);

  EXPECT_TRUE(EveryTitleIsKnown(titles, known));
  EXPECT_GE(titles.size(), static_cast<size_t>(kCycles));
  EXPECT_EQ(plugkit::canvas::test::EditorWindowCount(), 0);
}

// "Save Preset..." opens the system's dialog from the strip, outside every
// framework lock: while it is open another thread creates and deletes a
// plug-in instance without waiting for it, and the host closes the editor
// from inside the dialog's message loop. The canvas and its controls stay
// until the dialog's call has returned (the strip's code is still running
// in them), then go. The user names a file and presses Save: the closed
// editor hears no answer and writes nothing.
TEST(EditorThreads, SaveDialogHoldsNoLockAndOutlivesTheEditor) {
  const std::string path = (std::filesystem::temp_directory_path() / "tessivo_threads_save.fxp").string();
  std::filesystem::remove(path);
  Tessivo plugin(&QuietHost);
  ASSERT_EQ(Dispatch(plugin, effEditOpen, 0, 0, SharedParent().Handle()), 1);
  auto* editor = dynamic_cast<ICanvasWin*>(plugin.EditorGraphics());
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(plugkit::test::PumpUntil("the first paint", [&] { return editor->PaintedFrames() >= 1; }));
  TPresetControl* strip = nullptr;
  for (int32_t i = 0; i < editor->ControlCount(); ++i)
    if (auto* s = dynamic_cast<TPresetControl*>(editor->ControlAt(i))) strip = s;
  ASSERT_NE(strip, nullptr);
  plugkit::canvas::test::Log deleted;
  editor->AdoptControl(new plugkit::canvas::test::SwatchControl(IBox(0, 0, 1, 1), IArgb(), -1, &deleted));

  std::atomic<bool> createdAndDeleted{false};
  bool createdWhileOpen = false;
  bool editorClosed = false;
  bool controlsStayed = false;
  std::thread other;
  plugkit::canvas::test::DialogCloser closer([&](HWND dialog) {
    other = std::thread([&] {
      AEffect* effect = plugkit::CreateVST2Effect(
          &QuietHost, [](audioMasterCallback host) -> plugkit::IVST2Binding* { return new Tessivo(host); });
      if (effect) effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
      createdAndDeleted = effect != nullptr;
    });
    createdWhileOpen = static_cast<bool>(plugkit::test::WaitUntil(
        "another thread to create and delete an instance", [&] { return createdAndDeleted.load(); }));
    Dispatch(plugin, effEditClose);
    editorClosed = plugin.EditorGraphics() == nullptr;
    controlsStayed = deleted.empty();
    plugkit::canvas::test::TypeFileName(dialog, path.c_str());
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });

  ChooseStripAction(*strip, TPresetControl::kSave);
  // Evaluated only between messages of this loop: once it holds, the
  // dialog's loop and everything that ran it have returned.
  EXPECT_TRUE(plugkit::test::PumpUntil("the dialog and its closer", [&] { return closer.Acted() && other.joinable(); }));
  if (other.joinable()) other.join();
  EXPECT_TRUE(createdWhileOpen) << "creating an instance waited for the dialog";
  EXPECT_TRUE(editorClosed);
  EXPECT_TRUE(controlsStayed) << "the canvas went inside the dialog's loop";
  EXPECT_EQ(deleted, (plugkit::canvas::test::Log{"swatch deleted"})) << "and once the call returned";
  EXPECT_FALSE(std::filesystem::exists(path)) << "the closed editor's dialog answered";
  std::filesystem::remove(path);
  EXPECT_EQ(plugkit::canvas::test::EditorWindowCount(), 0);
  // The plug-in goes on: its program list still works.
  ASSERT_TRUE(plugin.ApplyPreset(2));
  EXPECT_EQ(plugin.CurrentPreset(), 2);
}

#endif

} // namespace
