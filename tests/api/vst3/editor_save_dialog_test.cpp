// The strip's Save dialog in the VST 3 build, with a host that lets go of
// the plug-in while the dialog is open: it removes and releases the view,
// terminates the plug-in and releases it for the last time, and then the
// user presses Save. The plug-in goes once the dialog's call has returned;
// nothing of it or of its editor is touched after (the program runs with
// Wine's heap filling freed blocks), and no file is written for it.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "plugin/editor/TPresetControl.h"
#include "tests/api/vst3/host_window.h"
#include "tests/api/vst3/vst3_fixture.h"
#include "tests/graphics/platform/dialog_closer.h"
#include "tests/plugin/editor/strip_action.h"

namespace vst3test {
namespace {

// A plug-in object that notes its deletion.
class NotedProbe : public TProbe {
public:
  explicit NotedProbe(bool& deleted) : mDeleted(deleted) {}
  ~NotedProbe() override { mDeleted = true; }

private:
  bool& mDeleted;
};

TEST(VST3EditorDialogs, TheLastReleasesInsideTheSaveDialogWriteNoFile) {
  const std::string path = (std::filesystem::temp_directory_path() / "tessivo_vst3_save_inside.fxp").string();
  std::filesystem::remove(path);
  ParentWindow parent;
  ASSERT_TRUE(parent.Handle());
  bool deleted = false;
  auto* plugin = new NotedProbe(deleted);
  ASSERT_EQ(plugin->initialize(nullptr), kResultOk);
  IPlugView* view = plugin->createView("editor");
  ASSERT_NE(view, nullptr);
  ASSERT_EQ(view->attached(parent.Handle(), kPlatformTypeHWND), kResultOk);
  TPresetControl* strip = plugin->PresetStrip();
  ASSERT_NE(strip, nullptr);

  plugkit::canvas::test::DialogCloser closer([&](HWND dialog) {
    view->removed();
    view->release();
    plugin->terminate();
    plugin->release();
    plugkit::canvas::test::TypeFileName(dialog, path.c_str());
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  tessivo_editor_test::ChooseStripAction(*strip, TPresetControl::kSave);
  // Evaluated only between messages of this loop: once the plug-in is gone,
  // the dialog's loop and everything that ran it have returned.
  EXPECT_TRUE(PumpUntil("the plug-in to go", [&] { return deleted; }));
  EXPECT_TRUE(closer.Acted());
  EXPECT_FALSE(std::filesystem::exists(path)) << "a file written for a plug-in the host let go of";
  EXPECT_EQ(GetWindow(parent.Handle(), GW_CHILD), nullptr);
  EXPECT_TRUE(plugkit::test::PumpTimerTicks(20, 3));
  std::filesystem::remove(path);
}

} // namespace
} // namespace vst3test
