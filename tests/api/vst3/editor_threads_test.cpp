// The VST 3 editor while a host changes programs (through the preset
// parameter) and loads states on a worker thread: views are created,
// attached, removed and released over and over, the strip draws only whole
// titles, and once the worker has stopped the next editor tick brings the
// current title to the open view.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/ISectionLock.h"
#include "graphics/platform/ICanvasWin.h"
#include "tests/api/vst3/host_window.h"
#include "tests/api/vst3/vst3_fixture.h"
#include "tests/hosts/vst3/PlugFrame.h"
#include "tests/plugin/editor/preset_titles.h"
#include "tests/plugin/editor/title_recording_editor.h"

namespace vst3test {
namespace {

using plugkit::canvas::ICanvasWin;
using tessivo_editor_test::EveryTitleIsKnown;
using tessivo_editor_test::FactoryTitles;
using tessivo_editor_test::TitleRecordingEditor;


TEST(VST3EditorThreads, ViewsComeAndGoWhileAWorkerChangesProgramsAndStates) {
  ParentWindow parent;
  ASSERT_TRUE(parent.Handle());
  Held<Tessivo> plugin(new Tessivo());
  ASSERT_EQ(plugin->initialize(nullptr), kResultOk);
  std::vector<std::string> titles;
  TitleRecordingEditor::Install(*plugin, titles);
  const std::set<std::string> known = FactoryTitles();
  const std::vector<uint8_t> state = SaveState(*plugin);

  std::atomic<bool> stop{false};
  std::atomic<int64_t> calls{0};
  std::thread worker([&] {
    for (int64_t n = 0; !stop.load(); ++n) {
      if (n % 3 == 2) {
        LoadState(*plugin, state);
      } else {
        const double program = static_cast<double>((n / 3) % Tessivo::kNumPresets) / (Tessivo::kNumPresets - 1);
        plugin->setParamNormalized(Tessivo::kPresetParamId, program);
      }
      calls = n + 1;
    }
  });

  auto editor = [&] { return dynamic_cast<ICanvasWin*>(plugin->EditorGraphics()); };
  IPtr<vst3host::PlugFrame> frame(new vst3host::PlugFrame(), false);
  constexpr int kCycles = 150;
  int attached = 0;
  for (int i = 0; i < kCycles; ++i) {
    IPtr<IPlugView> view(plugin->createView("editor"), false);
    if (!view) break;
    view->setFrame(frame);
    if (view->attached(parent.Handle(), "HWND") != kResultOk || !editor()) break;
    ++attached;
    const uint32_t ticks = static_cast<uint32_t>(i % 4);
    if (!PumpUntil("a paint and the ticks of a cycle",
                   [&] { return editor()->PaintedFrames() >= 1 && editor()->TicksRun() >= ticks; }))
      break;
    // Every third view is released without being removed first, as some
    // hosts do; its release closes the editor.
    if (i % 3 != 0) view->removed();
    view->setFrame(nullptr);
    view = nullptr;
  }
  EXPECT_EQ(attached, kCycles);
  EXPECT_EQ(plugin->EditorGraphics(), nullptr);

  IPtr<IPlugView> view(plugin->createView("editor"), false);
  ASSERT_TRUE(view);
  ASSERT_EQ(view->attached(parent.Handle(), "HWND"), kResultOk);
  const int64_t before = calls.load();
  EXPECT_TRUE(PumpUntil("more worker calls and another paint",
                        [&] { return calls.load() > before + 100 && editor()->PaintedFrames() > 1; }));
  stop = true;
  worker.join();
  std::string current;
  {
    plugkit::ISectionGuard guard(plugin->StateLock());
    current = plugin->PresetTitleAt(plugin->CurrentPreset());
  }
  EXPECT_TRUE(PumpUntil("the strip to show the current title",
                        [&] { return !titles.empty() && titles.back() == current; }))
      << "the strip still shows \"" << (titles.empty() ? "" : titles.back()) << "\", not \"" << current << "\"";
  EXPECT_EQ(view->removed(), kResultOk);
  view = nullptr;

  EXPECT_TRUE(EveryTitleIsKnown(titles, known));
  EXPECT_GE(titles.size(), static_cast<size_t>(kCycles));
  plugin->terminate();
}

} // namespace
} // namespace vst3test
